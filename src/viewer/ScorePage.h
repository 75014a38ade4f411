#pragma once

// The score page of the score window: the figures, the two charts and the
// runs of one score log, for the window's character set, kept up to date
// while the drill appends to the log.

#include "ProgressChart.h"
#include "RunsTableModel.h"
#include "ScoreLogWatcher.h"
#include "ScoreStatistics.h"

#include <QWidget>

#include <memory>

class QBoxLayout;
class QComboBox;
class QLabel;
class QLayout;
class QStackedWidget;
class QTableView;

namespace tekkora {

class Announcer;
class FigurePanel;

class ScorePage final : public QWidget {
    Q_OBJECT
public:
    explicit ScorePage(QWidget *parent = nullptr);
    ~ScorePage() override;

    // Shows another log from now on.
    void openLog(const QString &path);
    QString logPath() const;
    void showSet(RunSet set);

    // "runs=... questions=... best=... latest=... skipped=...": the figures of
    // the set on show as the page shows them.
    QString reportFields() const;

    // Puts the page's controls into the window's Tab order after before.
    void placeInTabOrder(QWidget *before);

signals:
    // After every change of the log or of the set reached the page.
    void updated();

private:
    // Each builds one part of the page.
    void buildFigures(QBoxLayout *layout);
    QWidget *buildCharts();
    void buildRunsTable(QBoxLayout *layout);
    void showRunOf(ProgressChart *chart, qsizetype point, const QPoint &at);
    void applyChange(const ScoreLogChange &change);
    void refreshFigures();
    void refreshCharts();

    QList<Run> runs_;
    RunSet set_ = RunSet::Every;
    ProgressPoints points_;
    ScoreLogFile::State state_ = ScoreLogFile::State::Missing;
    QString error_;
    qsizetype skipped_ = 0;
    QList<SkippedLine> skippedKept_;

    std::unique_ptr<ScoreLogWatcher> watcher_;
    RunsTableModel *model_ = nullptr;
    struct FigureName {
        QLabel *label;
        QString title;
        QString unit;
    };
    QList<FigureName> figureNames_;
    Announcer *announcer_ = nullptr;
    FigurePanel *figurePanel_ = nullptr;
    QLabel *runsLabel_ = nullptr;
    QLabel *questionsLabel_ = nullptr;
    QLabel *bestLabel_ = nullptr;
    QLabel *bestDateLabel_ = nullptr;
    QLabel *latestLabel_ = nullptr;
    QLabel *recentLabel_ = nullptr;
    QLabel *earlierLabel_ = nullptr;
    QLabel *recentAccuracyLabel_ = nullptr;
    QLabel *earlierAccuracyLabel_ = nullptr;
    QLabel *trendLabel_ = nullptr;
    QLabel *messageLabel_ = nullptr;
    QLabel *skippedLabel_ = nullptr;
    QLabel *chartLegend_ = nullptr;
    QStackedWidget *chartArea_ = nullptr;
    QLabel *noRunsLabel_ = nullptr;
    ProgressChart *speedChart_ = nullptr;
    ProgressChart *accuracyChart_ = nullptr;
    QTableView *table_ = nullptr;
    QComboBox *sortChoice_ = nullptr;
};

} // namespace tekkora
