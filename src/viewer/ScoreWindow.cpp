#include "ScoreWindow.h"

#include "AccessibleFactory.h"
#include "Announcer.h"
#include "BrowserPage.h"
#include "DrillWindow.h"
#include "Fonts.h"
#include "KeysPage.h"
#include "Palette.h"
#include "ScorePage.h"
#include "ViewerParts.h"
#include "WindowPlacement.h"
#include "results/KeysLog.h"
#include "results/ScoreLog.h"

#include <QAccessibleWidget>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShortcut>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

namespace tekkora {

namespace {

struct SetChoice {
    RunSet set;
    const char *name;
    const char *caption;
};
const SetChoice SetChoices[] = {
    {RunSet::Every, "optEvery", "全モード(&M)"},
    {RunSet::Letters, "optLetters", "英字(&E)"},
    {RunSet::Digits, "optDigits", "数字(&N)"},
    {RunSet::Mixed, "optMixed", "全て(&A)"},
};

} // namespace

ScoreWindow::ScoreWindow(const QString &logPath, QWidget *parent) : QWidget(parent)
{
    // A window of its own to screen readers: a frame, as a main window is.
    static const bool provided = (setAccessibleInterface(staticMetaObject, [](QObject *object) -> QAccessibleInterface * {
                                      return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Window);
                                  }),
                                  true);
    Q_UNUSED(provided);
    setObjectName(QStringLiteral("ScoreWindow"));
    setWindowTitle(QStringLiteral("Tekkora! スコア"));
    paintBackground(this, colours::Background);
    setAcceptDrops(true);
    buildLayout();
    openLog(logPath);
}

ScoreWindow::~ScoreWindow() = default;

void ScoreWindow::buildLayout()
{
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(buildSetChoice());
    pages_ = new QTabWidget(this);
    pages_->setObjectName(QStringLiteral("tabPages"));
    scorePage_ = new ScorePage(pages_);
    connect(scorePage_, &ScorePage::updated, this, &ScoreWindow::updated);
    pages_->addTab(scorePage_, QStringLiteral("スコア(&C)"));
    keysPage_ = new KeysPage(pages_);
    paintBackground(keysPage_, colours::Background);
    connect(keysPage_, &KeysPage::updated, this, &ScoreWindow::updated);
    pages_->addTab(keysPage_, QStringLiteral("キー別(&K)"));
    // A page chosen with its access key from elsewhere in the window leaves
    // the focus where it was: a screen reader is told the page.
    auto *announcer = new Announcer(this);
    connect(pages_, &QTabWidget::currentChanged, this, [this, announcer](int page) {
        if (!pages_->tabBar()->hasFocus())
            announcer->announce(QString(pages_->tabText(page)).remove(QLatin1Char('&')));
    });
    layout->addWidget(pages_, 1);

    fileLabel_ = makeCaption(this, QString());
    fileLabel_->setObjectName(QStringLiteral("lblFile"));
    fileLabel_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(fileLabel_);

    setTabOrder(sets_->checkedButton(), openButton_);
    setTabOrder(openButton_, pages_);
    scorePage_->placeInTabOrder(pages_);
    buildShortcuts();
    fitToScreen();
    placeOnScreen();
}

QSize ScoreWindow::openingSize(const QSize &available, const QSize &minimum)
{
    // The frame a window manager will add, which a window cannot know before
    // it is shown: a title bar and borders of the usual size.
    const QSize frame(16, 40);
    return QSize(960, 760).boundedTo(available - frame).expandedTo(minimum);
}

// The size it was drawn for, within the work area of its screen: a 768-pixel
// screen's is shorter than that once panels and the frame are taken off.
void ScoreWindow::fitToScreen()
{
    const QScreen *screen = this->screen();
    resize(openingSize(screen != nullptr ? screen->availableGeometry().size() : QSize(960, 760) + QSize(16, 40),
                       minimumSizeHint()));
}

// Where the player left it last time; else beside the drill where the
// screen has room for it, else centred.
void ScoreWindow::placeOnScreen()
{
    if (restoreGeometry(viewerSettings().value(QStringLiteral("window/geometry")).toByteArray()))
        return;
    if (const std::optional<QRect> drill = drillWindowFrame())
        openBeside(this, *drill);
    else
        openCentredOnScreen(this);
}

