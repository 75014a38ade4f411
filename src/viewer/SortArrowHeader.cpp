#include "SortArrowHeader.h"

#include <QEvent>
#include <QImage>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionHeader>

namespace tekkora {

SortArrowHeader::SortArrowHeader(QWidget *parent) : QHeaderView(Qt::Horizontal, parent)
{
    // A table makes its own header clickable; one given to it is not.
    setSectionsClickable(true);
    setHighlightSections(true);
}

// The style draws the indicator Qt asks for an ascending order into an
// image: the arrow's widest row above its narrowest points it down. A
// chevron's rows are measured by their ends, so it reads as a filled arrow.
bool SortArrowHeader::stylePointsAscendingDown() const
{
    if (pointsAscendingDown_)
        return *pointsAscendingDown_;
    QStyleOptionHeader option;
    initStyleOption(&option);
    option.rect = QRect(0, 0, 24, 24);
    option.sortIndicator = QStyleOptionHeader::SortDown; // Qt's for Qt::AscendingOrder
    QImage image(option.rect.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        style()->drawPrimitive(QStyle::PE_IndicatorHeaderArrow, &option, &painter, this);
    }
    QList<int> widths;
    for (int y = 0; y < image.height(); ++y) {
        int left = image.width();
        int right = -1;
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(image.pixel(x, y)) > 0) {
                left = std::min(left, x);
                right = x;
            }
        }
        if (right >= 0)
            widths.append(right - left);
    }
    pointsAscendingDown_ = !widths.isEmpty() && widths.first() > widths.last();
    return *pointsAscendingDown_;
}

void SortArrowHeader::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::StyleChange)
        pointsAscendingDown_.reset();
    QHeaderView::changeEvent(event);
}

void SortArrowHeader::initStyleOptionForIndex(QStyleOptionHeader *option, int logicalIndex) const
{
    QHeaderView::initStyleOptionForIndex(option, logicalIndex);
    if (!stylePointsAscendingDown())
        return;
    if (option->sortIndicator == QStyleOptionHeader::SortUp)
        option->sortIndicator = QStyleOptionHeader::SortDown;
    else if (option->sortIndicator == QStyleOptionHeader::SortDown)
        option->sortIndicator = QStyleOptionHeader::SortUp;
}

} // namespace tekkora
