#include "KeyboardKeys.h"

#include <string_view>

namespace tekkora {

namespace {

struct Row {
    double x;          // where its first key stands
    int firstScanCode; // the scan codes run on along the row
    std::string_view us; // what the keys answer on a US keyboard; ' ' nothing
};

// Linux input codes (KEY_1 = 2 ... KEY_EQUAL = 13, KEY_Q = 16 ...), each row
// staggered as on a keyboard.
constexpr Row Rows[] = {
    {1.0, 2, "1234567890  "},
    {1.5, 16, "QWERTYUIOP  "},
    {1.75, 30, "ASDFGHJKL  "},
    {2.25, 44, "ZXCVBNM   "},
};
struct Extra {
    int scanCode;
    QPointF at;
    bool always; // on every keyboard
};
constexpr int Grave = 41, Backslash = 43, Less = 86, Ro = 89, Yen = 124;
const Extra Extras[] = {
    {Grave, {0.0, 0.0}, true},      {Yen, {13.0, 0.0}, false}, {Backslash, {13.5, 1.0}, true},
    {Less, {1.25, 3.0}, false},     {Ro, {12.25, 3.0}, false},
};

} // namespace

QList<KeyCap> mainBlockKeys(const std::optional<KeyAnswers> &answers)
{
    QList<KeyCap> keys;
    const auto answerOf = [&](int scanCode, char us) -> std::int16_t {
        if (answers)
            return (*answers)[std::size_t(scanCode)];
        return us == ' ' ? 0 : std::int16_t(us);
    };
    for (int row = 0; row < int(std::size(Rows)); ++row) {
        for (int i = 0; i < int(Rows[row].us.size()); ++i) {
            const int scanCode = Rows[row].firstScanCode + i;
            keys.append({scanCode, QPointF(Rows[row].x + i, row), answerOf(scanCode, Rows[row].us[std::size_t(i)])});
        }
    }
    for (const Extra &extra : Extras) {
        const std::int16_t answer = answerOf(extra.scanCode, ' ');
        if (extra.always || answer != 0)
            keys.append({extra.scanCode, extra.at, answer});
    }
    return keys;
}

} // namespace tekkora
