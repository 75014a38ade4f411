#include "ScoreRecordBytes.h"

#include "drill/DrillState.h"
#include "platform/ShiftJis.h"

#include <QDate>
#include <QTime>

#include <algorithm>
#include <array>
#include <charconv>

namespace tekkora {

namespace {

// The fixed words of a record in CP932, from the same texts the formatter
// writes.
struct Words {
    QByteArray ideographicSpace = toShiftJis(QString(QChar(0x3000))).bytes;
    QByteArray times = toShiftJis(QStringLiteral(" 回")).bytes;
    QByteArray percent = " %";
    QByteArray secondsPerKey = toShiftJis(QStringLiteral(" 秒/キー")).bytes;
    std::array<QByteArray, 4> modes = {QByteArray(), toShiftJis(charSetText(charset::Letters)).bytes,
                                       toShiftJis(charSetText(charset::Digits)).bytes,
                                       toShiftJis(charSetText(charset::All)).bytes};
    std::array<QString, 4> modeTexts = {QString(), charSetText(charset::Letters), charSetText(charset::Digits),
                                        charSetText(charset::All)};
};

const Words &words()
{
    static const Words fixed;
    return fixed;
}

// A record's fields as the line spells them.
struct Fields {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0;
    int mode = 0; // the index in Words::modes
    std::int16_t misses = 0;
    std::int16_t questions = 0;
    float accuracy = 0.0f;
    QByteArrayView accuracyCaption;
    QByteArrayView speedCaption;
};

// Where a line is written: bytes appended to an array.
class Writer {
public:
    explicit Writer(QByteArray &bytes) : bytes_(bytes) {}
    void put(QByteArrayView text) { bytes_ += text; }
    bool ok() const { return true; }

private:
    QByteArray &bytes_;
};

// Or compared with a line as it is "written", which costs no copy: the
// reader's check.
class Checker {
public:
    explicit Checker(QByteArrayView line) : rest_(line) {}
    void put(QByteArrayView text)
    {
        // Pieces of a few bytes: compared in place, not by a library call.
        ok_ = ok_ && rest_.size() >= text.size() && std::equal(text.begin(), text.end(), rest_.begin());
        if (ok_)
            rest_ = rest_.sliced(text.size());
    }
    bool ok() const { return ok_ && rest_.isEmpty(); }

private:
    QByteArrayView rest_;
    bool ok_ = true;
};

// A line with its length in characters (a CP932 character of two bytes is
// one), which the columns are counted in.
template <typename Sink>
class Line {
public:
    explicit Line(Sink &sink) : sink_(sink) {}

