#pragma once

// Text for files read by Japanese Windows tools: Shift_JIS as Windows has it
// (code page 932), converted through the C library's iconv.

#include <QByteArray>
#include <QString>

namespace tekkora {

struct ShiftJisText {
    QByteArray bytes;       // the text in CP932, without the characters below
    QString unconvertible;  // characters CP932 cannot hold, each once, in order of appearance
    QString error;          // set when the conversion itself is unavailable

    bool ok() const { return error.isEmpty() && unconvertible.isEmpty(); }
};

// Converts text to CP932. A character without a CP932 form is never dropped
// silently or replaced by '?': it is listed in unconvertible, so the caller
// can refuse to write a damaged line.
ShiftJisText toShiftJis(const QString &text);

} // namespace tekkora
