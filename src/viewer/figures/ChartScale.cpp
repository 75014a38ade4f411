#include "ChartScale.h"

#include <algorithm>
#include <cmath>

namespace tekkora {

namespace {

// A run sets the axis when it lies within this many times the median
// absolute deviation of the median: about three and a half standard
// deviations of a normal spread, and unlike quartiles not moved by one odd
// run among three. Then a margin beside the bulk, of its span.
constexpr double Reach = 5.0;
constexpr double Margin = 0.08;
// Beyond a floor or a ceiling the axis holds, for a dot drawn on it.
constexpr double Room = 0.03;
constexpr double TicksWanted = 5.0;

// The median of the values, which it reorders: the mean of the two middle
// ones of an even count.
double median(QList<double> &values)
{
    const qsizetype middle = values.size() / 2;
    std::nth_element(values.begin(), values.begin() + middle, values.end());
    const double upper = values[middle];
    if (values.size() % 2 != 0)
        return upper;
    return (*std::max_element(values.begin(), values.begin() + middle) + upper) / 2.0;
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
        const double centre = median(values);
        QList<double> deviations;
        deviations.reserve(values.size());
        for (const double value : values)
            deviations.append(std::abs(value - centre));
        const double reach = std::max(Reach * median(deviations), limits.nearMedian);
        bulkLow = bulkHigh = centre;
        for (const double value : values) {
            if (std::abs(value - centre) <= reach) {
                bulkLow = std::min(bulkLow, value);
                bulkHigh = std::max(bulkHigh, value);
            }
        }
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
