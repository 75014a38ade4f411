#include "ScorePage.h"

#include "Announcer.h"
#include "FigurePanel.h"
#include "Fonts.h"
#include "Palette.h"
#include "ViewerParts.h"
#include "drill/DrillState.h"
#include "results/ResultsText.h"

#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QStackedWidget>
#include <QTableView>
#include <QToolTip>
#include <QVBoxLayout>

#include <limits>

namespace tekkora {

namespace {

constexpr qreal FigureFontSize = 12;

// Figures: black on the light face colour inside a single-line border, as
// in the results window.
QLabel *makeFigure(QWidget *parent, const char *name)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setFrameStyle(QFrame::Box | QFrame::Plain);
    label->setIndent(4);
    label->setMinimumWidth(64);
    label->setFont(japaneseFont(FigureFontSize));
    label->setAutoFillBackground(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, colours::ButtonFace);
    palette.setColor(QPalette::WindowText, Qt::black);
    label->setPalette(palette);
    return label;
}

const QString NoFigure = QStringLiteral("—");

QString secondsText(const std::optional<double> &seconds)
{
    return seconds ? formatFixed(*seconds, 3) : NoFigure;
}

QString percentText(const std::optional<double> &percent)
{
    return percent ? formatFixed(*percent, 1) : NoFigure;
}

// Lower is faster. The difference is shown as the figures are, to the
// thousandth, so "no change" means the same shown averages.
QString trendText(const Summary &summary)
{
    if (!summary.recentSecondsPerKey || !summary.earlierSecondsPerKey)
        return QStringLiteral("比べるには %1 回以上の記録が要ります").arg(2 * AverageWindow);
    const double difference = *summary.earlierSecondsPerKey - *summary.recentSecondsPerKey;
    const QString amount = formatFixed(std::abs(difference), 3);
    if (amount == formatFixed(0.0, 3))
        return QStringLiteral("その前の%1回と同じ速さです").arg(AverageWindow);
    return difference > 0 ? QStringLiteral("その前の%1回より 1 キーあたり %2 秒速くなりました").arg(AverageWindow).arg(amount)
                          : QStringLiteral("その前の%1回より 1 キーあたり %2 秒遅くなりました").arg(AverageWindow).arg(amount);
}

} // namespace

ScorePage::ScorePage(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("pageScore"));
    paintBackground(this, colours::Background);
    auto *layout = new QVBoxLayout(this);
    announcer_ = new Announcer(this);
    messageLabel_ = makeCaption(this, QString());
    messageLabel_->setObjectName(QStringLiteral("lblMessage"));
    messageLabel_->setFont(japaneseFont(11));
    messageLabel_->setWordWrap(true);
    layout->addWidget(messageLabel_);
    buildFigures(layout);
    layout->addWidget(buildCharts(), 3);
    buildRunsTable(layout);
}

ScorePage::~ScorePage() = default;

void ScorePage::placeInTabOrder(QWidget *before)
{
    setTabOrder(before, figurePanel_);
    setTabOrder(figurePanel_, speedChart_);
    setTabOrder(speedChart_, accuracyChart_);
    setTabOrder(accuracyChart_, sortChoice_);
    setTabOrder(sortChoice_, table_);
}

