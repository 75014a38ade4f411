#include "ScoreLog.h"

#include "platform/AppendOnlyFile.h"
#include "platform/DataDirectory.h"
#include "platform/FileStorage.h"
#include "platform/ShiftJis.h"

namespace tekkora {

namespace {

const QString LineEnd = QStringLiteral("\r\n");
constexpr QChar IdeographicSpace(0x3000);

QString spaces(qsizetype count)
{
    return QString(count, QLatin1Char(' '));
}

// Blanks up to the next column start. A field that ends right on a column
// start still gets a whole column of blanks, so fields never run together.
void padToNextColumn(QString &line)
{
    line += spaces(ScoreColumnWidth - line.size() % ScoreColumnWidth);
}

QString accuracyPad(float accuracy)
{
    // First match wins: 100 itself takes no pad, 10 takes one.
    if (accuracy == 100.0f)
        return QString();
    if (accuracy >= 10.0f && accuracy <= 100.0f)
        return spaces(1);
    if (accuracy >= 0.0f && accuracy <= 10.0f)
        return spaces(2);
    return QString();
}

QString countPad(std::int16_t count)
{
    return count < 10 ? spaces(1) : QString();
}

} // namespace

QString scoreLogHeader()
{
    const QString title = QStringLiteral("//") + IdeographicSpace + QStringLiteral("「 Tekkora！ 」")
                          + IdeographicSpace + QStringLiteral("スコアファイル") + IdeographicSpace
                          + QStringLiteral("//");
    const QString columns = QStringLiteral("-日付-") + QString(6, IdeographicSpace) + spaces(1)
                            + QStringLiteral("-モード-") + spaces(5) + QStringLiteral("-ミス-") + spaces(6)
                            + IdeographicSpace + spaces(1) + QStringLiteral("-正解率-") + spaces(6)
                            + QStringLiteral("-速度-");
    return title + LineEnd + LineEnd + columns + LineEnd;
}

QString formatScoreRecord(const ScoreRecord &record)
{
    const QDate date = record.When.date();
    const QTime time = record.When.time();
    // Fixed separators: the file reads the same whatever the locale.
    QString line = QString::asprintf("%04d/%02d/%02d %02d:%02d", date.year(), date.month(), date.day(),
                                     time.hour(), time.minute());
    line += QString(2, IdeographicSpace) + record.ModeCaption;
    padToNextColumn(line);

    line += countPad(record.MissCount) + QString::number(record.MissCount) + QLatin1Char('/')
            + countPad(record.QuestionCount) + QString::number(record.QuestionCount) + QStringLiteral(" 回");
    padToNextColumn(line);

    line += accuracyPad(record.Accuracy) + record.AccuracyCaption + QStringLiteral(" %");
    padToNextColumn(line);

    line += record.SpeedCaption + QStringLiteral(" 秒/キー");
    return line;
}

FileResult AppendScoreRecord(const ScoreRecord &record, const QString &directory)
{
    const QString path = fileInDirectory(directory, ScoreFileName);
    // Everything is converted before the file is touched, so a text that
    // cannot be written leaves no trace in it.
    const ShiftJisText header = toShiftJis(scoreLogHeader());
    const ShiftJisText line = toShiftJis(formatScoreRecord(record) + LineEnd);
    for (const ShiftJisText *text : {&header, &line}) {
        if (!text->ok())
            return FileResult::failure(path, text->error);
    }
    const FileResult appended = appendToLog(path, header.bytes, line.bytes);
    keepChangedFiles();
    return appended;
}

} // namespace tekkora
