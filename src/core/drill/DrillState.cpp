#include "DrillState.h"

#include <cmath>

namespace tekkora {

void fillKeyTable(KeyTable &table)
{
    int code = keycode::LetterA;
    for (int index = 0; index < KeyTableFilledEntries; ++index) {
        table[index] = static_cast<std::uint8_t>(code);
        ++code;
        if (code == keycode::LetterZ + 1)
            code = keycode::Digit0;
    }
}

float computeAccuracy(std::int16_t questionCount, std::int16_t missCount)
{
    const double ratio = double(int(questionCount) - int(missCount)) / double(questionCount);
    // Format with three decimals and read the text back, exactly as the
    // figure is shown; the percentage is then exact for 1.000 (100).
    const double thousandths = QString::number(ratio, 'f', 3).toDouble();
    return static_cast<float>(thousandths * 100.0);
}

double elapsedSeconds(std::int32_t startTick, std::int32_t endTick)
{
    const std::uint32_t ms = static_cast<std::uint32_t>(endTick) - static_cast<std::uint32_t>(startTick);
    return double(ms) / 1000.0;
}

QString charSetText(std::uint8_t charSet)
{
    switch (charSet) {
    case charset::Letters: return QStringLiteral("英字");
    case charset::Digits: return QStringLiteral("数字");
    case charset::All: return QStringLiteral("全て");
    default: return QString();
    }
}

QString questionLimitText(std::int16_t questionLimit)
{
    if (questionLimit == UnlimitedQuestions)
        return QStringLiteral("無制限");
    return QString::number(questionLimit) + QStringLiteral("回");
}

} // namespace tekkora
