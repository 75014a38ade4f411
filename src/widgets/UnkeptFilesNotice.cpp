#include "UnkeptFilesNotice.h"

#include "platform/FileStorage.h"

#include <QMessageBox>

namespace tekkora {

void noticeUnkeptFiles(QWidget *window)
{
    if (changedFilesAreKept())
        return;
    const QString text = QStringLiteral("このブラウザーではスコアと設定を保存できません。\n"
                                        "このページを閉じると、記録は消えます。");
    auto *box = new QMessageBox(QMessageBox::Information, QStringLiteral("Tekkora!"), text, QMessageBox::Ok, window);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

} // namespace tekkora
