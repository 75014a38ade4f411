#include "BrowserPage.h"

#include <QFileDialog>

namespace tekkora {

bool pageAsks(const QString &)
{
    return false;
}

// The file system's notifications reach LogWatch directly.
void followStoredFiles(QObject *, const std::function<void()> &) {}

// The window follows the file where it stands, so it is picked by its path.
void pickScoreLog(QWidget *parent, const QString &current, const std::function<void(const QString &)> &open)
{
    const QString path = QFileDialog::getOpenFileName(parent, QStringLiteral("スコアファイルを開く"), current,
                                                      QStringLiteral("スコアファイル (Score.txt);;テキスト (*.txt);;すべてのファイル (*)"));
    if (!path.isEmpty())
        open(path);
}

bool logsNeedSaving()
{
    return false;
}

void saveCopy(const QString &) {}

} // namespace tekkora
