#pragma once

// One progress chart: a figure of every run of a set as a small pale dot,
// coloured by its character set, and its moving average as a line, drawn in
// the windows' colours. The figure axis holds the bulk of the runs; a run
// beyond it is drawn on its edge as an arrowhead pointing out.

#include "ChartScale.h"
#include "DotCloud.h"
#include "ScoreStatistics.h"

#include <QChartView>

class QLineSeries;
class QValueAxis;

namespace tekkora {

QColor averageColour();

class ProgressChart final : public QChartView {
    Q_OBJECT
public:
    enum class Figure { SecondsPerKey, Accuracy };

    // The chart draws `points`, which belong to its owner and must outlive
    // it; redraw() after they changed.
    ProgressChart(const QString &title, Figure figure, const ProgressPoints &points, QWidget *parent = nullptr);

    void redraw();

    // The chart in words, for those who cannot see it: the runs shown, the
    // range of the axis, the latest run and the moving average.
    QString textAlternative() const;

    const AxisScale &scale() const { return scale_; }

    // Where a run's dot is drawn, in the view's coordinates; and the run
    // whose dot is nearest a place, within reach of the pointer, or -1.
    QPointF dotPosition(qsizetype point) const;
    qsizetype pointAt(const QPointF &position) const;
    // The pointer's reach around a dot, in the view's coordinates.
    QRect dotArea(qsizetype point) const;
    // The dots as drawn, fewer than the runs where they would overlap.
    const QList<DotCloud::Dot> &dots() const { return dots_->dots(); }

signals:
    // The pointer came to rest on a run's dot (-1: on none).
    void pointHovered(qsizetype point, const QPoint &globalPosition);

protected:
    bool viewportEvent(QEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void drawForeground(QPainter *painter, const QRectF &rect) override;

private:
    const QList<QPointF> &figures() const;
    QString figureText(double value) const;
    QPointF inChart(const QPointF &value) const;
    void drawPoints();

    const ProgressPoints &points_;
    const Figure figure_;
    AxisScale scale_;
    QSize drawnFor_; // the plot area the dots were thinned for
    qsizetype hovered_ = -1;
    DotCloud *dots_;
    QLineSeries *average_;
    QValueAxis *runAxis_;
    QValueAxis *figureAxis_;
};

} // namespace tekkora
