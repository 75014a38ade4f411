#include "KeysPage.h"

#include "Fonts.h"
#include "KeyTableModel.h"
#include "KeyboardHeatMap.h"
#include "KeyboardKeys.h"
#include "ScanCodeAnswers.h"
#include "Palette.h"
#include "ViewerParts.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QRadioButton>
#include <QTableView>
#include <QTableWidget>
#include <QVBoxLayout>

namespace tekkora {

namespace {

// The most frequent pairs of the "pressed instead" list.
constexpr int PressedInsteadShown = 20;

struct PeriodChoice {
    KeyPeriod period;
    QString caption;
};
const PeriodChoice PeriodChoices[] = {
    {KeyPeriod::All, QStringLiteral("すべて")},
    {KeyPeriod::Last30Days, QStringLiteral("直近%1日").arg(KeyPeriodDays)},
    {KeyPeriod::Last100Runs, QStringLiteral("直近%1回").arg(KeyPeriodRuns)},
    {KeyPeriod::WeakDraws, QStringLiteral("苦手練習のみ")},
};

QString keyName(std::uint8_t keyCode)
{
    return QString::fromUtf8(keyText(keyCode, LetterCase::Upper));
}

} // namespace

KeysPage::KeysPage(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("pageKeys"));
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(buildFilters());
    messageLabel_ = makeCaption(this, QString());
    messageLabel_->setObjectName(QStringLiteral("lblKeysMessage"));
    messageLabel_->setWordWrap(true);
    layout->addWidget(messageLabel_);
    layout->addLayout(buildKeyboard(), 3);
    layout->addWidget(buildCharacterTable(), 2);
    setTabOrder(period_, shade_->button(int(KeyboardHeatMap::Shade::MissRate)));
    setTabOrder(shade_->button(int(KeyboardHeatMap::Shade::MissRate)), keyboard_);
    setTabOrder(keyboard_, pressedInstead_);
    setTabOrder(pressedInstead_, table_);
}

KeysPage::~KeysPage() = default;

// Which runs (the window's set, and a period here) and what colours the keys.
QLayout *KeysPage::buildFilters()
{
    auto *row = new QHBoxLayout;
    QLabel *periodCaption = makeCaption(this, QStringLiteral("期間(&P):"));
    period_ = new QComboBox(this);
    period_->setObjectName(QStringLiteral("cmbPeriod"));
    for (const PeriodChoice &choice : PeriodChoices)
        period_->addItem(choice.caption, int(choice.period));
    periodCaption->setBuddy(period_);
    connect(period_, &QComboBox::activated, this, [this](int index) {
        filter_.period = KeyPeriod(period_->itemData(index).toInt());
        rebuild();
    });
    row->addWidget(periodCaption);
    row->addWidget(period_);
    row->addSpacing(16);

    row->addWidget(makeCaption(this, QStringLiteral("色:")));
    shade_ = new QButtonGroup(this);
    const auto addShade = [&](KeyboardHeatMap::Shade shade, const char *name, const QString &caption) {
        auto *button = new QRadioButton(caption, this);
        button->setObjectName(QLatin1String(name));
        paintAsChoice(button);
        shade_->addButton(button, int(shade));
        row->addWidget(button);
    };
    addShade(KeyboardHeatMap::Shade::MissRate, "optMissRate", QStringLiteral("ミス率(&R)"));
    addShade(KeyboardHeatMap::Shade::MedianTime, "optMedianTime", QStringLiteral("時間 (中央値)(&T)"));
    shade_->button(int(KeyboardHeatMap::Shade::MissRate))->setChecked(true);
    connect(shade_, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked)
            keyboard_->setShade(KeyboardHeatMap::Shade(id));
    });
    row->addStretch();

    countsLabel_ = makeCaption(this, QString());
    countsLabel_->setObjectName(QStringLiteral("lblKeyCounts"));
    row->addWidget(countsLabel_);
    row->addSpacing(16);
    skippedLabel_ = makeCaption(this, QString());
    skippedLabel_->setObjectName(QStringLiteral("lblKeySkipped"));
    row->addWidget(skippedLabel_);
    return row;
}

// The keyboard with the current key's figures beneath, and the keys pressed
// instead beside it.
QLayout *KeysPage::buildKeyboard()
{
    auto *row = new QHBoxLayout;
    auto *left = new QVBoxLayout;
    keyboard_ = new KeyboardHeatMap(this);
    keyboard_->setObjectName(QStringLiteral("keyboard"));
    // The player's layout where the window system tells it, else US.
    keyboard_->setKeys(mainBlockKeys(currentScanCodeAnswers()));
    keyboard_->setStatistics(&statistics_);
    left->addWidget(keyboard_, 1);
    keyLabel_ = makeCaption(this, QString());
    keyLabel_->setObjectName(QStringLiteral("lblKeyFigures"));
    keyLabel_->setFont(japaneseFont(10));
    left->addWidget(keyLabel_);
    connect(keyboard_, &KeyboardHeatMap::currentKeyChanged, this, &KeysPage::showKey);
    row->addLayout(left, 3);
    row->addWidget(buildPressedInstead(), 1);
    return row;
}

