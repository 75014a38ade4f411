#pragma once

// What the drill records of each question of a run, beside the drill state:
// the character shown, the milliseconds to its right key, the wrong keys
// pressed before it, and whether Esc ended the run on it. The per-key log
// writes it; its reader keeps the same form for every run of the log.

#include "KeyNames.h"

#include <cstdint>
#include <span>
#include <vector>

namespace tekkora {

struct KeyQuestion {
    std::uint32_t ms = 0;         // display to right key; 0 when ended
    std::uint32_t firstWrong = 0; // where its wrong keys start in the pool
    std::uint8_t shown = 0;       // the key code: 'A'-'Z' or '0'-'9'
    bool ended = false;           // on screen when Esc ended the run
};

// Questions with their wrong keys in one array: a question's wrong keys run
// from its firstWrong to the next question's (or the array's end), so a
// wrong key costs one byte and no allocation of its own.
struct QuestionPool {
    std::vector<KeyQuestion> questions;
    std::vector<std::uint8_t> wrongKeys; // key codes, see KeyNames.h

    std::span<const std::uint8_t> wrongKeysOf(std::size_t question) const
    {
        const std::size_t end =
            question + 1 < questions.size() ? questions[question + 1].firstWrong : wrongKeys.size();
        return std::span<const std::uint8_t>(wrongKeys).subspan(questions[question].firstWrong,
                                                                end - questions[question].firstWrong);
    }
    void clear()
    {
        questions.clear();
        wrongKeys.clear();
    }
};

// The recorder the main window's procedures feed during a run. Everything a
// run can need is reserved when it starts, so recording a key allocates
// nothing (a reservation is not resident memory until it is written); only
// the wrong keys' array grows, geometrically, past its first reservation.
class RunRecording {
public:
    // A run starts: its first question is shown at `tick`; `weakDraw` when
    // it is drawn weighted to the player's weak characters.
    void start(std::int16_t questionLimit, LetterCase letterCase, std::int32_t tick, bool weakDraw = false);
    // A question shows the key code's character, from the tick of the last
    // start or answer.
    void shown(std::int16_t keyCode);
    // The right key, at `tick`: the next question (if any) shows from then.
    void answered(std::int32_t tick);
    void wrongKey(std::int16_t keyCode);
    // Esc on the question on screen.
    void ended();

    LetterCase letterCase() const { return letterCase_; }
    bool weakDraw() const { return weakDraw_; }
    const QuestionPool &questions() const { return pool_; }

private:
    QuestionPool pool_;
    LetterCase letterCase_ = LetterCase::Upper;
    bool weakDraw_ = false;
    std::uint32_t shownAt_ = 0;
};

} // namespace tekkora
