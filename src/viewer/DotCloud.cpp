#include "DotCloud.h"

#include <QPainter>

namespace tekkora {

namespace {

// Pale enough that hundreds of runs read as a cloud under the average.
constexpr int DotAlpha = 140;

// Each set its shape as well as its colour: a circle for letters, a square
// for digits, a diamond for both.
QImage dotImage(const QColor &colour, DotCloud::Kind kind)
{
    QImage image(DotCloud::DotSize, DotCloud::DotSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    QColor pale = colour;
    pale.setAlpha(DotAlpha);
    painter.setBrush(pale);
    constexpr double Size = DotCloud::DotSize;
    if (kind == DotCloud::Digits)
        painter.drawRect(QRectF(0.5, 0.5, Size - 1, Size - 1));
    else if (kind == DotCloud::Mixed)
        painter.drawPolygon(QPolygonF{QPointF(Size / 2, 0), QPointF(Size, Size / 2), QPointF(Size / 2, Size), QPointF(0, Size / 2)});
    else
        painter.drawEllipse(QRectF(0, 0, Size, Size));
    return image;
}

QImage arrowImage(const QColor &colour, bool up)
{
    constexpr double Size = DotCloud::ArrowSize;
    QImage image(DotCloud::ArrowSize, DotCloud::ArrowSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    const double tip = up ? 0.0 : Size;
    const double base = up ? Size : 0.0;
    painter.drawPolygon(QPolygonF{QPointF(Size / 2.0, tip), QPointF(0, base), QPointF(Size, base)});
    return image;
}

} // namespace

QString DotCloud::symbol(Kind kind)
{
    switch (kind) {
    case Digits: return QStringLiteral("■");
    case Mixed: return QStringLiteral("◆");
    case Above:
    case Below: return QStringLiteral("▲▼");
    default: return QStringLiteral("●");
    }
}

QColor DotCloud::colour(Kind kind)
{
    switch (kind) {
    case Letters: return QColor(0, 0, 160); // the icon's navy
    case Digits: return QColor(0, 110, 40);
    case Mixed: return QColor(150, 0, 150);
    case Above:
    case Below: return QColor(0, 0, 64);
    default: return QColor(64, 64, 64);
    }
}

DotCloud::DotCloud(QGraphicsItem *chart) : QGraphicsItem(chart)
{
    for (int kind = 0; kind < KindCount; ++kind) {
        images_[kind] = kind == Above || kind == Below ? arrowImage(colour(Kind(kind)), kind == Above)
                                                       : dotImage(colour(Kind(kind)), Kind(kind));
    }
}

void DotCloud::setDots(QList<Dot> dots, const QRectF &area)
{
    if (area != area_)
        prepareGeometryChange();
    dots_ = std::move(dots);
    area_ = area;
    update();
}

void DotCloud::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    painter->save();
    painter->setClipRect(area_);
    for (const Dot &dot : dots_) {
        const QImage &image = images_[dot.kind];
        painter->drawImage(QPointF(dot.at.x() - image.width() / 2.0, dot.at.y() - image.height() / 2.0), image);
    }
    painter->restore();
}

} // namespace tekkora