// The figures in two rows, and the trend below them: one Tab stop, which a
// screen reader reads whole.
void ScorePage::buildFigures(QBoxLayout *layout)
{
    figurePanel_ = new FigurePanel(QStringLiteral("成績"), this);
    auto *panelLayout = new QVBoxLayout(figurePanel_);
    panelLayout->setContentsMargins(2, 2, 2, 2);
    auto *figures = new QGridLayout;
    // Narrow enough for the window to open beside the drill on a 1920-pixel screen.
    figures->setHorizontalSpacing(4);
    auto addFigure = [&](int row, int column, const QString &title, const char *name, const QString &unit) {
        figures->addWidget(makeCaption(figurePanel_, title), row, column * 3);
        QLabel *figure = makeFigure(figurePanel_, name);
        figures->addWidget(figure, row, column * 3 + 1);
        figures->addWidget(makeCaption(figurePanel_, unit), row, column * 3 + 2);
        figureNames_.append({figure, title, unit});
        return figure;
    };
    runsLabel_ = addFigure(0, 0, QStringLiteral("回数"), "lblRuns", QStringLiteral("回"));
    questionsLabel_ = addFigure(0, 1, QStringLiteral("問題数"), "lblQuestions", QStringLiteral("問"));
    bestLabel_ = addFigure(0, 2, QStringLiteral("最速"), "lblBest", QStringLiteral("秒/キー"));
    latestLabel_ = addFigure(0, 3, QStringLiteral("最新"), "lblLatest", QStringLiteral("秒/キー"));
    const QString earlier = QStringLiteral("その前の%1回").arg(AverageWindow);
    recentLabel_ = addFigure(1, 0, QStringLiteral("直近%1回の平均").arg(AverageWindow), "lblRecent",
                             QStringLiteral("秒/キー"));
    earlierLabel_ = addFigure(1, 1, earlier, "lblEarlier", QStringLiteral("秒/キー"));
    recentAccuracyLabel_ = addFigure(1, 2, QStringLiteral("正解率 直近%1回").arg(AverageWindow), "lblRecentAccuracy",
                                     QStringLiteral("％"));
    earlierAccuracyLabel_ = addFigure(1, 3, earlier, "lblEarlierAccuracy", QStringLiteral("％"));
    figures->setColumnStretch(12, 1);
    panelLayout->addLayout(figures);
    // The trend, and when the best run was played, to find it in the table.
    auto *below = new QHBoxLayout;
    trendLabel_ = makeCaption(figurePanel_, QString());
    trendLabel_->setObjectName(QStringLiteral("lblTrend"));
    below->addWidget(trendLabel_, 1);
    bestDateLabel_ = makeCaption(figurePanel_, QString());
    bestDateLabel_->setObjectName(QStringLiteral("lblBestDate"));
    below->addWidget(bestDateLabel_);
    panelLayout->addLayout(below);
    layout->addWidget(figurePanel_);
    // The log does not say how many questions a run was set to: say what
    // the figures are made of.
    QLabel *counting = makeCaption(
        this, QStringLiteral("最速は、問題数が 10・30・50 問か 51 問以上 (最後まで解いた回) で正解率 %1％ 以上の回から。"
                             "平均は問題数で重み付けした 1 問あたりの値です。")
                  .arg(double(BestAccuracy)));
    counting->setObjectName(QStringLiteral("lblCounting"));
    counting->setFont(japaneseFont(9));
    counting->setWordWrap(true);
    layout->addWidget(counting);
}

// The two charts under one legend; a run's dot tells its figures and
// picks it in the table. Without a run to draw, the page's message stands
// in their place.
QWidget *ScorePage::buildCharts()
{
    chartArea_ = new QStackedWidget(this);
    auto *chartsPage = new QWidget(chartArea_);
    auto *layout = new QVBoxLayout(chartsPage);
    layout->setContentsMargins(0, 0, 0, 0);
    chartLegend_ = makeCaption(chartsPage, QString());
    chartLegend_->setObjectName(QStringLiteral("lblChartLegend"));
    chartLegend_->setTextFormat(Qt::RichText);
    chartLegend_->setFont(japaneseFont(9));
    layout->addWidget(chartLegend_);
    auto *charts = new QHBoxLayout;
    speedChart_ = new ProgressChart(QStringLiteral("速さ (秒/キー)"), ProgressChart::Figure::SecondsPerKey, points_, chartsPage);
    speedChart_->setObjectName(QStringLiteral("chartSpeed"));
    accuracyChart_ = new ProgressChart(QStringLiteral("正解率 (％)"), ProgressChart::Figure::Accuracy, points_, chartsPage);
    accuracyChart_->setObjectName(QStringLiteral("chartAccuracy"));
    for (ProgressChart *chart : {speedChart_, accuracyChart_}) {
        connect(chart, &ProgressChart::pointHovered, this,
                [this, chart](qsizetype point, const QPoint &at) { showRunOf(chart, point, at); });
        charts->addWidget(chart);
    }
    layout->addLayout(charts, 1);
    chartArea_->addWidget(chartsPage);

    noRunsLabel_ = makeCaption(chartArea_, QString());
    noRunsLabel_->setObjectName(QStringLiteral("lblNoRuns"));
    noRunsLabel_->setFont(japaneseFont(11));
    noRunsLabel_->setWordWrap(true);
    noRunsLabel_->setAlignment(Qt::AlignCenter);
    chartArea_->addWidget(noRunsLabel_);
    return chartArea_;
}

