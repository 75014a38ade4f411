#include "ChartEnvelope.h"

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

} // namespace tekkora
