#include "PrivateProfile.h"

#include "FileStorage.h"
#include "ReplacedFile.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>

namespace tekkora::profile {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool sameName(std::string_view a, std::string_view b)
{
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) {
               return lower(x) == lower(y);
           });
}

// One line of the file: its text and where its line end (CR, LF, CR LF or
// none at the end of the file) stops.
struct Line {
    std::size_t begin = 0;
    std::size_t end = 0;  // end of the text, before the line end
    std::size_t next = 0; // after the line end
    bool hasLineEnd() const { return next > end; }
};

class Lines {
public:
    explicit Lines(std::string_view contents) : contents_(contents) {}

    std::optional<Line> next()
    {
        if (pos_ >= contents_.size())
            return std::nullopt;
        Line line;
        line.begin = pos_;
        const std::size_t stop = contents_.find_first_of("\r\n", pos_);
        line.end = stop == std::string_view::npos ? contents_.size() : stop;
        line.next = line.end;
        if (line.next < contents_.size()) {
            if (contents_[line.next] == '\r' && line.next + 1 < contents_.size() && contents_[line.next + 1] == '\n')
                line.next += 2;
            else
                line.next += 1;
        }
        pos_ = line.next;
        return line;
    }

private:
    std::string_view contents_;
    std::size_t pos_ = 0;
};

// "[name]" with blanks allowed around the brackets and inside them; the name
// runs to the last ']' of the line.
std::optional<std::string_view> sectionHeader(std::string_view text)
{
    text = trimmed(text);
    if (text.empty() || text.front() != '[')
        return std::nullopt;
    const std::size_t close = text.rfind(']');
    if (close == std::string_view::npos || close == 0)
        return std::nullopt;
    return trimmed(text.substr(1, close - 1));
}

struct KeyLine {
    std::string_view key;   // trimmed
    std::size_t equals = 0; // offset of the '=' inside the line's text
};

// "key=value"; a line without '=' holds no key.
std::optional<KeyLine> keyLine(std::string_view text)
{
    const std::size_t equals = text.find('=');
    if (equals == std::string_view::npos)
        return std::nullopt;
    return KeyLine{trimmed(text.substr(0, equals)), equals};
}

struct Location {
    bool sectionFound = false;
    // The section's last line that is not blank (its header when it holds
    // nothing else): a new key goes after it.
    Line lastFilledLine;
    std::optional<Line> keyLine;
    std::size_t equals = 0;
};

Location locate(std::string_view contents, std::string_view section, std::string_view key)
{
    Location where;
    bool inside = false;
    Lines lines(contents);
    while (const std::optional<Line> line = lines.next()) {
        const std::string_view text = contents.substr(line->begin, line->end - line->begin);
        if (const auto name = sectionHeader(text)) {
            if (inside)
                break; // only the first section of the name counts
            if (sameName(*name, section)) {
                inside = true;
                where.sectionFound = true;
                where.lastFilledLine = *line;
            }
            continue;
        }
        if (!inside)
            continue;
        if (!trimmed(text).empty())
            where.lastFilledLine = *line;
        if (!where.keyLine) {
            if (const auto found = keyLine(text); found && sameName(found->key, key)) {
                where.keyLine = *line;
                where.equals = found->equals;
                break; // the first key of the name counts
            }
        }
    }
    return where;
}

