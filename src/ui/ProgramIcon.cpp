#include "ProgramIcon.h"

static void initIconResources()
{
    Q_INIT_RESOURCE(icons);
}

namespace tekkora {

QIcon programIcon()
{
    initIconResources();
    QIcon icon;
    icon.addFile(QStringLiteral(":/icons/tekkora-32.png"), QSize(32, 32));
    icon.addFile(QStringLiteral(":/icons/tekkora-16.png"), QSize(16, 16));
    return icon;
}

QPixmap programIconImage32()
{
    initIconResources();
    return QPixmap(QStringLiteral(":/icons/tekkora-32.png"));
}

} // namespace tekkora
