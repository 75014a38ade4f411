// The practice options: character set, question count, letter case and the
// weak characters' draw, chosen from the Options menu, its shortcut keys and
// the two option labels.

#include "Form1Procedures.h"

namespace tekkora {

// Each option handler acts only when its own item is not marked yet; then it
// marks its item, clears the rest of its group and sets the value. The mode
// and count handlers end in the idle state either way.
void Form1Procedures::selectCharSet(OptionItem item, std::uint8_t charSet)
{
    if (!controls_.isChecked(item)) {
        state_.CharSet = charSet;
        for (OptionItem each : {OptionItem::al, OptionItem::num, OptionItem::all})
            controls_.setChecked(each, each == item);
        if (charSet == charset::Letters) {
            state_.RangeLow = keycode::LetterA;
            state_.RangeHigh = keycode::LetterZ;
        } else if (charSet == charset::Digits) {
            state_.RangeLow = keycode::Digit0;
            state_.RangeHigh = keycode::Digit9;
        } else {
            // The range keeps the last letters or digits choice.
            fillKeyTable(KeyTable_);
        }
    }
    Wait();
}

void Form1Procedures::al_Click() { selectCharSet(OptionItem::al, charset::Letters); }
void Form1Procedures::num_Click() { selectCharSet(OptionItem::num, charset::Digits); }
void Form1Procedures::all_Click() { selectCharSet(OptionItem::all, charset::All); }

void Form1Procedures::selectCount(OptionItem item, std::int16_t limit)
{
    if (!controls_.isChecked(item)) {
        for (OptionItem each : {OptionItem::n10, OptionItem::n30, OptionItem::n50, OptionItem::n99})
            controls_.setChecked(each, each == item);
        state_.QuestionLimit = limit;
    }
    Wait();
}

void Form1Procedures::n10_Click() { selectCount(OptionItem::n10, 10); }
void Form1Procedures::n30_Click() { selectCount(OptionItem::n30, 30); }
void Form1Procedures::n50_Click() { selectCount(OptionItem::n50, 50); }
void Form1Procedures::n99_Click() { selectCount(OptionItem::n99, UnlimitedQuestions); }

// The letter case lives in the two marks alone; the next character shows it.
void Form1Procedures::selectCase(OptionItem item)
{
    if (!controls_.isChecked(item)) {
        for (OptionItem each : {OptionItem::omoji, OptionItem::kmoji})
            controls_.setChecked(each, each == item);
    }
}

void Form1Procedures::omoji_Click() { selectCase(OptionItem::omoji); }
void Form1Procedures::kmoji_Click() { selectCase(OptionItem::kmoji); }

// The weak characters' draw lives in its mark alone, as the case does; the
// next run reads the log for it.
void Form1Procedures::weak_Click()
{
    controls_.setChecked(OptionItem::weak, !controls_.isChecked(OptionItem::weak));
}

void Form1Procedures::lblMode_Click()
{
    // The option labels rest during a run: a click must not bring the idle
    // display up in the middle of one.
    if (isRunInProgress())
        return;
    switch (state_.CharSet) {
    case charset::Letters:
        state_.CharSet = charset::Digits;
        num_Click();
        break;
    case charset::Digits:
        state_.CharSet = charset::All;
        all_Click();
        break;
    default:
        state_.CharSet = charset::Letters;
        al_Click();
        break;
    }
}

void Form1Procedures::lblNum_Click()
{
    if (isRunInProgress())
        return;
    switch (state_.QuestionLimit) {
    case 10:
        state_.QuestionLimit = 30;
        n30_Click();
        break;
    case 30:
        state_.QuestionLimit = 50;
        n50_Click();
        break;
    case 50:
        state_.QuestionLimit = UnlimitedQuestions;
        n99_Click();
        break;
    case UnlimitedQuestions:
        state_.QuestionLimit = 10;
        n10_Click();
        break;
    default:
        state_.QuestionLimit = 30;
        n30_Click();
        break;
    }
}

void Form1Procedures::Command2_Click()
{
    controls_.unloadWindow();
}

void Form1Procedures::ver_Click()
{
    controls_.showAbout();
}

} // namespace tekkora
