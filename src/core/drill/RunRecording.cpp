#include "RunRecording.h"

#include <algorithm>

namespace tekkora {

namespace {
// Wrong keys reserved at the first run: more than most runs ever get.
constexpr std::size_t FirstWrongKeys = 4096;
} // namespace

void RunRecording::start(std::int16_t questionLimit, LetterCase letterCase, std::int32_t tick, bool weakDraw)
{
    pool_.clear();
    pool_.questions.reserve(std::size_t(std::max<std::int16_t>(questionLimit, 1)));
    pool_.wrongKeys.reserve(FirstWrongKeys);
    letterCase_ = letterCase;
    weakDraw_ = weakDraw;
    shownAt_ = std::uint32_t(tick);
}

void RunRecording::shown(std::int16_t keyCode)
{
    KeyQuestion question;
    question.shown = std::uint8_t(keyCode);
    question.firstWrong = std::uint32_t(pool_.wrongKeys.size());
    pool_.questions.push_back(question);
}

void RunRecording::answered(std::int32_t tick)
{
    // Modulo 2^32, as the run's own time: a wrap of the counter costs nothing.
    if (!pool_.questions.empty())
        pool_.questions.back().ms = std::uint32_t(tick) - shownAt_;
    shownAt_ = std::uint32_t(tick);
}

void RunRecording::wrongKey(std::int16_t keyCode)
{
    pool_.wrongKeys.push_back(keyCode >= 0 && keyCode <= 255 ? std::uint8_t(keyCode) : OtherKeyCode);
}

void RunRecording::ended()
{
    if (!pool_.questions.empty())
        pool_.questions.back().ended = true;
}

} // namespace tekkora
