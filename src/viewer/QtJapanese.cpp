#include "QtJapanese.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace tekkora {

bool installQtJapanese(QCoreApplication &app)
{
    auto *translator = new QTranslator(&app);
    // qtbase_ja.qm: the dialogs, buttons and message boxes of Qt Widgets.
    if (!translator->load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

} // namespace tekkora
