#pragma once

// The system's converter from text to CP932 bytes, one implementation per
// platform; toShiftJis() builds on it, and on ShiftJisDecoder to check that
// the bytes read back as the text.

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <optional>

namespace tekkora {

class ShiftJisEncoder {
public:
    ShiftJisEncoder();
    ~ShiftJisEncoder();
    ShiftJisEncoder(const ShiftJisEncoder &) = delete;
    ShiftJisEncoder &operator=(const ShiftJisEncoder &) = delete;

    // Why the converter cannot be used at all; empty when it can.
    const QString &error() const { return error_; }

    // The bytes of the whole text, or nothing when a character in it has
    // none. A failure of the system itself is left in error().
    std::optional<QByteArray> encode(QStringView text);

private:
    void *converter_ = nullptr; // the system's converter, where it keeps one
    QString error_;
};

} // namespace tekkora
