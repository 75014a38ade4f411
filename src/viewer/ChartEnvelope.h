#pragma once

#include <QList>
#include <QPointF>

namespace tekkora {

// A line of many points as a chart can draw it quickly. Up to `buckets`
// times two points the line is left as it is. Beyond that, consecutive
// points are taken in `buckets` groups and each group gives its lowest and
// its highest point, in their order: the pixels a line through every point
// would cover in a column of the chart, at a small part of the cost.
QList<QPointF> chartEnvelope(const QList<QPointF> &points, qsizetype buckets);

} // namespace tekkora
