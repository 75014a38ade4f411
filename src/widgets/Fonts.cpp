#include "Fonts.h"

#include "BundledFonts.h"

#include <QFontDatabase>
#include <QStringList>

namespace tekkora {

namespace {

// Naming a face that is not installed costs more than a lookup: every text
// in a new script sends Qt to fontconfig for a sorted list of fallbacks
// (milliseconds each at start-up) before it finds the substitute. Settled
// once, the windows name the installed face directly.
QString &settledJapaneseFace()
{
    static QString face;
    return face;
}

QString firstInstalled(const QString &designFace)
{
    const QStringList installed = QFontDatabase::families();
    QStringList candidates{designFace};
    candidates += QFont::substitutes(designFace);
    // Qt keeps substitutes in lower case; the face keeps its own spelling.
    for (const QString &candidate : candidates) {
        for (const QString &family : installed) {
            if (family.compare(candidate, Qt::CaseInsensitive) == 0)
                return family;
        }
    }
    return designFace;
}

} // namespace

void installFontSubstitutions()
{
    addBundledFonts();
    // The design face under its English name first: a Windows in another
    // language lists MS PGothic so. Then its look-alikes of the same metrics
    // (IPA's), then other Japanese Gothic faces. Yu Gothic UI is the
    // Japanese UI face of every Windows 10 and 11, whatever its language:
    // the one to fall back on where MS PGothic has been taken away.
    QFont::insertSubstitutions(JapaneseGothicFace,
                               QStringList{QStringLiteral("MS PGothic"), QStringLiteral("IPAPGothic"),
                                           QStringLiteral("Noto Sans CJK JP"), QStringLiteral("IPAGothic"),
                                           QStringLiteral("Yu Gothic UI")});
    QFont::insertSubstitutions(ComicFace, QStringList{QStringLiteral("Comic Neue")});
    settledJapaneseFace() = firstInstalled(JapaneseGothicFace);
}

QString japaneseFaceFamily()
{
    const QString &face = settledJapaneseFace();
    return face.isEmpty() ? JapaneseGothicFace : face;
}

QFont japaneseFont(qreal pointSize)
{
    QFont font(japaneseFaceFamily());
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
