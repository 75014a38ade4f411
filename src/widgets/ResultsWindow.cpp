#include "ResultsWindow.h"

#include "Form2.h"
#include "ModalWaits.h"

#include <QApplication>

namespace tekkora {

void showResultsWindow(const DrillState &state, const RunRecording &recording, const Services &services)
{
    // A fresh window each time, so nothing of the last one (the wider
    // LabMiss) carries over. Owned by the active window: modal over it and
    // without a taskbar entry of its own.
    Form2 form(state, recording, services, QApplication::activeWindow());
    form.load();
    form.exec();
    returnKeysTo(form.parentWidget());
}

} // namespace tekkora
