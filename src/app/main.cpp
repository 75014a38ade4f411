#include "drill/Key.h"
#include "platform/Beeper.h"
#include "platform/DataDirectory.h"
#include "platform/LocalClock.h"
#include "platform/RandomGenerator.h"
#include "platform/TickCounter.h"
#include "ui/Fonts.h"
#include "ui/Form1.h"
#include "ui/ProgramIcon.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Tekkora"));
    tekkora::installFontSubstitutions();
    QApplication::setFont(tekkora::defaultWindowFont());
    QApplication::setWindowIcon(tekkora::programIcon());

    tekkora::DrillState state;
    tekkora::SystemTickCounter ticks;
    tekkora::SystemBeeper beeper;
    tekkora::SystemRandomGenerator random;
    tekkora::SystemLocalClock clock;
    const tekkora::Services services{ticks, beeper, random, clock, tekkora::resolveDataDirectory()};

    tekkora::Form1 form(state, services);
    form.show();
    return app.exec();
}
