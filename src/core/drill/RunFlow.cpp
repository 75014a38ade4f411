// A run from the press of Start to its results, and the idle state.

#include "Form1Procedures.h"

#include "platform/Services.h"
#include "platform/CheckedInt.h"

#include <array>
#include <cmath>
#include <limits>

namespace tekkora {

namespace {
constexpr int RunningFontSize = 36;
constexpr int IdleFontSize = 12;
const QString IdlePrompt = QStringLiteral("\rPush the Space Bar !");

// Every caption a question can show, made once: showing one then costs no
// allocation, which pays for the tick read a right key now takes.
QString questionCaption(std::int16_t key, LetterCase letterCase)
{
    static const std::array<QString, 256> captions = [] {
        std::array<QString, 256> made;
        for (char16_t c = 0; c < 128; ++c) {
            made[c] = QString(QChar(c));
            made[128 + c] = made[c].toLower();
        }
        return made;
    }();
    if (key >= 0 && key < 128)
        return captions[std::size_t(key) + (letterCase == LetterCase::Lower ? 128 : 0)];
    const QString character{QChar(char16_t(key))};
    return letterCase == LetterCase::Lower ? character.toLower() : character;
}
} // namespace

Form1Procedures::Form1Procedures(DrillState &state, const Services &services, Form1Controls &controls)
    : state_(state), services_(services), controls_(controls)
{
}

bool Form1Procedures::isRunInProgress() const
{
    // A run shows only in the controls: Start is disabled while it lasts.
    return !controls_.isCommand1Enabled();
}

void Form1Procedures::Command1_Click()
{
    state_.QuestionCount = 0;
    state_.MissCount = 0;
    state_.MissedFlag = 0;
    controls_.setLabel1FontSize(RunningFontSize);
    controls_.setCommand1Enabled(false);
    controls_.setLabel2Visible(true);
    controls_.setCommand2Enabled(false);
    controls_.setOptionsMenuEnabled(false);
    // Read before the run's time starts; with the option off nothing is read.
    weakDraw_ = controls_.isChecked(OptionItem::weak) ? WeakDraw::fromLog(services_.dataDirectory, state_.CharSet)
                                                      : WeakDraw();
    state_.StartTick = services_.ticks.GetTickCount();
    recording_.start(state_.QuestionLimit,
                     controls_.isChecked(OptionItem::omoji) ? LetterCase::Upper : LetterCase::Lower, state_.StartTick,
                     weakDraw_.weighted());
    Main();
}

void Form1Procedures::Form_KeyDown(std::int16_t keyCode, std::int16_t /*shift*/)
{
    // Keys count only during a run; in the idle state a button holds the
    // focus and no key should add a miss or reopen old results.
    if (!isRunInProgress())
        return;

    if (keyCode == state_.TargetKey) {
        // Cleared before Main, so a miss on the last question of a run that
        // ends at its limit still counts.
        state_.MissedFlag = 0;
        // The one reading of the clock per question: this answer's time is
        // the next question's start.
        recording_.answered(services_.ticks.GetTickCount());
        Main();
    } else if (keyCode == keycode::Escape) {
        recording_.ended();
        Quit();
    } else {
        recording_.wrongKey(keyCode);
        if (state_.MissedFlag == 0) {
            state_.MissedFlag = 1;
            state_.MissCount = checkedAdd16(state_.MissCount, 1);
        }
        services_.beeper.beep();
    }
}

void Form1Procedures::Main()
{
    const std::int16_t n = state_.QuestionCount;
    if (n == std::numeric_limits<std::int16_t>::max()) {
        // The 32767th question has just been answered: the count cannot go
        // further, so the run ends here with every question counted.
        endRun();
        return;
    }
    state_.QuestionCount = checkedAdd16(n, 1);

    if (n < state_.QuestionLimit)
        drawQuestion();
    else if (n == state_.QuestionLimit)
        Quit();
}

std::int16_t Form1Procedures::drawOnce()
{
    const float r = services_.random.next();
    if (weakDraw_.weighted())
        return weakDraw_.pick(r);
    if (state_.CharSet == charset::All) {
        const int index = static_cast<int>(std::floor(r * float(KeyTableFilledEntries)));
        return KeyTable_[index];
    }
    const int span = int(state_.RangeHigh) - int(state_.RangeLow) + 1;
    return static_cast<std::int16_t>(std::floor(r * float(span)) + state_.RangeLow);
}

void Form1Procedures::drawQuestion()
{
    services_.random.reseedFromClock();
    std::int16_t key = drawOnce();
    while (key == state_.LastKey)
        key = drawOnce();
    state_.TargetKey = key;
    state_.LastKey = key;
    recording_.shown(key);

    // The case cannot change during a run: the options are disabled.
    controls_.setLabel1Caption(questionCaption(state_.TargetKey, recording_.letterCase()));
}

void Form1Procedures::Quit()
{
    // The question on screen (or the one counted past the limit) was not
    // answered: it does not count.
    state_.QuestionCount = checkedSub16(state_.QuestionCount, 1);
    endRun();
}

void Form1Procedures::endRun()
{
    if (state_.MissedFlag == 1)
        state_.MissCount = checkedSub16(state_.MissCount, 1);

    if (state_.QuestionCount != 0) {
        state_.Accuracy = computeAccuracy(state_.QuestionCount, state_.MissCount);
        state_.EndTick = services_.ticks.GetTickCount();
        state_.ElapsedSeconds = elapsedSeconds(state_.StartTick, state_.EndTick);
        services_.beeper.beep();
        controls_.showResults();
    }
    Wait();
    controls_.focusStartButton();
}

void Form1Procedures::Wait()
{
    controls_.setOptionsMenuEnabled(true);
    controls_.setLabel1FontSize(IdleFontSize);
    controls_.setLabel1Caption(IdlePrompt);
    controls_.setCommand1Enabled(true);
    controls_.setCommand2Enabled(true);
    controls_.setLabel2Visible(false);
    const QString mode = charSetText(state_.CharSet);
    if (!mode.isEmpty())
        controls_.setModeCaption(mode);
    controls_.setNumCaption(questionLimitText(state_.QuestionLimit));
    state_.LastKey = -1;
}

} // namespace tekkora
