#include "Form2.h"

#include "Captions.h"
#include "Fonts.h"
#include "ModalWaits.h"
#include "Palette.h"
#include "ProgramIcon.h"
#include "ReadingOrder.h"
#include "Twips.h"
#include "WindowPlacement.h"

#include <QApplication>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

namespace tekkora {

namespace {

constexpr qreal FigureFontSize = 14.25;
// Gap between a figure and the border it is aligned to, in pixels.
constexpr int FigureIndent = 2;

QLabel *makeLabel(QWidget *parent, const char *name, const QString &caption, const QRect &geometry)
{
    auto *label = new QLabel(caption, parent);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(geometry);
    label->setFocusPolicy(Qt::NoFocus);
    label->setTextFormat(Qt::PlainText);
    label->setAutoFillBackground(true);
    return label;
}

// Row titles and units: white on the window's colour, left-aligned.
QLabel *makeStatic(QWidget *parent, const char *name, const QString &caption, const QRect &geometry)
{
    QLabel *label = makeLabel(parent, name, caption, geometry);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    paintAsCaption(label);
    return label;
}

// Figure boxes: black on the light face colour inside a single-line border;
// they keep their size whatever their text.
QLabel *makeFigure(QWidget *parent, const char *name, const QRect &geometry, Qt::Alignment horizontal)
{
    QLabel *label = makeLabel(parent, name, QString(), geometry);
    label->setAlignment(horizontal | Qt::AlignVCenter);
    label->setFrameStyle(QFrame::Box | QFrame::Plain);
    label->setLineWidth(1);
    label->setIndent(FigureIndent);
    label->setFont(japaneseFont(FigureFontSize));
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, colours::ButtonFace);
    palette.setColor(QPalette::WindowText, Qt::black);
    label->setPalette(palette);
    return label;
}

// The boxes keep their size whatever their text. A caption wider than its
// box (long counts, or a face wider than the one the layout was drawn for)
// is condensed until it fits, instead of losing its leading digits.
void fitCaption(QLabel *box)
{
    const int room = box->contentsRect().width() - 2 * FigureIndent;
    box->setFont(condensedToFit(japaneseFont(FigureFontSize), box->text(), room));
}

} // namespace

Form2::Form2(const DrillState &state, const RunRecording &recording, const Services &services, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
                          | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
    , procedures_(state, recording, services, *this)
{
    static const bool readInOrder = (readInReadingOrder(staticMetaObject), true);
    Q_UNUSED(readInOrder);
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("結果"));
    setWindowIcon(programIcon());
    setFont(defaultWindowFont());
    paintBackground(this, colours::Background);
    setFixedSize(twipsSize(2910, 2670));

    buildControls();
    openCentredOnScreen(this);
}

Form2::~Form2() = default;

void Form2::buildControls()
{
    // Created in the window's defining order, so the stacking matches.
    Command1_ = makeButton(this, "Command1", QStringLiteral("&OK"), twipsRect(960, 2160, 1215, 375));
    Command1_->setDefault(true);

    LabMode_ = makeFigure(this, "LabMode", twipsRect(1080, 120, 975, 375), Qt::AlignHCenter);
    Label4_ = makeStatic(this, "Label4", QStringLiteral("モード"), twipsRect(120, 240, 615, 255));
    Label9_ = makeStatic(this, "Label9", QStringLiteral("回"), twipsRect(2160, 720, 375, 255));
    Label8_ = makeStatic(this, "Label8", QStringLiteral("％"), twipsRect(2160, 1200, 255, 255));
    Label7_ = makeStatic(this, "Label7", QStringLiteral("秒/キー"), twipsRect(2160, 1680, 735, 255));
    LabSp_ = makeFigure(this, "LabSp", twipsRect(1080, 1560, 975, 375), Qt::AlignRight);
    LabPar_ = makeFigure(this, "LabPar", twipsRect(1080, 1080, 975, 375), Qt::AlignRight);
    LabMiss_ = makeFigure(this, "LabMiss", twipsRect(1080, 600, 975, 375), Qt::AlignRight);
    Label3_ = makeStatic(this, "Label3", QStringLiteral("速さ"), twipsRect(120, 1680, 375, 255));
    Label2_ = makeStatic(this, "Label2", QStringLiteral("正解率"), twipsRect(120, 1200, 855, 255));
    Label1_ = makeStatic(this, "Label1", QStringLiteral("ミスの回数"), twipsRect(120, 720, 975, 255));
    // ミスの回数 reaches a pixel into its figure box: the boxes lie on top,
    // so no caption covers a border.
    for (QLabel *box : {LabMode_, LabMiss_, LabPar_, LabSp_})
        box->raise();

    // Each figure is labelled by its caption for screen readers.
    Label4_->setBuddy(LabMode_);
    Label1_->setBuddy(LabMiss_);
    Label2_->setBuddy(LabPar_);
    Label3_->setBuddy(LabSp_);

    Command1_->setFocus();
    connect(Command1_, &QPushButton::clicked, this, &Form2::Command1_Click);
}

