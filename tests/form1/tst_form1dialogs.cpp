// The main window with its real modal windows: a run that ends in the
// results window and the score log, and the about box that leaves the main
// window as it found it.

#include "Form1Harness.h"

#include <QMenu>
#include <QMessageBox>
#include <QTimer>

using namespace tekkora;
using namespace tekkora::testing;

namespace {

// Runs check() on the modal window with the given name once it is up.
void whenModalShows(const QString &name, std::function<void(QWidget *)> check)
{
    auto *timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, name, check] {
        QWidget *modal = QApplication::activeModalWidget();
        if (modal == nullptr || modal->objectName() != name || !modal->isVisible())
            return;
        timer->stop();
        timer->deleteLater();
        check(modal);
    });
    timer->start();
}

struct MainWindowSnapshot {
    QString label1, lblMode, lblNum;
    QStringList marks;
    QWidget *focus = nullptr;
    bool running = false;

    static MainWindowSnapshot of(const Form1Harness &h)
    {
        MainWindowSnapshot s{h.form->label1Caption(), h.label("lblMode")->text(), h.label("lblNum")->text(), {},
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
        installFontSubstitutions();
        FakePlatform fakes;
        QTemporaryDir dir;
        {
            QFile ini(dir.filePath(QStringLiteral("tekora.ini")));
            QVERIFY(ini.open(QIODevice::WriteOnly));
            ini.write("[Data]\r\nMode=2\r\nNum=10\r\n");
        }
        DrillState state;
        Form1 form(state, fakes.services(dir.path()));
        form.setProgramEnder([] {});
        form.show();
        QApplication::setActiveWindow(&form);
        QVERIFY(QTest::qWaitForWindowActive(&form));

        QStringList figures;
        bool checked = false;
        whenModalShows(QStringLiteral("Form2"), [&](QWidget *results) {
            for (const char *name : {"LabMode", "LabMiss", "LabPar", "LabSp"})
                figures << results->findChild<QLabel *>(QLatin1String(name))->text();
            checked = true;
            QTest::keyClick(results, Qt::Key_Return);
        });

        QTest::keyClick(static_cast<QWidget *>(nullptr), Qt::Key_Space);
        for (int i = 0; i < 10; ++i) {
            fakes.ticks.advance(523);
            QTest::keyClick(static_cast<QWidget *>(nullptr), Qt::Key(state.TargetKey));
        }
        QVERIFY(checked);
        QCOMPARE(figures, (QStringList{"数字", "0/10", "100.0", "0.523"}));
        QVERIFY(form.findChildren<QDialog *>().isEmpty());
        QVERIFY(form.findChild<QPushButton *>(QStringLiteral("Command1"))->isEnabled());
        QCOMPARE(form.focusWidget(), form.findChild<QPushButton *>(QStringLiteral("Command1")));
        QTRY_COMPARE(QApplication::activeWindow(), &form);

        QFile log(dir.filePath(QStringLiteral("Score.txt")));
        QVERIFY(log.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = log.readAll().split('\n');
        QCOMPARE(lines.size(), 5); // four lines and the empty rest after the last line end
        QVERIFY(lines[3].startsWith("2000/07/15 09:05"));
        QVERIFY(lines[3].endsWith("\r"));
    }

    void aboutBoxLeavesTheMainWindowAlone()
    {
        Form1Harness h("[Data]\r\nMode=3\r\nNum=50\r\nCap=0\r\n");
        QVERIFY(h.showAndActivate());
        const MainWindowSnapshot before = MainWindowSnapshot::of(h);
        QWindow *mainWindow = h.form->windowHandle();

        bool blocked = false;
        whenModalShows(QStringLiteral("frmAbout"), [&](QWidget *about) {
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
