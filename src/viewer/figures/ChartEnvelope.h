#pragma once

#include <QList>
#include <QPointF>
#include <QRectF>

namespace tekkora {

// A line of many points as a chart can draw it quickly. Up to `buckets`
// times two points the line is left as it is. Beyond that, consecutive
// points are taken in `buckets` groups and each group gives its lowest and
// its highest point, in their order: the pixels a line through every point
// would cover in a column of the chart, at a small part of the cost.
QList<QPointF> chartEnvelope(const QList<QPointF> &points, qsizetype buckets);

// Points drawn as dots, as a chart can draw them quickly: a grid of
// `columns` by `rows` cells laid over `area`, and of the points in each cell
// only the first. Dots a cell apart look the same as the many they stand
// for. The points go left to right; those above or below the area count in
// its first or last row.
QList<QPointF> chartDots(const QList<QPointF> &points, const QRectF &area, int columns, int rows);

} // namespace tekkora
