#include "ChartScale.h"

#include <algorithm>
#include <cmath>

namespace tekkora {

namespace {

// The share of the runs at either end an axis may leave out, and the margin
// beside the rest, of its span.
constexpr double TailShare = 0.02;
constexpr double Margin = 0.08;
// Beyond a floor or a ceiling the axis holds, for a dot drawn on it.
constexpr double Room = 0.03;
constexpr double TicksWanted = 5.0;

// The value that would stand at `index` if the values from `from` on were
// sorted; those before `index` end up no greater, those after no smaller.
double valueAt(QList<double> &values, qsizetype from, qsizetype index)
{
    std::nth_element(values.begin() + from, values.begin() + index, values.end());
    return values[index];
}

} // namespace

double niceStep(double rough)
{
    if (!(rough > 0.0) || !std::isfinite(rough))
        return 1.0;
    const double unit = std::pow(10.0, std::floor(std::log10(rough)));
    for (double factor : {1.0, 2.0, 5.0}) {
        // A little slack, so 0.3 / 3 is the step 0.1, not 0.2.
        if (unit * factor >= rough * (1.0 - 1e-9))
            return unit * factor;
    }
    return unit * 10.0;
}

AxisScale scaleAxis(QList<double> values, const AxisLimits &limits)
{
    double bulkLow;
    double bulkHigh;
    if (values.isEmpty()) {
        bulkLow = bulkHigh = std::isnan(limits.alwaysShown) ? std::max(limits.floor, 0.0) : limits.alwaysShown;
    } else {
        const auto last = double(values.size() - 1);
        const auto lowIndex = qsizetype(std::floor(TailShare * last));
        bulkLow = valueAt(values, 0, lowIndex);
        bulkHigh = valueAt(values, lowIndex, qsizetype(std::ceil((1.0 - TailShare) * last)));
    }
    if (!std::isnan(limits.alwaysShown)) {
        bulkLow = std::min(bulkLow, limits.alwaysShown);
        bulkHigh = std::max(bulkHigh, limits.alwaysShown);
    }
    const double margin = Margin * (bulkHigh - bulkLow);
    double low = std::max(bulkLow - margin, limits.floor);
    double high = std::min(bulkHigh + margin, limits.ceiling);
    if (high - low < limits.minimumSpan) {
        const double missing = limits.minimumSpan - (high - low);
        low -= missing / 2.0;
        high += missing / 2.0;
        if (low < limits.floor) {
            high += limits.floor - low;
            low = limits.floor;
        }
        if (high > limits.ceiling) {
            low = std::max(low - (high - limits.ceiling), limits.floor);
            high = limits.ceiling;
        }
    }
    if (!(high > low)) // no minimum span and one figure
        high = low + 1.0;

    AxisScale scale;
    const double span = high - low;
    scale.low = low <= limits.floor ? low - Room * span : low;
    scale.high = high >= limits.ceiling ? high + Room * span : high;
    scale.step = niceStep(span / TicksWanted);
    scale.decimals = std::max(0, int(-std::floor(std::log10(scale.step) + 1e-9)));
    return scale;
}

} // namespace tekkora
