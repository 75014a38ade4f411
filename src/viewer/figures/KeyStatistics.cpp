#include "KeyStatistics.h"

#include "drill/DrillState.h"

#include <algorithm>

namespace tekkora {

namespace {

constexpr int KeyCodes = 256;

// A-Z at 0-25, 0-9 at 26-35; -1 for any other key.
int characterIndex(int keyCode)
{
    if (keyCode >= 'A' && keyCode <= 'Z')
        return keyCode - 'A';
    if (keyCode >= '0' && keyCode <= '9')
        return 26 + keyCode - '0';
    return -1;
}

std::uint8_t keyCodeOfIndex(int character)
{
    return std::uint8_t(character < 26 ? 'A' + character : '0' + character - 26);
}

// The time at rank ceil(p * n) of sorted times.
std::uint32_t nearestRank(const std::vector<std::uint32_t> &sorted, int percent)
{
    const std::size_t rank = (sorted.size() * std::size_t(percent) + 99) / 100;
    return sorted[std::max<std::size_t>(rank, 1) - 1];
}

// The middle time of sorted times; of an even count the mean of the two
// middle ones, to the millisecond (half a millisecond up).
std::uint32_t median(const std::vector<std::uint32_t> &sorted)
{
    const std::size_t middle = sorted.size() / 2;
    if (sorted.size() % 2 != 0)
        return sorted[middle];
    return std::uint32_t((std::uint64_t(sorted[middle - 1]) + sorted[middle] + 1) / 2);
}

std::optional<double> rate(qint64 part, qint64 whole)
{
    if (whole == 0)
        return std::nullopt;
    return double(part) / double(whole);
}

bool inSet(std::uint8_t charSet, RunSet set)
{
    switch (set) {
    case RunSet::Every: return true;
    case RunSet::Letters: return charSet == charset::Letters;
    case RunSet::Digits: return charSet == charset::Digits;
    case RunSet::Mixed: return charSet == charset::All;
    }
    return false;
}

} // namespace

void KeyStatistics::clear()
{
    runs_ = 0;
    questions_ = 0;
    tallies_ = {};
    pairs_.assign(std::size_t(CharacterCount * KeyCodes), 0);
}

bool KeyStatistics::selects(const KeysRun &run) const
{
    return inSet(run.charSet, filter_.set) && (filter_.period != KeyPeriod::WeakDraws || run.weakDraw);
}

void KeyStatistics::rebuild(const KeysRuns &log, const KeyFilter &filter, const QDateTime &now)
{
    filter_ = filter;
    clear();
    std::size_t first = 0;
    switch (filter_.period) {
    case KeyPeriod::All:
    case KeyPeriod::WeakDraws:
        break;
    case KeyPeriod::Last100Runs: {
        // Back from the end to the 100th run of the set.
        int found = 0;
        for (first = log.runs.size(); first > 0 && found < KeyPeriodRuns; --first)
            found += selects(log.runs[first - 1]) ? 1 : 0;
        break;
    }
    case KeyPeriod::Last30Days: {
        const qint64 since = now.toSecsSinceEpoch() - qint64(KeyPeriodDays) * 86400;
        for (std::size_t i = 0; i < log.runs.size(); ++i) {
            if (log.runs[i].utcSeconds >= since && selects(log.runs[i]))
                add(log, i);
        }
        finish(log);
        return;
    }
    }
    for (std::size_t i = first; i < log.runs.size(); ++i) {
        if (selects(log.runs[i]))
            add(log, i);
    }
    finish(log);
}

void KeyStatistics::append(const KeysRuns &log, std::size_t firstNew, const QDateTime &now)
{
    if (filter_.period != KeyPeriod::All || pairs_.empty()) {
        rebuild(log, filter_, now);
        return;
    }
    for (std::size_t i = firstNew; i < log.runs.size(); ++i) {
        if (selects(log.runs[i]))
            add(log, i);
    }
    finish(log);
}

void KeyStatistics::add(const KeysRuns &log, std::size_t runIndex)
{
    const KeysRun &run = log.runs[runIndex];
    ++runs_;
    for (std::size_t q = run.firstQuestion; q < std::size_t(run.firstQuestion) + run.questionCount; ++q) {
        const KeyQuestion &question = log.pool.questions[q];
        const int character = characterIndex(question.shown);
        if (character < 0)
            continue;
        const std::span<const std::uint8_t> wrong = log.pool.wrongKeysOf(q);
        for (const std::uint8_t pressed : wrong)
            ++pairs_[std::size_t(character * KeyCodes + pressed)];
        if (question.ended)
            continue;
        Tally &tally = tallies_[std::size_t(character)];
        ++questions_;
        tally.misses += wrong.empty() ? 0 : 1;
        tally.times.push_back(question.ms);
        if (tally.runsAsking.empty() || tally.runsAsking.back() != runIndex)
            tally.runsAsking.push_back(std::uint32_t(runIndex));
    }
}

void KeyStatistics::finish(const KeysRuns &log)
{
    for (int character = 0; character < CharacterCount; ++character) {
        Tally &tally = tallies_[std::size_t(character)];
        // Only the times added since the last time need sorting; merged into
        // the sorted ones, an appended run costs a pass, not a sort.
        const auto added = tally.times.begin() + std::ptrdiff_t(tally.sorted);
        std::sort(added, tally.times.end());
        std::inplace_merge(tally.times.begin(), added, tally.times.end());
        tally.sorted = tally.times.size();

        CharacterFigures &figures = figures_[std::size_t(character)];
        figures = CharacterFigures{};
        figures.keyCode = keyCodeOfIndex(character);
        figures.questions = qint64(tally.times.size());
        figures.misses = tally.misses;
        figures.missRate = rate(tally.misses, figures.questions);
        if (!tally.times.empty()) {
            figures.medianMs = median(tally.times);
            figures.p90Ms = nearestRank(tally.times, 90);
        }
        compareRecent(log, character);
    }

    pressedInstead_.clear();
    for (std::size_t i = 0; i < pairs_.size(); ++i) {
        if (pairs_[i] > 0)
            pressedInstead_.push_back({keyCodeOfIndex(int(i / KeyCodes)), std::uint8_t(i % KeyCodes), pairs_[i]});
    }
    // Stable: the pairs come in the order of the characters and keys.
    std::stable_sort(pressedInstead_.begin(), pressedInstead_.end(),
                     [](const PressedInstead &a, const PressedInstead &b) { return a.count > b.count; });
}

void KeyStatistics::compareRecent(const KeysRuns &log, int character)
{
    const std::vector<std::uint32_t> &asking = tallies_[std::size_t(character)].runsAsking;
    CharacterFigures &figures = figures_[std::size_t(character)];
    const std::uint8_t keyCode = keyCodeOfIndex(character);
    // The last KeyRecentRuns runs against the ones before; a character
    // asked in fewer runs than both take, its last half against its first.
    const std::size_t each = std::min<std::size_t>(asking.size() / 2, KeyRecentRuns);
    if (each < KeyLeastComparedRuns)
        return;
    figures.comparedRuns = int(each);
    auto over = [&](std::size_t first, std::optional<std::uint32_t> &medianMs, std::optional<double> &missRate) {
        std::vector<std::uint32_t> times;
        qint64 misses = 0;
        for (std::size_t i = first; i < first + each; ++i) {
            const KeysRun &run = log.runs[asking[i]];
            for (std::size_t q = run.firstQuestion; q < std::size_t(run.firstQuestion) + run.questionCount; ++q) {
                const KeyQuestion &question = log.pool.questions[q];
                if (question.shown != keyCode || question.ended)
                    continue;
                times.push_back(question.ms);
                misses += log.pool.wrongKeysOf(q).empty() ? 0 : 1;
            }
        }
        std::sort(times.begin(), times.end());
        medianMs = median(times);
        missRate = rate(misses, qint64(times.size()));
    };
    over(asking.size() - each, figures.recentMedianMs, figures.recentMissRate);
    over(asking.size() < 2 * KeyRecentRuns ? 0 : asking.size() - 2 * each, figures.earlierMedianMs,
         figures.earlierMissRate);
}

const CharacterFigures *KeyStatistics::forKey(int keyCode) const
{
    const int character = characterIndex(keyCode);
    return character < 0 ? nullptr : &figures_[std::size_t(character)];
}

} // namespace tekkora
