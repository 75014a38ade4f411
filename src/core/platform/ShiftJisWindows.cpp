#include "ShiftJis.h"
#include "ShiftJisEncoder.h"

#include <QtGlobal>

#include <windows.h>

namespace tekkora {

namespace {

constexpr UINT CodePage932 = 932;

// Single bytes Windows' table gives characters of its own (U+0080, and
// private-use ones for 0xA0 and 0xFD to 0xFF) although no CP932 text has
// them: read strictly, they are no text, as elsewhere.
bool outsideCp932(QByteArrayView bytes)
{
    for (qsizetype at = 0; at < bytes.size(); ++at) {
        const unsigned char byte = static_cast<unsigned char>(bytes[at]);
        if (byte == 0x80 || byte == 0xA0 || byte >= 0xFD)
            return true;
        if (IsDBCSLeadByteEx(CodePage932, byte))
            ++at; // its trail byte; MultiByteToWideChar judges the pair
    }
    return false;
}

} // namespace

ShiftJisEncoder::ShiftJisEncoder()
{
    if (!IsValidCodePage(CodePage932))
        error_ = qt_error_string(int(ERROR_INVALID_PARAMETER));
}

ShiftJisEncoder::~ShiftJisEncoder() = default;

std::optional<QByteArray> ShiftJisEncoder::encode(QStringView text)
{
    if (text.isEmpty())
        return QByteArray();
    const auto *units = reinterpret_cast<const wchar_t *>(text.utf16());
    // No best fit: a character without bytes of its own comes out as the
    // default character, and the flag says so.
    QByteArray output(text.size() * 2, Qt::Uninitialized);
    BOOL usedDefault = FALSE;
    const int length = WideCharToMultiByte(CodePage932, WC_NO_BEST_FIT_CHARS, units, int(text.size()),
                                           output.data(), int(output.size()), nullptr, &usedDefault);
    if (length == 0) {
        error_ = qt_error_string(int(GetLastError()));
        return std::nullopt;
    }
    if (usedDefault)
        return std::nullopt;
    output.truncate(length);
    return output;
}

ShiftJisDecoder::ShiftJisDecoder() : converter_(nullptr) {}

ShiftJisDecoder::~ShiftJisDecoder() = default;

std::optional<QString> ShiftJisDecoder::decode(QByteArrayView bytes) const
{
    if (bytes.isEmpty())
        return QString();
    if (outsideCp932(bytes))
        return std::nullopt;
    // Every CP932 character is one or two bytes and one UTF-16 unit.
    QString text(bytes.size(), Qt::Uninitialized);
    // Invalid chars: a pair CP932 lacks, or a lead byte cut off at the end,
    // fails the whole text instead of becoming a default character.
    const int length = MultiByteToWideChar(CodePage932, MB_ERR_INVALID_CHARS, bytes.data(), int(bytes.size()),
                                           reinterpret_cast<wchar_t *>(text.data()), int(text.size()));
    if (length == 0)
        return std::nullopt;
    text.truncate(length);
    return text;
}

} // namespace tekkora
