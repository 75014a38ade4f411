// Runs in the real program, played with raw keycodes. On X11, a digits run
// while Shift is held: each digit key answers its digit whatever the
// character it types ("!", "@", ... on this server's US layout), and the run
// of ten questions ends with its results. On Wayland, whose compositor takes
// the keymap of any layout, runs on layouts unlike US, each question
// answered by the key a player of that layout presses for it.

#include "WaylandSession.h"
#include "X11Session.h"
#include "ClassicLook.h"
#include "support/MainWindowRig.h"
#include "support/TestFiles.h"
#include "virtual-keyboard-unstable-v1-client.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTest>
#include <QThread>

#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

#include <cstring>

#include <sys/mman.h>
#include <unistd.h>

using namespace tekkora::testing;

namespace {

// Keycodes of the server's default keyboard: the main row's 1 ... 9, 0.
constexpr unsigned Key1 = 10, Key0 = 19, Space = 65, ShiftL = 50;
constexpr int Questions = 10;

const QString MainTitle = QStringLiteral("Tekkora!");
const QString ResultsTitle = QStringLiteral("結果");

// A keyboard of a layout on a Wayland compositor, as a real one is: the
// compositor gets the layout's keymap compiled by libxkbcommon from its name,
// then raw key codes (zwp_virtual_keyboard_v1, which wtype speaks with a
// keymap made up for the keysyms it types).
struct VirtualKeyboard {
    ~VirtualKeyboard()
    {
        if (keyboard != nullptr)
            zwp_virtual_keyboard_v1_destroy(keyboard);
        if (manager != nullptr)
            zwp_virtual_keyboard_manager_v1_destroy(manager);
        if (seat != nullptr)
            wl_seat_destroy(seat);
        if (display != nullptr)
            wl_display_disconnect(display);
        xkb_keymap_unref(keymap);
        xkb_context_unref(context);
    }

    static void global(void *data, wl_registry *registry, std::uint32_t name, const char *interface, std::uint32_t)
    {
        auto *self = static_cast<VirtualKeyboard *>(data);
        if (self->seat == nullptr && std::strcmp(interface, wl_seat_interface.name) == 0)
            self->seat = static_cast<wl_seat *>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
        else if (std::strcmp(interface, zwp_virtual_keyboard_manager_v1_interface.name) == 0)
            self->manager = static_cast<zwp_virtual_keyboard_manager_v1 *>(
                wl_registry_bind(registry, name, &zwp_virtual_keyboard_manager_v1_interface, 1));
    }

    bool open(const QString &socket, const QByteArray &layout)
    {
        const xkb_rule_names names{"evdev", "pc105", layout.constData(), "", ""};
        keymap = xkb_keymap_new_from_names(context, &names, XKB_KEYMAP_COMPILE_NO_FLAGS);
        display = wl_display_connect(socket.toLocal8Bit().constData());
        if (keymap == nullptr || display == nullptr)
            return false;
        static constexpr wl_registry_listener listener{global, [](void *, wl_registry *, std::uint32_t) {}};
        wl_registry *registry = wl_display_get_registry(display);
        wl_registry_add_listener(registry, &listener, this);
        wl_display_roundtrip(display);
        wl_registry_destroy(registry);
        if (seat == nullptr || manager == nullptr)
            return false;
        keyboard = zwp_virtual_keyboard_manager_v1_create_virtual_keyboard(manager, seat);
        // The keymap goes as a file, with its terminating zero.
        char *text = xkb_keymap_get_as_string(keymap, XKB_KEYMAP_FORMAT_TEXT_V1);
        const std::size_t size = std::strlen(text) + 1;
        const int fd = memfd_create("keymap", MFD_CLOEXEC);
        const bool written = fd >= 0 && write(fd, text, size) == ssize_t(size);
        std::free(text);
        if (written)
            zwp_virtual_keyboard_v1_keymap(keyboard, WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1, fd, std::uint32_t(size));
        close(fd);
        if (!written || wl_display_roundtrip(display) < 0)
            return false;
        // As wtype does: a first key right after the keymap may be lost.
        QThread::msleep(100);
        return true;
    }

    // Presses and releases the key named so ("AC01"): its Linux input code,
    // the XKB keycode less 8.
    bool tap(const QByteArray &name)
    {
        const std::uint32_t key = xkb_keymap_key_by_name(keymap, name.constData()) - 8;
        zwp_virtual_keyboard_v1_key(keyboard, 0, key, WL_KEYBOARD_KEY_STATE_PRESSED);
        zwp_virtual_keyboard_v1_key(keyboard, 0, key, WL_KEYBOARD_KEY_STATE_RELEASED);
        return wl_display_roundtrip(display) >= 0;
    }

