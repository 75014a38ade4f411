#include "ScoreLogReader.h"

#include "ScoreRecordBytes.h"

#include "drill/DrillState.h"

#include <array>
#include <charconv>
#include <cstring>

namespace tekkora {

namespace {

constexpr QChar IdeographicSpace(0x3000);

// The header's title and column lines as the drill writes them.
struct HeaderLines {
    QByteArray title;
    QByteArray columns;
};

const HeaderLines &headerLines()
{
    static const HeaderLines lines = [] {
        const QList<QByteArray> written = toShiftJis(scoreLogHeader()).bytes.split('\n');
        return HeaderLines{written.value(0).chopped(1), written.value(2).chopped(1)};
    }();
    return lines;
}

// Reads the parts of a record line from left to right.
class Cursor {
public:
    explicit Cursor(QStringView text) : rest_(text) {}

    bool atEnd() const { return rest_.isEmpty(); }

    bool take(QStringView expected)
    {
        if (!rest_.startsWith(expected))
            return false;
        rest_ = rest_.sliced(expected.size());
        return true;
    }
    bool take(QChar expected) { return take(QStringView(&expected, 1)); }

    void skipSpaces()
    {
        while (!rest_.isEmpty() && rest_.front() == QLatin1Char(' '))
            rest_ = rest_.sliced(1);
    }

    // Exactly `count` digits.
    bool fixedDigits(int count, int &value)
    {
        if (rest_.size() < count)
            return false;
        value = 0;
        for (int i = 0; i < count; ++i) {
            const char16_t c = rest_[i].unicode();
            if (c < u'0' || c > u'9')
                return false;
            value = value * 10 + (c - u'0');
        }
        rest_ = rest_.sliced(count);
        return true;
    }

    // A count as QString::number() writes it: an optional minus, digits.
    bool count(std::int16_t &value)
    {
        const bool negative = take(QLatin1Char('-'));
        qsizetype n = 0;
        int magnitude = 0;
        while (n < rest_.size() && n < 6 && rest_[n] >= QLatin1Char('0') && rest_[n] <= QLatin1Char('9')) {
            magnitude = magnitude * 10 + (rest_[n].unicode() - u'0');
            ++n;
        }
        const int signedValue = negative ? -magnitude : magnitude;
        if (n == 0 || signedValue < INT16_MIN || signedValue > INT16_MAX)
            return false;
        value = std::int16_t(signedValue);
        rest_ = rest_.sliced(n);
        return true;
    }

