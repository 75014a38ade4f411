#include "AboutBox.h"

#include "frmAbout.h"
#include "ModalWaits.h"
#include "WindowPlacement.h"

#include <QApplication>
#include <QWindow>

namespace tekkora {

void showAboutBox()
{
    frmAbout box;
    box.setWindowModality(Qt::ApplicationModal);
    // No owner widget, but tell the window manager which window the box
    // belongs to, so that it gets no taskbar entry of its own.
    QWidget *active = QApplication::activeWindow();
    if (active != nullptr) {
        box.winId();
        if (QWindow *owner = active->window()->windowHandle())
            box.windowHandle()->setTransientParent(owner);
    }
    // Centred on the screen, not over the window it belongs to.
    openCentredOnScreen(&box);
    box.exec();
    returnKeysTo(active);
}

} // namespace tekkora
