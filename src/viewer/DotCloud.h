#pragma once

// The runs of a progress chart as dots, painted by one item in the chart's
// scene: Qt Charts makes a graphics item for every point of a scatter
// series, or strokes a path through them, and either costs far more than a
// small image drawn for each dot.

#include <QGraphicsItem>
#include <QImage>
#include <QList>

#include <array>
#include <cstdint>

namespace tekkora {

class DotCloud final : public QGraphicsItem {
public:
    // A dot's kind: the run's character set (0 to 3), or an arrowhead for a
    // run beyond the axis.
    enum Kind : std::uint8_t { NoSet, Letters, Digits, Mixed, Above, Below, KindCount };
    struct Dot {
        QPointF at; // in the chart's coordinates
        Kind kind;
    };

    explicit DotCloud(QGraphicsItem *chart);

    // Replaces the dots; they are drawn inside `area` (the plot area).
    void setDots(QList<Dot> dots, const QRectF &area);
    const QList<Dot> &dots() const { return dots_; }

    QRectF boundingRect() const override { return area_; }
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget) override;

    static QColor colour(Kind kind);
    // The shape of the kind's dot, as a character for the legend.
    static QString symbol(Kind kind);
    static constexpr int DotSize = 6;
    static constexpr int ArrowSize = 7;

private:
    QList<Dot> dots_;
    QRectF area_;
    std::array<QImage, KindCount> images_;
};

} // namespace tekkora