    // A figure with a point and exactly `decimals` decimals, as formatFixed()
    // writes it; the text itself is kept.
    bool figure(int decimals, QString &text)
    {
        qsizetype n = rest_.startsWith(QLatin1Char('-')) ? 1 : 0;
        const qsizetype intStart = n;
        while (n < rest_.size() && rest_[n].isDigit() && rest_[n].unicode() < 0x80)
            ++n;
        if (n == intStart || n >= rest_.size() || rest_[n] != QLatin1Char('.'))
            return false;
        ++n;
        for (int i = 0; i < decimals; ++i, ++n) {
            if (n >= rest_.size() || rest_[n] < QLatin1Char('0') || rest_[n] > QLatin1Char('9'))
                return false;
        }
        text = rest_.first(n).toString();
        rest_ = rest_.sliced(n);
        return true;
    }

private:
    QStringView rest_;
};

std::optional<float> toFloat(const QString &text)
{
    std::array<char, 64> buffer{};
    if (text.size() >= qsizetype(buffer.size()))
        return std::nullopt;
    for (qsizetype i = 0; i < text.size(); ++i)
        buffer[std::size_t(i)] = char(text[i].unicode());
    float value = 0.0f;
    const auto [end, ec] = std::from_chars(buffer.data(), buffer.data() + text.size(), value);
    if (ec != std::errc() || end != buffer.data() + text.size())
        return std::nullopt;
    return value;
}

bool isPassedOver(QByteArrayView line)
{
    // Lengths first: a record is never as long as either header line.
    const HeaderLines &header = headerLines();
    return line.isEmpty() || (line.size() == header.title.size() && line == header.title)
           || (line.size() == header.columns.size() && line == header.columns);
}

} // namespace

std::optional<ScoreRecord> parseScoreRecord(const QString &line)
{
    Cursor cursor(line);
    int year = 0, month = 0, day = 0, hour = 0, minute = 0;
    if (!(cursor.fixedDigits(4, year) && cursor.take(QLatin1Char('/')) && cursor.fixedDigits(2, month)
          && cursor.take(QLatin1Char('/')) && cursor.fixedDigits(2, day) && cursor.take(QLatin1Char(' '))
          && cursor.fixedDigits(2, hour) && cursor.take(QLatin1Char(':')) && cursor.fixedDigits(2, minute)
          && cursor.take(IdeographicSpace) && cursor.take(IdeographicSpace)))
        return std::nullopt;

    ScoreRecord record;
    for (std::uint8_t charSet : {charset::Letters, charset::Digits, charset::All}) {
        const QString mode = charSetText(charSet);
        if (cursor.take(mode)) {
            record.ModeCaption = mode;
            break;
        }
    }

    cursor.skipSpaces();
    if (!(cursor.count(record.MissCount) && cursor.take(QLatin1Char('/'))))
        return std::nullopt;
    cursor.skipSpaces();
    if (!(cursor.count(record.QuestionCount) && cursor.take(u" 回")))
        return std::nullopt;
    cursor.skipSpaces();
    if (!(cursor.figure(1, record.AccuracyCaption) && cursor.take(u" %")))
        return std::nullopt;
    cursor.skipSpaces();
    if (!(cursor.figure(3, record.SpeedCaption) && cursor.take(u" 秒/キー") && cursor.atEnd()))
        return std::nullopt;

    const std::optional<float> accuracy = toFloat(record.AccuracyCaption);
    const QDate date(year, month, day);
    const QTime time(hour, minute);
    if (!accuracy || !date.isValid() || !time.isValid())
        return std::nullopt;
    record.Accuracy = *accuracy;
    // The wall-clock time as written, kept in UTC so that no time-zone rule
    // of the reading machine (a daylight-saving gap) can move it.
    record.When = QDateTime(date, time, Qt::UTC);

    // The blanks between the fields, the pads and every figure's spelling
    // are checked here, by writing the record again.
    if (formatScoreRecord(record) != line)
        return std::nullopt;
    return record;
}

ScoreLogReader::LineKind ScoreLogReader::classify(QByteArrayView line, ScoreRecord &record, SkipReason &reason) const
{
    if (isPassedOver(line))
        return LineKind::Passed;
    std::optional<ScoreRecord> parsed = parseScoreRecordBytes(line);
    if (!parsed) {
        // Decoded only to say why, which takes a converter.
        reason = decoder_.decode(line) ? SkipReason::NotARecord : SkipReason::NotShiftJis;
        return LineKind::Skipped;
    }
    record = std::move(*parsed);
    return LineKind::Record;
}

QList<ScoreRecord> ScoreLogReader::feed(QByteArrayView bytes)
{
    QList<ScoreRecord> records;
    feed(bytes, [&records](ScoreRecord &&record) { records.append(std::move(record)); });
    return records;
}

void ScoreLogReader::feed(QByteArrayView bytes, const RecordSink &sink)
{
    auto finishLine = [&](QByteArrayView line) {
        ++lines_;
        if (line.endsWith('\r'))
            line.chop(1);
        ScoreRecord record;
        SkipReason reason{};
        switch (classify(line, record, reason)) {
        case LineKind::Record: sink(std::move(record)); break;
        case LineKind::Passed: break;
        case LineKind::Skipped: skipped_.add(lines_, reason); break;
        }
    };

    while (!bytes.isEmpty()) {
        const auto *newline = static_cast<const char *>(std::memchr(bytes.data(), '\n', std::size_t(bytes.size())));
        const qsizetype piece = newline != nullptr ? qsizetype(newline - bytes.data()) : bytes.size();
        if (!overlong_) {
            if (partial_.size() + piece > MaxLineBytes) {
                overlong_ = true;
                partial_.clear();
            } else if (newline != nullptr && partial_.isEmpty()) {
                finishLine(bytes.first(piece)); // the usual case: no copy
            } else {
                partial_.append(bytes.first(piece));
                if (newline != nullptr)
                    finishLine(partial_);
            }
        }
        if (newline == nullptr)
            break;
        if (overlong_)
            skipped_.add(++lines_, SkipReason::TooLong);
        overlong_ = false;
        partial_.clear();
        bytes = bytes.sliced(piece + 1);
    }
}

ScoreLogReader::Pending ScoreLogReader::pending() const
{
    Pending result;
    result.line = lines_ + 1;
    if (overlong_) {
        result.kind = Pending::Skipped;
        result.reason = SkipReason::TooLong;
        return result;
    }
    if (partial_.isEmpty())
        return result;
    QByteArrayView line(partial_);
    if (line.endsWith('\r'))
        line.chop(1);
    switch (classify(line, result.record, result.reason)) {
    case LineKind::Record: result.kind = Pending::Record; break;
    case LineKind::Passed: result.kind = Pending::Passed; break;
    case LineKind::Skipped: result.kind = Pending::Skipped; break;
    }
    return result;
}

void ScoreLogReader::reset()
{
    partial_.clear();
    overlong_ = false;
    lines_ = 0;
    skipped_.clear();
}

} // namespace tekkora
