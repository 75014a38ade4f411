#pragma once

// The figures the keys page shows, from the runs of Keys.jsonl: per
// character (A-Z and 0-9, case folded) how often it was asked and missed and
// how long its right key took; which keys were pressed instead of which;
// for a character set and a period. No widget: the page only shows them.
//
// What counts, as in the run's own figures: the questions answered. The
// question Esc ended a run on is left out of every character's figures,
// though its wrong keys count among the keys pressed instead. A miss is a
// question with at least one wrong key before its right one. The median
// time is the middle one of the milliseconds measured, of an even count the
// mean of the two middle ones; the 90th percentile is the nearest rank (the
// time at rank ceil(0.9 n) in order), a time that happened.

#include "ScoreStatistics.h"
#include "results/KeysLogReader.h"

#include <QDateTime>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace tekkora {

// Which runs count: all, the latest, or only those drawn weighted to the
// weak characters.
enum class KeyPeriod { All, Last30Days, Last100Runs, WeakDraws };

inline constexpr int KeyPeriodDays = 30;
inline constexpr int KeyPeriodRuns = 100;
// A character's last runs against the runs before them: this many each;
// of a character asked in fewer runs than twice that, its last half against
// its first half, once each half has KeyLeastComparedRuns runs.
inline constexpr int KeyRecentRuns = 10;
inline constexpr int KeyLeastComparedRuns = 2;

struct KeyFilter {
    RunSet set = RunSet::Every;
    KeyPeriod period = KeyPeriod::All;

    bool operator==(const KeyFilter &) const = default;
};

struct CharacterFigures {
    std::uint8_t keyCode = 0; // 'A'-'Z' or '0'-'9'
    qint64 questions = 0;
    qint64 misses = 0;
    std::optional<double> missRate; // 0 to 1, when there were questions
    std::optional<std::uint32_t> medianMs;
    std::optional<std::uint32_t> p90Ms;
    // The same over the character's last comparedRuns runs that asked it,
    // and over the comparedRuns before those (KeyRecentRuns each, or its
    // last half and first half); none when comparedRuns is 0.
    int comparedRuns = 0;
    std::optional<std::uint32_t> recentMedianMs;
    std::optional<double> recentMissRate;
    std::optional<std::uint32_t> earlierMedianMs;
    std::optional<double> earlierMissRate;
};

// A key pressed when another character was shown, and how often.
struct PressedInstead {
    std::uint8_t shown = 0;   // the character's key code
    std::uint8_t pressed = 0; // the key's code, see KeyNames.h
    qint64 count = 0;

    bool operator==(const PressedInstead &) const = default;
};

class KeyStatistics {
public:
    static constexpr int CharacterCount = 36;

    // Everything from the log's runs again, for `filter`, as of `now` (the
    // last 30 days end then).
    void rebuild(const KeysRuns &log, const KeyFilter &filter, const QDateTime &now);
    // The log has gained the runs from `firstNew` on. Only they are added
    // while every run counts; a window of days or runs is built again.
    void append(const KeysRuns &log, std::size_t firstNew, const QDateTime &now);

    const KeyFilter &filter() const { return filter_; }
    qsizetype runs() const { return runs_; }
    qint64 questions() const { return questions_; }
    // A-Z, then 0-9.
    const std::array<CharacterFigures, CharacterCount> &characters() const { return figures_; }
    // A key's figures for the heat map, by its key code; none for a key that
    // answers no question.
    const CharacterFigures *forKey(int keyCode) const;
    // Most frequent first; equal counts in the order of the characters, then
    // of the keys' codes.
    const std::vector<PressedInstead> &pressedInstead() const { return pressedInstead_; }

private:
    struct Tally {
        qint64 misses = 0;
        std::vector<std::uint32_t> times; // sorted up to `sorted`
        std::size_t sorted = 0;
        std::vector<std::uint32_t> runsAsking; // indexes of the counted runs that asked it
    };

    void clear();
    bool selects(const KeysRun &run) const;
    void add(const KeysRuns &log, std::size_t runIndex);
    void finish(const KeysRuns &log);
    void compareRecent(const KeysRuns &log, int character);

    KeyFilter filter_;
    qsizetype runs_ = 0;
    qint64 questions_ = 0;
    std::array<Tally, CharacterCount> tallies_;
    std::array<CharacterFigures, CharacterCount> figures_;
    std::vector<qint64> pairs_; // [character * 256 + pressed]
    std::vector<PressedInstead> pressedInstead_;
};

} // namespace tekkora
