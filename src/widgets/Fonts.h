#pragma once

#include <QFont>
#include <QString>

namespace tekkora {

// Face names the windows are designed with. On systems without them, font
// substitution maps them to faces with the same metrics or the same feel.
inline const QString JapaneseGothicFace = QStringLiteral("ＭＳ Ｐゴシック");
inline const QString ComicFace = QStringLiteral("Comic Sans MS");

// Registers the substitutes (MS PGothic, IPAPGothic, Noto Sans CJK JP, then
// Yu Gothic UI for the Japanese face; Comic Neue for the comic face, which
// every Windows has itself) and settles once which installed face stands
// for the Japanese one. Call once, after the application object exists and
// before the first window is built.
void installFontSubstitutions();

// The installed face the Japanese Gothic name stands for: the design face
// itself when installed, else its first installed substitute, else the
// design name, left to Qt's own matching.
QString japaneseFaceFamily();

// The windows' default font: the Japanese Gothic face at 9 points, whose line
// fits the 255- and 180-twip labels.
QFont defaultWindowFont();

// The Japanese Gothic face at a point size, regular weight, not italic.
QFont japaneseFont(qreal pointSize);

} // namespace tekkora
