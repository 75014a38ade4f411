// Key events become the key codes the drill compares: from the toolkit's
// key, and from the platform's native codes on the keyboard layouts players
// use, built as the xkb-based platforms build their key events.

#include "BrowserKeys.h"
#include "KeyCodes.h"

#include <QKeyEvent>
#include <QTest>

#include <algorithm>
#include <map>
#include <set>

#ifdef TEKKORA_HAVE_XKBCOMMON
#include "XkbAnswers.h"

#include <xkbcommon/xkbcommon.h>

#include <memory>
#endif

using namespace tekkora;

namespace {

#ifdef TEKKORA_HAVE_XKBCOMMON

// A layout as libxkbcommon compiles it from its name, and a keyboard state
// on it.
struct Keyboard {
    explicit Keyboard(const char *layout)
    {
        const xkb_rule_names names{"evdev", "pc105", layout, "", ""};
        keymap.reset(xkb_keymap_new_from_names(context.get(), &names, XKB_KEYMAP_COMPILE_NO_FLAGS));
        if (keymap)
            state.reset(xkb_state_new(keymap.get()));
    }

    // Shift held, Caps Lock on; Num Lock is on throughout, as the keypad's
    // digits need it.
    void set(bool shift, bool capsLock)
    {
        const auto mask = [this](const char *name) {
            return xkb_mod_mask_t(1) << xkb_keymap_mod_get_index(keymap.get(), name);
        };
        const xkb_mod_mask_t locked = mask(XKB_MOD_NAME_NUM) | (capsLock ? mask(XKB_MOD_NAME_CAPS) : 0);
        xkb_state_update_mask(state.get(), shift ? mask(XKB_MOD_NAME_SHIFT) : 0, 0, locked, 0, 0, 0);
    }

    // The keysyms on two levels of the key: from 0, what it types with and
    // without Shift; from 2, its third and fourth.
    QList<xkb_keysym_t> levels(xkb_keycode_t key, xkb_level_index_t first = 0) const
    {
        QList<xkb_keysym_t> syms;
        for (xkb_level_index_t level = first; level < first + 2; ++level) {
            const xkb_keysym_t *found = nullptr;
            const int count = xkb_keymap_key_get_syms_by_level(keymap.get(), key, 0, level, &found);
            for (int i = 0; i < count; ++i)
                syms << found[i];
        }
        return syms;
    }

    // The key event as Qt's xcb and wayland plug-ins make it: the keysym of
    // the current state turned into Qt's key, its text, the keycode as the
    // native scan code and the keysym as the native virtual key.
    QKeyEvent press(xkb_keycode_t key) const
    {
        const xkb_keysym_t sym = xkb_state_key_get_one_sym(state.get(), key);
        char utf8[16] = {};
        xkb_state_key_get_utf8(state.get(), key, utf8, sizeof utf8);
        const QString text = QString::fromUtf8(utf8);
        Qt::KeyboardModifiers modifiers;
        if (xkb_state_mod_name_is_active(state.get(), XKB_MOD_NAME_SHIFT, XKB_STATE_MODS_EFFECTIVE) > 0)
            modifiers |= Qt::ShiftModifier;
        if (sym >= XKB_KEY_KP_Space && sym <= XKB_KEY_KP_9)
            modifiers |= Qt::KeypadModifier;
        return QKeyEvent(QEvent::KeyPress, qtKeyOf(sym, text), modifiers, key, sym, 0, text);
    }

    static int qtKeyOf(xkb_keysym_t sym, const QString &text)
    {
        if (sym >= XKB_KEY_KP_0 && sym <= XKB_KEY_KP_9)
            return Qt::Key_0 + int(sym - XKB_KEY_KP_0);
        if (sym <= 0xff) // Latin-1: the keysym is the character; Qt names keys by upper case
            return int(xkb_keysym_to_upper(sym));
        switch (sym) {
        case XKB_KEY_Shift_L:
        case XKB_KEY_Shift_R: return Qt::Key_Shift;
        case XKB_KEY_KP_Insert: return Qt::Key_Insert;
        case XKB_KEY_KP_End: return Qt::Key_End;
        case XKB_KEY_KP_Down: return Qt::Key_Down;
        case XKB_KEY_KP_Next: return Qt::Key_PageDown;
        case XKB_KEY_KP_Left: return Qt::Key_Left;
        case XKB_KEY_KP_Begin: return Qt::Key_Clear;
        case XKB_KEY_KP_Right: return Qt::Key_Right;
        case XKB_KEY_KP_Home: return Qt::Key_Home;
        case XKB_KEY_KP_Up: return Qt::Key_Up;
        case XKB_KEY_KP_Prior: return Qt::Key_PageUp;
        default: break;
        }
        return text.isEmpty() ? 0 : int(text.toUpper().toUcs4().value(0));
    }

