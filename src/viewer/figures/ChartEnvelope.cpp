#include "ChartEnvelope.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace tekkora {

QList<QPointF> chartEnvelope(const QList<QPointF> &points, qsizetype buckets)
{
    if (buckets < 1 || points.size() <= 2 * buckets)
        return points;
    QList<QPointF> envelope;
    envelope.reserve(2 * buckets);
    for (qsizetype bucket = 0; bucket < buckets; ++bucket) {
        // Even shares of the points; every point in exactly one group.
        const qsizetype first = bucket * points.size() / buckets;
        const qsizetype end = (bucket + 1) * points.size() / buckets;
        qsizetype low = first;
        qsizetype high = first;
        for (qsizetype i = first + 1; i < end; ++i) {
            if (points[i].y() < points[low].y())
                low = i;
            if (points[i].y() > points[high].y())
                high = i;
        }
        envelope.append(points[std::min(low, high)]);
        if (low != high)
            envelope.append(points[std::max(low, high)]);
    }
    return envelope;
}

QList<QPointF> chartDots(const QList<QPointF> &points, const QRectF &area, int columns, int rows)
{
    if (columns < 1 || rows < 1 || area.width() <= 0.0 || area.height() <= 0.0)
        return points;
    QList<QPointF> dots;
    // The column each row was last found taken in: one pass, no clearing
    // from column to column.
    std::vector<qsizetype> takenIn(std::size_t(rows), -1);
    for (const QPointF &point : points) {
        const auto column = qsizetype(std::floor((point.x() - area.left()) / area.width() * columns));
        const int row = std::clamp(int(std::floor((point.y() - area.top()) / area.height() * rows)), 0, rows - 1);
        if (takenIn[std::size_t(row)] == column)
            continue;
        takenIn[std::size_t(row)] = column;
        dots.append(point);
    }
    return dots;
}

} // namespace tekkora