void Form2::load()
{
    procedures_.Form_Load();
    // What a screen reader says of the window as it opens: each figure with
    // its caption and unit, in the window's order.
    QStringList read;
    for (const QLabel *caption : {Label4_, Label1_, Label2_, Label3_}) {
        const auto *figure = static_cast<const QLabel *>(caption->buddy());
        read << caption->text() + QLatin1Char(' ') + figure->text() + unitOf(figure);
    }
    setAccessibleDescription(read.join(QStringLiteral("、")));
}

void Form2::Command1_Click()
{
    procedures_.Command1_Click();
}

void Form2::keyPressEvent(QKeyEvent *event)
{
    // No cancel button: Esc does nothing. The close box still closes.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

// The unit beside a figure, with a space before it; the set has none.
QString Form2::unitOf(const QLabel *figure) const
{
    const QLabel *unit = figure == LabMiss_ ? Label9_ : figure == LabPar_ ? Label8_ : figure == LabSp_ ? Label7_ : nullptr;
    return unit ? QLatin1Char(' ') + unit->text() : QString();
}

QLabel *Form2::figureBox(FigureBox box) const
{
    switch (box) {
    case FigureBox::LabMode: return LabMode_;
    case FigureBox::LabMiss: return LabMiss_;
    case FigureBox::LabPar: return LabPar_;
    case FigureBox::LabSp: return LabSp_;
    }
    return LabMode_;
}

void Form2::setCaption(FigureBox box, const QString &caption)
{
    QLabel *label = figureBox(box);
    label->setText(caption);
    fitCaption(label);
}

QString Form2::caption(FigureBox box) const
{
    return figureBox(box)->text();
}

void Form2::setLabMissWidth(int widthTwips)
{
    LabMiss_->resize(twips(widthTwips), LabMiss_->height());
    fitCaption(LabMiss_);
}

void Form2::setLabel9Left(int leftTwips)
{
    Label9_->move(twips(leftTwips), Label9_->y());
}

void Form2::showMessage(const QString &title, const QString &text)
{
    // This window waits in exec() already: where that is the only wait
    // there can be, the boxes open one after the other, each when the one
    // before has closed.
    if (!nestedModalWaits()) {
        pendingMessages_.append({title, text});
        if (pendingMessages_.size() == 1)
            openNextMessage();
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, title, displayText(text), QMessageBox::Ok, this);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

void Form2::openNextMessage()
{
    const auto &[title, text] = pendingMessages_.constFirst();
    auto *box = new QMessageBox(QMessageBox::NoIcon, title, displayText(text), QMessageBox::Ok, this);
    box->setTextFormat(Qt::PlainText);
    box->setAttribute(Qt::WA_DeleteOnClose);
    connect(box, &QDialog::finished, this, [this] {
        pendingMessages_.removeFirst();
        if (!pendingMessages_.isEmpty())
            openNextMessage();
        else if (unloadAfterMessages_)
            accept();
    });
    box->open();
}

void Form2::unloadWindow()
{
    if (!pendingMessages_.isEmpty()) {
        unloadAfterMessages_ = true;
        return;
    }
    accept();
}

void Form2::reportError(const QString &title, const QString &message)
{
    // Loading runs before the window is shown: the box then belongs to the
    // window underneath.
    QWidget *owner = isVisible() ? this : parentWidget();
    QMessageBox::warning(owner, title, message);
}

} // namespace tekkora
