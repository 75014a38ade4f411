#include "Captions.h"

#include <QFontMetrics>

#include <algorithm>

namespace tekkora {

namespace {
constexpr int MinimumStretch = 50;
}

QString displayText(QString caption)
{
    caption.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    caption.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return caption;
}

QFont condensedToFit(QFont font, const QString &text, int room)
{
    const int width = QFontMetrics(font).horizontalAdvance(text);
    if (width <= room || width <= 0)
        return font;
    // Start from the proportional guess, then step down: glyph advances
    // round per character, so the guess can fall a pixel short.
    int stretch = std::clamp(100 * room / width, MinimumStretch, 100);
    font.setStretch(stretch);
    while (stretch > MinimumStretch && QFontMetrics(font).horizontalAdvance(text) > room)
        font.setStretch(--stretch);
    return font;
}

QFont tightenedToFit(QFont font, const QString &text, int room)
{
    if (QFontMetrics(font).horizontalAdvance(text) <= room)
        return font;
    QFont tightened = font;
    tightened.setLetterSpacing(QFont::AbsoluteSpacing, -1);
    if (QFontMetrics(tightened).horizontalAdvance(text) <= room)
        return tightened;
    return condensedToFit(font, text, room);
}

} // namespace tekkora
