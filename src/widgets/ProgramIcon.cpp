#include "ProgramIcon.h"

#include <QImageReader>

#include <initializer_list>

namespace tekkora {

namespace {

QIcon iconOfSizes(std::initializer_list<int> sizes)
{
    QIcon icon;
    for (int size : sizes) {
        // Read as PNG by name. QIcon::addFile() would first ask every image
        // plug-in installed whether it knows the file, loading each one (and
        // libjpeg) before the first frame just to hear that it does not.
        QImageReader reader(QStringLiteral(":/icons/tekkora-%1.png").arg(size), "png");
        reader.setAutoDetectImageFormat(false);
        icon.addPixmap(QPixmap::fromImage(reader.read()));
    }
    return icon;
}

} // namespace

QIcon programIcon()
{
    // A window hands every size its icon has to the window manager as it is
    // created, decoded and sent before the first frame: the 128 and 256
    // pixel images cost an eighth of the start-up, for sizes that desktops
    // take from the installed icon theme instead. Up to 64 pixels covers a
    // task bar or title bar on a screen of twice the density.
    return iconOfSizes({16, 32, 48, 64});
}

QPixmap programIconImage32(qreal devicePixelRatio)
{
    return iconOfSizes({16, 32, 48, 64, 128, 256}).pixmap(QSize(32, 32), devicePixelRatio);
}

} // namespace tekkora
