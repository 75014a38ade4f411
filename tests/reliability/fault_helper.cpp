// A small program the fault tests run in a child process: as another user,
// or to be killed in the middle of a save. It prints what a person would see
// and what the program did, one line each:
//   loaded <CharSet> <QuestionLimit> <upper case 1/0>
//   message: <title>|<text>          (line breaks written as \n)
//   ended <times the program ended>
//   saved <n>                       (saveloop: after each complete save)
//
//   fault_helper score DIR                 load a results window for a finished run
//   fault_helper save DIR MODE NUM CAP     load the main window, choose options, close it
//   fault_helper saveloop DIR              save two option sets in turn until killed
//   fault_helper play                      start as the program does, where the program
//                                          keeps its files; play a 3-question run; close
//   data <directory chosen>                (play)

#include "support/HelperProcess.h"
#include "support/MainWindowRig.h"
#include "support/FakeForm1Controls.h"
#include "support/FakePlatform.h"

#include "drill/Form1Procedures.h"
#include "platform/DataDirectory.h"
#include "Form2.h"

#include <QApplication>
#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>
#include <cstring>

using namespace tekkora;
using namespace tekkora::testing;

namespace {

void sayMessage(const QString &title, const QString &text)
{
    QString flat = text;
    flat.replace(QLatin1Char('\n'), QLatin1String("\\n"));
    sayToTest(QStringLiteral("message: ") + title + QLatin1Char('|') + flat);
}

// Every message box is reported and answered with OK; a results window is
// closed with its OK button.
std::unique_ptr<ModalAnswerer> reportAndAnswerMessages()
{
    return std::make_unique<ModalAnswerer>([](QWidget *widget) {
        if (auto *box = qobject_cast<QMessageBox *>(widget)) {
            sayMessage(box->windowTitle(), box->text());
            pressOk(box);
        } else if (qobject_cast<Form2 *>(widget) != nullptr) {
            widget->findChild<QPushButton *>(QStringLiteral("Command1"))->click();
        } else {
            sayToTest(QStringLiteral("unexpected window: ") + widget->metaObject()->className());
            widget->close();
        }
    });
}

int score(const QString &dir)
{
    FakePlatform fakes;
    DrillState state;
    state.CharSet = charset::Letters;
    state.QuestionCount = 10;
    state.MissCount = 1;
    state.Accuracy = 90.0f;
    state.ElapsedSeconds = 5.0;
    const auto answerer = reportAndAnswerMessages();
    {
        const RunRecording noKeys;
        Form2 form(state, noKeys, fakes.services(dir));
        form.load();
    }
    sayToTest(QStringLiteral("done"));
    return 0;
}

// The options chosen as a player chooses them, from the menu.
void chooseOptions(const Form1 &form, int mode, int num, int cap)
{
    const auto choose = [&form](const char *item) { form.findChild<QAction *>(QLatin1String(item))->trigger(); };
    choose(mode == 1 ? "al" : mode == 2 ? "num" : "all");
    choose(num == 10 ? "n10" : num == 30 ? "n30" : num == 50 ? "n50" : "n99");
    choose(cap == 0 ? "kmoji" : "omoji");
}

int save(const QString &dir, int mode, int num, int cap)
{
    installFontSubstitutions();
    QApplication::setFont(defaultWindowFont());
    FakePlatform fakes;
    DrillState state;
    int ends = 0;
    const auto answerer = reportAndAnswerMessages();
    Form1 form(state, fakes.services(dir));
    form.setProgramEnder([&ends] { ++ends; });
    form.show();
    sayToTest(QStringLiteral("loaded %1 %2 %3")
            .arg(int(state.CharSet))
            .arg(state.QuestionLimit)
            .arg(form.findChild<QAction *>(QStringLiteral("omoji"))->isChecked() ? 1 : 0));
    chooseOptions(form, mode, num, cap);
    form.close();
    sayToTest(QStringLiteral("ended %1").arg(ends));
    return 0;
}

// The program's own start: the data directory chosen as main() chooses it,
// the administrator's settings beside the program; then a short run whose
// results go to the score log, and the close that saves the settings.
int play()
{
    QCoreApplication::setApplicationName(QStringLiteral("Tekkora"));
    installFontSubstitutions();
    QApplication::setFont(defaultWindowFont());
    FakePlatform fakes;
    Services services = fakes.services(resolveDataDirectory());
    services.programDirectory = programDirectory();
    sayToTest(QStringLiteral("data ") + services.dataDirectory);
    DrillState state;
    int ends = 0;
    const auto answerer = reportAndAnswerMessages();
    Form1 form(state, services);
    form.setProgramEnder([&ends] { ++ends; });
    form.show();
    QApplication::setActiveWindow(&form);
    sayToTest(QStringLiteral("loaded %1 %2 %3")
            .arg(int(state.CharSet))
            .arg(state.QuestionLimit)
            .arg(form.findChild<QAction *>(QStringLiteral("omoji"))->isChecked() ? 1 : 0));
    MainWindowRig::press(Qt::Key_Space);
    for (int q = 0; q < 3; ++q)
        MainWindowRig::press(Qt::Key(state.TargetKey));
    MainWindowRig::press(Qt::Key_Escape);
    form.close();
    sayToTest(QStringLiteral("ended %1").arg(ends));
    return 0;
}

[[noreturn]] void saveLoop(const QString &dir)
{
    FakePlatform fakes;
    FakeForm1Controls controls;
    DrillState state;
    Form1Procedures procedures(state, fakes.services(dir), controls);
    procedures.Form_Load();
    for (long n = 1;; ++n) {
        if (n % 2 == 1) {
            procedures.al_Click();
            procedures.n10_Click();
            procedures.omoji_Click();
        } else {
            procedures.all_Click();
            procedures.n99_Click();
            procedures.kmoji_Click();
        }
        procedures.Form_Unload();
        for (const QString &error : controls.errors)
            sayMessage(QStringLiteral("error"), error);
        controls.errors.clear();
        sayToTest(QStringLiteral("saved %1").arg(n));
    }
}

} // namespace

int main(int argc, char *argv[])
{
    const QString usage =
        QStringLiteral("usage: fault_helper score DIR | save DIR MODE NUM CAP | saveloop DIR | play");
    if (argc >= 3 && std::strcmp(argv[1], "saveloop") == 0) {
        QCoreApplication app(argc, argv);
        saveLoop(QString::fromLocal8Bit(argv[2]));
    }
    QApplication app(argc, argv);
    if (argc == 2 && std::strcmp(argv[1], "play") == 0)
        return play();
    if (argc == 3 && std::strcmp(argv[1], "score") == 0)
        return score(QString::fromLocal8Bit(argv[2]));
    if (argc == 6 && std::strcmp(argv[1], "save") == 0)
        return save(QString::fromLocal8Bit(argv[2]), std::atoi(argv[3]), std::atoi(argv[4]), std::atoi(argv[5]));
    sayToTest(usage);
    return 2;
}
