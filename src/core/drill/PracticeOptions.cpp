// The practice options: character set, question count and letter case, chosen
// from the Options menu, its shortcut keys and the two option labels.

#include "Form1Procedures.h"

namespace tekkora {

void Form1Procedures::al_Click()
{
    if (!controls_.isChecked(OptionItem::al)) {
        state_.CharSet = charset::Letters;
        controls_.setChecked(OptionItem::al, true);
        controls_.setChecked(OptionItem::all, false);
        controls_.setChecked(OptionItem::num, false);
        state_.RangeLow = keycode::LetterA;
        state_.RangeHigh = keycode::LetterZ;
    }
    Wait();
}

void Form1Procedures::num_Click()
{
    if (!controls_.isChecked(OptionItem::num)) {
        state_.CharSet = charset::Digits;
        controls_.setChecked(OptionItem::num, true);
        controls_.setChecked(OptionItem::all, false);
        controls_.setChecked(OptionItem::al, false);
        state_.RangeLow = keycode::Digit0;
        state_.RangeHigh = keycode::Digit9;
    }
    Wait();
}

void Form1Procedures::all_Click()
{
    if (!controls_.isChecked(OptionItem::all)) {
        state_.CharSet = charset::All;
        controls_.setChecked(OptionItem::all, true);
        controls_.setChecked(OptionItem::al, false);
        controls_.setChecked(OptionItem::num, false);
        fillKeyTable(KeyTable_);
    }
    Wait();
}

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

void Form1Procedures::omoji_Click()
{
    if (!controls_.isChecked(OptionItem::omoji)) {
        controls_.setChecked(OptionItem::omoji, true);
        controls_.setChecked(OptionItem::kmoji, false);
    }
}

void Form1Procedures::kmoji_Click()
{
    if (!controls_.isChecked(OptionItem::kmoji)) {
        controls_.setChecked(OptionItem::kmoji, true);
        controls_.setChecked(OptionItem::omoji, false);
    }
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
