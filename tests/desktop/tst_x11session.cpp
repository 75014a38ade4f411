// The desktop harness on the real program: it finds and measures the main
// window with and without a window manager, reads its pixels, types raw keys
// into it, hears its bell and closes it as the close box does.

#include "X11Session.h"

#include <QFile>
#include <QTest>

using namespace tekkora::testing;

namespace {

// Keycodes of the server's default keyboard.
constexpr unsigned Escape = 9, Space = 65, ControlL = 37, KeyN = 57, KeypadEnd = 87;

const QString MainTitle = QStringLiteral("Tekkora!");

QByteArray settingsIn(const X11Session &x)
{
    QFile file(x.programDirectory() + QStringLiteral("/tekora.ini"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestX11Session : public QObject {
    Q_OBJECT
private slots:
    void mainWindowOnTheDisplay_data()
    {
        QTest::addColumn<int>("manager");
        QTest::newRow("no window manager") << int(X11Session::NoWindowManager);
        QTest::newRow("openbox") << int(X11Session::Openbox);
    }

    void mainWindowOnTheDisplay()
    {
        QFETCH(int, manager);
        X11Session x{X11Session::WindowManager(manager)};
        TEKKORA_START_X11(x);
        QVERIFY2(x.launch(QStringLiteral(TEKKORA_EXECUTABLE)), qPrintable(x.error()));
        const XWindow window = x.waitForWindow(MainTitle);
        QVERIFY(window != 0);
        QCOMPARE(x.findWindow(QStringLiteral("no such window")), XWindow(0));

        // 2550 twips wide; 2070 high below the menu bar.
        const QRect client = x.clientGeometry(window);
        QCOMPARE(client.width(), 170);
        QVERIFY(client.height() > 138);
        const QRect frame = x.frameGeometry(window);
        QVERIFY(frame.contains(client));
        if (manager == X11Session::NoWindowManager)
            QCOMPARE(frame, client);
        else
            QVERIFY(frame.top() < client.top()); // the title bar

        // The window's own colour, channels in their places.
        QTRY_COMPARE(x.grab(QRect(client.topLeft() + QPoint(4, client.height() - 4), QSize(1, 1))).pixel(0, 0),
                     qRgb(128, 128, 255));
        const QImage whole = x.grab(frame);
        QCOMPARE(whole.size(), frame.size());

        x.closeWindow(window);
        QVERIFY(x.waitForNoWindow(MainTitle));
        QVERIFY(x.waitForExit());
        QCOMPARE(x.program().exitCode(), 0);
    }

    void rawKeysAndTheBell_data() { mainWindowOnTheDisplay_data(); }

    void rawKeysAndTheBell()
    {
        QFETCH(int, manager);
        X11Session x{X11Session::WindowManager(manager)};
        TEKKORA_START_X11(x);
        QVERIFY2(x.launch(QStringLiteral(TEKKORA_EXECUTABLE)), qPrintable(x.error()));
        const XWindow window = x.waitForWindow(MainTitle);
        QVERIFY(window != 0);
        QVERIFY(x.waitForFocus(window));

        // Ctrl+N picks digits; Space starts a run, in which the keypad's
        // digits are wrong keys; Esc on the first question ends it quietly.
        x.pressKey(KeyN, ControlL);
        x.pressKey(Space);
        x.pressKey(KeypadEnd);
        QTRY_COMPARE(x.bellCount(), 1);
        x.keyDown(KeypadEnd);
        x.keyUp(KeypadEnd);
        QTRY_COMPARE(x.bellCount(), 2);
        x.pressKey(Escape);

        // The Quit button, 88 pixels from the left and 104 below the menu
        // bar, ends the program, which saves the options beside itself.
        const QRect client = x.clientGeometry(window);
        x.click(QPoint(client.left() + 88 + 36, client.bottom() - (138 - 104 - 12)));
        QVERIFY(x.waitForExit());
        QCOMPARE(x.program().exitCode(), 0);
        QVERIFY2(settingsIn(x).contains("Mode=2"), settingsIn(x).constData());
        QCOMPARE(x.bellCount(), 2);
    }
};

QTEST_GUILESS_MAIN(TestX11Session)
#include "tst_x11session.moc"
