#include "Fonts.h"

#include <QStringList>

namespace tekkora {

void installFontSubstitutions()
{
    QFont::insertSubstitutions(JapaneseGothicFace,
                               QStringList{QStringLiteral("IPAPGothic"), QStringLiteral("Noto Sans CJK JP"),
                                           QStringLiteral("IPAGothic")});
    QFont::insertSubstitutions(ComicFace, QStringList{QStringLiteral("Comic Neue")});
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
