// A digits run in the real program, played with the main row's raw keycodes
// while Shift is held: each digit key answers its digit whatever the
// character it types ("!", "@", ... on this server's US layout), and the run
// of ten questions ends with its results.

#include "X11Session.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTest>

using namespace tekkora::testing;

namespace {

// Keycodes of the server's default keyboard: the main row's 1 ... 9, 0.
constexpr unsigned Key1 = 10, Key0 = 19, Space = 65, ShiftL = 50;
constexpr int Questions = 10;

const QString MainTitle = QStringLiteral("Tekkora!");
const QString ResultsTitle = QStringLiteral("結果");

} // namespace

class TestRawKeys : public QObject {
    Q_OBJECT
private slots:
    void digitsRunWithShiftHeld()
    {
        X11Session x;
        TEKKORA_START_X11(x);
        const QDir app(x.programDirectory());
        QVERIFY(writeAll(app.filePath(QStringLiteral("tekora.ini")), "[Data]\r\nMode=2\r\nNum=10\r\nCap=1\r\n"));
        QVERIFY2(x.launch(QStringLiteral(TEKKORA_EXECUTABLE)), qPrintable(x.error()));
        const XWindow window = x.waitForWindow(MainTitle);
        QVERIFY(window != 0);
        QVERIFY(x.waitForFocus(window));
        const QRect client = x.clientGeometry(window);

        const QImage idle = x.waitForStillImage(client);
        QVERIFY(!idle.isNull());
        x.pressKey(Space);
        QTRY_VERIFY_WITH_TIMEOUT(x.grab(client) != idle, DisplayTimeoutMs);

        // Shift held from here to the end; on its own it is a wrong key.
        x.keyDown(ShiftL);
        QTRY_COMPARE_WITH_TIMEOUT(x.bellCount(), 1, DisplayTimeoutMs);

        // The digit on screen is found by trying the keys in turn: a wrong
        // one rings the bell, the right one shows the next question.
        for (int question = 1; question < Questions; ++question) {
            const QImage shown = x.waitForStillImage(client);
            QVERIFY(!shown.isNull());
            bool answered = false;
            for (unsigned key = Key1; key <= Key0 && !answered; ++key) {
                const int bells = x.bellCount();
                x.pressKey(key);
                QTRY_VERIFY_WITH_TIMEOUT(x.bellCount() > bells || x.grab(client) != shown, DisplayTimeoutMs);
                answered = x.bellCount() == bells;
            }
            QVERIFY2(answered, qPrintable(QStringLiteral("no digit key answered question %1").arg(question)));
        }
        // The right key of the last question ends the run: every key once.
        for (unsigned key = Key1; key <= Key0; ++key)
            x.pressKey(key);
        x.keyUp(ShiftL);
        const XWindow results = x.waitForWindow(ResultsTitle);
        QVERIFY2(results != 0, "the run did not end");

        // Its record: ten questions of digits ("回" in Shift_JIS).
        const QByteArray score = readAll(app.filePath(QStringLiteral("Score.txt")));
        QVERIFY2(score.contains("/10 \x89\xf1"), score.constData());

        x.closeWindow(results);
        QVERIFY(x.waitForNoWindow(ResultsTitle));
        x.closeWindow(window);
        QVERIFY(x.waitForExit());
        QCOMPARE(x.program().exitCode(), 0);
    }
};

QTEST_GUILESS_MAIN(TestRawKeys)
#include "tst_rawkeys.moc"
