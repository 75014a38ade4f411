// Any file contents plus three values to store in section Data: every other
// line must stay byte for byte, each value must read back (blanks trimmed),
// and storing the same values again must change nothing.

#include "platform/PrivateProfile.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr std::array<const char *, 3> Keys = {"Mode", "Num", "Cap"};

// Written apart from the implementation, so that the two check each other.
std::string_view trimmed(std::string_view s)
{
    const std::size_t first = s.find_first_not_of(" \t");
    return first == std::string_view::npos ? std::string_view() : s.substr(first, s.find_last_not_of(" \t") + 1 - first);
}

bool sameName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c + 32) : c; };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

struct Line {
    std::string text;
    std::string end; // "", "\r", "\n" or "\r\n"
};

std::vector<Line> splitLines(std::string_view s)
{
    std::vector<Line> lines;
    std::size_t pos = 0;
    while (pos < s.size()) {
        const std::size_t stop = s.find_first_of("\r\n", pos);
        Line line;
        line.text = std::string(s.substr(pos, stop == std::string_view::npos ? std::string_view::npos : stop - pos));
        if (stop == std::string_view::npos) {
            pos = s.size();
        } else if (s[stop] == '\r' && stop + 1 < s.size() && s[stop + 1] == '\n') {
            line.end = "\r\n";
            pos = stop + 2;
        } else {
            line.end = std::string(1, s[stop]);
            pos = stop + 1;
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

std::optional<std::string_view> headerName(std::string_view text)
{
    const std::string_view t = trimmed(text);
    const std::size_t close = t.rfind(']');
    if (t.empty() || t[0] != '[' || close == std::string_view::npos || close == 0)
        return std::nullopt;
    return trimmed(t.substr(1, close - 1)); // "[ name ]": up to the last ']'
}

// The lines that are not the first Data section's header or the first line
// of one of the written keys in it.
struct Others {
    std::vector<Line> lines;
    bool hadSection = false;
};

Others otherLines(std::string_view contents)
{
    Others others;
    std::array<bool, 3> seen{};
    int state = 0; // 0 before the section, 1 inside, 2 after it
    for (Line &line : splitLines(contents)) {
        if (const auto name = headerName(line.text)) {
            if (state == 1)
                state = 2;
            else if (state == 0 && sameName(*name, "Data")) {
                state = 1;
                others.hadSection = true;
                continue;
            }
        } else if (state == 1) {
            const std::size_t equals = line.text.find('=');
            if (equals != std::string::npos) {
                const std::string_view key = trimmed(std::string_view(line.text).substr(0, equals));
                bool written = false;
                for (std::size_t k = 0; k < Keys.size(); ++k) {
                    if (!seen[k] && sameName(key, Keys[k])) {
                        seen[k] = written = true;
                        break;
                    }
                }
                if (written)
                    continue;
            }
        }
        others.lines.push_back(std::move(line));
    }
    return others;
}

// Printable-ish values the reader gives back unchanged apart from blanks:
// no line ends, and no quote pair around them.
std::string valueFrom(FuzzedDataProvider &input)
{
    std::string value = input.ConsumeRandomLengthString(10);
    std::erase_if(value, [](char c) { return c == '\r' || c == '\n'; });
    const std::string_view core = trimmed(value);
    if (core.size() >= 2 && (core.front() == '"' || core.front() == '\'') && core.back() == core.front())
        value += 'x';
    return value;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    std::array<std::string, 3> values;
    for (std::string &value : values)
        value = valueFrom(input);
    const std::string before = input.ConsumeRemainingBytesAsString();

    std::string after = before;
    for (std::size_t k = 0; k < Keys.size(); ++k)
        after = tekkora::profile::withValue(after, "Data", Keys[k], values[k]);

    for (std::size_t k = 0; k < Keys.size(); ++k) {
        if (tekkora::profile::lookupValue(after, "Data", Keys[k], "<none>") != trimmed(values[k]))
            std::abort();
    }

    // Every other line is unchanged; only a last line without a line end
    // may have gained CR LF when something was added after it.
    const Others old = otherLines(before);
    const Others now = otherLines(after);
    if (!now.hadSection || old.lines.size() != now.lines.size())
        std::abort();
    for (std::size_t i = 0; i < old.lines.size(); ++i) {
        const Line &was = old.lines[i];
        const Line &is = now.lines[i];
        if (was.text != is.text)
            std::abort();
        const bool lastWithoutEnd = i + 1 == old.lines.size() && was.end.empty();
        if (was.end != is.end && !(lastWithoutEnd && is.end == "\r\n"))
            std::abort();
    }

    std::string again = after;
    for (std::size_t k = 0; k < Keys.size(); ++k)
        again = tekkora::profile::withValue(again, "Data", Keys[k], values[k]);
    if (again != after)
        std::abort();
    return 0;
}
