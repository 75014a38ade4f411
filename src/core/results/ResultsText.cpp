#include "ResultsText.h"

#include <array>
#include <charconv>
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
