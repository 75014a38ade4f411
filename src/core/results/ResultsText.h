#pragma once

// The texts the results window shows: its four figures and the milestone
// messages of long runs.

#include <QString>

#include <cstdint>

namespace tekkora {

// value with exactly `decimals` decimals and at least one integer digit, as
// the patterns "0.0" and "#0.000" show it. The decimal value is rounded
// exactly, as printf does; the separator is always a point.
QString formatFixed(double value, int decimals);

QString accuracyCaption(float accuracy);                                    // LabPar: 94 -> "94.0"
// LabSp: "0.523". A tie (1235 ms over 10 keys) goes away from zero.
QString speedCaption(double elapsedSeconds, std::int16_t questionCount);
QString missCaption(std::int16_t missCount, std::int16_t questionCount);    // LabMiss: "3/50"

// True when the two counts, each written behind a sign position, take more
// than seven characters: LabMiss then needs its wider box.
bool needsWideMissBox(std::int16_t missCount, std::int16_t questionCount);

// LabMiss and Label9 for long counts, in twips.
inline constexpr int WideLabMissWidth = 1095;
inline constexpr int WideLabel9Left = 2280;

// The milestone messages, shown after runs of more than 200, 500 and 1000
// questions.
inline constexpr int FirstMilestone = 200;
inline constexpr int SecondMilestone = 500;
inline constexpr int ThirdMilestone = 1000;

QString firstMilestoneTitle(std::int16_t questionCount); // "You are 250 Count!!"
inline const QString FirstMilestoneText = QStringLiteral("Thank you for Playing!!");
inline const QString SecondMilestoneTitle = QStringLiteral("You Are Great!!");
inline const QString SecondMilestoneText =
    QStringLiteral("あんたすごいよ！！こんなにやってくれてありがとう！！\r\n"
                   "俺も音楽にノって569回やったことがあるけど・・。");
inline const QString ThirdMilestoneTitle = QStringLiteral("すげぇ！！");
inline const QString ThirdMilestoneText = QStringLiteral("マジ1000？。すっげーよ。即メールCome！感謝状あげるよ！(笑)");

} // namespace tekkora
