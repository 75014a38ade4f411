#pragma once

// The score window: the progress of one score log, per character set, kept
// up to date while the drill appends to it.

#include "ProgressChart.h"
#include "RunsTableModel.h"
#include "ScoreLogWatcher.h"
#include "ScoreStatistics.h"

#include <QWidget>

#include <memory>

class QBoxLayout;
class QButtonGroup;
class QComboBox;
class QLabel;
class QLayout;
class QPushButton;
class QTabWidget;
class QTableView;

namespace tekkora {

class KeysPage;

class ScoreWindow final : public QWidget {
    Q_OBJECT
public:
    explicit ScoreWindow(const QString &logPath, QWidget *parent = nullptr);
    ~ScoreWindow() override;

    // Shows another log from now on.
    void openLog(const QString &path);
    QString logPath() const;

    // The figures of the set on show as the window shows them, on one line:
    // "runs=... questions=... best=... latest=... skipped=... key_runs=...
    // key_skipped=...".
    QString reportLine() const;

    // The size the window opens at, given its screen's work area: the size it
    // is drawn for where that fits, frame included, never below its minimum.
    static QSize openingSize(const QSize &available, const QSize &minimum);

signals:
    // After every change of the log reached the window.
    void updated();

protected:
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    // Each builds one part of the window.
    void buildLayout();
    QWidget *buildScorePage();
    void fitToScreen();
    QLayout *buildSetChoice();
    void buildFigures(QBoxLayout *layout);
    QLayout *buildCharts();
    void buildRunsTable(QBoxLayout *layout);
    void buildShortcuts();
    void showRunOf(ProgressChart *chart, qsizetype point, const QPoint &at);
    void applyChange(const ScoreLogChange &change);
    void showSet(RunSet set);
    void refreshFigures();
    void refreshCharts();
    void chooseFile();

    QList<Run> runs_;
    RunSet set_ = RunSet::Every;
    ProgressPoints points_;
    ScoreLogFile::State state_ = ScoreLogFile::State::Missing;
    QString error_;
    qsizetype skipped_ = 0;
    QList<SkippedLine> skippedKept_;

    std::unique_ptr<ScoreLogWatcher> watcher_;
    QTabWidget *pages_ = nullptr;
    KeysPage *keysPage_ = nullptr;
    RunsTableModel *model_ = nullptr;
    QButtonGroup *sets_ = nullptr;
    QPushButton *openButton_ = nullptr;
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
    QLabel *fileLabel_ = nullptr;
    QLabel *skippedLabel_ = nullptr;
    QLabel *chartLegend_ = nullptr;
    ProgressChart *speedChart_ = nullptr;
    ProgressChart *accuracyChart_ = nullptr;
    QTableView *table_ = nullptr;
    QComboBox *sortChoice_ = nullptr;
};

} // namespace tekkora
