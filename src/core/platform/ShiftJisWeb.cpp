#include "ShiftJis.h"
#include "ShiftJisEncoder.h"

#include <emscripten.h>

// In the browser (and under node) CP932 is the shift_jis of the web's
// encoding standard: its decoder is the browser's TextDecoder, and its
// encoder takes for each character the first byte sequence that decodes to
// it, passing over the NEC-selected copies of IBM's extensions (EDxx-EExx),
// which is the choice Windows makes too.

// clang-format off
EM_JS(int, tekkora_sjis_decode, (const unsigned char *bytes, int size, char16_t *text), {
    if (!Module.tekkoraSjisDecoder)
        Module.tekkoraSjisDecoder = new TextDecoder("shift_jis", {fatal: true});
    let decoded;
    try {
        decoded = Module.tekkoraSjisDecoder.decode(HEAPU8.subarray(bytes, bytes + size));
    } catch (e) {
        return -1;
    }
    if (decoded.length > size)
        return -1;
    for (let i = 0; i < decoded.length; ++i)
        HEAPU16[(text >> 1) + i] = decoded.charCodeAt(i);
    return decoded.length;
});

EM_JS(int, tekkora_sjis_encode, (const char16_t *text, int size, unsigned char *bytes), {
    let table = Module.tekkoraSjisEncoding;
    if (!table) {
        table = new Map();
        const decoder = new TextDecoder("shift_jis", {fatal: true});
        const decodes = (sequence) => {
            try { return decoder.decode(new Uint8Array(sequence)); } catch (e) { return ""; }
        };
        for (let b = 0; b < 0x100; ++b) {
            const c = decodes([b]);
            if (c.length === 1 && !table.has(c))
                table.set(c, [b]);
        }
        for (let lead = 0x81; lead <= 0xFC; ++lead) {
            if (lead >= 0xA0 && lead < 0xE0)
                continue;
            for (let trail = 0x40; trail <= 0xFC; ++trail) {
                if (trail === 0x7F || lead === 0xED || lead === 0xEE)
                    continue;
                const c = decodes([lead, trail]);
                if (c.length === 1 && !table.has(c))
                    table.set(c, [lead, trail]);
            }
        }
        Module.tekkoraSjisEncoding = table;
    }
    let out = 0;
    for (let i = 0; i < size; ++i) {
        const found = table.get(String.fromCharCode(HEAPU16[(text >> 1) + i]));
        if (!found)
            return -1;
        for (const b of found)
            HEAPU8[bytes + out++] = b;
    }
    return out;
});
// clang-format on

namespace tekkora {

ShiftJisEncoder::ShiftJisEncoder() = default;
ShiftJisEncoder::~ShiftJisEncoder() = default;

std::optional<QByteArray> ShiftJisEncoder::encode(QStringView text)
{
    // CP932 never needs more than two bytes for a UTF-16 unit.
    QByteArray output(text.size() * 2, Qt::Uninitialized);
    const int written = tekkora_sjis_encode(reinterpret_cast<const char16_t *>(text.utf16()), int(text.size()),
                                            reinterpret_cast<unsigned char *>(output.data()));
    if (written < 0)
        return std::nullopt;
    output.truncate(written);
    return output;
}

ShiftJisDecoder::ShiftJisDecoder() : converter_(nullptr) {}
ShiftJisDecoder::~ShiftJisDecoder() = default;

std::optional<QString> ShiftJisDecoder::decode(QByteArrayView bytes) const
{
    // Every CP932 character is one or two bytes and one UTF-16 unit.
    QString text(bytes.size(), Qt::Uninitialized);
    const int units = tekkora_sjis_decode(reinterpret_cast<const unsigned char *>(bytes.data()), int(bytes.size()),
                                          reinterpret_cast<char16_t *>(text.data()));
    if (units < 0)
        return std::nullopt;
    text.truncate(units);
    return text;
}

} // namespace tekkora
