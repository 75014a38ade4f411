#pragma once

// The keys page of the score window: from the per-key log beside the score
// log, a keyboard coloured by each character's miss rate or median time, the
// characters' figures in a table, and the keys most often pressed instead of
// the one shown; for the window's character set and a period. It follows the
// log live, as the score page does.

#include "KeyStatistics.h"
#include "KeysLogWatcher.h"
#include "ScoreStatistics.h"

#include <QWidget>

#include <memory>

class QButtonGroup;
class QComboBox;
class QLabel;
class QTableView;
class QTableWidget;

namespace tekkora {

class KeyTableModel;
class KeyboardHeatMap;

class KeysPage final : public QWidget {
    Q_OBJECT
public:
    explicit KeysPage(QWidget *parent = nullptr);
    ~KeysPage() override;

    // Shows another per-key log from now on.
    void openLog(const QString &path);
    void showSet(RunSet set);

    // "key_runs=N key_skipped=M": the runs read from the log and the lines
    // skipped, whatever the filter.
    QString reportFields() const;
    const KeyStatistics &statistics() const { return statistics_; }

signals:
    // After every change of the log or the filter reached the page.
    void updated();

private:
    QLayout *buildFilters();
    QLayout *buildKeyboard();
    QWidget *buildPressedInstead();
    QTableView *buildCharacterTable();
    void applyChange(const KeysLogFile::Update &update);
    void rebuild();
    void refresh();
    void showKey(int keyCode);

    std::unique_ptr<KeysLogWatcher> watcher_;
    KeyStatistics statistics_;
    KeyFilter filter_;
    KeysLogFile::State state_ = KeysLogFile::State::Missing;
    QString error_;

    QComboBox *period_ = nullptr;
    QButtonGroup *shade_ = nullptr;
    QLabel *countsLabel_ = nullptr;
    QLabel *skippedLabel_ = nullptr;
    QLabel *messageLabel_ = nullptr;
    QLabel *keyLabel_ = nullptr;
    KeyboardHeatMap *keyboard_ = nullptr;
    KeyTableModel *model_ = nullptr;
    QTableView *table_ = nullptr;
    QTableWidget *pressedInstead_ = nullptr;
};

} // namespace tekkora
