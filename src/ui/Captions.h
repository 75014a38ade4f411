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

} // namespace tekkora
