#pragma once

#include <QString>

namespace tekkora {

// The score log the window shows: the path the player gave (a file, or a
// folder that holds Score.txt), else Score.txt where the drill keeps it, by
// the drill's own data-directory rule.
QString scoreLogPath(const QString &given = QString());

} // namespace tekkora
