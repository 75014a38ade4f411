#include "drill/Key.h"
#include "DesktopBeeper.h"
#include "platform/DataDirectory.h"
#include "FontConfigWarmUp.h"
#include "platform/LocalClock.h"
#include "platform/RandomGenerator.h"
#include "platform/TickCounter.h"
#include "Fonts.h"
#include "Form1.h"
#include "ProgramIcon.h"
#include "ProgramStyle.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    // Runs beside the connection to the display; see FontConfigWarmUp.h.
    tekkora::FontConfigWarmUp fontConfig;
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Tekkora"));
    fontConfig.wait();
    tekkora::installFontSubstitutions();
    QApplication::setStyle(new tekkora::ProgramStyle);
    QApplication::setFont(tekkora::defaultWindowFont());
    QApplication::setWindowIcon(tekkora::programIcon());

    tekkora::DrillState state;
    tekkora::SystemTickCounter ticks;
    tekkora::DesktopBeeper beeper;
    tekkora::SystemRandomGenerator random;
    tekkora::SystemLocalClock clock;
    const tekkora::Services services{ticks, beeper, random, clock, tekkora::resolveDataDirectory()};

    tekkora::Form1 form(state, services);
    form.show();
    beeper.startAfterFirstFrame(form);
    return app.exec();
}
