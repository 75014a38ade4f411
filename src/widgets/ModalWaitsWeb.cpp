#include "ModalWaits.h"

#include <QCoreApplication>

#include <emscripten.h>

// Qt for WebAssembly waits in exec() by asyncify, one level deep.

namespace tekkora {

bool nestedModalWaits()
{
    return false;
}

void settleStartUp()
{
    // From the page's own timer, outside any Qt event, where an explicit
    // request delivers what was queued at the loop's own level.
    emscripten_async_call([](void *) { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }, nullptr, 0);
}

} // namespace tekkora
