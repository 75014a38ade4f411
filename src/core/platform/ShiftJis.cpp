#include "ShiftJis.h"

#include "ShiftJisEncoder.h"

namespace tekkora {

namespace {

// The character starting at `at`: a surrogate pair whole, anything else
// (a lone surrogate too) one unit.
qsizetype characterLength(const QString &text, qsizetype at)
{
    return text.at(at).isHighSurrogate() && at + 1 < text.size() && text.at(at + 1).isLowSurrogate() ? 2 : 1;
}

} // namespace

ShiftJisText toShiftJis(const QString &text)
{
    ShiftJisText result;
    ShiftJisEncoder encoder;
    const ShiftJisDecoder decoder;
    const auto exact = [&](QStringView part, const std::optional<QByteArray> &bytes) {
        return bytes && decoder.decode(*bytes) == part;
    };
    const auto systemFailure = [&] {
        result.bytes.clear();
        result.error = QStringLiteral("CP932: ") + encoder.error();
        return result;
    };
    if (!encoder.error().isEmpty())
        return systemFailure();

    // Usually every character has its form, and one call does.
    if (const std::optional<QByteArray> whole = encoder.encode(text); exact(text, whole)) {
        result.bytes = *whole;
        return result;
    }
    // Else character by character, keeping those that have a form and
    // naming each of the others once.
    QString unconvertible;
    for (qsizetype at = 0; at < text.size();) {
        const QStringView character = QStringView(text).mid(at, characterLength(text, at));
        at += character.size();
        const std::optional<QByteArray> bytes = encoder.encode(character);
        if (!encoder.error().isEmpty())
            return systemFailure();
        if (exact(character, bytes))
            result.bytes += *bytes;
        else if (!unconvertible.contains(character))
            unconvertible += character;
    }
    if (!unconvertible.isEmpty())
        result.error = QStringLiteral("Shift_JIS にできない文字があります: ") + unconvertible;
    return result;
}

} // namespace tekkora
