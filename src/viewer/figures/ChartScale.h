#pragma once

// The figure axis of a progress chart: scaled to the bulk of the runs, so
// that one odd run (a few keys left idle, every key missed) does not flatten
// the rest into a strip; with ticks on round numbers and labels with just
// the decimals the ticks need.

#include <QList>

#include <limits>

namespace tekkora {

struct AxisLimits {
    double floor = -std::numeric_limits<double>::infinity();  // no figure is lower
    double ceiling = std::numeric_limits<double>::infinity(); // nor higher
    double alwaysShown = std::numeric_limits<double>::quiet_NaN();
    double minimumSpan = 0.0;
    double nearMedian = 0.0; // a run this close to the median always sets the axis
};

inline constexpr AxisLimits SecondsPerKeyAxis{0.0, std::numeric_limits<double>::infinity(),
                                             std::numeric_limits<double>::quiet_NaN(), 0.1, 0.1};
// 100 % is the aim: always on the axis. Runs of ten questions go in steps
// of 10 %: a player right in most of them still sees a run or two missed.
inline constexpr AxisLimits AccuracyAxis{0.0, 100.0, 100.0, 5.0, 20.0};

struct AxisScale {
    double low = 0.0;
    double high = 1.0;
    double step = 0.2; // between ticks: 1, 2 or 5 times a power of ten
    int decimals = 1;  // of the tick labels
};

// The axis for `values` (taken by value: they are reordered): the runs near
// their median (within five times the median absolute deviation, or within
// nearMedian) with a margin, never narrower than the minimum span,
// inside the floor and the ceiling but with a little room beyond them so a
// dot on 100 % is whole.
AxisScale scaleAxis(QList<double> values, const AxisLimits &limits);

// 1, 2 or 5 times a power of ten, at least `rough`.
double niceStep(double rough);

} // namespace tekkora