std::string_view unquoted(std::string_view value)
{
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

constexpr std::string_view Crlf = "\r\n";

QString systemReason(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

} // namespace

std::string lookupValue(std::string_view contents, std::string_view section, std::string_view key,
                        std::string_view defaultValue)
{
    const Location where = locate(contents, section, key);
    if (!where.keyLine)
        return std::string(defaultValue);
    const Line &line = *where.keyLine;
    const std::string_view text = contents.substr(line.begin, line.end - line.begin);
    return std::string(unquoted(trimmed(text.substr(where.equals + 1))));
}

namespace {
std::size_t copyInto(std::string_view value, char *buffer, std::size_t size)
{
    if (buffer == nullptr || size == 0)
        return 0;
    const std::size_t copied = std::min(value.size(), size - 1);
    std::memcpy(buffer, value.data(), copied);
    buffer[copied] = '\0';
    return copied;
}
} // namespace

std::size_t readValue(std::string_view contents, std::string_view section, std::string_view key,
                      std::string_view defaultValue, char *buffer, std::size_t size)
{
    return copyInto(lookupValue(contents, section, key, defaultValue), buffer, size);
}

std::string withValue(std::string_view contents, std::string_view section, std::string_view key,
                      std::string_view value)
{
    // A line end inside the value would split the line and let the rest of
    // it pose as keys or sections of its own.
    value = value.substr(0, std::min(value.find_first_of("\r\n"), value.size()));

    const Location where = locate(contents, section, key);
    std::string result;
    result.reserve(contents.size() + section.size() + key.size() + value.size() + 8);

    if (where.keyLine) {
        // The key's own spelling, blanks and line end stay; only the value
        // after '=' changes.
        const std::size_t valueBegin = where.keyLine->begin + where.equals + 1;
        result.append(contents.substr(0, valueBegin));
        result.append(value);
        result.append(contents.substr(where.keyLine->end));
        return result;
    }

    if (where.sectionFound) {
        const Line &after = where.lastFilledLine;
        result.append(contents.substr(0, after.next));
        if (!after.hasLineEnd())
            result.append(Crlf);
        result.append(key).append("=").append(value).append(Crlf);
        result.append(contents.substr(after.next));
        return result;
    }

    result.append(contents);
    if (!contents.empty() && contents.back() != '\r' && contents.back() != '\n')
        result.append(Crlf);
    result.append("[").append(section).append("]").append(Crlf);
    result.append(key).append("=").append(value).append(Crlf);
    return result;
}

namespace {

enum class ReadStatus { Read, Missing, Failed };

struct FileContents {
    ReadStatus status = ReadStatus::Missing;
    std::string bytes;
    QString error;
    bool truncated = false;
};

// Reads at most limit bytes of a regular file. Anything else with that name
// (a directory, a pipe that would block, a device) is never opened.
FileContents readFile(const QString &path, qint64 limit)
{
    FileContents result;
    const QFileInfo info(path);
    if (!info.exists())
        return result;
    if (!info.isFile()) {
        result.status = ReadStatus::Failed;
        result.error = info.isDir() ? systemReason(EISDIR) : QStringLiteral("Not a regular file");
        return result;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.status = ReadStatus::Failed;
        result.error = file.errorString();
        return result;
    }
    // One byte past the limit tells a file too large; no buffer beyond the
    // file's own size.
    const QByteArray bytes = file.read(std::min(file.size(), limit) + 1);
    if (file.error() != QFileDevice::NoError) {
        result.status = ReadStatus::Failed;
        result.error = file.errorString();
        return result;
    }
    result.status = ReadStatus::Read;
    result.truncated = bytes.size() > limit;
    result.bytes.assign(bytes.constData(), std::size_t(std::min<qint64>(bytes.size(), limit)));
    return result;
}

} // namespace

std::size_t getPrivateProfileString(std::string_view section, std::string_view key,
                                    std::string_view defaultValue, char *buffer, std::size_t size,
                                    const QString &path)
{
    if (buffer == nullptr || size == 0)
        return 0;
    const FileContents file = readFile(path, MaxFileSize);
    if (file.status != ReadStatus::Read)
        return copyInto(defaultValue, buffer, size);
    return readValue(file.bytes, section, key, defaultValue, buffer, size);
}

FileResult writePrivateProfileString(std::string_view section, std::string_view key,
                                      std::string_view value, const QString &path)
{
    return writePrivateProfileStrings(section, {KeyValue{key, value}}, path);
}

FileResult writePrivateProfileStrings(std::string_view section, std::initializer_list<KeyValue> entries,
                                      const QString &path)
{
    const auto fail = [&](const QString &reason) { return FileResult::failure(path, reason); };

    // The whole file is needed, and no more than the read sees: a rewrite
    // must not drop what lies beyond the read's limit.
    const FileContents old = readFile(path, MaxFileSize);
    if (old.status == ReadStatus::Failed)
        return fail(old.error);
    if (old.truncated)
        return fail(systemReason(EFBIG));

    // A file made read-only keeps its settings, although a rename could
    // replace it.
    if (old.status == ReadStatus::Read && !QFileInfo(path).isWritable())
        return fail(systemReason(EACCES));

    std::string updated = old.bytes;
    for (const KeyValue &entry : entries)
        updated = withValue(updated, section, entry.key, entry.value);

    const FileResult replaced = replaceFileContents(path, updated);
    keepChangedFiles();
    return replaced;
}

} // namespace tekkora::profile
