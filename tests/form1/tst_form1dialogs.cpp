// The main window with its real modal windows: a run that ends in the
// results window, the score log and the per-key log, and the about box that
// leaves the main window as it found it.

#include "support/MainWindowRig.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QMenu>
#include <QMessageBox>
#include <QTimer>

#include <map>

using namespace tekkora;
using namespace tekkora::testing;

namespace {

struct MainWindowSnapshot {
    QString label1, lblMode, lblNum;
    QStringList marks;
    QWidget *focus = nullptr;
    bool running = false;

    static MainWindowSnapshot of(const MainWindowRig &h)
    {
        MainWindowSnapshot s{h.label("Label1")->text(), h.label("lblMode")->text(), h.label("lblNum")->text(), {},
                             h.form->focusWidget(), h.running()};
        for (const char *name : {"al", "num", "all", "n10", "n30", "n50", "n99", "omoji", "kmoji"})
            if (h.action(name)->isChecked())
                s.marks << QLatin1String(name);
        return s;
    }
    bool operator==(const MainWindowSnapshot &) const = default;
};

} // namespace

class TestForm1Dialogs : public QObject {
    Q_OBJECT
private slots:
    void runEndsInTheResultsWindowAndTheScoreLog()
    {
        // A main window whose results window is the real one.
        MainWindowRig h("[Data]\r\nMode=2\r\nNum=10\r\n", ResultsShown::InTheirWindow);
        QVERIFY(h.showAndActivate());

        QStringList figures;
        bool checked = false;
        const ModalAnswerer answerer([&](QWidget *results) {
            QCOMPARE(results->objectName(), QStringLiteral("Form2"));
            for (const char *name : {"LabMode", "LabMiss", "LabPar", "LabSp"})
                figures << results->findChild<QLabel *>(QLatin1String(name))->text();
            checked = true;
            QTest::keyClick(results, Qt::Key_Return);
        });

        h.start();
        for (int i = 0; i < 10; ++i) {
            h.fakes.ticks.advance(523);
            h.pressRightKey();
        }
        QVERIFY(checked);
        QCOMPARE(figures, (QStringList{"数字", "0/10", "100.0", "0.523"}));
        QVERIFY(h.form->findChildren<QDialog *>().isEmpty());
        QVERIFY(h.button("Command1")->isEnabled());
        QCOMPARE(h.form->focusWidget(), h.button("Command1"));
        QTRY_COMPARE(QApplication::activeWindow(), h.form.get());

        const QList<QByteArray> lines = readAll(h.scorePath()).split('\n');
        QCOMPARE(lines.size(), 5); // four lines and the empty rest after the last line end
        QVERIFY(lines[3].startsWith("2000/07/15 09:05"));
        QVERIFY(lines[3].endsWith("\r"));
    }

    // Runs played key by key on the fake tick counter, with scripted draws:
    // the per-key log's line, field by field, and a log that cannot be
    // written told once, never at the cost of the score record.
    void keysLogLine_data()
    {
        QTest::addColumn<QByteArray>("settings");
        QTest::addColumn<QList<float>>("draws");
        QTest::addColumn<int>("utcOffset");
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<QStringList>("unwritable");
        QTest::addColumn<QByteArray>("before"); // Keys.jsonl before the run
        QTest::addColumn<QByteArray>("line");

        auto digits = [](const QList<int> &shown) {
            QList<float> draws;
            for (int digit : shown)
                draws << (digit + 0.5f) / 10;
            return draws;
        };
        QTest::newRow("digits: times, wrong keys, the count reached")
            << QByteArray("[Data]\r\nMode=2\r\nNum=10\r\nCap=1\r\n") << digits({7, 3, 5, 1, 9, 0, 2, 8, 4, 6})
            << 9 * 3600
            << QStringList{"+300", "8", "Shift", "+311", "R", "+100", "R", "+200", "R", "+1", "R", "+2", "R",
                           "+3",   "R", "+4",    "R",    "+5", "R", "+6",   "R", "+7",   "R"}
            << QStringList() << QByteArray()
            << QByteArray(R"({"v":1,"time":"2000-07-15T09:05:00+09:00","set":"数字","case":"upper","questions":[)"
                          R"({"c":"7","ms":611,"wrong":["8","Shift"]},{"c":"3","ms":100},{"c":"5","ms":200},)"
                          R"({"c":"1","ms":1},{"c":"9","ms":2},{"c":"0","ms":3},{"c":"2","ms":4},{"c":"8","ms":5},)"
                          R"({"c":"4","ms":6},{"c":"6","ms":7}]})" "\n");
        QTest::newRow("lower case, Esc on a question with a wrong key")
            << QByteArray("[Data]\r\nMode=1\r\nNum=30\r\nCap=0\r\n")
            << QList<float>{16.5f / 26, 22.5f / 26, 4.5f / 26} << -(3 * 3600 + 1800)
            << QStringList{"+400", "R", "+50", "S", "F5", "+250", "R", "KP7", "+900", "Esc"} << QStringList() << QByteArray()
            << QByteArray(R"({"v":1,"time":"2000-07-15T09:05:00-03:30","set":"英字","case":"lower","questions":[)"
                          R"({"c":"q","ms":400},{"c":"w","ms":300,"wrong":["s","F5"]},)"
                          R"({"c":"e","ended":true,"wrong":["Numpad7"]}]})" "\n");
        QTest::newRow("Keys.jsonl unwritable: one box, the score logged")
            << QByteArray("[Data]\r\nMode=2\r\nNum=30\r\n") << QList<float>() << 0
            << QStringList{"+100", "R", "Esc"} << QStringList{"Keys.jsonl"} << QByteArray() << QByteArray();
        QTest::newRow("neither log writable: one box naming both")
            << QByteArray("[Data]\r\nMode=2\r\nNum=30\r\n") << QList<float>() << 0
            << QStringList{"+100", "R", "Esc"} << QStringList{"Score.txt", "Keys.jsonl"} << QByteArray() << QByteArray();
        // Every digit as fast, none missed: weights as even as the draw.
        const QByteArray evenRecord(R"({"v":1,"time":"2000-07-14T09:05:00+00:00","set":"数字","case":"upper","questions":[)"
                                    R"({"c":"0","ms":500},{"c":"1","ms":500},{"c":"2","ms":500},{"c":"3","ms":500},)"
                                    R"({"c":"4","ms":500},{"c":"5","ms":500},{"c":"6","ms":500},{"c":"7","ms":500},)"
                                    R"({"c":"8","ms":500},{"c":"9","ms":500}]})" "\n");
        QTest::newRow("the weak characters' draw, after a record of the set")
            << QByteArray("[Data]\r\nMode=2\r\nNum=10\r\nWeak=1\r\n") << digits({4, 2}) << 0
            << QStringList{"+250", "R", "Esc"} << QStringList() << evenRecord
            << QByteArray(R"({"v":1,"time":"2000-07-15T09:05:00+00:00","set":"数字","case":"upper","draw":"weak",)"
                          R"("questions":[{"c":"4","ms":250},{"c":"2","ended":true}]})" "\n");
    }
    void keysLogLine()
    {
        QFETCH(QByteArray, settings);
        QFETCH(QList<float>, draws);
        QFETCH(int, utcOffset);
        QFETCH(QStringList, keys);
        QFETCH(QStringList, unwritable);
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, line);

