#include "ProgressChart.h"

#include "AccessibleFactory.h"
#include "ChartEnvelope.h"
#include "Fonts.h"
#include "Palette.h"
#include "results/ResultsText.h"

#include <QAccessibleWidget>
#include <QStyleOptionFocusRect>

#include <QLineSeries>
#include <QMouseEvent>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

namespace tekkora {

namespace {

const QColor GridColour(160, 160, 224);
// How close the pointer must come to a dot to pick its run, in pixels.
constexpr double Reach = 6.0;
// Thinned to one dot per cell of this many pixels a side.
constexpr int DotCell = 2;

void styleAxis(QValueAxis *axis, const QString &title)
{
    axis->setTitleText(title);
    axis->setTitleFont(japaneseFont(9));
    axis->setLabelsFont(japaneseFont(8));
    axis->setTitleBrush(colours::Caption);
    axis->setLabelsBrush(colours::Caption);
    axis->setGridLineColor(GridColour);
    axis->setLinePenColor(colours::Caption);
    axis->setTickType(QValueAxis::TicksDynamic);
    axis->setTickAnchor(0);
}

// A chart is one object to a screen reader: named by its title, described
// in words.
class ChartInterface final : public QAccessibleWidget {
public:
    explicit ChartInterface(ProgressChart *chart) : QAccessibleWidget(chart, QAccessible::Chart) {}

