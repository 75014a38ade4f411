#include "ProgramIcon.h"

namespace tekkora {

QIcon programIcon()
{
    QIcon icon;
    // With their sizes given, the images are read only when first drawn.
    for (int size : {16, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/tekkora-%1.png").arg(size), QSize(size, size));
    return icon;
}

QPixmap programIconImage32(qreal devicePixelRatio)
{
    return programIcon().pixmap(QSize(32, 32), devicePixelRatio);
}

} // namespace tekkora
