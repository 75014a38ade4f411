#include "Form1.h"

#include "Captions.h"
#include "ClickableLabel.h"
#include "Fonts.h"
#include "KeyCodes.h"
#include "KeyboardLayout.h"
#include "ModalWaits.h"
#include "Palette.h"
#include "ProgramIcon.h"
#include "ResultsWindow.h"
#include "Twips.h"
#include "WindowPlacement.h"

#include "AboutBox.h"
#include "Announcer.h"
#include "platform/CheckedInt.h"
#include "platform/FileStorage.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLayout>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>

#include <algorithm>
#include <cmath>

namespace tekkora {

namespace {

// Label1 keeps its top edge and its horizontal centre whatever its text.
constexpr int Label1Top = 360;
constexpr double Label1CentreTwips = 1140 + 255 / 2.0;

QLabel *makeLabel(QLabel *label, const char *name, const QRect &geometry, Qt::Alignment alignment)
{
    label->setObjectName(QLatin1String(name));
    label->setGeometry(geometry);
    label->setAlignment(alignment);
    label->setFocusPolicy(Qt::NoFocus);
    paintAsCaption(label);
    return label;
}

} // namespace

Form1::Form1(DrillState &state, const Services &services, QWidget *parent)
    : QMainWindow(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                              | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint)
    , state_(state)
    , services_(services)
    , procedures_(state, services_, *this)
    , nativeKeys_(nativeKeysFor(QGuiApplication::platformName()))
    , keyboardLayout_(keyboardLayoutOfPlatform())
    , programEnder_([] { QCoreApplication::exit(0); })
    , resultsPresenter_([this] { showResultsWindow(state_, procedures_.recording(), services_); })
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Tekkora!"));
    setWindowIcon(programIcon());
    // Keys of a run go straight to the drill: no input method may swallow
    // or transform them.
    setAttribute(Qt::WA_InputMethodEnabled, false);

    buildControls();
    buildMenus();
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    guarded([this] { procedures_.Form_Load(); });

    Command1_->setFocus();
    adjustSize();
    openCentredOnScreen(this);
}

Form1::~Form1() = default;

void Form1::buildControls()
{
    client_ = new QWidget(this);
    client_->setObjectName(QStringLiteral("client"));
    client_->setFixedSize(twipsSize(2550, 2070));
    paintAsCaption(client_);
    setCentralWidget(client_);

    // Created in the window's defining order, so the stacking matches.
    Command2_ = makeButton(client_, "Command2", QStringLiteral("&Quit"), twipsRect(1320, 1560, 1095, 375));
    Command1_ = makeButton(client_, "Command1", QStringLiteral("&Start"), twipsRect(120, 1560, 1095, 375));
    Command1_->setDefault(true);
    Label3_ = makeLabel(new QLabel(QStringLiteral("Mode："), client_), "Label3", twipsRect(120, 100, 495, 255),
                        Qt::AlignLeft | Qt::AlignTop);
    // The Gothic face's Latin letters run a few pixels wider than the layout
    // allows.
    Label3_->setFont(tightenedToFit(Label3_->font(), Label3_->text(), Label3_->width()));
    lblNum_ = static_cast<ClickableLabel *>(
        makeLabel(new ClickableLabel(client_), "lblNum", twipsRect(1000, 100, 540, 180), Qt::AlignLeft | Qt::AlignTop));
    lblMode_ = static_cast<ClickableLabel *>(
        makeLabel(new ClickableLabel(client_), "lblMode", twipsRect(600, 100, 420, 180), Qt::AlignLeft | Qt::AlignTop));
    lblNum_->setCursor(Qt::UpArrowCursor);
    lblMode_->setCursor(Qt::UpArrowCursor);
    Label2_ = makeLabel(new QLabel(QStringLiteral("Push the \"Esc\" Key to Exit."), client_), "Label2",
                        twipsRect(0, 1200, 2535, 255), Qt::AlignHCenter | Qt::AlignTop);
    Label2_->hide();
    Label1_ = makeLabel(new QLabel(client_), "Label1", twipsRect(1140, Label1Top, 255, 720), Qt::AlignCenter);
    Label1_->setFont(japaneseFont(36));

    setTabOrder(Command1_, Command2_);

    connect(Command1_, &QPushButton::clicked, this, [this] {
        guarded([this] { procedures_.Command1_Click(); });
        speakQuestion();
    });
    connect(Command2_, &QPushButton::clicked, this, [this] { guarded([this] { procedures_.Command2_Click(); }); });
    connect(lblMode_, &ClickableLabel::clicked, this, [this] {
        guarded([this] { procedures_.lblMode_Click(); });
        optionsChanged();
        speakOption(OptionItem::al);
    });
    connect(lblNum_, &ClickableLabel::clicked, this, [this] {
        guarded([this] { procedures_.lblNum_Click(); });
        optionsChanged();
        speakOption(OptionItem::n10);
    });

    announcer_ = new Announcer(this);
}