// The run's figures for as long as the pointer rests on its dot.
void ScorePage::showRunOf(ProgressChart *chart, qsizetype point, const QPoint &at)
{
    if (point < 0 || point >= points_.size()) {
        QToolTip::hideText();
        return;
    }
    const qsizetype index = points_.runIndex[point];
    const Run &run = runs_[index];
    const QString set = run.charSet != 0 ? charSetText(run.charSet) : QStringLiteral("モードなし");
    QToolTip::showText(at,
                       QStringLiteral("%1  %2\n%3 秒/キー  正解率 %4％  %5 問")
                           .arg(run.when.toString(QStringLiteral("yyyy/MM/dd hh:mm")), set,
                                formatFixed(run.secondsPerKey, 3), accuracyCaption(run.accuracy))
                           .arg(run.questions),
                       chart->viewport(), chart->dotArea(point), std::numeric_limits<int>::max());
    const int row = model_->rowOf(index);
    if (row >= 0) {
        table_->selectRow(row);
        table_->scrollTo(model_->index(row, 0));
    }
}

// The runs, with the order chosen by a header click or from the list, and
// the count of lines that are not runs.
void ScorePage::buildRunsTable(QBoxLayout *layout)
{
    auto *order = new QHBoxLayout;
    QLabel *orderCaption = makeCaption(this, QStringLiteral("並べ替え(&S):"));
    sortChoice_ = new QComboBox(this);
    sortChoice_->setObjectName(QStringLiteral("cmbSort"));
    orderCaption->setBuddy(sortChoice_);
    model_ = new RunsTableModel(runs_, this);
    for (int column = 0; column < RunsTableModel::ColumnCount; ++column) {
        const QString title = model_->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
        sortChoice_->addItem(title + QStringLiteral(" (降順)"), column * 2);
        sortChoice_->addItem(title + QStringLiteral(" (昇順)"), column * 2 + 1);
    }
    order->addWidget(orderCaption);
    order->addWidget(sortChoice_);
    order->addStretch();
    skippedLabel_ = makeCaption(this, QString());
    skippedLabel_->setObjectName(QStringLiteral("lblSkipped"));
    order->addWidget(skippedLabel_);
    layout->addLayout(order);

    table_ = new QTableView(this);
    table_->setObjectName(QStringLiteral("runsTable"));
    setUpTable(table_, QStringLiteral("回ごとの記録"));
    table_->setModel(model_);
    connect(table_->horizontalHeader(), &QHeaderView::sortIndicatorChanged, this,
            [this](int column, Qt::SortOrder order) {
                sortChoice_->setCurrentIndex(sortChoice_->findData(column * 2 + (order == Qt::AscendingOrder)));
                // The order, on the list that chooses it and spoken as it
                // changes: screen readers do not say the choice of a list
                // box of Qt's by themselves.
                sortChoice_->setAccessibleDescription(sortChoice_->currentText());
                announcer_->announce(sortChoice_->currentText());
            });
    // The order chosen last time, else newest first.
    keepSortOrder(table_, QStringLiteral("runs"), RunsTableModel::When, Qt::DescendingOrder);
    sortChoice_->setAccessibleDescription(sortChoice_->currentText());
    connect(sortChoice_, &QComboBox::activated, this, [this](int index) {
        const int choice = sortChoice_->itemData(index).toInt();
        table_->sortByColumn(choice / 2, choice % 2 ? Qt::AscendingOrder : Qt::DescendingOrder);
    });
    layout->addWidget(table_, 2);
}

void ScorePage::openLog(const QString &path)
{
    watcher_ = std::make_unique<ScoreLogWatcher>(QFileInfo(path).absoluteFilePath());
    connect(watcher_.get(), &ScoreLogWatcher::changed, this, &ScorePage::applyChange);
    runs_.clear();
    points_ = {};
    model_->reset();
    // Read at once, so the first frame shows the log as it stands.
    watcher_->refresh();
}

QString ScorePage::logPath() const
{
    return watcher_->path();
}

void ScorePage::applyChange(const ScoreLogChange &change)
{
    if (change.restarted) {
        runs_.clear();
        points_ = {};
        model_->reset();
    }
    if (change.withdrawn > 0) {
        const qsizetype kept = std::max<qsizetype>(runs_.size() - change.withdrawn, 0);
        for (qsizetype i = runs_.size() - 1; i >= kept; --i) {
            if (belongsTo(runs_[i], set_))
                points_.removeLast();
        }
        runs_.resize(kept);
        model_->runsRemovedFromEnd(kept);
    }
    const qsizetype firstNew = runs_.size();
    runs_.append(change.added);
    for (qsizetype i = firstNew; i < runs_.size(); ++i) {
        if (belongsTo(runs_[i], set_))
            points_.append(runs_[i], i);
    }
    model_->runsAppended(firstNew);
    state_ = change.state;
    error_ = change.error;
    skipped_ = change.skippedLines;
    skippedKept_ = change.skipped;

    refreshCharts();
    refreshFigures();
    emit updated();
}

