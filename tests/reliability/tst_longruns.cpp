// Long play in the real windows: the longest run there is, and a thousand
// runs in a row, each with its own results window.

#include "support/TestFiles.h"
#include "support/MainWindowRig.h"

#include "platform/ShiftJis.h"

#include <QAction>
#include <QMenu>

#include <set>

using namespace tekkora;
using namespace tekkora::testing;

namespace {

QByteArray sjis(const QString &text)
{
    return toShiftJis(text).bytes;
}

// What the player saw of each results window and message box.
struct Seen {
    QStringList messageTitles;
    QStringList figures; // LabMode, LabMiss, LabPar, LabSp of each results window
    QList<QPointer<Form2>> resultsWindows;
};

std::unique_ptr<ModalAnswerer> answerWithOk(Seen &seen)
{
    return std::make_unique<ModalAnswerer>([&seen](QWidget *modal) {
        if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            seen.messageTitles << box->windowTitle();
            pressOk(box);
        } else if (auto *results = qobject_cast<Form2 *>(modal)) {
            seen.resultsWindows << results;
            QStringList figures;
            for (const char *name : {"LabMode", "LabMiss", "LabPar", "LabSp"})
                figures << results->findChild<QLabel *>(QLatin1String(name))->text();
            seen.figures << figures.join(QLatin1Char(' '));
            results->findChild<QPushButton *>(QStringLiteral("Command1"))->click();
        } else {
            seen.messageTitles << QStringLiteral("unexpected ") + modal->metaObject()->className();
            modal->close();
        }
    });
}

} // namespace

class TestLongRuns : public QObject {
    Q_OBJECT

private slots:
    void cleanup()
    {
        // Every window of a test, modal ones included, is gone after it.
        QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty());
    }

    void unlimitedRunToTheLastQuestion()
    {
        MainWindowRig w(QByteArray(), ResultsShown::InTheirWindow);
        Seen seen;
        const auto answerer = answerWithOk(seen);
        QVERIFY(w.showAndActivate());
        MainWindowRig::press(Qt::Key_F8);
        QCOMPARE(w.state.QuestionLimit, UnlimitedQuestions);

        // A miss every thousand questions, on the first and on the very last;
        // two wrong keys on some of them still make one miss each.
        std::set<int> missed{1, 32767};
        for (int q = 1000; q < 32767; q += 1000)
            missed.insert(q);
        MainWindowRig::press(Qt::Key_Space);
        QVERIFY(w.running());
        for (int q = 1; q <= 32767; ++q) {
            if (w.state.QuestionCount != q || !w.running())
                QFAIL(qPrintable(QStringLiteral("question %1: count %2").arg(q).arg(w.state.QuestionCount)));
            if (missed.count(q)) {
                w.pressWrongKey();
                if (q % 5000 == 0)
                    w.pressWrongKey();
            }
            w.fakes.ticks.advance(100);
            w.pressRightKey();
        }

        // The 32767th answer ends the run with every question counted.
        const int misses = int(missed.size());
        QCOMPARE(w.state.QuestionCount, std::int16_t(32767));
        QCOMPARE(int(w.state.MissCount), misses);
        QCOMPARE(seen.resultsWindows.size(), 1);
        QCOMPARE(seen.figures.first(), QStringLiteral("英字 %1/32767 99.9 0.100").arg(misses));
        QCOMPARE(seen.messageTitles,
                 QStringList({QStringLiteral("You are 32767 Count!!"), QStringLiteral("You Are Great!!"),
                              QStringLiteral("すげぇ！！")}));
        QVERIFY(!w.running());
        QCOMPARE(liveResultsWindows(), 0);

        const QList<QByteArray> lines = readAll(w.scorePath()).split('\n');
        QCOMPARE(lines.size(), 5); // three header lines, the record, nothing after its line end
        const QByteArray record = lines[3];
        QVERIFY(record.contains(sjis(QStringLiteral("%1/32767 回").arg(misses))));
        QVERIFY(record.contains(sjis(QStringLiteral(" 99.9 %"))));
        QVERIFY(record.endsWith(sjis(QStringLiteral("0.100 秒/キー\r"))));

        // And the window plays on.
        MainWindowRig::press(Qt::Key_Space);
        QVERIFY(w.running());
        QCOMPARE(w.state.QuestionCount, std::int16_t(1));
    }

    void thousandRunsLeaveNoWindowBehind()
    {
        MainWindowRig w(QByteArray(), ResultsShown::InTheirWindow);
        Seen seen;
        const auto answerer = answerWithOk(seen);
        QVERIFY(w.showAndActivate());

        qsizetype widgetsAfterFirstRun = 0;
        for (int run = 0; run < 1000; ++run) {
            MainWindowRig::press(Qt::Key_Space);
            const int answered = 1 + run % 3;
            for (int q = 0; q < answered; ++q) {
                if ((run + q) % 7 == 0)
                    w.pressWrongKey();
                w.fakes.ticks.advance(250);
                w.pressRightKey();
            }
            MainWindowRig::press(Qt::Key_Escape);

            if (seen.resultsWindows.size() != run + 1 || w.running() || w.state.QuestionCount != answered)
                QFAIL(qPrintable(QStringLiteral("run %1: %2 results windows, count %3")
                                     .arg(run)
                                     .arg(seen.resultsWindows.size())
                                     .arg(w.state.QuestionCount)));
            QCOMPARE(liveResultsWindows(), 0);
            if (run == 0)
                widgetsAfterFirstRun = QApplication::allWidgets().size();
            else
                QTRY_COMPARE(QApplication::allWidgets().size(), widgetsAfterFirstRun);
        }

        for (const QPointer<Form2> &form : std::as_const(seen.resultsWindows))
            QVERIFY(form.isNull());
        QVERIFY(seen.messageTitles.isEmpty());
        // One record per run, under the header.
        QCOMPARE(readAll(w.scorePath()).count("\r\n"), 3 + 1000);
    }
};

QTEST_MAIN(TestLongRuns)
#include "tst_longruns.moc"
