#include "drill/Key.h"
#include "SystemBeeper.h"
#include "platform/DataDirectory.h"
#include "FontConfigWarmUp.h"
#include "platform/SystemServices.h"
#include "Fonts.h"
#include "Form1.h"
#include "ProgramIcon.h"
#include "ClassicLook.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    // Runs beside the connection to the display; see FontConfigWarmUp.h.
    tekkora::FontConfigWarmUp fontConfig;
    QApplication app(argc, argv);
    // The plug-ins the program uses (the platform and its input context) are
    // loaded by now. The program reads no image format but PNG, which Qt
    // reads itself; left searchable, the first image read (the program icon,
    // the menu bar's extension button) would load every image-format plug-in
    // installed just to ask each whether it reads PNG.
    QCoreApplication::setLibraryPaths({});
    QCoreApplication::setApplicationName(QStringLiteral("Tekkora"));
    fontConfig.wait();
    tekkora::installFontSubstitutions();
    QApplication::setStyle(new tekkora::ClassicLookStyle);
    QApplication::setFont(tekkora::defaultWindowFont());
    QApplication::setWindowIcon(tekkora::programIcon());

    tekkora::DrillState state;
    tekkora::SystemTickCounter ticks;
    tekkora::SystemBeeper beeper;
    tekkora::SystemRandomGenerator random;
    tekkora::SystemLocalClock clock;
    const tekkora::Services services{ticks, beeper, random, clock, tekkora::resolveDataDirectory(),
                                     tekkora::programDirectory()};

    tekkora::Form1 form(state, services);
    form.show();
    return app.exec();
}
