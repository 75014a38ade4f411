#include "ScoreIcon.h"

namespace tekkora {

QIcon scoreIcon()
{
    QIcon icon;
    // With their sizes given, the images are read only when first drawn.
    for (int size : {16, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/score-icons/tekkora-score-%1.png").arg(size), QSize(size, size));
    return icon;
}

} // namespace tekkora
