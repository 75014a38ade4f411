#include "Form2Procedures.h"

#include "KeysLog.h"
#include "ResultsText.h"
#include "ScoreLog.h"

#include "platform/Services.h"

#include <QStringList>

namespace tekkora {

Form2Procedures::Form2Procedures(const DrillState &state, const RunRecording &recording, const Services &services,
                                 Form2Controls &controls)
    : state_(state), recording_(recording), services_(services), controls_(controls)
{
}

void Form2Procedures::Form_Load()
{
    if (needsWideMissBox(state_.MissCount, state_.QuestionCount)) {
        controls_.setLabMissWidth(WideLabMissWidth);
        controls_.setLabel9Left(WideLabel9Left);
    }
    controls_.setCaption(FigureBox::LabPar, accuracyCaption(state_.Accuracy));
    controls_.setCaption(FigureBox::LabSp, speedCaption(state_.ElapsedSeconds, state_.QuestionCount));
    controls_.setCaption(FigureBox::LabMiss, missCaption(state_.MissCount, state_.QuestionCount));
    controls_.setCaption(FigureBox::LabMode, charSetText(state_.CharSet));

    ScoreRecord record;
    record.QuestionCount = state_.QuestionCount;
    record.MissCount = state_.MissCount;
    record.Accuracy = state_.Accuracy;
    record.ModeCaption = controls_.caption(FigureBox::LabMode);
    record.AccuracyCaption = controls_.caption(FigureBox::LabPar);
    record.SpeedCaption = controls_.caption(FigureBox::LabSp);
    record.When = services_.clock.now();

    // The per-key line right after the score record, with the same reading
    // of the clock; its failure never costs the score record.
    const FileResult logged = AppendScoreRecord(record, services_.dataDirectory);
    KeysRecord keys{record.When, record.ModeCaption, recording_.letterCase(), &recording_.questions()};
    keys.weakDraw = recording_.weakDraw();
    const FileResult keysLogged = AppendKeysRecord(keys, services_.dataDirectory);

    // A log that cannot be written costs the record, not the results on
    // screen: say so, once for both logs, and carry on.
    QStringList failures;
    if (!logged.ok())
        failures << QStringLiteral("スコアファイルに記録できませんでした。\n") + logged.describe();
    if (!keysLogged.ok())
        failures << QStringLiteral("キー記録ファイルに記録できませんでした。\n") + keysLogged.describe();
    if (!failures.isEmpty())
        controls_.reportError(QStringLiteral("Tekkora!"), failures.join(QStringLiteral("\n\n")));
}

void Form2Procedures::Command1_Click()
{
    const int count = state_.QuestionCount;
    if (count > FirstMilestone)
        controls_.showMessage(firstMilestoneTitle(state_.QuestionCount), FirstMilestoneText);
    if (count > SecondMilestone)
        controls_.showMessage(SecondMilestoneTitle, SecondMilestoneText);
    if (count > ThirdMilestone)
        controls_.showMessage(ThirdMilestoneTitle, ThirdMilestoneText);
    controls_.unloadWindow();
}

} // namespace tekkora
