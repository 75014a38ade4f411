#include "KeysLogReader.h"

#include "JsonCursor.h"

#include "drill/DrillState.h"

#include <QDate>

#include <charconv>
#include <cstdlib>
#include <optional>

namespace tekkora {

QDateTime KeysRun::localTime() const
{
    return QDateTime::fromSecsSinceEpoch(utcSeconds, Qt::OffsetFromUTC, offsetSeconds);
}

namespace {

// The largest offset any time zone has.
constexpr int MaxOffsetSeconds = 14 * 3600;

std::optional<int> digitsAt(std::string_view text, std::size_t at, std::size_t count)
{
    int value = 0;
    for (std::size_t i = at; i < at + count; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return std::nullopt;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

// "2026-12-09T15:04:05+09:00", exactly as the drill writes it.
bool parseTime(std::string_view text, KeysRun &run)
{
    if (text.size() != 25 || text[4] != '-' || text[7] != '-' || text[10] != 'T' || text[13] != ':'
        || text[16] != ':' || (text[19] != '+' && text[19] != '-') || text[22] != ':')
        return false;
    const auto year = digitsAt(text, 0, 4), month = digitsAt(text, 5, 2), day = digitsAt(text, 8, 2);
    const auto hour = digitsAt(text, 11, 2), minute = digitsAt(text, 14, 2), second = digitsAt(text, 17, 2);
    const auto offsetHours = digitsAt(text, 20, 2), offsetMinutes = digitsAt(text, 23, 2);
    if (!year || !month || !day || !hour || !minute || !second || !offsetHours || !offsetMinutes)
        return false;
    const QDate date(*year, *month, *day);
    if (!date.isValid() || !QTime::isValid(*hour, *minute, *second) || *offsetMinutes > 59)
        return false;
    const int offset = (*offsetHours * 60 + *offsetMinutes) * 60 * (text[19] == '-' ? -1 : 1);
    // The drill writes a zero offset as "+00:00".
    if (std::abs(offset) > MaxOffsetSeconds || (offset == 0 && text[19] == '-'))
        return false;
    constexpr qint64 JulianDayOfEpoch = 2440588;
    run.utcSeconds = (date.toJulianDay() - JulianDayOfEpoch) * 86400 + *hour * 3600 + *minute * 60 + *second - offset;
    run.offsetSeconds = offset;
    return true;
}

std::optional<std::uint8_t> charSetOf(std::string_view caption)
{
    static const QByteArray Captions[] = {charSetText(charset::Letters).toUtf8(),
                                          charSetText(charset::Digits).toUtf8(), charSetText(charset::All).toUtf8()};
    static_assert(charset::Letters == 1 && charset::Digits == 2 && charset::All == 3);
    if (caption.empty())
        return 0;
    for (std::uint8_t charSet = 1; charSet <= 3; ++charSet) {
        if (Captions[charSet - 1] == QByteArrayView(caption.data(), qsizetype(caption.size())))
            return charSet;
    }
    return std::nullopt;
}

// One line read into a run: everything is checked, and a line that fails
// leaves nothing behind in the pool.
class LineParser {
public:
    LineParser(QByteArrayView line, KeysRuns &runs, std::string &scratch)
        : json_(line), runs_(runs), key_(scratch), questionsBefore_(runs.pool.questions.size()),
          wrongKeysBefore_(runs.pool.wrongKeys.size())
    {
    }

    // nullopt when the line holds a run, added to the runs.
    std::optional<SkipReason> parse();

private:
    // Every run has the first five; "draw" only a run drawn weighted.
    enum Field : unsigned { Version = 1, Time = 2, Set = 4, Case = 8, Questions = 16, Required = 31, Draw = 32 };

    bool readMember(Field field);
    bool readQuestions();
    bool readQuestion(bool &ended);
    std::optional<std::uint8_t> keyCode(std::string_view text);
    void dropQuestions()
    {
        runs_.pool.questions.resize(questionsBefore_);
        runs_.pool.wrongKeys.resize(wrongKeysBefore_);
    }
    SkipReason skip(SkipReason reason)
    {
        dropQuestions();
        return reason;
    }

    JsonCursor json_;
    KeysRuns &runs_;
    std::string &key_;
    const std::size_t questionsBefore_;
    const std::size_t wrongKeysBefore_;
    KeysRun run_;
    bool versionOne_ = false;
    bool malformed_ = false;
    // Letters seen in each case: the run's case decides which is right, and
    // it may come after the questions in a line not written by the drill.
    bool sawUpper_ = false;
    bool sawLower_ = false;
};

std::optional<SkipReason> LineParser::parse()
{
    if (json_.peek() != '{') {
        // JSON of another kind (an array, a number) is no run either.
        return skip(json_.skipValue() && json_.atEnd() ? SkipReason::NotARun : SkipReason::NotJson);
    }
    json_.enterObject();
    unsigned seen = 0;
    for (bool first = true; json_.nextMember(key_, first); first = false) {
        Field field = Field(0);
        if (key_ == "v")
            field = Version;
        else if (key_ == "time")
            field = Time;
        else if (key_ == "set")
            field = Set;
        else if (key_ == "case")
            field = Case;
        else if (key_ == "questions")
            field = Questions;
        else if (key_ == "draw")
            field = Draw;
        if (field != 0 && (seen & field) != 0)
            malformed_ = true; // said twice: which one would count?
        seen |= field;
        const char *value = json_.position();
        if (field != 0 && readMember(field))
            continue;
        if (json_.failed())
            return skip(SkipReason::NotJson);
        if (field == Questions)
            dropQuestions();
        malformed_ = malformed_ || field != 0;
        json_.rewind(value);
        if (!json_.skipValue())
            return skip(SkipReason::NotJson);
    }
    if (json_.failed() || !json_.atEnd())
        return skip(SkipReason::NotJson);
    if ((seen & Version) != 0 && !versionOne_)
        return skip(SkipReason::OtherVersion);
    const bool lower = run_.letterCase == LetterCase::Lower;
    if (malformed_ || (seen & Required) != Required || (lower ? sawUpper_ : sawLower_))
        return skip(SkipReason::NotARun);
    run_.firstQuestion = std::uint32_t(questionsBefore_);
    run_.questionCount = std::uint32_t(runs_.pool.questions.size() - questionsBefore_);
    runs_.runs.push_back(run_);
    return std::nullopt;
}

// Reads one known field's value; false when it is not of the field's form
// (or not JSON).
bool LineParser::readMember(Field field)
{
    switch (field) {
    case Version: {
        std::string_view number;
        const char c = json_.peek();
        if (!(c == '-' || (c >= '0' && c <= '9')) || !json_.readNumber(number))
            return false;
        versionOne_ = number == "1";
        return true;
    }
    case Time: return json_.peek() == '"' && json_.readString(key_) && parseTime(key_, run_);
    case Set: {
        if (json_.peek() != '"' || !json_.readString(key_))
            return false;
        const std::optional<std::uint8_t> charSet = charSetOf(key_);
        run_.charSet = charSet.value_or(0);
        return charSet.has_value();
    }
    case Case:
        if (json_.peek() != '"' || !json_.readString(key_) || (key_ != "upper" && key_ != "lower"))
            return false;
        run_.letterCase = key_ == "lower" ? LetterCase::Lower : LetterCase::Upper;
        return true;
    case Questions: return readQuestions();
    case Draw:
        // An even draw has no "draw" at all.
        if (json_.peek() != '"' || !json_.readString(key_) || key_ != "weak")
            return false;
        run_.weakDraw = true;
        return true;
    default: return false;
    }
}

bool LineParser::readQuestions()
{
    if (json_.peek() != '[')
        return false;
    json_.enterArray();
    bool endedBefore = false;
    for (bool first = true; json_.nextElement(first); first = false) {
        // Esc ends a run: nothing can follow the question it ended.
        if (endedBefore || !readQuestion(endedBefore))
            return false;
    }
    return !json_.failed();
}

bool LineParser::readQuestion(bool &ended)
{
    if (json_.peek() != '{')
        return false;
    json_.enterObject();
    KeyQuestion question;
    question.firstWrong = std::uint32_t(runs_.pool.wrongKeys.size());
    bool hasCharacter = false, hasMs = false, hasWrong = false;
    for (bool first = true; json_.nextMember(key_, first); first = false) {
        if (key_ == "c") {
            if (hasCharacter || json_.peek() != '"' || !json_.readString(key_))
                return false;
            const std::optional<std::uint8_t> code = keyCode(key_);
            if (!code || !isAnswerKey(*code))
                return false;
            question.shown = *code;
            hasCharacter = true;
        } else if (key_ == "ms") {
            std::string_view number;
            std::uint32_t ms = 0;
            const char c = json_.peek();
            if (hasMs || c < '0' || c > '9' || !json_.readNumber(number))
                return false;
            const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), ms);
            if (error != std::errc() || end != number.data() + number.size())
                return false;
            question.ms = ms;
            hasMs = true;
        } else if (key_ == "ended") {
            bool value = false;
            if (question.ended || json_.peek() != 't' || !json_.readBool(value))
                return false;
            question.ended = true;
        } else if (key_ == "wrong") {
            if (hasWrong || json_.peek() != '[')
                return false;
            hasWrong = true;
            json_.enterArray();
            for (bool firstKey = true; json_.nextElement(firstKey); firstKey = false) {
                std::optional<std::uint8_t> code;
                if (json_.peek() != '"' || !json_.readString(key_) || !(code = keyCode(key_)))
                    return false;
                runs_.pool.wrongKeys.push_back(*code);
            }
            if (json_.failed())
                return false;
        } else if (!json_.skipValue()) {
            return false;
        }
    }
    if (json_.failed() || !hasCharacter || hasMs == question.ended)
        return false;
    ended = question.ended;
    runs_.pool.questions.push_back(question);
    return true;
}

std::optional<std::uint8_t> LineParser::keyCode(std::string_view text)
{
    if (text.size() == 1 && ((text[0] >= 'A' && text[0] <= 'Z') || (text[0] >= 'a' && text[0] <= 'z'))) {
        const bool lower = text[0] >= 'a';
        (lower ? sawLower_ : sawUpper_) = true;
        return keyCodeOfText(text, lower ? LetterCase::Lower : LetterCase::Upper);
    }
    return keyCodeOfText(text, LetterCase::Upper);
}

} // namespace

void KeysLogReader::finishLine(QByteArrayView line, KeysRuns &runs)
{
    JsonCursor blanks(line);
    if (blanks.atEnd())
        return; // an empty line, or blanks only
    if (const std::optional<SkipReason> reason = LineParser(line, runs, scratch_).parse())
        skipped_.add(lines_.lines(), *reason);
}

void KeysLogReader::feed(QByteArrayView bytes, KeysRuns &runs)
{
    lines_.feed(
        bytes, [&](QByteArrayView line) { finishLine(line, runs); },
        [&] { skipped_.add(lines_.lines(), SkipReason::TooLong); });
}

bool KeysLogReader::readLine(QByteArrayView line, KeysRuns &runs, std::string &scratch)
{
    JsonCursor blanks(line);
    return !blanks.atEnd() && !LineParser(line, runs, scratch).parse();
}

std::optional<std::uint8_t> KeysLogReader::namedCharSet(QByteArrayView line, std::string &scratch)
{
    JsonCursor json(line);
    if (json.peek() != '{')
        return std::nullopt;
    json.enterObject();
    for (bool first = true; json.nextMember(scratch, first); first = false) {
        if (scratch == "set")
            return json.peek() == '"' && json.readString(scratch) ? charSetOf(scratch) : std::nullopt;
        if (!json.skipValue())
            return std::nullopt;
    }
    return std::nullopt;
}

void KeysLogReader::reset()
{
    lines_.reset();
    skipped_.clear();
}

} // namespace tekkora
