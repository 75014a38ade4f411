// Thousands of random files and values, from a fixed seed, against the rules
// every read and write must keep whatever the bytes.

#include "platform/PrivateProfile.h"

#include <QTest>

#include <array>
#include <random>
#include <string>
#include <vector>

using namespace tekkora;

namespace {

// Pieces that make up INI-like text more often than random bytes would.
const std::array<std::string, 24> Pieces = {
    "[Data]", "[data ]", "[Other]", "[", "]", "=", "Mode", "NUM", "Cap", " ", "\t", "\r", "\n", "\r\n",
    "\"", "'", ";", "#", "1", "30", "&H1F", std::string(1, '\0'), "\xff", "x"};

std::string randomText(std::mt19937 &random, int maxPieces)
{
    std::uniform_int_distribution<int> count(0, maxPieces);
    std::uniform_int_distribution<int> piece(0, int(Pieces.size()));
    std::uniform_int_distribution<int> byte(0, 255);
    std::string text;
    for (int i = count(random); i > 0; --i) {
        const int which = piece(random);
        if (which == int(Pieces.size()))
            text += char(byte(random));
        else
            text += Pieces[std::size_t(which)];
    }
    return text;
}

std::string_view trimmed(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

// A value the reader gives back as written, blanks aside.
std::string randomValue(std::mt19937 &random)
{
    std::string value = randomText(random, 4);
    std::erase_if(value, [](char c) { return c == '\r' || c == '\n'; });
    const std::string_view core = trimmed(value);
    if (core.size() >= 2 && (core.front() == '"' || core.front() == '\'') && core.back() == core.front())
        value += 'x';
    return value;
}

std::vector<std::string> lineTexts(std::string_view s)
{
    std::vector<std::string> lines;
    std::size_t pos = 0;
    while (pos < s.size()) {
        std::size_t stop = s.find_first_of("\r\n", pos);
        if (stop == std::string_view::npos)
            stop = s.size();
        lines.emplace_back(s.substr(pos, stop - pos));
        pos = stop;
        if (pos < s.size() && s[pos] == '\r' && pos + 1 < s.size() && s[pos + 1] == '\n')
            pos += 2;
        else if (pos < s.size())
            pos += 1;
    }
    return lines;
}

// True when the old lines are the new ones with at most `extra` lines added.
bool keptInOrder(const std::vector<std::string> &old, const std::vector<std::string> &now, std::size_t extra)
{
    if (now.size() < old.size() || now.size() > old.size() + extra)
        return false;
    std::size_t i = 0;
    for (const std::string &line : now) {
        if (i < old.size() && line == old[i])
            ++i;
    }
    return i == old.size();
}

constexpr std::array<const char *, 4> Probes = {"Mode", "Num", "Cap", "x"};

} // namespace

class TestProfileRandom : public QObject {
    Q_OBJECT

private slots:
    void readsAlwaysEndInsideTheBuffer();
    void writesChangeOnlyTheirKey();
};

void TestProfileRandom::readsAlwaysEndInsideTheBuffer()
{
    std::mt19937 random(20240601);
    for (int round = 0; round < 3000; ++round) {
        const std::string contents = randomText(random, 40);
        for (const char *key : Probes) {
            for (std::size_t size : {1, 2, 6}) {
                std::string memory(size + 2, '#');
                const std::size_t copied = profile::readValue(contents, "Data", key, "", memory.data(), size);
                QVERIFY(copied < size);
                QCOMPARE(memory[copied], '\0');
                QCOMPARE(memory.substr(size), std::string("##"));
                const std::string whole = profile::lookupValue(contents, "Data", key, "");
                QCOMPARE(memory.substr(0, copied), whole.substr(0, size - 1));
            }
        }
    }
}

void TestProfileRandom::writesChangeOnlyTheirKey()
{
    std::mt19937 random(19991231);
    for (int round = 0; round < 3000; ++round) {
        const std::string before = randomText(random, 40);
        const char *key = Probes[std::size_t(round) % 3];
        const std::string value = randomValue(random);
        const std::string after = profile::withValue(before, "Data", key, value);

        QCOMPARE(profile::lookupValue(after, "Data", key, "<none>"), std::string(trimmed(value)));
        for (const char *other : Probes) {
            if (std::string_view(other) != key)
                QCOMPARE(profile::lookupValue(after, "Data", other, "<none>"),
                         profile::lookupValue(before, "Data", other, "<none>"));
            QCOMPARE(profile::lookupValue(after, "Other", other, "<none>"),
                     profile::lookupValue(before, "Other", other, "<none>"));
        }

        const std::vector<std::string> old = lineTexts(before);
        const std::vector<std::string> now = lineTexts(after);
        const bool existed = profile::lookupValue(before, "Data", key, "<none>") != "<none>"
                             || profile::lookupValue(before, "Data", key, "<other>") != "<other>";
        if (existed) {
            QCOMPARE(now.size(), old.size());
            int changed = 0;
            for (std::size_t i = 0; i < old.size(); ++i)
                changed += old[i] != now[i];
            QVERIFY(changed <= 1);
        } else {
            QVERIFY2(keptInOrder(old, now, 2), before.c_str());
        }

        QCOMPARE(profile::withValue(after, "Data", key, value), after);
    }
}

QTEST_GUILESS_MAIN(TestProfileRandom)
#include "tst_profilerandom.moc"
