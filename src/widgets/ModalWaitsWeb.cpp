#include "ModalWaits.h"

// Qt for WebAssembly waits in exec() by asyncify, one level deep.

namespace tekkora {

bool nestedModalWaits()
{
    return false;
}

} // namespace tekkora
