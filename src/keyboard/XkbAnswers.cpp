#include "XkbAnswers.h"

#include <QChar>

#include <xkbcommon/xkbcommon.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>

namespace tekkora {

namespace {

// What two levels of a key hold in one group.
struct Held {
    std::int16_t letter = 0; // an ASCII letter's upper-case code
    std::int16_t digit = 0;  // an ASCII digit's code
    bool otherScriptLetter = false;
    bool any = false;
};

// What the key holds on the two levels from firstLevel on (0: unshifted and
// with Shift; 2: the third and fourth).
Held heldBy(xkb_keymap *keymap, xkb_keycode_t key, xkb_layout_index_t group, xkb_level_index_t firstLevel = 0)
{
    Held held;
    for (xkb_level_index_t level = firstLevel; level < firstLevel + 2; ++level) {
        const xkb_keysym_t *syms = nullptr;
        const int count = xkb_keymap_key_get_syms_by_level(keymap, key, group, level, &syms);
        for (int i = 0; i < count; ++i) {
            const xkb_keysym_t sym = syms[i];
            held.any = held.any || sym != XKB_KEY_NoSymbol;
            if (sym >= XKB_KEY_a && sym <= XKB_KEY_z) {
                if (held.letter == 0)
                    held.letter = std::int16_t('A' + (sym - XKB_KEY_a));
            } else if (sym >= XKB_KEY_A && sym <= XKB_KEY_Z) {
                if (held.letter == 0)
                    held.letter = std::int16_t('A' + (sym - XKB_KEY_A));
            } else if (sym >= XKB_KEY_0 && sym <= XKB_KEY_9) {
                if (held.digit == 0)
                    held.digit = std::int16_t('0' + (sym - XKB_KEY_0));
            } else if (const char32_t c = xkb_keysym_to_utf32(sym); c != 0 && QChar::isLetter(c)) {
                const QChar::Script script = QChar::script(c);
                held.otherScriptLetter = held.otherScriptLetter
                                         || (script != QChar::Script_Latin && script != QChar::Script_Common
                                             && script != QChar::Script_Inherited);
            }
        }
    }
    return held;
}

// The keys of a US keyboard that answer, row by row from the number row
// down: the XKB names the rows "AE", "AD", "AC", "AB", and numbers each row's
// keys from 01 on the left.
struct UsRow {
    char row;
    const char *answers;
};
constexpr std::array<UsRow, 4> UsRows{{{'E', "1234567890"}, {'D', "QWERTYUIOP"}, {'C', "ASDFGHJKL"}, {'B', "ZXCVBNM"}}};

// What the named key answers on a US keyboard, or 0.
std::int16_t usAnswerOf(const char *name)
{
    if (std::strlen(name) != 4 || name[0] != 'A' || name[2] < '0' || name[2] > '9' || name[3] < '0' || name[3] > '9')
        return 0;
    const std::size_t column = std::size_t(name[2] - '0') * 10 + std::size_t(name[3] - '0');
    for (const UsRow &row : UsRows)
        if (row.row == name[1] && column >= 1 && column <= std::strlen(row.answers))
            return row.answers[column - 1];
    return 0;
}

// The name of the key that answers the letter or digit on a US keyboard.
std::array<char, 5> usKeyOf(char question)
{
    for (const UsRow &row : UsRows)
        if (const char *at = std::strchr(row.answers, question); at != nullptr) {
            const auto column = int(at - row.answers) + 1;
            return {'A', row.row, char('0' + column / 10), char('0' + column % 10), '\0'};
        }
    return {};
}

bool isLetter(std::int16_t code)
{
    return code >= 'A' && code <= 'Z';
}

// Every letter and digit the drill asks.
constexpr std::string_view Questions = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";

} // namespace

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

    // What a key that answers nothing by its first two levels holds on its
    // third and fourth. The keypad's keys never answer. (A few layouts type
    // the keypad's digits on the number row: those are no ASCII digits, and
    // the keys answer as the other keys do.)
    std::array<Held, std::tuple_size_v<KeycodeAnswers>> upper{};
    std::array<bool, 128> answered{};
    for (xkb_keycode_t key = first; key <= last; ++key) {
        const char *name = xkb_keymap_key_get_name(keymap, key);
        if (name == nullptr || std::strncmp(name, "KP", 2) == 0)
            continue;
        // The first group that holds anything on the key decides.
        const xkb_layout_index_t groups = std::min(xkb_keymap_num_layouts_for_key(keymap, key), MaxGroups);
        xkb_layout_index_t group = 0;
        Held held;
        while (group < groups && !(held = heldBy(keymap, key, group)).any)
            ++group;
        if (!held.any)
            continue;
        const std::int16_t us = usAnswerOf(name);
        if (held.letter != 0)
            table_[key] = held.letter;
        else if (held.digit != 0)
            table_[key] = held.digit;
        else if ((held.otherScriptLetter || (otherLetters[group] && !asciiLetters[group])) && isLetter(us))
            table_[key] = us;
        if (table_[key] != 0)
            answered[std::size_t(table_[key])] = true;
        else
            upper[key] = heldBy(keymap, key, group, 2);
    }

    // A letter or digit still unanswered: by the first key that answers
    // nothing and holds it on its third or fourth level; else by the key at
    // its place on a US keyboard, if that one answers nothing.
    for (const char question : Questions) {
        for (xkb_keycode_t key = first; key <= last && !answered[std::size_t(question)]; ++key) {
            if (table_[key] == 0 && (upper[key].letter == question || upper[key].digit == question)) {
                table_[key] = question;
                answered[std::size_t(question)] = true;
            }
        }
    }
    for (const char question : Questions) {
        const xkb_keycode_t usKey = xkb_keymap_key_by_name(keymap, usKeyOf(question).data());
        if (!answered[std::size_t(question)] && usKey != XKB_KEYCODE_INVALID && usKey <= last && table_[usKey] == 0)
            table_[usKey] = question;
    }
}

} // namespace tekkora