// The option items of the Options menu, submenu by submenu, in their order
// on screen.
struct OptionItemDefinition {
    OptionItem item;
    const char *name;
    const char *caption; // UTF-8
    QKeyCombination shortcut;
    void (Form1Procedures::*handler)();
};

namespace {

struct SubmenuDefinition {
    const char *name;
    const char *caption;
    std::initializer_list<OptionItemDefinition> items;
};

const SubmenuDefinition OptionSubmenus[] = {
    {"mode", "モード(&M)",
     {{OptionItem::al, "al", "英字のみ", Qt::CTRL | Qt::Key_E, &Form1Procedures::al_Click},
      {OptionItem::num, "num", "数字のみ", Qt::CTRL | Qt::Key_N, &Form1Procedures::num_Click},
      {OptionItem::all, "all", "全て", Qt::CTRL | Qt::Key_A, &Form1Procedures::all_Click}}},
    {"set", "回数(&S)",
     {{OptionItem::n10, "n10", "10回", QKeyCombination(Qt::Key_F5), &Form1Procedures::n10_Click},
      {OptionItem::n30, "n30", "30回", QKeyCombination(Qt::Key_F6), &Form1Procedures::n30_Click},
      {OptionItem::n50, "n50", "50回", QKeyCombination(Qt::Key_F7), &Form1Procedures::n50_Click},
      {OptionItem::n99, "n99", "無制限", QKeyCombination(Qt::Key_F8), &Form1Procedures::n99_Click}}},
    {"ca", "表示(&C)",
     {{OptionItem::omoji, "omoji", "大文字", Qt::CTRL | Qt::Key_O, &Form1Procedures::omoji_Click},
      {OptionItem::kmoji, "kmoji", "小文字", Qt::CTRL | Qt::Key_K, &Form1Procedures::kmoji_Click}}},
};

// After the submenus and a separator: an item of its own, marked while on.
const OptionItemDefinition WeakItem{OptionItem::weak, "weak", "苦手な文字を多めに(&W)", QKeyCombination(Qt::Key_F9),
                                    &Form1Procedures::weak_Click};

} // namespace

void Form1::addOptionItem(QMenu *menu, const OptionItemDefinition &definition)
{
    QAction *action = menu->addAction(QString::fromUtf8(definition.caption));
    action->setObjectName(QLatin1String(definition.name));
    action->setCheckable(true);
    action->setShortcut(definition.shortcut);
    const OptionItem item = definition.item;
    optionActions_[item] = action;
    checks_[item] = false;
    connect(action, &QAction::triggered, this, [this, item, handler = definition.handler] {
        // The menu has already flipped the mark; the handler decides from
        // the mark as it was, and sets it itself.
        optionActions_[item]->setChecked(checks_[item]);
        guarded([this, handler] { (procedures_.*handler)(); });
        optionsChanged();
        speakOption(item);
    });
}

void Form1::buildMenus()
{
    QMenuBar *bar = menuBar();
    bar->setObjectName(QStringLiteral("menuBar"));
    bar->setNativeMenuBar(false);

    op_ = bar->addMenu(QStringLiteral("オプション(&O)"));
    op_->setObjectName(QStringLiteral("op"));
    for (const SubmenuDefinition &definition : OptionSubmenus) {
        QMenu *submenu = op_->addMenu(QString::fromUtf8(definition.caption));
        submenu->setObjectName(QLatin1String(definition.name));
        for (const OptionItemDefinition &item : definition.items)
            addOptionItem(submenu, item);
    }
    op_->addSeparator();
    addOptionItem(op_, WeakItem);

    // The marks the window is created with.
    setChecked(OptionItem::n30, true);
    setChecked(OptionItem::omoji, true);

    QMenu *help = bar->addMenu(QStringLiteral("ヘルプ(&H)"));
    help->setObjectName(QStringLiteral("help"));
    QAction *ver = help->addAction(QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報(&V)"));
    ver->setObjectName(QStringLiteral("ver"));
    connect(ver, &QAction::triggered, this, [this] { guarded([this] { procedures_.ver_Click(); }); });
}

bool Form1::event(QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::ShortcutOverride)
        return QMainWindow::event(event);
    // With no control focused (only during a run, when both buttons are
    // disabled) every key press is the drill's, Tab included.
    const QWidget *focus = focusWidget();
    if (focus != nullptr && focus != this)
        return QMainWindow::event(event);
    if (type == QEvent::ShortcutOverride) {
        // Shortcuts and access keys are wrong keys then. Claiming the key
        // here also spares every key press the shortcut map's look-up, which
        // asks the keyboard layout for each key's alternatives.
        event->accept();
        return true;
    }
    auto *key = static_cast<QKeyEvent *>(event);
    const KeycodeAnswers *answers = keyboardLayout_ ? keyboardLayout_->answers() : nullptr;
    KeyPress press = keyPressOf(*key);
    if (keyboardLayout_)
        keyboardLayout_->addNativeKeys(press);
    const std::int16_t code = keyCodeFor(press, nativeKeys_, answers);
    const std::int16_t shift = shiftStateFor(key->modifiers());
    guarded([this, code, shift] { procedures_.Form_KeyDown(code, shift); });
    speakQuestion();
    return true;
}