    xkb_context *context = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    xkb_keymap *keymap = nullptr;
    wl_display *display = nullptr;
    wl_seat *seat = nullptr;
    zwp_virtual_keyboard_manager_v1 *manager = nullptr;
    zwp_virtual_keyboard_v1 *keyboard = nullptr;
};

// Each character of the set as a question of the real window, drawn
// offscreen in this process on a scripted draw: where Label1 shows it (from
// the window's bottom, as the menu bar's height may differ offscreen), and
// how.
QList<std::tuple<char, QRect, QImage>> picturesOf(int mode, const QByteArray &characters)
{
    QApplication::setStyle(new tekkora::ClassicLookStyle);
    MainWindowRig rig("[Data]\r\nMode=" + QByteArray::number(mode) + "\r\nNum=50\r\nCap=1\r\n");
    for (qsizetype i = 0; i < characters.size(); ++i)
        rig.fakes.random.script.push_back((float(i) + 0.5f) / float(characters.size()));
    QList<std::tuple<char, QRect, QImage>> pictures;
    rig.showAndActivate();
    rig.start();
    for (const char character : characters) {
        const QLabel *label = rig.label("Label1");
        const QRect area(label->mapTo(rig.form.get(), QPoint()), label->size());
        if (rig.state.TargetKey == character)
            pictures.append({character, area.translated(0, -rig.form->height()), rig.form->grab(area).toImage()});
        rig.pressRightKey();
    }
    return pictures;
}

// The character the window shows, by the picture nearest to it; 0 when
// none is near (no question on show).
char shownIn(const QImage &window, const QList<std::tuple<char, QRect, QImage>> &pictures)
{
    char nearest = 0;
    double least = 8; // mean difference of grey per pixel
    for (const auto &[character, area, image] : pictures) {
        const QImage shown = window.copy(area.translated(0, window.height()));
        double sum = 0;
        for (int y = 0; y < shown.height() && shown.size() == image.size(); ++y)
            for (int x = 0; x < shown.width(); ++x)
                sum += std::abs(qGray(shown.pixel(x, y)) - qGray(image.pixel(x, y)));
        if (const double mean = sum / (image.width() * image.height()); mean < least && shown.size() == image.size())
            std::tie(least, nearest) = std::tie(mean, character);
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

    // The keys a player of the layout presses for A ... Z and 0 ... 9:
    // programmer Dvorak's digits are shifted and out of order; Russian has
    // no Latin letters, Thai no Latin letters nor ASCII digits, their keys
    // answer those of a US keyboard in their place.
    void runsOnOtherLayouts_data()
    {
        QTest::addColumn<QByteArray>("layout");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QByteArray>("keys");
        const QByteArray dvp = "AC01 AB06 AD08 AC06 AC03 AD06 AD07 AC07 AC05 AB03 AB04 AD10 AB07 AC09 AC02 AD04 AB02 "
                               "AD09 AC10 AC08 AC04 AB09 AB08 AB05 AD05 AB10 AE07 AE05 AE08 AE04 AE09 AE03 AE10 AE02 "
                               "AE11 AE06";
        const QByteArray us = "AC01 AB05 AB03 AC03 AD03 AC04 AC05 AC06 AD08 AC07 AC08 AC09 AB07 AB06 AD09 AD10 AD01 "
                              "AD04 AC02 AD05 AD07 AB04 AD02 AB02 AD06 AB01 AE10 AE01 AE02 AE03 AE04 AE05 AE06 AE07 "
                              "AE08 AE09";
        for (const auto &[layout, keys] : {std::pair("us(dvp)", dvp), std::pair("ru", us), std::pair("th", us)})
            for (const int mode : {1, 2})
                QTest::addRow("%s, %s", layout, mode == 1 ? "letters" : "digits") << QByteArray(layout) << mode << keys;
    }
    void runsOnOtherLayouts()
    {
        QFETCH(QByteArray, layout);
        QFETCH(int, mode);
        QFETCH(QByteArray, keys);
        if (QStandardPaths::findExecutable(QStringLiteral("grim")).isEmpty())
            QSKIP("grim is not installed");
        const auto pictures = picturesOf(mode, mode == 1 ? "ABCDEFGHIJKLMNOPQRSTUVWXYZ" : "0123456789");
        QVERIFY2(pictures.size() == (mode == 1 ? 26 : 10), "the window did not draw the questions offscreen");

        WaylandSession w;
        TEKKORA_START_WAYLAND(w);
        const QDir app(w.programDirectory());
        QVERIFY(writeAll(app.filePath(QStringLiteral("tekora.ini")),
                         "[Data]\r\nMode=" + QByteArray::number(mode) + "\r\nNum=10\r\nCap=1\r\n"));
        QVERIFY2(w.launch(QStringLiteral(TEKKORA_EXECUTABLE)), qPrintable(w.error()));
        QVERIFY(w.waitForWindow(MainTitle).has_value());
        // Where the window is, asked each time: sway may add its title bar
        // after it has shown the window.
        const auto client = [&w] {
            const auto window = w.waitForWindow(MainTitle);
            return window ? QRect(window->position, window->size) : QRect();
        };
        VirtualKeyboard keyboard;
        QVERIFY2(keyboard.open(w.displaySocket(), layout), "no virtual keyboard of that layout");

        QVERIFY(keyboard.tap("SPCE"));
        char last = 0;
        for (int question = 0; question < Questions; ++question) {
            // Questions never repeat: a new character is the next question.
            char shown = 0;
            QTRY_VERIFY2_WITH_TIMEOUT((shown = shownIn(w.grab(client()), pictures)) != 0 && shown != last,
                                      qPrintable(QStringLiteral("no question %1 after %2").arg(question + 1).arg(last)),
                                      DisplayTimeoutMs);
            QVERIFY(keyboard.tap(keys.split(' ').at(QByteArray("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789").indexOf(shown))));
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
