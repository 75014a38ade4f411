#include "Fonts.h"

namespace tekkora {

void installFontSubstitutions()
{
    QFont::insertSubstitutions(JapaneseGothicFace,
                               {QStringLiteral("IPAPGothic"), QStringLiteral("Noto Sans CJK JP"),
                                QStringLiteral("IPAGothic")});
    QFont::insertSubstitutions(ComicFace, {QStringLiteral("Comic Neue")});
}

QFont japaneseFont(qreal pointSize)
{
    QFont font(JapaneseGothicFace);
    font.setPointSizeF(pointSize);
    font.setWeight(QFont::Normal);
    font.setItalic(false);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

QFont defaultWindowFont()
{
    return japaneseFont(9);
}

} // namespace tekkora
