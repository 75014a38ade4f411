#include "SkippedLines.h"

namespace tekkora {

QString skipReasonText(SkipReason reason)
{
    switch (reason) {
    case SkipReason::TooLong: return QStringLiteral("長すぎる行");
    case SkipReason::NotShiftJis: return QStringLiteral("Shift_JIS ではない");
    case SkipReason::NotARecord: return QStringLiteral("ドリルが書く形ではない");
    case SkipReason::NotJson: return QStringLiteral("JSON ではない");
    case SkipReason::OtherVersion: return QStringLiteral("別の版の形式");
    case SkipReason::NotARun: return QStringLiteral("項目が欠けているか形が違う");
    }
    return QString();
}

} // namespace tekkora
