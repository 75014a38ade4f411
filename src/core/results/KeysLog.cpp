#include "KeysLog.h"

#include "platform/AppendOnlyFile.h"
#include "platform/DataDirectory.h"
#include "platform/FileStorage.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace tekkora {

namespace {

void appendNumber(QByteArray &out, std::uint32_t value)
{
    char digits[16];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    out.append(digits, end - digits);
}

void appendString(QByteArray &out, QByteArrayView utf8)
{
    out += '"';
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20) {
            static constexpr char Hex[] = "0123456789abcdef";
            out += "\\u00";
            out += Hex[byte >> 4];
            out += Hex[byte & 0xF];
        } else {
            out += c;
        }
    }
    out += '"';
}

void appendKey(QByteArray &out, std::int16_t code, LetterCase letterCase)
{
    const std::string_view text = keyText(code, letterCase);
    appendString(out, QByteArrayView(text.data(), qsizetype(text.size())));
}

} // namespace

QByteArray keysLogTime(const QDateTime &when)
{
    const QDate date = when.date();
    const QTime time = when.time();
    const int offset = when.offsetFromUtc();
    const int minutes = std::abs(offset) / 60;
    char text[48];
    const int length = std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d%c%02d:%02d", date.year(),
                                     date.month(), date.day(), time.hour(), time.minute(), time.second(),
                                     offset < 0 ? '-' : '+', minutes / 60, minutes % 60);
    return QByteArray(text, std::min<int>(length, int(sizeof text) - 1));
}

QByteArray formatKeysRecord(const KeysRecord &record)
{
    static const QuestionPool NoQuestions;
    const QuestionPool &pool = record.questions != nullptr ? *record.questions : NoQuestions;
    const std::size_t first = std::min(record.first, pool.questions.size());
    const std::size_t end = first + std::min(record.count, pool.questions.size() - first);
    QByteArray line;
    line.reserve(96 + qsizetype(end - first) * 24);
    line += "{\"v\":";
    appendNumber(line, KeysFormatVersion);
    line += ",\"time\":";
    appendString(line, keysLogTime(record.when));
    line += ",\"set\":";
    appendString(line, record.setCaption.toUtf8());
    line += ",\"case\":";
    line += record.letterCase == LetterCase::Lower ? "\"lower\"" : "\"upper\"";
    if (record.weakDraw)
        line += ",\"draw\":\"weak\"";
    line += ",\"questions\":[";
    for (std::size_t i = first; i < end; ++i) {
        const KeyQuestion &question = pool.questions[i];
        if (i > first)
            line += ',';
        line += "{\"c\":";
        appendKey(line, question.shown, record.letterCase);
        if (question.ended) {
            line += ",\"ended\":true";
        } else {
            line += ",\"ms\":";
            appendNumber(line, question.ms);
        }
        const std::span<const std::uint8_t> wrong = pool.wrongKeysOf(i);
        if (!wrong.empty()) {
            line += ",\"wrong\":[";
            for (std::size_t w = 0; w < wrong.size(); ++w) {
                if (w > 0)
                    line += ',';
                appendKey(line, wrong[w], record.letterCase);
            }
            line += ']';
        }
        line += '}';
    }
    line += "]}\n";
    return line;
}

FileResult AppendKeysRecord(const KeysRecord &record, const QString &directory)
{
    const FileResult appended =
        appendToLog(fileInDirectory(directory, KeysFileName), QByteArray(), formatKeysRecord(record));
    keepChangedFiles();
    return appended;
}

} // namespace tekkora
