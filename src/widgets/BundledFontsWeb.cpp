#include "BundledFonts.h"

#include <QFontDatabase>

// The page's faces, compiled into the program as resources (CMakeLists.txt):
// IPA's proportional Gothic, cut down to the characters the programs show,
// for every window, and Comic Neue for the about box's title.

namespace tekkora {

void addBundledFonts()
{
    for (const char *file : {":/fonts/ipagp.ttf", ":/fonts/ComicNeue-Regular.otf", ":/fonts/ComicNeue-BoldItalic.otf"})
        QFontDatabase::addApplicationFont(QLatin1String(file));
}

} // namespace tekkora
