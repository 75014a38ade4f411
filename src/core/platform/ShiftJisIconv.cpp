#include "ShiftJis.h"
#include "ShiftJisEncoder.h"

#include <QSysInfo>
#include <QtGlobal>

#include <cerrno>
#include <iconv.h>

namespace tekkora {

namespace {
// QString's own byte order, so the converted text is used as it comes.
const char *const NativeUtf16 = QSysInfo::ByteOrder == QSysInfo::LittleEndian ? "UTF-16LE" : "UTF-16BE";
const iconv_t NoConverter = reinterpret_cast<iconv_t>(-1);
} // namespace

ShiftJisEncoder::ShiftJisEncoder()
{
    const iconv_t cd = iconv_open("CP932", NativeUtf16);
    if (cd == NoConverter)
        error_ = qt_error_string(errno);
    else
        converter_ = reinterpret_cast<void *>(cd);
}

ShiftJisEncoder::~ShiftJisEncoder()
{
    if (converter_ != nullptr)
        iconv_close(reinterpret_cast<iconv_t>(converter_));
}

std::optional<QByteArray> ShiftJisEncoder::encode(QStringView text)
{
    const iconv_t cd = reinterpret_cast<iconv_t>(converter_);
    // Back to the initial state: the text before may have failed midway.
    iconv(cd, nullptr, nullptr, nullptr, nullptr);

    // CP932 never needs more than two bytes for a UTF-16 unit.
    QByteArray output(text.size() * 2, Qt::Uninitialized);
    char *in = reinterpret_cast<char *>(const_cast<QChar *>(text.data()));
    std::size_t inLeft = std::size_t(text.size()) * sizeof(QChar);
    char *out = output.data();
    std::size_t outLeft = std::size_t(output.size());
    if (iconv(cd, &in, &inLeft, &out, &outLeft) == std::size_t(-1)) {
        // EILSEQ: a character without CP932 bytes; EINVAL: a surrogate cut
        // off at the end. E2BIG cannot happen by the bound above.
        if (errno != EILSEQ && errno != EINVAL)
            error_ = qt_error_string(errno);
        return std::nullopt;
    }
    output.truncate(out - output.data());
    return output;
}

ShiftJisDecoder::ShiftJisDecoder() : converter_(reinterpret_cast<void *>(iconv_open(NativeUtf16, "CP932"))) {}

ShiftJisDecoder::~ShiftJisDecoder()
{
    if (reinterpret_cast<iconv_t>(converter_) != NoConverter)
        iconv_close(reinterpret_cast<iconv_t>(converter_));
}

std::optional<QString> ShiftJisDecoder::decode(QByteArrayView bytes) const
{
    const iconv_t cd = reinterpret_cast<iconv_t>(converter_);
    if (cd == NoConverter)
        return std::nullopt;
    // Back to the initial state: the text before may have failed midway.
    iconv(cd, nullptr, nullptr, nullptr, nullptr);

    // Every CP932 character is one or two bytes and one UTF-16 unit, so the
    // text never has more units than the input has bytes.
    QString text(bytes.size(), Qt::Uninitialized);
    char *in = const_cast<char *>(bytes.data());
    std::size_t inLeft = std::size_t(bytes.size());
    char *out = reinterpret_cast<char *>(text.data());
    std::size_t outLeft = std::size_t(text.size()) * sizeof(QChar);
    // EILSEQ: a sequence CP932 lacks; EINVAL: one cut off at the end. E2BIG
    // cannot happen by the bound above, and fails like the others if it did.
    if (iconv(cd, &in, &inLeft, &out, &outLeft) == std::size_t(-1) || inLeft != 0)
        return std::nullopt;
    text.truncate(text.size() - qsizetype(outLeft / sizeof(QChar)));
    return text;
}

} // namespace tekkora
