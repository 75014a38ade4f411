#pragma once

// The draw of a run with the option "苦手な文字を多めに": the characters of
// the run's set weighted by the player's record of that set in Keys.jsonl,
// so that those missed more often or answered more slowly than the set's
// average come more often.
//
// From the set's last WeakDrawRuns runs, each character's miss rate and
// median time (of the questions answered) against the set's: a character's
// need is the larger of its miss rate over the set's and twice its median
// over the set's median less one (so twice the misses and half again the
// time count alike), a few questions' worth of the set's average mixed in
// so that one unlucky question does not decide, and kept between 0.5 and 3.
// Half of the draw is shared evenly; the other half goes by need squared.
// Those shares are what the player sees over a run: the rule that no
// character comes twice in a row, which favours the rest, is taken into
// account. So a character twice as often missed as the set comes about twice
// as often as in an even draw, and none less than half as often.
//
// Without any record of the set the draw is even, as with the option off.

#include "results/KeysLogReader.h"

#include <QString>

#include <array>
#include <cstdint>

namespace tekkora {

inline constexpr int WeakDrawRuns = 100;

class WeakDraw {
public:
    // An even draw.
    WeakDraw() = default;
    // Weighted by the runs of `charSet` among `runs` (other sets' runs are
    // passed over); even when they answered no question of it.
    WeakDraw(const KeysRuns &runs, std::uint8_t charSet);
    // From the set's last WeakDrawRuns runs in Keys.jsonl in `directory`.
    static WeakDraw fromLog(const QString &directory, std::uint8_t charSet);

    bool weighted() const { return count_ > 0; }
    // The key code that r, in [0, 1), falls on; only when weighted.
    std::int16_t pick(float r) const;

private:
    int count_ = 0;
    std::array<std::uint8_t, 36> keyCodes_{};
    std::array<float, 36> upTo_{}; // each character's share added up; the last 1
};

} // namespace tekkora