    QString text(QAccessible::Text t) const override
    {
        const auto *chart = static_cast<const ProgressChart *>(widget());
        if (t == QAccessible::Name)
            return chart->chart()->title();
        if (t == QAccessible::Description)
            return chart->textAlternative();
        return QAccessibleWidget::text(t);
    }
    int childCount() const override { return 0; }
    QAccessibleInterface *child(int) const override { return nullptr; }
};

} // namespace

QColor averageColour()
{
    return QColor(224, 32, 32);
}

ProgressChart::ProgressChart(const QString &title, Figure figure, const ProgressPoints &points, QWidget *parent)
    // The chart is handed to the view at once: a view made without one makes
    // a chart of its own, which it leaks when it is given another.
    : QChartView(new QChart, parent), points_(points), figure_(figure), dots_(new DotCloud(chart())),
      average_(new QLineSeries), runAxis_(new QValueAxis), figureAxis_(new QValueAxis)
{
    static const bool provided = (setAccessibleInterface(staticMetaObject, [](QObject *object) -> QAccessibleInterface * {
                                      return new ChartInterface(static_cast<ProgressChart *>(object));
                                  }),
                                  true);
    Q_UNUSED(provided);
    QChart *chart = this->chart();
    chart->setTitle(title);
    chart->setTitleFont(japaneseFont(10));
    chart->setTitleBrush(colours::Caption);
    chart->setBackgroundBrush(colours::Background);
    chart->setBackgroundRoundness(0);
    chart->setPlotAreaBackgroundBrush(colours::ButtonFace);
    chart->setPlotAreaBackgroundVisible(true);
    chart->setMargins(QMargins(4, 2, 4, 2));
    // One legend for both charts, in the window: a legend in each would take
    // the height the runs need.
    chart->legend()->hide();

    average_->setName(QStringLiteral("直近%1回の平均").arg(AverageWindow));
    average_->setPen(QPen(averageColour(), 2));
    chart->addSeries(average_);
    // Over the grid and the axes (z 2 and 3 in Qt Charts), under the series (4).
    dots_->setZValue(3.5);

    styleAxis(runAxis_, QStringLiteral("回"));
    runAxis_->setLabelFormat(QStringLiteral("%d"));
    styleAxis(figureAxis_, QString());
    chart->addAxis(runAxis_, Qt::AlignBottom);
    chart->addAxis(figureAxis_, Qt::AlignLeft);
    average_->attachAxis(runAxis_);
    average_->attachAxis(figureAxis_);

    // A bigger plot has room for more of the runs.
    connect(chart, &QChart::plotAreaChanged, this, [this](const QRectF &plotArea) {
        if (plotArea.size().toSize() != drawnFor_)
            drawPoints();
    });
    setRenderHint(QPainter::Antialiasing, false);
    setFrameShape(QFrame::NoFrame);
    // A Tab stop, so that a screen reader reaches its words.
    setFocusPolicy(Qt::TabFocus);
    // Room for the plot itself when the window is at its smallest: its
    // title and axes take about 85 pixels of it.
    setMinimumHeight(200);
    viewport()->setMouseTracking(true);
}

const QList<QPointF> &ProgressChart::figures() const
{
    return figure_ == Figure::SecondsPerKey ? points_.secondsPerKey : points_.accuracy;
}

void ProgressChart::redraw()
{
    const QList<QPointF> &points = figures();
    QList<double> values;
    values.reserve(points.size());
    for (const QPointF &point : points)
        values.append(point.y());
    scale_ = scaleAxis(std::move(values), figure_ == Figure::SecondsPerKey ? SecondsPerKeyAxis : AccuracyAxis);
    figureAxis_->setRange(scale_.low, scale_.high);
    figureAxis_->setTickInterval(scale_.step);
    figureAxis_->setLabelFormat(QStringLiteral("%.%1f").arg(scale_.decimals));

    // The runs fill the width, a dot's room beside the first and the last;
    // the ticks fall on round numbers of runs.
    const auto runs = double(std::max<qsizetype>(points.size(), 1));
    runAxis_->setRange(0.5, runs + 0.5);
    runAxis_->setTickInterval(std::max(1.0, niceStep(runs / 6.0)));
    drawPoints();
}

QString ProgressChart::figureText(double value) const
{
    return figure_ == Figure::SecondsPerKey ? formatFixed(value, 3) + QStringLiteral(" 秒/キー")
                                            : formatFixed(value, 1) + QStringLiteral(" ％");
}

QString ProgressChart::textAlternative() const
{
    const QList<QPointF> &points = figures();
    if (points.isEmpty())
        return QStringLiteral("記録なし");
    const QList<QPointF> &average =
        figure_ == Figure::SecondsPerKey ? points_.secondsPerKeyAverage : points_.accuracyAverage;
    const QString unit = figure_ == Figure::SecondsPerKey ? QStringLiteral("秒/キー") : QStringLiteral("％");
    QString text = QStringLiteral("%1 回、表示範囲 %2 から %3 %4、最新 %5")
                       .arg(points.size())
                       .arg(formatFixed(scale_.low, scale_.decimals), formatFixed(scale_.high, scale_.decimals), unit,
                            figureText(points.last().y()));
    if (!average.isEmpty())
        text += QStringLiteral("、直近%1回の平均 %2").arg(AverageWindow).arg(figureText(average.last().y()));
    return text;
}

void ProgressChart::focusInEvent(QFocusEvent *event)
{
    QChartView::focusInEvent(event);
    viewport()->update();
}

void ProgressChart::focusOutEvent(QFocusEvent *event)
{
    QChartView::focusOutEvent(event);
    viewport()->update();
}

void ProgressChart::drawForeground(QPainter *painter, const QRectF &rect)
{
    QChartView::drawForeground(painter, rect);
    if (!hasFocus())
        return;
    QStyleOptionFocusRect frame;
    frame.initFrom(this);
    frame.rect = mapToScene(viewport()->rect().adjusted(1, 1, -2, -2)).boundingRect().toRect();
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &frame, painter, this);
}

