#include "drill/DrillState.h"
#include "DesktopBeeper.h"
#include "platform/DataDirectory.h"
#include "FontConfigWarmUp.h"
#include "platform/SystemServices.h"
#include "Fonts.h"
#include "ModalWaits.h"
#include "Form1.h"
#include "ProgramIcon.h"
#include "ClassicLook.h"
#include "ScreenTrace.h"
#include "UnkeptFilesNotice.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    // Runs beside the connection to the display; see FontConfigWarmUp.h.
    tekkora::FontConfigWarmUp fontConfig;
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Tekkora"));
    // The desktop entry's name: Wayland's app id, so the desktop finds the
    // entry's icon and name for the window.
    QGuiApplication::setDesktopFileName(QStringLiteral(TEKKORA_APP_ID));
    fontConfig.wait();
    tekkora::installFontSubstitutions();
    QApplication::setStyle(new tekkora::ClassicLookStyle);
    QApplication::setFont(tekkora::defaultWindowFont());
    QApplication::setWindowIcon(tekkora::programIcon());

    tekkora::DrillState state;
    tekkora::SystemTickCounter ticks;
    tekkora::DesktopBeeper beeper;
    tekkora::SystemRandomGenerator random;
    tekkora::SystemLocalClock clock;
    const tekkora::Services services{ticks, beeper, random, clock, tekkora::resolveDataDirectory(),
                                     tekkora::programDirectory()};

    tekkora::startScreenTraceIfAsked();
    tekkora::Form1 form(state, services);
    // What show() does on the desktop; in the browser show() would fill the
    // page with the window, whose size is its own.
    form.setVisible(true);
    tekkora::noticeUnkeptFiles(&form);
    beeper.startAtFirstInput();
    tekkora::settleStartUp();
    return app.exec();
}
