#pragma once

// Text for files read by Japanese Windows tools: Shift_JIS as Windows has it
// (code page 932), converted by the system: the C library's iconv, or
// Windows' own code page. Both answer alike, character for character.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

namespace tekkora {

struct ShiftJisText {
    QByteArray bytes; // the text in CP932, less any character it cannot hold
    QString error;    // why the text cannot be written as it stands; empty when it can

    bool ok() const { return error.isEmpty(); }
};

// Converts text to CP932. A character without a CP932 form is never dropped
// silently or replaced by '?': the error names each such character once, in
// order of appearance, so the caller can refuse to write a damaged line. A
// character has a CP932 form only when its bytes read back as that very
// character: a near look-alike (¥ as the backslash's byte, 〜 as ～'s) is no
// form of it.
ShiftJisText toShiftJis(const QString &text);

// Reads CP932 text strictly: a byte sequence CP932 does not define, or one
// cut off at the end, leaves the whole text unread (nothing); nothing is
// ever replaced or dropped. Keeps one converter for many texts, such as the
// lines of a file.
class ShiftJisDecoder {
public:
    ShiftJisDecoder();
    ~ShiftJisDecoder();
    ShiftJisDecoder(const ShiftJisDecoder &) = delete;
    ShiftJisDecoder &operator=(const ShiftJisDecoder &) = delete;

    std::optional<QString> decode(QByteArrayView bytes) const;

private:
    void *converter_; // the system's converter, where it keeps one
};

// One text, with a converter of its own.
inline std::optional<QString> fromShiftJis(QByteArrayView bytes)
{
    return ShiftJisDecoder().decode(bytes);
}

} // namespace tekkora
