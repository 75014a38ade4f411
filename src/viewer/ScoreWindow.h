#pragma once

// The score window: the progress of one score log and of the per-key log
// beside it, per character set, on two pages (ScorePage, KeysPage), kept up
// to date while the drill appends to them.

#include "ScoreStatistics.h"

#include <QWidget>


class QButtonGroup;
class QLabel;
class QLayout;
class QPushButton;
class QTabWidget;

namespace tekkora {

class KeysPage;
class ScorePage;

class ScoreWindow final : public QWidget {
    Q_OBJECT
public:
    explicit ScoreWindow(const QString &logPath, QWidget *parent = nullptr);
    ~ScoreWindow() override;

    // Shows another log from now on.
    void openLog(const QString &path);
    QString logPath() const;

    // The figures of the set on show as the window shows them, on one line:
    // "runs=... questions=... best=... latest=... skipped=... key_runs=...
    // key_skipped=...".
    QString reportLine() const;

    // The size the window opens at, given its screen's work area: the size it
    // is drawn for where that fits, frame included, never below its minimum.
    static QSize openingSize(const QSize &available, const QSize &minimum);

signals:
    // After every change of the log reached the window.
    void updated();

protected:
    void closeEvent(QCloseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    // Each builds one part of the window.
    void buildLayout();
    void fitToScreen();
    void placeOnScreen();
    QLayout *buildSetChoice();
    QPushButton *buildSaveButton();
    void buildShortcuts();
    void showSet(RunSet set);
    void chooseFile();

    QTabWidget *pages_ = nullptr;
    ScorePage *scorePage_ = nullptr;
    KeysPage *keysPage_ = nullptr;
    QButtonGroup *sets_ = nullptr;
    QPushButton *openButton_ = nullptr;
    QLabel *fileLabel_ = nullptr;
};

} // namespace tekkora
