#include "ResultsText.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace tekkora {

QString formatFixed(double value, int decimals)
{
    // to_chars rounds the exact binary value, like printf, but never looks
    // at the locale: the separator stays a point everywhere.
    std::array<char, 400> buffer{};
    const auto [end, ec] =
        std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::fixed, decimals);
    if (ec != std::errc())
        return QString::number(value, 'f', decimals);
    return QString::fromLatin1(buffer.data(), end - buffer.data());
}

QString accuracyCaption(float accuracy)
{
    return formatFixed(double(accuracy), 1);
}

QString speedCaption(double elapsedSeconds, std::int16_t questionCount)
{
    // The time is whole milliseconds, so the figure in thousandths is the
    // fraction ms / count. Its binary quotient rounds a tie either way
    // (1235 ms / 10 up, 45 ms / 10 down); the exact fraction sends every tie
    // away from zero. Any other value lies far enough from a tie for the
    // quotient to round it right.
    const double ms = std::round(elapsedSeconds * 1000.0);
    const long long count = questionCount;
    if (count != 0 && std::abs(ms) < 1e15 && ms / 1000.0 == elapsedSeconds) {
        const long long whole = std::llabs(static_cast<long long>(ms));
        if (2 * (whole % std::llabs(count)) == std::llabs(count)) {
            const long long thousandths = whole / std::llabs(count) + 1;
            const bool negative = (ms < 0) != (count < 0);
            return QString::asprintf("%s%lld.%03lld", negative ? "-" : "", thousandths / 1000, thousandths % 1000);
        }
    }
    return formatFixed(elapsedSeconds / double(questionCount), 3);
}

QString missCaption(std::int16_t missCount, std::int16_t questionCount)
{
    return QString::number(missCount) + QLatin1Char('/') + QString::number(questionCount);
}

namespace {
// A count behind its sign position: a blank for zero or more, a minus sign
// otherwise, so the length is one more than the digits.
qsizetype signedWidth(std::int16_t count)
{
    return QString::number(std::abs(int(count))).size() + 1;
}
} // namespace

bool needsWideMissBox(std::int16_t missCount, std::int16_t questionCount)
{
    return signedWidth(missCount) + signedWidth(questionCount) > 7;
}

QString firstMilestoneTitle(std::int16_t questionCount)
{
    return QStringLiteral("You are ") + QString::number(questionCount) + QStringLiteral(" Count!!");
}

} // namespace tekkora
