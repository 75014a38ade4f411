// Runs in the real program, played with raw keycodes. On X11, a digits run
// while Shift is held: each digit key answers its digit whatever the
// character it types ("!", "@", ... on this server's US layout), and the run
// of ten questions ends with its results. On Wayland, whose compositor takes
// the keymap of any layout, runs on layouts unlike US, each question
// answered by the key a player of that layout presses for it.

#include "VirtualKeyboard.h"
#include "WaylandSession.h"
#include "X11Session.h"
#include "ClassicLook.h"
#include "support/MainWindowRig.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTest>

using namespace tekkora::testing;

namespace {

// Keycodes of the server's default keyboard: the main row's 1 ... 9, 0.
constexpr unsigned Key1 = 10, Key0 = 19, Space = 65, ShiftL = 50;
constexpr int Questions = 10;

const QString MainTitle = QStringLiteral("Tekkora!");
const QString ResultsTitle = QStringLiteral("結果");

// A character as the main window shows it for a question: where (from the
// window's bottom left, below the menu bar, whose height may differ
// offscreen), and how.
struct Picture {
    char character;
    QRect area;
    QImage image;
};

// Each character of the set as a question of the real window, drawn
// offscreen in this process on a scripted draw.
QList<Picture> picturesOf(int mode, const QByteArray &characters)
{
    QApplication::setStyle(new tekkora::ClassicLookStyle);
    MainWindowRig rig("[Data]\r\nMode=" + QByteArray::number(mode) + "\r\nNum=50\r\nCap=1\r\n");
    for (qsizetype i = 0; i < characters.size(); ++i)
        rig.fakes.random.script.push_back((float(i) + 0.5f) / float(characters.size()));
    QList<Picture> pictures;
    if (!rig.showAndActivate())
        return pictures;
    rig.start();
    for (const char character : characters) {
        if (rig.state.TargetKey != character)
            return {};
        const QLabel *label = rig.label("Label1");
        const QRect area(label->mapTo(rig.form.get(), QPoint()), label->size());
        pictures.append({character, area.translated(0, -rig.form->height()),
                         rig.form->grab(area).toImage().convertToFormat(QImage::Format_RGB32)});
        rig.pressRightKey();
    }
    return pictures;
}

// The character the window shows, by the picture nearest to it; 0 when
// none is near (no question on show).
char shownIn(const QImage &window, const QList<Picture> &pictures)
{
    char nearest = 0;
    double least = 8; // mean difference of grey per pixel
    for (const Picture &picture : pictures) {
        const QImage shown = window.copy(picture.area.translated(0, window.height())).convertToFormat(QImage::Format_RGB32);
        if (shown.size() != picture.image.size())
            continue;
        double sum = 0;
        for (int y = 0; y < shown.height(); ++y)
            for (int x = 0; x < shown.width(); ++x)
                sum += std::abs(qGray(shown.pixel(x, y)) - qGray(picture.image.pixel(x, y)));
        if (const double mean = sum / (shown.width() * shown.height()); mean < least) {
            least = mean;
            nearest = picture.character;
        }
    }
    return nearest;
}

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

    void runsOnOtherLayouts_data()
    {
        QTest::addColumn<QByteArray>("layout");
        QTest::addColumn<int>("mode");
        for (const char *layout : {"us(dvp)", "ru"}) {
            QTest::addRow("%s, letters", layout) << QByteArray(layout) << 1;
            QTest::addRow("%s, digits", layout) << QByteArray(layout) << 2;
        }
    }
    void runsOnOtherLayouts()
    {
        QFETCH(QByteArray, layout);
        QFETCH(int, mode);
        if (QStandardPaths::findExecutable(QStringLiteral("grim")).isEmpty())
            QSKIP("grim is not installed");
        const QList<Picture> pictures = picturesOf(mode, mode == 1 ? "ABCDEFGHIJKLMNOPQRSTUVWXYZ" : "0123456789");
        QVERIFY2(!pictures.isEmpty(), "the window did not draw the questions offscreen");

        WaylandSession w;
        TEKKORA_START_WAYLAND(w);
        const QDir app(w.programDirectory());
        QVERIFY(writeAll(app.filePath(QStringLiteral("tekora.ini")),
                         "[Data]\r\nMode=" + QByteArray::number(mode) + "\r\nNum=10\r\nCap=1\r\n"));
        QVERIFY2(w.launch(QStringLiteral(TEKKORA_EXECUTABLE)), qPrintable(w.error()));
        const auto window = w.waitForWindow(MainTitle);
        QVERIFY(window.has_value());
        const QRect client(window->position, window->size);
        VirtualKeyboard keyboard;
        QVERIFY2(keyboard.open(w.displaySocket(), layout), qPrintable(keyboard.error()));

        QVERIFY(keyboard.tap(Space));
        char last = 0;
        for (int question = 0; question < Questions; ++question) {
            // Questions never repeat: a new character is the next question.
            char shown = 0;
            QTRY_VERIFY2_WITH_TIMEOUT((shown = shownIn(w.grab(client), pictures)) != 0 && shown != last,
                                      qPrintable(QStringLiteral("no question %1 after %2").arg(question + 1).arg(last)),
                                      DisplayTimeoutMs);
            const std::uint32_t key = keyboard.keyAnswering(shown);
            QVERIFY2(key != 0, qPrintable(QStringLiteral("no key of the layout shows %1").arg(shown)));
            QVERIFY(keyboard.tap(key));
            last = shown;
        }
        QVERIFY2(w.waitForWindow(ResultsTitle).has_value(), "the run did not end");
        // Ten questions, none missed.
        const QByteArray score = readAll(app.filePath(QStringLiteral("Score.txt")));
        QVERIFY2(score.contains(" 0/10 \x89\xf1"), score.constData());
    }
};

QTEST_MAIN(TestRawKeys)
#include "tst_rawkeys.moc"
