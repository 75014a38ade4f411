// The main window with its real modal windows: a run that ends in the
// results window and the score log, and the about box that leaves the main
// window as it found it.

#include "support/MainWindowRig.h"
#include "support/TestFiles.h"

#include <QMenu>
#include <QMessageBox>
#include <QTimer>

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