void ScoreWindow::closeEvent(QCloseEvent *event)
{
    viewerSettings().setValue(QStringLiteral("window/geometry"), saveGeometry());
    QWidget::closeEvent(event);
}

// Which runs: every run, or one character set; and the button that opens
// another log.
QLayout *ScoreWindow::buildSetChoice()
{
    auto *top = new QHBoxLayout;
    top->addWidget(makeCaption(this, QStringLiteral("モード:")));
    sets_ = new QButtonGroup(this);
    for (const SetChoice &choice : SetChoices) {
        auto *button = new QRadioButton(QString::fromUtf8(choice.caption), this);
        button->setObjectName(QLatin1String(choice.name));
        paintAsChoice(button);
        sets_->addButton(button, int(choice.set));
        top->addWidget(button);
    }
    sets_->button(int(RunSet::Every))->setChecked(true);
    connect(sets_, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked)
            showSet(RunSet(id));
    });
    top->addStretch();
    openButton_ = makeButton(this, "cmdOpen", QStringLiteral("開く(&O)..."), QRect());
    openButton_->setAutoDefault(false);
    connect(openButton_, &QPushButton::clicked, this, &ScoreWindow::chooseFile);
    top->addWidget(openButton_);
    if (logsNeedSaving())
        top->addWidget(buildSaveButton());
    return top;
}

// Where the logs are out of the player's reach (a browser's storage), a copy
// of each, byte for byte, for the desktop program or a safe place.
QPushButton *ScoreWindow::buildSaveButton()
{
    auto *save = makeButton(this, "cmdSave", QStringLiteral("保存(&D)"), QRect());
    save->setAutoDefault(false);
    auto *files = new QMenu(save);
    // The score log on show, and the per-key log the drill writes beside it.
    files->addAction(ScoreFileName, this, [this] { saveCopy(logPath()); })->setObjectName(QStringLiteral("actSaveScore"));
    files->addAction(KeysFileName, this, [this] {
        saveCopy(QFileInfo(logPath()).dir().filePath(KeysFileName));
    })->setObjectName(QStringLiteral("actSaveKeys"));
    // Opened as a pop-up on the press, as a button's own menu opens, but not
    // as its own menu: that one waits in a second event loop, which the
    // browser's page (the only place this button shows) would have to carry
    // for the whole score window.
    connect(save, &QPushButton::pressed, files, [save, files] {
        files->popup(save->mapToGlobal(QPoint(0, save->height())));
    });
    return save;
}

void ScoreWindow::buildShortcuts()
{
    auto *quit = new QShortcut(QKeySequence::Quit, this);
    connect(quit, &QShortcut::activated, this, &QWidget::close);
    auto *closeWindow = new QShortcut(QKeySequence::Close, this);
    connect(closeWindow, &QShortcut::activated, this, &QWidget::close);
}

void ScoreWindow::openLog(const QString &path)
{
    scorePage_->openLog(path);
    fileLabel_->setText(QDir::toNativeSeparators(scorePage_->logPath()));
    // The drill writes its per-key log beside the score log.
    keysPage_->openLog(QFileInfo(scorePage_->logPath()).dir().filePath(KeysFileName));
}

QString ScoreWindow::logPath() const
{
    return scorePage_->logPath();
}

void ScoreWindow::showSet(RunSet set)
{
    scorePage_->showSet(set);
    keysPage_->showSet(set);
}

QString ScoreWindow::reportLine() const
{
    return scorePage_->reportFields() + QLatin1Char(' ') + keysPage_->reportFields();
}
void ScoreWindow::chooseFile()
{
    pickScoreLog(this, logPath(), [this](const QString &path) { openLog(path); });
}

namespace {
// The one local file a drag carries, if it carries exactly one.
QString droppedFile(const QMimeData *data)
{
    if (data == nullptr || !data->hasUrls() || data->urls().size() != 1 || !data->urls().first().isLocalFile())
        return QString();
    return data->urls().first().toLocalFile();
}
} // namespace

void ScoreWindow::dragEnterEvent(QDragEnterEvent *event)
{
    if (!droppedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void ScoreWindow::dropEvent(QDropEvent *event)
{
    const QString path = droppedFile(event->mimeData());
    if (path.isEmpty())
        return;
    event->acceptProposedAction();
    openLog(path);
}

} // namespace tekkora
