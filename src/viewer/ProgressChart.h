#pragma once

// One progress chart: a figure of every run of a set, and its moving average,
// drawn in the windows' colours.

#include <QChartView>
#include <QList>
#include <QPointF>

class QLineSeries;
class QValueAxis;

namespace tekkora {

class ProgressChart final : public QChartView {
    Q_OBJECT
public:
    // `decimals` for the figure axis's labels. The chart draws the two lists
    // of points, which belong to its owner and must outlive it; redraw()
    // after they changed.
    ProgressChart(const QString &title, int decimals, const QList<QPointF> &perRun,
                  const QList<QPointF> &average, QWidget *parent = nullptr);

    void redraw();

    // The figure axis never reaches past this (accuracy ends at 100).
    void setCeiling(double ceiling) { ceiling_ = ceiling; }

    QLineSeries *perRunSeries() const { return perRun_; }
    QLineSeries *averageSeries() const { return average_; }

private:
    void drawLines();

    const QList<QPointF> &perRunPoints_;
    const QList<QPointF> &averagePoints_;
    qsizetype buckets_ = 0; // of the lines as drawn
    QLineSeries *perRun_;
    QLineSeries *average_;
    QValueAxis *runAxis_;
    QValueAxis *figureAxis_;
    double ceiling_ = qInf();
};

} // namespace tekkora