        MainWindowRig h(
            [&](MainWindowRig &rig) {
                QVERIFY(writeAll(rig.settingsPath(), settings));
                for (const QString &name : unwritable)
                    QVERIFY(QDir(rig.dir.path()).mkdir(name));
                QVERIFY(before.isNull() || writeAll(rig.dir.filePath(QStringLiteral("Keys.jsonl")), before));
            },
            ResultsShown::InTheirWindow);
        QVERIFY(h.showAndActivate());
        h.fakes.random.script.assign(draws.cbegin(), draws.cend());
        h.fakes.clock.moment = QDateTime(QDate(2000, 7, 15), QTime(9, 5), Qt::OffsetFromUTC, utcOffset);
        QStringList boxes;
        const ModalAnswerer answerer([&](QWidget *modal) {
            if (auto *box = qobject_cast<QMessageBox *>(modal)) {
                boxes << box->text();
                pressOk(box);
            } else {
                QTest::keyClick(modal, Qt::Key_Return);
            }
        });

        const std::map<QString, std::pair<Qt::Key, Qt::KeyboardModifiers>> named{
            {"8", {Qt::Key_8, {}}},         {"S", {Qt::Key_S, {}}},   {"Shift", {Qt::Key_Shift, {}}},
            {"F5", {Qt::Key_F5, {}}},       {"Esc", {Qt::Key_Escape, {}}},
            {"KP7", {Qt::Key_7, Qt::KeypadModifier}}};
        h.start();
        for (const QString &key : keys) {
            if (key.startsWith(QLatin1Char('+')))
                h.fakes.ticks.advance(key.mid(1).toUInt());
            else if (key == QLatin1String("R"))
                h.pressRightKey();
            else
                h.press(named.at(key).first, named.at(key).second);
        }
        QTRY_VERIFY(!h.running() && liveResultsWindows() == 0);

        if (unwritable.isEmpty())
            QCOMPARE(readAll(h.dir.filePath(QStringLiteral("Keys.jsonl"))), before + line);
        QCOMPARE(boxes.size(), unwritable.isEmpty() ? 0 : 1);
        for (const QString &name : {QStringLiteral("Score.txt"), QStringLiteral("Keys.jsonl")})
            QCOMPARE(boxes.value(0).contains(h.dir.filePath(name)), unwritable.contains(name));
        if (!unwritable.contains(QStringLiteral("Score.txt")))
            QCOMPARE(readAll(h.scorePath()).count("\r\n"), 4); // the header and the run
    }

    void aboutBoxLeavesTheMainWindowAlone()
    {
        MainWindowRig h("[Data]\r\nMode=3\r\nNum=50\r\nCap=0\r\n");
        QVERIFY(h.showAndActivate());
        const MainWindowSnapshot before = MainWindowSnapshot::of(h);
        QWindow *mainWindow = h.form->windowHandle();

        bool blocked = false;
        const ModalAnswerer answerer([&](QWidget *about) {
            QCOMPARE(about->objectName(), QStringLiteral("frmAbout"));
            // Keys and clicks aimed at the main window go nowhere while the
            // about box is open.
            QTest::keyClick(mainWindow, Qt::Key_Space);
            QTest::keyClick(mainWindow, Qt::Key_F5);
            const QLabel *lblNum = h.label("lblNum");
            QTest::mouseClick(mainWindow, Qt::LeftButton, {}, lblNum->mapTo(h.form.get(), lblNum->rect().center()));
            blocked = !h.running() && h.state.QuestionLimit == 50 && h.label("lblNum")->text() == QStringLiteral("50回");
            QTest::keyClick(about, Qt::Key_Escape);
        });
        h.action("ver")->trigger();

        QVERIFY(blocked);
        QTRY_VERIFY(QApplication::activeModalWidget() == nullptr);
        QCOMPARE(MainWindowSnapshot::of(h), before);
        // Nothing of the about box is left behind.
        for (QWidget *w : QApplication::topLevelWidgets())
            QVERIFY(w->objectName() != QLatin1String("frmAbout"));
    }
};

QTEST_MAIN(TestForm1Dialogs)
#include "tst_form1dialogs.moc"