QWidget *KeysPage::buildPressedInstead()
{
    auto *box = new QWidget(this);
    auto *layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    QLabel *caption = makeCaption(box, QStringLiteral("押し間違い (表示 → 押したキー)(&W):"));
    layout->addWidget(caption);
    pressedInstead_ = new QTableWidget(0, 3, box);
    pressedInstead_->setObjectName(QStringLiteral("tblPressedInstead"));
    pressedInstead_->setHorizontalHeaderLabels(
        {QStringLiteral("表示"), QStringLiteral("押したキー"), QStringLiteral("回数")});
    setUpTable(pressedInstead_, QStringLiteral("押し間違い"));
    // The list is the most frequent first, always.
    pressedInstead_->setSortingEnabled(false);
    pressedInstead_->horizontalHeader()->setSortIndicatorShown(false);
    pressedInstead_->horizontalHeader()->setSectionsClickable(false);
    caption->setBuddy(pressedInstead_);
    layout->addWidget(pressedInstead_);
    return box;
}

QTableView *KeysPage::buildCharacterTable()
{
    model_ = new KeyTableModel(this);
    table_ = new QTableView(this);
    table_->setObjectName(QStringLiteral("keysTable"));
    setUpTable(table_, QStringLiteral("文字ごとの記録"));
    table_->setModel(model_);
    keepSortOrder(table_, QStringLiteral("keys"), KeyTableModel::Character, Qt::AscendingOrder);
    return table_;
}

void KeysPage::openLog(const QString &path)
{
    watcher_ = std::make_unique<KeysLogWatcher>(path);
    connect(watcher_.get(), &KeysLogWatcher::changed, this, &KeysPage::applyChange);
    watcher_->refresh();
}

void KeysPage::showSet(RunSet set)
{
    if (filter_.set == set)
        return;
    filter_.set = set;
    rebuild();
}

void KeysPage::applyChange(const KeysLogFile::Update &update)
{
    state_ = update.state;
    error_ = update.error;
    const KeysRuns &runs = watcher_->file().runs();
    if (update.restarted || update.firstNewRun == 0 || statistics_.filter() != filter_)
        statistics_.rebuild(runs, filter_, QDateTime::currentDateTime());
    else if (update.firstNewRun < runs.runs.size())
        statistics_.append(runs, update.firstNewRun, QDateTime::currentDateTime());
    refresh();
}

void KeysPage::rebuild()
{
    if (watcher_)
        statistics_.rebuild(watcher_->file().runs(), filter_, QDateTime::currentDateTime());
    refresh();
}

void KeysPage::refresh()
{
    model_->setStatistics(&statistics_);
    keyboard_->setStatistics(&statistics_);

    const std::vector<PressedInstead> &pairs = statistics_.pressedInstead();
    const int shown = int(std::min<std::size_t>(pairs.size(), PressedInsteadShown));
    pressedInstead_->setRowCount(shown);
    for (int i = 0; i < shown; ++i) {
        const QString cells[] = {QString(QChar(pairs[std::size_t(i)].shown)), keyName(pairs[std::size_t(i)].pressed),
                                 QString::number(pairs[std::size_t(i)].count)};
        for (int column = 0; column < 3; ++column) {
            auto *item = new QTableWidgetItem(cells[column]);
            item->setTextAlignment(column == 2 ? Qt::AlignRight | Qt::AlignVCenter : Qt::AlignCenter);
            pressedInstead_->setItem(i, column, item);
        }
    }

    countsLabel_->setText(QStringLiteral("%1 回  %2 問").arg(statistics_.runs()).arg(statistics_.questions()));
    const SkippedLines *skipped = watcher_ ? &watcher_->file().reader().skipped() : nullptr;
    skippedLabel_->setText(QStringLiteral("読み飛ばした行: %1").arg(skipped ? skipped->count() : 0));
    skippedLabel_->setToolTip(skipped ? skippedList(skipped->kept(), skipped->count()) : QString());

    QString message;
    if (state_ == KeysLogFile::State::Unreadable)
        message = QStringLiteral("キーの記録を読めません: ") + error_;
    else if (state_ == KeysLogFile::State::Missing || (watcher_ && watcher_->file().runs().runs.empty()))
        message = QStringLiteral("キーごとの記録はまだありません。練習を終えると、ここに表示されます。");
    else if (statistics_.runs() == 0)
        message = QStringLiteral("このモードと期間の記録はありません。");
    messageLabel_->setText(message);
    messageLabel_->setVisible(!message.isEmpty());
    showKey(keyboard_->currentKey());
    emit updated();
}

void KeysPage::showKey(int keyCode)
{
    keyLabel_->setText(keyCode != 0 ? describeKey(keyCode, statistics_.forKey(keyCode))
                                    : QStringLiteral("キーにポインターを置くか、キーボードを選んで矢印キーで動かすと、その数字が出ます。"));
    keyboard_->setAccessibleDescription(keyLabel_->text());
}

QString KeysPage::reportFields() const
{
    if (!watcher_)
        return QStringLiteral("key_runs=0 key_skipped=0");
    return QStringLiteral("key_runs=%1 key_skipped=%2")
        .arg(qulonglong(watcher_->file().runs().runs.size()))
        .arg(watcher_->file().reader().skipped().count());
}

} // namespace tekkora