    struct ContextFree { void operator()(xkb_context *c) const { xkb_context_unref(c); } };
    struct KeymapFree { void operator()(xkb_keymap *k) const { xkb_keymap_unref(k); } };
    struct StateFree { void operator()(xkb_state *s) const { xkb_state_unref(s); } };
    std::unique_ptr<xkb_context, ContextFree> context{xkb_context_new(XKB_CONTEXT_NO_FLAGS)};
    std::unique_ptr<xkb_keymap, KeymapFree> keymap;
    std::unique_ptr<xkb_state, StateFree> state;
};

// The name of the key answering the letter or digit on a US keyboard.
QByteArray usKeyOf(int code)
{
    for (const QByteArray row : {"AE1234567890", "ADQWERTYUIOP", "ACASDFGHJKL", "ABZXCVBNM"})
        if (const qsizetype at = row.indexOf(char(code), 2); at >= 2)
            return row.left(2) + QByteArray::number(at - 1).rightJustified(2, '0');
    return {};
}

bool answers(int code)
{
    return (code >= '0' && code <= '9') || (code >= 'A' && code <= 'Z');
}

#endif

int compiledKeymaps = 0, skippedKeymaps = 0;

} // namespace

class TestKeyCodes : public QObject {
    Q_OBJECT
private slots:
    void translation_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("code");
        QTest::newRow("A") << int(Qt::Key_A) << 0 << 65;
        QTest::newRow("Z with Shift") << int(Qt::Key_Z) << int(Qt::ShiftModifier) << 90;
        QTest::newRow("main-row 0") << int(Qt::Key_0) << 0 << 48;
        QTest::newRow("main-row 9") << int(Qt::Key_9) << 0 << 57;
        QTest::newRow("keypad 0") << int(Qt::Key_0) << int(Qt::KeypadModifier) << 96;
        QTest::newRow("keypad 9") << int(Qt::Key_9) << int(Qt::KeypadModifier) << 105;
        QTest::newRow("Esc") << int(Qt::Key_Escape) << 0 << 27;
        QTest::newRow("Shift") << int(Qt::Key_Shift) << int(Qt::ShiftModifier) << 16;
        QTest::newRow("Ctrl") << int(Qt::Key_Control) << int(Qt::ControlModifier) << 17;
        QTest::newRow("Alt") << int(Qt::Key_Alt) << int(Qt::AltModifier) << 18;
        QTest::newRow("F5") << int(Qt::Key_F5) << 0 << 116;
        QTest::newRow("Space") << int(Qt::Key_Space) << 0 << 32;
        QTest::newRow("Enter") << int(Qt::Key_Return) << 0 << 13;
        QTest::newRow("shifted 1 is no digit") << int(Qt::Key_Exclam) << int(Qt::ShiftModifier) << 255;
        QTest::newRow("kana key") << int(Qt::Key_Katakana) << 0 << 255;
    }
    void translation()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(int, code);
        QCOMPARE(int(keyCodeFor(key, Qt::KeyboardModifiers(modifiers))), code);
        // An event without native codes (a synthetic one) gives the same on
        // every platform.
        for (const char *platform : {"xcb", "wayland", "windows", "offscreen"}) {
            const KeyPress press{key, Qt::KeyboardModifiers(modifiers), 0, 0};
            QCOMPARE(int(keyCodeFor(press, nativeKeysFor(QString::fromLatin1(platform)))), code);
        }
    }

    // Windows names the key itself in its virtual-key code, which is the
    // drill's code for the keys that answer.
    void windowsVirtualKeys_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("virtualKey");
        QTest::addColumn<int>("code");
        QTest::newRow("Shift+2 on a US layout") << int(Qt::Key_At) << int(Qt::ShiftModifier) << 0x32 << 50;
        QTest::newRow("unshifted 2 on a French layout") << int(Qt::Key_Eacute) << 0 << 0x32 << 50;
        QTest::newRow("Z on a German layout") << int(Qt::Key_Z) << 0 << 0x5a << 90;
        QTest::newRow("a letter on a Russian layout") << 0x424 << 0 << 0x41 << 65;
        QTest::newRow("keypad 1") << int(Qt::Key_1) << int(Qt::KeypadModifier) << 0x61 << 97;
        QTest::newRow("Shift itself") << int(Qt::Key_Shift) << int(Qt::ShiftModifier) << 0x10 << 16;
        QTest::newRow("Esc") << int(Qt::Key_Escape) << 0 << 0x1b << 27;
    }
    void windowsVirtualKeys()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(int, virtualKey);
        QFETCH(int, code);
        const KeyPress press{key, Qt::KeyboardModifiers(modifiers), 0, std::uint32_t(virtualKey)};
        QCOMPARE(int(keyCodeFor(press, nativeKeysFor(u"windows"))), code);
    }

    // The browser names the key's place; Chromium also tells what each key
    // shows unshifted (the map, as code=shown pairs; none: other browsers).
    void browserKeys_data()
    {
        QTest::addColumn<QString>("map");
        QTest::addColumn<QString>("code");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("answer");
        const QString us = "Digit1=1 Digit2=2 KeyQ=q KeyA=a KeyM=m Semicolon=;";
        const QString fr = "Digit1=& Digit2=é KeyQ=a KeyA=q KeyM=, Semicolon=m";
        const QString ru = "Digit1=1 KeyQ=й KeyA=ф KeyF=а KeyM=ь Semicolon=ж";
        const int shift = Qt::ShiftModifier;
        for (const QString &map : {QString(), us}) {
            const char *mapped = map.isEmpty() ? "" : ", mapped";
            QTest::addRow("Shift+1 on US%s", mapped) << map << "Digit1" << int(Qt::Key_Exclam) << shift << 49;
        }
        for (const QString &map : {QString(), fr}) {
            const char *mapped = map.isEmpty() ? "" : ", mapped";
            QTest::addRow("AZERTY &/1%s", mapped) << map << "Digit1" << int(Qt::Key_Ampersand) << 0 << 49;
            QTest::addRow("AZERTY é/2%s", mapped) << map << "Digit2" << int(Qt::Key_Eacute) << 0 << 50;
            QTest::addRow("AZERTY A on the Q key%s", mapped) << map << "KeyQ" << int(Qt::Key_A) << 0 << 65;
        }
        QTest::newRow("AZERTY M on the ; key, mapped") << fr << "Semicolon" << int(Qt::Key_M) << 0 << 77;
        QTest::newRow("AZERTY , on the M key, mapped") << fr << "KeyM" << int(Qt::Key_Comma) << 0 << 255;
        for (const QString &map : {QString(), ru}) {
            const char *mapped = map.isEmpty() ? "" : ", mapped";
            QTest::addRow("Russian а on the F key%s", mapped) << map << "KeyF" << 0x430 << 0 << 70;
            QTest::addRow("Russian Ф on the A key%s", mapped) << map << "KeyA" << 0x424 << shift << 65;
            QTest::addRow("keypad 1%s", mapped) << map << "Numpad1" << int(Qt::Key_1) << 0 << 97;
        }
        QTest::newRow("Esc") << us << "Escape" << int(Qt::Key_Escape) << 0 << 27;
    }
    void browserKeys()
    {
        QFETCH(QString, map);
        QFETCH(QString, code);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(int, answer);
        QList<std::pair<QString, QString>> layoutMap;
        for (const QString &pair : map.split(u' ', Qt::SkipEmptyParts))
            layoutMap.append({pair.section(u'=', 0, 0), pair.section(u'=', 1)});
        const KeycodeAnswers answers = browserLayoutAnswers(layoutMap);
        const KeyPress press{key, Qt::KeyboardModifiers(modifiers), xkbKeycodeOfBrowserCode(code), 0};
        QCOMPARE(int(keyCodeFor(press, nativeKeysFor(u"wasm"), map.isEmpty() ? nullptr : &answers)), answer);
    }

    // Every layout and variant xkeyboard-config ships, and some pairs, with
    // and without Shift or Caps Lock, as the X11 and Wayland plug-ins deliver
    // its keys: a key that shows an ASCII letter or digit answers that (the
    // letter first), any other only what its third or fourth level holds or
    // its place answers on a US keyboard; a letter or digit no key answers is
    // held by no key that answers nothing, and its US key answers another.
    // The keypad and Shift answer nothing. Some layouts name a key a player
    // would check first, and its answer (0 for none).
    void layouts_data()
    {
        QTest::addColumn<QString>("layout");
        QTest::addColumn<bool>("shift");
        QTest::addColumn<bool>("capsLock");
        QTest::addColumn<QString>("namedKey");
        QTest::addColumn<int>("answer");
        const std::map<QString, std::pair<QString, int>> keys{
            {"us(dvp)", {"AE02", '7'}}, {"hu", {"AE10", 0}},      {"hu,us", {"AE10", 0}}, {"ru", {"AC01", 'A'}},
            {"gr", {"AD01", 'Q'}},      {"gr,us", {"AD01", 'Q'}}, {"lt", {"AE01", '1'}},  {"th", {"AE02", '2'}},
            {"fr,us", {"AB07", 0}},     {"us,tr", {"AC11", 0}},   {"ir", {"AE01", '1'}},  {"in", {"AE03", '3'}},
            {"bd", {"AE01", '1'}},      {"vn", {"AE02", '2'}},    {"kz", {"AE02", '2'}},  {"am", {"AE04", '4'}},
            {"hu(101_qwerty_comma_nodead)", {"TLDE", '0'}}};
        QStringList layouts{"hu,us", "gr,us", "fr,us", "us,tr"};
#ifdef TEKKORA_HAVE_XKBCOMMON
        QFile list(QStringLiteral(TEKKORA_XKB_LAYOUT_LIST));
        QVERIFY2(list.open(QIODevice::ReadOnly), "no list of layouts (is xkb-data installed?)");
        for (QString section; !list.atEnd();) {
            const QStringList words = QString::fromUtf8(list.readLine()).simplified().split(u' ');
            if (words[0] == u"!")
                section = words.value(1);
            else if (words.size() > 1 && section == u"layout")
                layouts << words[0];
            else if (words.size() > 2 && section == u"variant")
                layouts << words[1].chopped(1) + u'(' + words[0] + u')';
        }
#endif
        for (const QString &layout : layouts) {
            const auto [key, code] = keys.count(layout) != 0 ? keys.at(layout) : std::pair<QString, int>();
            for (const auto &[shift, capsLock, state] : {std::tuple(false, false, ""), std::tuple(true, false, ", Shift"),
                                                          std::tuple(false, true, ", Caps Lock")})
                QTest::addRow("%s%s", qPrintable(layout), state) << layout << shift << capsLock << key << code;
        }
    }
    void layouts()
    {
#ifndef TEKKORA_HAVE_XKBCOMMON
        QSKIP("built without libxkbcommon");
#else
        QFETCH(QString, layout);
        QFETCH(bool, shift);
        QFETCH(bool, capsLock);
        QFETCH(QString, namedKey);
        QFETCH(int, answer);
        // A layout's rows come one after the other: it is compiled once.
        static std::pair<QString, std::unique_ptr<Keyboard>> compiled;
        if (std::exchange(compiled.first, layout) != layout) {
            compiled.second = std::make_unique<Keyboard>(layout.toLatin1().constData());
            ++(compiled.second->state ? compiledKeymaps : skippedKeymaps);
        }
        Keyboard &keyboard = *compiled.second;
        // The list names a few that need files of the user's own.
        if (!keyboard.state && !layout.contains(u','))
            QSKIP("libxkbcommon cannot compile the layout");
        QVERIFY2(keyboard.state, "libxkbcommon cannot compile the layout (is xkb-data installed?)");
        keyboard.set(shift, capsLock);
        XkbAnswers layoutAnswers;
        layoutAnswers.read(keyboard.keymap.get());
        const auto codeOf = [&](xkb_keycode_t key) {
            const QKeyEvent event = keyboard.press(key);
            return int(keyCodeFor(keyPressOf(event), NativeKeys::Xkb, &layoutAnswers.table()));
        };
        const auto describe = [&](xkb_keycode_t key, int code) {
            const QKeyEvent event = keyboard.press(key);
            return QStringLiteral("keycode %1 (%2, Qt key 0x%3) gives %4")
                .arg(key)
                .arg(event.text())
                .arg(event.key(), 0, 16)
                .arg(code)
                .toUtf8();
        };

        std::set<int> answered;
        QString heldByFreeKeys;
        int keypadKeys = 0;
        xkb_keymap *keymap = keyboard.keymap.get();
        for (xkb_keycode_t key = xkb_keymap_min_keycode(keymap); key <= xkb_keymap_max_keycode(keymap); ++key) {
            const QList<xkb_keysym_t> syms = keyboard.levels(key);
            const QByteArray name = xkb_keymap_key_get_name(keymap, key);
            const int code = codeOf(key);
            // The key's ASCII letter (upper case) or else digit, as it shows them.
            QChar shown;
            QString upper;
            for (const xkb_keysym_t sym : syms) {
                const QChar c(char16_t(xkb_keysym_to_utf32(sym)));
                if (c.unicode() < 128 && c.isLetterOrNumber() && (shown.isNull() || (shown.isDigit() && c.isLetter()))
                    && (sym < XKB_KEY_KP_Space || sym > XKB_KEY_KP_Equal))
                    shown = c.toUpper();
            }
            for (const xkb_keysym_t sym : keyboard.levels(key, 2))
                upper += QChar(char16_t(xkb_keysym_to_utf32(sym))).toUpper();
            if (name.startsWith("KP")) {
                ++keypadKeys;
                QVERIFY2(!answers(code), describe(key, code).constData());
                const xkb_keysym_t typed = xkb_state_key_get_one_sym(keyboard.state.get(), key);
                if (typed >= XKB_KEY_KP_0 && typed <= XKB_KEY_KP_9)
                    QVERIFY2(code == 96 + int(typed - XKB_KEY_KP_0), describe(key, code).constData());
            } else if (!shown.isNull()) {
                QVERIFY2(code == shown.unicode(), describe(key, code).constData());
            } else if (answers(code)) {
                QVERIFY2(upper.contains(QChar(code)) || name == usKeyOf(code), describe(key, code).constData());
            } else {
                heldByFreeKeys += upper;
            }
            if (answers(code))
                answered.insert(code);
        }
        for (const char question : QByteArray("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ"))
            QVERIFY2(answered.count(question) != 0
                         || (!heldByFreeKeys.contains(QChar(question))
                             && answers(codeOf(xkb_keymap_key_by_name(keymap, usKeyOf(question))))),
                     qPrintable(QStringLiteral("nothing answers %1").arg(question)));
        QVERIFY(keypadKeys >= 10);
        for (const char *name : {"LFSH", "RTSH"})
            QVERIFY(shift || codeOf(xkb_keymap_key_by_name(keymap, name)) == 16);
        // A row without a named key names no key, which answers nothing.
        const int named = codeOf(xkb_keymap_key_by_name(keymap, namedKey.toLatin1().constData()));
        QCOMPARE(answers(named) ? named : 0, answer);
#endif
    }

    void cleanupTestCase() { qInfo("%d keymaps compiled, %d skipped", compiledKeymaps, skippedKeymaps); }

    void nothingElseLandsOnAnAnswer()
    {
        // Every other key of the toolkit, with or without modifiers, stays
        // clear of the codes that answer questions.
        const Qt::KeyboardModifiers mods[] = {Qt::NoModifier, Qt::ShiftModifier, Qt::KeypadModifier,
                                              Qt::ControlModifier | Qt::AltModifier};
        for (int key = 0; key < 0x01300000; key = key < 0x10000 ? key + 1 : key + 0x100) {
            const bool answer = (key >= Qt::Key_0 && key <= Qt::Key_9) || (key >= Qt::Key_A && key <= Qt::Key_Z);
            if (answer)
                continue;
            for (Qt::KeyboardModifiers m : mods) {
                const int code = keyCodeFor(key, m);
                if ((code >= 48 && code <= 57) || (code >= 65 && code <= 90))
                    QFAIL(qPrintable(QStringLiteral("key %1 gives %2").arg(key, 0, 16).arg(code)));
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestKeyCodes)
#include "tst_keycodes.moc"