// After every key of a run (and its start) the question on show: the next
// one after the right key, the same one again after a wrong key.
void Form1::speakQuestion()
{
    if (!Command1_->isEnabled())
        announcer_->announce(Label1_->text());
}

// What an option now is, as the window shows it: the character set and the
// count in their labels, the letter case in its menu item.
void Form1::speakOption(OptionItem item)
{
    if (!Command1_->isEnabled())
        return;
    switch (item) {
    case OptionItem::al:
    case OptionItem::num:
    case OptionItem::all: announcer_->announce(lblMode_->text()); break;
    case OptionItem::omoji:
    case OptionItem::kmoji:
        announcer_->announce(optionActions_.at(isChecked(OptionItem::omoji) ? OptionItem::omoji : OptionItem::kmoji)
                                 ->text());
        break;
    default: announcer_->announce(lblNum_->text()); break;
    }
}

void Form1::closeEvent(QCloseEvent *event)
{
    event->accept();
    if (unloaded_)
        return;
    unloaded_ = true;
    guarded([this] { procedures_.Form_Unload(); });
}

void Form1::optionsChanged()
{
    if (optionsSavedAsTheyChange())
        guarded([this] { procedures_.saveOptions(); });
}

void Form1::guarded(const std::function<void()> &procedure)
{
    try {
        procedure();
    } catch (const OverflowError &) {
        QMessageBox::critical(this, QStringLiteral("Tekkora!"),
                              QStringLiteral("実行時エラー '6':\n\nオーバーフローしました。"));
        endProgram();
    }
}

void Form1::setLabel1Caption(const QString &caption)
{
    Label1_->setText(displayText(caption));
    resizeLabel1();
}

void Form1::setLabel1FontSize(int points)
{
    QFont font = Label1_->font();
    if (font.pointSizeF() == points)
        return;
    font.setPointSize(points);
    Label1_->setFont(font);
    label1CharSizes_.fill(QSize());
    resizeLabel1();
}

QSize Form1::label1TextSize() const
{
    const QString text = Label1_->text();
    if (text.size() != 1 || text.at(0).unicode() >= label1CharSizes_.size())
        return Label1_->sizeHint();
    QSize &size = label1CharSizes_[text.at(0).unicode()];
    if (!size.isValid())
        size = Label1_->sizeHint();
    return size;
}

void Form1::resizeLabel1()
{
    const QSize size = label1TextSize();
    const int left = int(std::lround(Label1CentreTwips / TwipsPerPixel - size.width() / 2.0));
    Label1_->setGeometry(left, twips(Label1Top), size.width(), size.height());
}

void Form1::setLabel2Visible(bool visible) { Label2_->setVisible(visible); }
void Form1::setCommand1Enabled(bool enabled) { Command1_->setEnabled(enabled); }
void Form1::setCommand2Enabled(bool enabled)
{
    Command2_->setEnabled(enabled);
    // With both buttons disabled the window itself holds the focus rather
    // than nothing: the menu bar, entered with Alt during a run, hands the
    // focus back to whoever had it, and with nobody it would keep the keys.
    if (!enabled && !Command1_->isEnabled()) {
        setFocus(Qt::OtherFocusReason);
        // A run starts: the layout is read now rather than at its first
        // key, whose time is measured.
        if (keyboardLayout_)
            keyboardLayout_->answers();
    }
}
bool Form1::isCommand1Enabled() const { return Command1_->isEnabled(); }

void Form1::setOptionsMenuEnabled(bool enabled)
{
    op_->menuAction()->setEnabled(enabled);
    // A disabled menu must take its shortcut keys with it.
    for (auto &[item, action] : optionActions_)
        action->setEnabled(enabled);
}

// The option captions keep their fixed width too: a long loaded count
// ("12345回") is fitted like Label3, not cut.
void Form1::setModeCaption(const QString &caption) { setFittedCaption(lblMode_, caption); }
void Form1::setNumCaption(const QString &caption) { setFittedCaption(lblNum_, caption); }

void Form1::setFittedCaption(QLabel *label, const QString &caption)
{
    label->setFont(tightenedToFit(client_->font(), caption, label->width()));
    label->setText(caption);
}

bool Form1::isChecked(OptionItem item) const
{
    return checks_.at(item);
}

void Form1::setChecked(OptionItem item, bool checked)
{
    checks_[item] = checked;
    optionActions_.at(item)->setChecked(checked);
}

void Form1::showResults()
{
    if (resultsPresenter_)
        resultsPresenter_();
    // Back from the results: the main window takes the keyboard again.
    activateWindow();
}

void Form1::showAbout()
{
    showAboutBox();
}

void Form1::focusStartButton()
{
    Command1_->setFocus();
}

void Form1::unloadWindow()
{
    close();
}

void Form1::endProgram()
{
    if (programEnder_)
        programEnder_();
}

void Form1::reportError(const QString &title, const QString &message)
{
    QMessageBox::warning(isVisible() ? this : nullptr, title, message);
    returnKeysTo(this);
}

} // namespace tekkora