    void ascii(QByteArrayView text)
    {
        sink_.put(text);
        characters_ += text.size();
    }
    void word(const QByteArray &text, int characters)
    {
        sink_.put(text);
        characters_ += characters;
    }
    void blanks(qsizetype count)
    {
        static constexpr char Blanks[] = "              ";
        static_assert(sizeof Blanks - 1 == ScoreColumnWidth);
        sink_.put(QByteArrayView(Blanks, count));
        characters_ += count;
    }
    void padToNextColumn() { blanks(ScoreColumnWidth - characters_ % ScoreColumnWidth); }
    void number(int value)
    {
        char digits[16];
        const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
        ascii(QByteArrayView(digits, end - digits));
    }
    // As printf's "%0<width>d".
    void zeroPadded(int value, int width)
    {
        char digits[16];
        char *end = std::to_chars(digits, digits + sizeof digits, value < 0 ? -qint64(value) : value).ptr;
        const int shown = int(end - digits) + (value < 0 ? 1 : 0);
        if (value < 0)
            ascii("-");
        for (int i = shown; i < width; ++i)
            ascii("0");
        ascii(QByteArrayView(digits, end - digits));
    }

private:
    Sink &sink_;
    qsizetype characters_ = 0;
};

// The formatter's rules, the same as formatScoreRecord()'s.
qsizetype accuracyPad(float accuracy)
{
    if (accuracy == 100.0f)
        return 0;
    if (accuracy >= 10.0f && accuracy <= 100.0f)
        return 1;
    if (accuracy >= 0.0f && accuracy <= 10.0f)
        return 2;
    return 0;
}

template <typename Sink>
void format(const Fields &fields, Sink &sink)
{
    const Words &w = words();
    Line<Sink> line(sink);
    line.zeroPadded(fields.year, 4);
    line.ascii("/");
    line.zeroPadded(fields.month, 2);
    line.ascii("/");
    line.zeroPadded(fields.day, 2);
    line.ascii(" ");
    line.zeroPadded(fields.hour, 2);
    line.ascii(":");
    line.zeroPadded(fields.minute, 2);
    line.word(w.ideographicSpace, 1);
    line.word(w.ideographicSpace, 1);
    line.word(w.modes[std::size_t(fields.mode)], int(w.modeTexts[std::size_t(fields.mode)].size()));
    line.padToNextColumn();

    line.blanks(fields.misses < 10 ? 1 : 0);
    line.number(fields.misses);
    line.ascii("/");
    line.blanks(fields.questions < 10 ? 1 : 0);
    line.number(fields.questions);
    line.word(w.times, 2);
    line.padToNextColumn();

    line.blanks(accuracyPad(fields.accuracy));
    line.ascii(fields.accuracyCaption);
    line.ascii(w.percent);
    line.padToNextColumn();

    line.ascii(fields.speedCaption);
    line.word(w.secondsPerKey, 5);
}

bool isAscii(const QString &text)
{
    return std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 0x80; });
}

// Reads the parts of a record line from left to right.
class Cursor {
public:
    explicit Cursor(QByteArrayView bytes) : rest_(bytes) {}

    bool atEnd() const { return rest_.isEmpty(); }
    bool take(QByteArrayView expected)
    {
        if (!rest_.startsWith(expected))
            return false;
        rest_ = rest_.sliced(expected.size());
        return true;
    }
    bool take(char expected) { return take(QByteArrayView(&expected, 1)); }
    void skipSpaces()
    {
        while (!rest_.isEmpty() && rest_.front() == ' ')
            rest_ = rest_.sliced(1);
    }
    bool fixedDigits(int count, int &value)
    {
        if (rest_.size() < count)
            return false;
        value = 0;
        for (int i = 0; i < count; ++i) {
            if (!isDigit(rest_[i]))
                return false;
            value = value * 10 + (rest_[i] - '0');
        }
        rest_ = rest_.sliced(count);
        return true;
    }
    // An optional minus and up to six digits, within a 16-bit count.
    bool count(std::int16_t &value)
    {
        const bool negative = take('-');
        qsizetype n = 0;
        int magnitude = 0;
        while (n < rest_.size() && n < 6 && isDigit(rest_[n]))
            magnitude = magnitude * 10 + (rest_[n++] - '0');
        const int signedValue = negative ? -magnitude : magnitude;
        if (n == 0 || signedValue < INT16_MIN || signedValue > INT16_MAX)
            return false;
        value = std::int16_t(signedValue);
        rest_ = rest_.sliced(n);
        return true;
    }
    // An optional minus, digits, a point and exactly `decimals` digits.
    bool figure(int decimals, QByteArrayView &text)
    {
        qsizetype n = rest_.startsWith('-') ? 1 : 0;
        const qsizetype intStart = n;
        while (n < rest_.size() && isDigit(rest_[n]))
            ++n;
        if (n == intStart || n >= rest_.size() || rest_[n] != '.')
            return false;
        ++n;
        for (int i = 0; i < decimals; ++i, ++n) {
            if (n >= rest_.size() || !isDigit(rest_[n]))
                return false;
        }
        text = rest_.first(n);
        rest_ = rest_.sliced(n);
        return true;
    }

private:
    static bool isDigit(char c) { return c >= '0' && c <= '9'; }
    QByteArrayView rest_;
};

} // namespace

