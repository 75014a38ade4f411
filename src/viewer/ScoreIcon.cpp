#include "ScoreIcon.h"

static void initScoreIconResources()
{
    Q_INIT_RESOURCE(score_icons);
}

namespace tekkora {

QIcon scoreIcon()
{
    initScoreIconResources();
    QIcon icon;
    icon.addFile(QStringLiteral(":/score-icons/tekkora-score-32.png"));
    icon.addFile(QStringLiteral(":/score-icons/tekkora-score-16.png"));
    return icon;
}

} // namespace tekkora