void ProgressChart::drawPoints()
{
    const QRectF plot = chart()->plotArea();
    drawnFor_ = plot.size().toSize();
    const QList<QPointF> &points = figures();
    // A run beyond the axis is an arrowhead wholly inside the plot, on its edge.
    const double inset = DotCloud::ArrowSize / 2.0;
    std::array<QList<QPointF>, DotCloud::KindCount> byKind;
    // inChart(), with the plot and the axes read once.
    const double xScale = plot.width() / (runAxis_->max() - runAxis_->min());
    const double xOffset = plot.left() - runAxis_->min() * xScale;
    const double yScale = -plot.height() / (scale_.high - scale_.low);
    const double yOffset = plot.bottom() - scale_.low * yScale;
    for (qsizetype i = 0; i < points.size(); ++i) {
        const QPointF &point = points[i];
        QPointF at(xOffset + point.x() * xScale, yOffset + point.y() * yScale);
        auto kind = DotCloud::Kind(std::min<int>(points_.charSet[i], DotCloud::Mixed));
        if (point.y() > scale_.high) {
            kind = DotCloud::Above;
            at.setY(plot.top() + inset);
        } else if (point.y() < scale_.low) {
            kind = DotCloud::Below;
            at.setY(plot.bottom() - inset);
        }
        byKind[kind].append(at);
    }
    const int columns = std::max(1, int(plot.width()) / DotCell);
    const int rows = std::max(1, int(plot.height()) / DotCell);
    QList<DotCloud::Dot> dots;
    for (int kind = 0; kind < DotCloud::KindCount; ++kind) {
        for (const QPointF &at : chartDots(byKind[kind], plot, columns, rows))
            dots.append({at, DotCloud::Kind(kind)});
    }
    dots_->setDots(std::move(dots), plot);

    const QList<QPointF> &average =
        figure_ == Figure::SecondsPerKey ? points_.secondsPerKeyAverage : points_.accuracyAverage;
    average_->replace(chartEnvelope(average, std::max<qsizetype>(qsizetype(plot.width()), 64)));
}

QPointF ProgressChart::inChart(const QPointF &value) const
{
    const QRectF plot = chart()->plotArea();
    return {plot.left() + (value.x() - runAxis_->min()) / (runAxis_->max() - runAxis_->min()) * plot.width(),
            plot.bottom() - (value.y() - scale_.low) / (scale_.high - scale_.low) * plot.height()};
}

QPointF ProgressChart::dotPosition(qsizetype point) const
{
    const QPointF value = figures()[point];
    return mapFromScene(chart()->mapToScene(inChart({value.x(), std::clamp(value.y(), scale_.low, scale_.high)})));
}

qsizetype ProgressChart::pointAt(const QPointF &position) const
{
    const QList<QPointF> &points = figures();
    const QRectF plot = chart()->plotArea();
    if (points.isEmpty() || plot.width() <= 0.0)
        return -1;
    const QPointF inChart = chart()->mapFromScene(mapToScene(position.toPoint()));
    const double runsPerPixel = (runAxis_->max() - runAxis_->min()) / plot.width();
    const auto toRun = [&](double x) { return runAxis_->min() + (x - plot.left()) * runsPerPixel; };
    // Run n is point n - 1.
    const qsizetype first = std::max<qsizetype>(0, qsizetype(std::floor(toRun(inChart.x() - Reach))) - 1);
    const qsizetype last = std::min<qsizetype>(points.size() - 1, qsizetype(std::ceil(toRun(inChart.x() + Reach))));
    qsizetype nearest = -1;
    double nearestDistance = Reach * Reach;
    for (qsizetype i = first; i <= last; ++i) {
        const QPointF offset = dotPosition(i) - position;
        const double distance = QPointF::dotProduct(offset, offset);
        if (distance <= nearestDistance) {
            nearest = i;
            nearestDistance = distance;
        }
    }
    return nearest;
}

QRect ProgressChart::dotArea(qsizetype point) const
{
    return QRectF(dotPosition(point) - QPointF(Reach, Reach), QSizeF(2 * Reach, 2 * Reach)).toAlignedRect();
}

bool ProgressChart::viewportEvent(QEvent *event)
{
    // The pointer at rest: the run's own tooltip stays up while it is on the
    // dot. Left to the scene, which has no tooltip of its own, it would be
    // hidden.
    if (event->type() == QEvent::ToolTip && hovered_ >= 0)
        return true;
    return QChartView::viewportEvent(event);
}

void ProgressChart::mouseMoveEvent(QMouseEvent *event)
{
    QChartView::mouseMoveEvent(event);
    const qsizetype point = pointAt(event->position());
    if (point == hovered_)
        return;
    hovered_ = point;
    emit pointHovered(point, event->globalPosition().toPoint());
}

void ProgressChart::leaveEvent(QEvent *event)
{
    QChartView::leaveEvent(event);
    if (hovered_ >= 0) {
        hovered_ = -1;
        emit pointHovered(-1, QPoint());
    }
}

} // namespace tekkora
