#include "XkbAnswers.h"

#include <QChar>

#include <xkbcommon/xkbcommon.h>

#include <algorithm>
#include <array>
#include <cstring>

namespace tekkora {

namespace {

// What a key's first two levels hold in one group.
struct Held {
    std::int16_t letter = 0; // an ASCII letter's upper-case code
    std::int16_t digit = 0;  // an ASCII digit's code
    bool latinLetter = false; // a Latin letter outside A-Z
    bool otherScriptLetter = false;
    bool keypad = false;
};

bool isKeypadKeysym(xkb_keysym_t sym)
{
    return sym >= XKB_KEY_KP_Space && sym <= XKB_KEY_KP_Equal;
}

Held heldBy(xkb_keymap *keymap, xkb_keycode_t key, xkb_layout_index_t group)
{
    Held held;
    for (xkb_level_index_t level = 0; level < 2; ++level) {
        const xkb_keysym_t *syms = nullptr;
        const int count = xkb_keymap_key_get_syms_by_level(keymap, key, group, level, &syms);
        for (int i = 0; i < count; ++i) {
            const xkb_keysym_t sym = syms[i];
            if (sym >= XKB_KEY_a && sym <= XKB_KEY_z) {
                if (held.letter == 0)
                    held.letter = std::int16_t('A' + (sym - XKB_KEY_a));
            } else if (sym >= XKB_KEY_A && sym <= XKB_KEY_Z) {
                if (held.letter == 0)
                    held.letter = std::int16_t('A' + (sym - XKB_KEY_A));
            } else if (sym >= XKB_KEY_0 && sym <= XKB_KEY_9) {
                if (held.digit == 0)
                    held.digit = std::int16_t('0' + (sym - XKB_KEY_0));
            } else if (isKeypadKeysym(sym)) {
                held.keypad = true;
            } else if (const char32_t c = xkb_keysym_to_utf32(sym); c != 0 && QChar::isLetter(c)) {
                const QChar::Script script = QChar::script(c);
                if (script == QChar::Script_Latin)
                    held.latinLetter = true;
                else if (script != QChar::Script_Common && script != QChar::Script_Inherited)
                    held.otherScriptLetter = true;
            }
        }
    }
    return held;
}

bool isKeypadKey(const char *name)
{
    return name != nullptr && std::strncmp(name, "KP", 2) == 0;
}

} // namespace

XkbAnswers::XkbAnswers() = default;

XkbAnswers::~XkbAnswers()
{
    xkb_keymap_unref(usKeymap_);
    xkb_context_unref(usContext_);
}

std::int16_t XkbAnswers::usLetterOf(const char *keyName)
{
    if (usKeymap_ == nullptr) {
        if (usContext_ == nullptr)
            usContext_ = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
        const xkb_rule_names us{"evdev", "pc105", "us", "", ""};
        if (usContext_ != nullptr)
            usKeymap_ = xkb_keymap_new_from_names(usContext_, &us, XKB_KEYMAP_COMPILE_NO_FLAGS);
        if (usKeymap_ == nullptr)
            return 0;
    }
    const xkb_keycode_t key = xkb_keymap_key_by_name(usKeymap_, keyName);
    if (key == XKB_KEYCODE_INVALID)
        return 0;
    const Held held = heldBy(usKeymap_, key, 0);
    return held.letter;
}

void XkbAnswers::read(xkb_keymap *keymap)
{
    table_.fill(0);
    const xkb_keycode_t first = xkb_keymap_min_keycode(keymap);
    const xkb_keycode_t last = std::min<xkb_keycode_t>(xkb_keymap_max_keycode(keymap), table_.size() - 1);

    // A group holding letters of another script and no ASCII letter is a
    // non-Latin layout: its other keys stand in for the US letters too.
    constexpr xkb_layout_index_t MaxGroups = 4;
    std::array<bool, MaxGroups> asciiLetters{}, otherLetters{};
    for (xkb_keycode_t key = first; key <= last; ++key) {
        const xkb_layout_index_t groups = std::min(xkb_keymap_num_layouts_for_key(keymap, key), MaxGroups);
        for (xkb_layout_index_t group = 0; group < groups; ++group) {
            const Held held = heldBy(keymap, key, group);
            asciiLetters[group] = asciiLetters[group] || held.letter != 0;
            otherLetters[group] = otherLetters[group] || held.otherScriptLetter;
        }
    }

    for (xkb_keycode_t key = first; key <= last; ++key) {
        const char *name = xkb_keymap_key_get_name(keymap, key);
        if (name == nullptr || isKeypadKey(name))
            continue;
        const xkb_layout_index_t groups = std::min(xkb_keymap_num_layouts_for_key(keymap, key), MaxGroups);
        for (xkb_layout_index_t group = 0; group < groups; ++group) {
            const Held held = heldBy(keymap, key, group);
            std::int16_t answer = 0;
            if (held.keypad)
                break;
            if (held.letter != 0)
                answer = held.letter;
            else if (held.digit != 0)
                answer = held.digit;
            else if (held.otherScriptLetter || (otherLetters[group] && !asciiLetters[group]))
                answer = usLetterOf(name);
            if (answer != 0 || held.latinLetter || held.otherScriptLetter) {
                table_[key] = answer;
                break;
            }
        }
    }
}

} // namespace tekkora
