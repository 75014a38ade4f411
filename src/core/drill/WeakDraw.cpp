#include "WeakDraw.h"

#include "DrillState.h"

#include "platform/DataDirectory.h"
#include "results/KeysLog.h"
#include "results/KeysLogTail.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace tekkora {

namespace {

// The set's average mixed into each character's figures, as this many
// questions of its own.
constexpr double PriorQuestions = 5;
constexpr double LeastNeed = 0.5;
constexpr double MostNeed = 3;
// Of the draw, the part shared evenly.
constexpr double EvenPart = 0.5;

// The time at rank ceil(n/2), as the keys page's median.
double median(std::vector<std::uint32_t> &times)
{
    const auto middle = times.begin() + std::ptrdiff_t((times.size() + 1) / 2 - 1);
    std::nth_element(times.begin(), middle, times.end());
    return double(*middle);
}

struct Tally {
    double questions = 0;
    double misses = 0;
    std::vector<std::uint32_t> times;
};

// The chances to draw with, redrawing on a repeat, for the shares to come
// out as `shares`: after a character c the draw takes the others' chances
// in proportion, so c comes as often as p_c (1 - p_c) in the long run.
// Solved by p_c = shares_c / (1 - p_c), normalised, from p = shares; every
// share here is below a half, where this settles.
std::vector<double> chancesFor(const std::vector<double> &shares)
{
    std::vector<double> chances = shares;
    for (int round = 0; round < 200; ++round) {
        double sum = 0, moved = 0;
        std::vector<double> next(shares.size());
        for (std::size_t c = 0; c < shares.size(); ++c)
            sum += next[c] = shares[c] / (1 - chances[c]);
        for (std::size_t c = 0; c < shares.size(); ++c) {
            moved = std::max(moved, std::abs(next[c] / sum - chances[c]));
            chances[c] = next[c] / sum;
        }
        if (moved < 1e-12)
            break;
    }
    return chances;
}

} // namespace

WeakDraw::WeakDraw(const KeysRuns &runs, std::uint8_t charSet)
{
    int count = 0;
    std::array<int, 256> indexOf;
    indexOf.fill(-1);
    const auto add = [&](int first, int last) {
        for (int code = first; code <= last; ++code) {
            indexOf[std::size_t(code)] = count;
            keyCodes_[std::size_t(count++)] = std::uint8_t(code);
        }
    };
    if (charSet == charset::Letters || charSet == charset::All)
        add(keycode::LetterA, keycode::LetterZ);
    if (charSet == charset::Digits || charSet == charset::All)
        add(keycode::Digit0, keycode::Digit9);

    std::vector<Tally> tallies(static_cast<std::size_t>(count));
    Tally set;
    for (const KeysRun &run : runs.runs) {
        if (run.charSet != charSet)
            continue;
        for (std::size_t q = run.firstQuestion; q < std::size_t(run.firstQuestion) + run.questionCount; ++q) {
            const KeyQuestion &question = runs.pool.questions[q];
            const int index = indexOf[question.shown];
            if (question.ended || index < 0)
                continue;
            const double missed = runs.pool.wrongKeysOf(q).empty() ? 0 : 1;
            for (Tally *tally : {&tallies[std::size_t(index)], &set}) {
                tally->questions += 1;
                tally->misses += missed;
                tally->times.push_back(question.ms);
            }
        }
    }
    if (set.questions == 0)
        return; // no record: an even draw

    const double missRate = set.misses / set.questions;
    const double medianMs = median(set.times);
    std::vector<double> weights(static_cast<std::size_t>(count));
    double weightSum = 0;
    for (std::size_t c = 0; c < tallies.size(); ++c) {
        Tally &tally = tallies[c];
        const double asked = tally.questions + PriorQuestions;
        const double misses = (tally.misses + PriorQuestions * missRate) / asked;
        const double ms =
            ((tally.times.empty() ? 0 : tally.questions * median(tally.times)) + PriorQuestions * medianMs) / asked;
        const double byMisses = missRate > 0 ? misses / missRate : 1;
        const double byTime = medianMs > 0 ? 2 * ms / medianMs - 1 : 1;
        const double need = std::clamp(std::max(byMisses, byTime), LeastNeed, MostNeed);
        weightSum += weights[c] = need * need;
    }
    std::vector<double> shares(static_cast<std::size_t>(count));
    for (std::size_t c = 0; c < shares.size(); ++c)
        shares[c] = EvenPart / count + (1 - EvenPart) * weights[c] / weightSum;

    const std::vector<double> chances = chancesFor(shares);
    double upTo = 0;
    for (std::size_t c = 0; c < chances.size(); ++c)
        upTo_[c] = float(upTo += chances[c]);
    upTo_[std::size_t(count - 1)] = 1.0f;
    count_ = count;
}

WeakDraw WeakDraw::fromLog(const QString &directory, std::uint8_t charSet)
{
    return WeakDraw(readLastKeysRuns(fileInDirectory(directory, KeysFileName), charSet, WeakDrawRuns), charSet);
}

std::int16_t WeakDraw::pick(float r) const
{
    int index = 0;
    while (index < count_ - 1 && r >= upTo_[std::size_t(index)])
        ++index;
    return keyCodes_[std::size_t(index)];
}

} // namespace tekkora
