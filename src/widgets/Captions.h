#pragma once

#include <QFont>
#include <QString>

namespace tekkora {

// A caption shows a carriage return as a line break, as the labels and
// message boxes of the program's home platform do.
QString displayText(QString caption);

// The font, narrowed just enough (down to half its width) for text to fit in
// room pixels; unchanged when it fits already. Fixed-size captions use it
// so a face wider than the one the windows were drawn for never cuts a
// caption short.
QFont condensedToFit(QFont font, const QString &text, int room);

// The same for a caption that overflows by a few pixels: first the letters
// move together by one pixel each, which keeps their shapes and the font
// engine the window already has; only text still too wide is condensed.
QFont tightenedToFit(QFont font, const QString &text, int room);

} // namespace tekkora
