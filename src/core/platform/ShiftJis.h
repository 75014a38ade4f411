#pragma once

// Text for files read by Japanese Windows tools: Shift_JIS as Windows has it
// (code page 932), converted through the C library's iconv.

#include <QByteArray>
#include <QString>

namespace tekkora {

struct ShiftJisText {
    QByteArray bytes; // the text in CP932, less any character it cannot hold
    QString error;    // why the text cannot be written as it stands; empty when it can

    bool ok() const { return error.isEmpty(); }
};

// Converts text to CP932. A character without a CP932 form is never dropped
// silently or replaced by '?': the error names each such character once, in
// order of appearance, so the caller can refuse to write a damaged line.
ShiftJisText toShiftJis(const QString &text);

} // namespace tekkora