void ScorePage::showSet(RunSet set)
{
    if (set == set_)
        return;
    set_ = set;
    points_ = progressPoints(runs_, set_);
    model_->showSet(set_);
    refreshCharts();
    refreshFigures();
    emit updated();
}

void ScorePage::refreshCharts()
{
    speedChart_->redraw();
    accuracyChart_->redraw();

    const auto entry = [](const QColor &colour, const QString &symbol, const QString &text) {
        return QStringLiteral("<span style=\"color:%1\">%2</span> %3").arg(colour.name(), symbol, text);
    };
    QStringList entries;
    for (std::uint8_t charSet : {charset::Letters, charset::Digits, charset::All}) {
        Run ofSet;
        ofSet.charSet = charSet;
        if (belongsTo(ofSet, set_))
            entries << entry(DotCloud::colour(DotCloud::Kind(charSet)), DotCloud::symbol(DotCloud::Kind(charSet)),
                             charSetText(charSet));
    }
    entries << entry(averageColour(), QStringLiteral("━"), QStringLiteral("直近%1回の平均").arg(AverageWindow))
            << entry(DotCloud::colour(DotCloud::Above), DotCloud::symbol(DotCloud::Above),
                     QStringLiteral("軸の外の回 (端に表示)"));
    chartLegend_->setText(entries.join(QStringLiteral(" &nbsp; ")));
}

void ScorePage::refreshFigures()
{
    const Summary summary = summarize(runs_, set_);
    runsLabel_->setText(QString::number(summary.runs));
    questionsLabel_->setText(QString::number(summary.questions));
    bestLabel_->setText(secondsText(summary.bestSecondsPerKey));
    bestDateLabel_->setText(summary.bestWhen.isValid()
                                ? QStringLiteral("最速の回: ") + summary.bestWhen.toString(QStringLiteral("yyyy/MM/dd hh:mm"))
                                : QString());
    latestLabel_->setText(secondsText(summary.latestSecondsPerKey));
    recentLabel_->setText(secondsText(summary.recentSecondsPerKey));
    earlierLabel_->setText(secondsText(summary.earlierSecondsPerKey));
    recentAccuracyLabel_->setText(percentText(summary.recentAccuracy));
    earlierAccuracyLabel_->setText(percentText(summary.earlierAccuracy));
    // A screen reader names each figure with its value: "回数 23 回".
    for (const FigureName &figure : figureNames_)
        figure.label->setAccessibleName(figure.title + QLatin1Char(' ') + figure.label->text() + QLatin1Char(' ')
                                        + figure.unit);
    trendLabel_->setText(trendText(summary));

    QString message;
    switch (state_) {
    case ScoreLogFile::State::Missing:
        message = QStringLiteral("スコアファイルはまだありません。練習を終えると、ここに表示されます。");
        break;
    case ScoreLogFile::State::Unreadable:
        message = QStringLiteral("スコアファイルを読めません: ") + error_;
        break;
    case ScoreLogFile::State::Read:
        if (runs_.isEmpty())
            message = QStringLiteral("記録はまだありません。練習を終えると、ここに表示されます。");
        else if (summary.runs == 0)
            message = QStringLiteral("このモードの記録はまだありません。");
        break;
    }
    // Above the charts while they have runs to draw, else in their place.
    const bool noRuns = points_.size() == 0;
    noRunsLabel_->setText(noRuns ? message : QString());
    chartArea_->setCurrentWidget(noRuns ? noRunsLabel_ : chartArea_->widget(0));
    messageLabel_->setText(noRuns ? QString() : message);
    messageLabel_->setVisible(!noRuns && !message.isEmpty());
    skippedLabel_->setText(QStringLiteral("読み飛ばした行: %1").arg(skipped_));
    skippedLabel_->setToolTip(skippedList(skippedKept_, skipped_));
}

QString ScorePage::reportFields() const
{
    return QStringLiteral("runs=%1 questions=%2 best=%3 latest=%4 skipped=%5")
        .arg(runsLabel_->text(), questionsLabel_->text(), bestLabel_->text(), latestLabel_->text())
        .arg(skipped_);
}

} // namespace tekkora