QByteArray formatScoreRecordBytes(const ScoreRecord &record)
{
    const Words &w = words();
    const auto mode = std::find(w.modeTexts.cbegin(), w.modeTexts.cend(), record.ModeCaption);
    if (mode == w.modeTexts.cend() || !isAscii(record.AccuracyCaption) || !isAscii(record.SpeedCaption))
        return toShiftJis(formatScoreRecord(record)).bytes; // no line of the drill's
    const QByteArray accuracy = record.AccuracyCaption.toLatin1();
    const QByteArray speed = record.SpeedCaption.toLatin1();
    const QDate date = record.When.date();
    const QTime time = record.When.time();
    const Fields fields{date.year(), date.month(), date.day(), time.hour(), time.minute(),
                        int(mode - w.modeTexts.cbegin()), record.MissCount, record.QuestionCount, record.Accuracy,
                        accuracy, speed};
    QByteArray bytes;
    Writer writer(bytes);
    format(fields, writer);
    return bytes;
}

std::optional<ScoreRecord> parseScoreRecordBytes(QByteArrayView line)
{
    const Words &w = words();
    Cursor cursor(line);
    Fields fields;
    if (!(cursor.fixedDigits(4, fields.year) && cursor.take('/') && cursor.fixedDigits(2, fields.month)
          && cursor.take('/') && cursor.fixedDigits(2, fields.day) && cursor.take(' ')
          && cursor.fixedDigits(2, fields.hour) && cursor.take(':') && cursor.fixedDigits(2, fields.minute)
          && cursor.take(w.ideographicSpace) && cursor.take(w.ideographicSpace)))
        return std::nullopt;

    for (int mode = 1; mode < int(w.modes.size()); ++mode) {
        if (cursor.take(w.modes[std::size_t(mode)])) {
            fields.mode = mode;
            break;
        }
    }
    cursor.skipSpaces();
    if (!(cursor.count(fields.misses) && cursor.take('/')))
        return std::nullopt;
    cursor.skipSpaces();
    if (!(cursor.count(fields.questions) && cursor.take(w.times)))
        return std::nullopt;
    cursor.skipSpaces();
    if (!(cursor.figure(1, fields.accuracyCaption) && cursor.take(w.percent)))
        return std::nullopt;
    cursor.skipSpaces();
    if (!(cursor.figure(3, fields.speedCaption) && cursor.take(w.secondsPerKey) && cursor.atEnd()))
        return std::nullopt;

    const QByteArrayView accuracy = fields.accuracyCaption;
    const auto [end, error] = std::from_chars(accuracy.data(), accuracy.data() + accuracy.size(), fields.accuracy);
    if (error != std::errc() || end != accuracy.data() + accuracy.size()
        || !QDate::isValid(fields.year, fields.month, fields.day) || !QTime::isValid(fields.hour, fields.minute, 0))
        return std::nullopt;

    // The blanks between the fields, the pads and every figure's spelling
    // are checked here, by writing the line again over the line itself.
    Checker checker(line);
    format(fields, checker);
    if (!checker.ok())
        return std::nullopt;

    ScoreRecord record;
    record.QuestionCount = fields.questions;
    record.MissCount = fields.misses;
    record.Accuracy = fields.accuracy;
    record.ModeCaption = w.modeTexts[std::size_t(fields.mode)];
    record.AccuracyCaption = QString::fromLatin1(fields.accuracyCaption);
    record.SpeedCaption = QString::fromLatin1(fields.speedCaption);
    // The wall-clock time as written, kept in UTC so that no time-zone rule
    // of the reading machine (a daylight-saving gap) can move it.
    record.When = QDateTime(QDate(fields.year, fields.month, fields.day), QTime(fields.hour, fields.minute), Qt::UTC);
    return record;
}

} // namespace tekkora
