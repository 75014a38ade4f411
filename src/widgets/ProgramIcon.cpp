#include "ProgramIcon.h"

#include "ProgramIconPixels.h"

#include <QImage>

static void initIconResources()
{
    Q_INIT_RESOURCE(icons);
}

namespace tekkora {

namespace {

// The pixels compiled into the program, decoded from the PNGs at build time:
// reading the PNGs here would start the image reader and libpng, which
// nothing else needs before the first frame.
QPixmap pixmapOf(const std::uint32_t *pixels, int size)
{
    return QPixmap::fromImage(
        QImage(reinterpret_cast<const uchar *>(pixels), size, size, size * 4, QImage::Format_ARGB32));
}

} // namespace

QIcon programIcon()
{
    // The PNGs stay available as resources, for whoever wants the files.
    initIconResources();
    QIcon icon;
    icon.addPixmap(pixmapOf(pixels::icon32, pixels::icon32Size));
    icon.addPixmap(pixmapOf(pixels::icon16, pixels::icon16Size));
    return icon;
}

QPixmap programIconImage32()
{
    initIconResources();
    return pixmapOf(pixels::icon32, pixels::icon32Size);
}

} // namespace tekkora
