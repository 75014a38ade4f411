#include "ProgressChart.h"

#include "ChartEnvelope.h"
#include "Fonts.h"
#include "Palette.h"

#include <QLineSeries>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

namespace tekkora {

namespace {

// From the program icon's palette: navy for the runs, red for the trend.
const QColor RunColour(0, 0, 128);
const QColor AverageColour(224, 32, 32);
const QColor GridColour(160, 160, 224);

// A group of runs for each pixel column of the plot: the envelope then
// covers the same pixels as every run drawn one by one.
qsizetype bucketsFor(const QRectF &plotArea)
{
    return std::max<qsizetype>(qsizetype(plotArea.width()), 64);
}

void styleAxis(QValueAxis *axis, const QString &title)
{
    axis->setTitleText(title);
    axis->setTitleFont(japaneseFont(9));
    axis->setLabelsFont(japaneseFont(8));
    axis->setTitleBrush(colours::Caption);
    axis->setLabelsBrush(colours::Caption);
    axis->setGridLineColor(GridColour);
    axis->setLinePenColor(colours::Caption);
}

// 1, 2 or 5 times a power of ten, at least `step` and at least 1.
double roundStep(double step)
{
    double unit = 1.0;
    while (unit * 10.0 <= step)
        unit *= 10.0;
    for (double factor : {1.0, 2.0, 5.0, 10.0}) {
        if (unit * factor >= step)
            return unit * factor;
    }
    return unit * 10.0;
}

} // namespace

ProgressChart::ProgressChart(const QString &title, int decimals, const QList<QPointF> &perRun,
                             const QList<QPointF> &average, QWidget *parent)
    // The chart is handed to the view at once: a view made without one makes
    // a chart of its own, which it leaks when it is given another.
    : QChartView(new QChart, parent), perRunPoints_(perRun), averagePoints_(average), perRun_(new QLineSeries),
      average_(new QLineSeries), runAxis_(new QValueAxis), figureAxis_(new QValueAxis)
{
    QChart *chart = this->chart();
    chart->setTitle(title);
    chart->setTitleFont(japaneseFont(10));
    chart->setTitleBrush(colours::Caption);
    chart->setBackgroundBrush(colours::Background);
    chart->setBackgroundRoundness(0);
    chart->setPlotAreaBackgroundBrush(colours::ButtonFace);
    chart->setPlotAreaBackgroundVisible(true);
    chart->setMargins(QMargins(4, 4, 4, 4));
    chart->legend()->setFont(japaneseFont(8));
    chart->legend()->setLabelColor(colours::Caption);
    chart->legend()->setAlignment(Qt::AlignBottom);

    perRun_->setName(QStringLiteral("各回"));
    perRun_->setPen(QPen(RunColour, 1));
    average_->setName(QStringLiteral("直近%1回の平均").arg(10));
    average_->setPen(QPen(AverageColour, 2));
    chart->addSeries(perRun_);
    chart->addSeries(average_);

    styleAxis(runAxis_, QStringLiteral("回"));
    runAxis_->setLabelFormat(QStringLiteral("%d"));
    runAxis_->setTickType(QValueAxis::TicksDynamic);
    runAxis_->setTickAnchor(0);
    styleAxis(figureAxis_, QString());
    figureAxis_->setLabelFormat(QStringLiteral("%.%1f").arg(decimals));
    chart->addAxis(runAxis_, Qt::AlignBottom);
    chart->addAxis(figureAxis_, Qt::AlignLeft);
    for (QLineSeries *series : {perRun_, average_}) {
        series->attachAxis(runAxis_);
        series->attachAxis(figureAxis_);
    }

    // A wider plot has room for more of the runs.
    connect(chart, &QChart::plotAreaChanged, this, [this](const QRectF &plotArea) {
        if (bucketsFor(plotArea) != buckets_)
            drawLines();
    });
    setRenderHint(QPainter::Antialiasing, false);
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::NoFocus);
    setMinimumHeight(180);
}

void ProgressChart::redraw()
{
    const QList<QPointF> &perRun = perRunPoints_;
    drawLines();

    // The runs fill the width; the ticks fall on round numbers of runs.
    const qsizetype runs = std::max<qsizetype>(perRun.size(), 2);
    runAxis_->setRange(1, double(runs));
    runAxis_->setTickInterval(roundStep(double(runs) / 6.0));
    if (perRun.isEmpty()) {
        figureAxis_->setRange(0, std::isfinite(ceiling_) ? ceiling_ : 1.0);
        return;
    }
    const auto [low, high] = std::minmax_element(perRun.cbegin(), perRun.cend(),
                                                 [](const QPointF &a, const QPointF &b) { return a.y() < b.y(); });
    double bottom = low->y();
    double top = std::min(high->y(), ceiling_);
    if (top - bottom < 0.001) {
        bottom -= 0.5;
        top += 0.5;
    }
    figureAxis_->setRange(bottom, top);
    figureAxis_->applyNiceNumbers();
    // Rounding out may pass the natural ends of the figure, never its data.
    if (figureAxis_->min() < 0.0 && bottom >= 0.0)
        figureAxis_->setMin(0.0);
    if (figureAxis_->max() > ceiling_)
        figureAxis_->setMax(ceiling_);
}

void ProgressChart::drawLines()
{
    buckets_ = bucketsFor(chart()->plotArea());
    perRun_->replace(chartEnvelope(perRunPoints_, buckets_));
    average_->replace(chartEnvelope(averagePoints_, buckets_));
}

} // namespace tekkora
