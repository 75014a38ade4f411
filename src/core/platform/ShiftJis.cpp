#include "ShiftJis.h"

#include <QSysInfo>
#include <QtGlobal>

#include <cerrno>
#include <iconv.h>

namespace tekkora {

namespace {

// Length of the UTF-8 sequence that starts with this byte.
int utf8SequenceLength(unsigned char lead)
{
    if (lead < 0x80)
        return 1;
    if ((lead & 0xE0) == 0xC0)
        return 2;
    if ((lead & 0xF0) == 0xE0)
        return 3;
    if ((lead & 0xF8) == 0xF0)
        return 4;
    return 1;
}

class IconvHandle {
public:
    IconvHandle() : cd_(iconv_open("CP932", "UTF-8")) {}
    ~IconvHandle()
    {
        if (valid())
            iconv_close(cd_);
    }
    IconvHandle(const IconvHandle &) = delete;
    IconvHandle &operator=(const IconvHandle &) = delete;

    bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() const { return cd_; }

private:
    iconv_t cd_;
};

} // namespace

ShiftJisText toShiftJis(const QString &text)
{
    ShiftJisText result;
    QString unconvertible;
    IconvHandle cd;
    if (!cd.valid()) {
        result.error = QStringLiteral("CP932: ") + qt_error_string(errno);
        return result;
    }

    QByteArray input = text.toUtf8();
    char *in = input.data();
    std::size_t inLeft = std::size_t(input.size());

    // CP932 never needs more than two bytes for a character.
    QByteArray output(input.size() * 2 + 16, '\0');
    char *out = output.data();
    std::size_t outLeft = std::size_t(output.size());

    auto grow = [&] {
        const qsizetype used = out - output.data();
        output.resize(output.size() * 2);
        out = output.data() + used;
        outLeft = std::size_t(output.size() - used);
    };

    while (inLeft > 0) {
        if (iconv(cd.get(), &in, &inLeft, &out, &outLeft) != std::size_t(-1))
            continue;
        if (errno == E2BIG) {
            grow();
        } else if (errno == EILSEQ || errno == EINVAL) {
            // Note the character and go on past it, so every offending
            // character is named at once.
            const std::size_t length =
                qMin<std::size_t>(std::size_t(utf8SequenceLength(static_cast<unsigned char>(*in))), inLeft);
            const QString character = QString::fromUtf8(in, qsizetype(length));
            if (!unconvertible.contains(character))
                unconvertible += character;
            in += length;
            inLeft -= length;
        } else {
            result.error = QStringLiteral("CP932: ") + qt_error_string(errno);
            return result;
        }
    }
    while (iconv(cd.get(), nullptr, nullptr, &out, &outLeft) == std::size_t(-1)) {
        if (errno != E2BIG) {
            result.error = QStringLiteral("CP932: ") + qt_error_string(errno);
            return result;
        }
        grow();
    }

    output.truncate(out - output.data());
    result.bytes = output;
    if (!unconvertible.isEmpty())
        result.error = QStringLiteral("Shift_JIS にできない文字があります: ") + unconvertible;
    return result;
}

namespace {
// QString's own byte order, so the converted text is used as it comes.
const char *const NativeUtf16 = QSysInfo::ByteOrder == QSysInfo::LittleEndian ? "UTF-16LE" : "UTF-16BE";
const iconv_t NoConverter = reinterpret_cast<iconv_t>(-1);
} // namespace

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

std::optional<QString> fromShiftJis(QByteArrayView bytes)
{
    return ShiftJisDecoder().decode(bytes);
}

} // namespace tekkora
