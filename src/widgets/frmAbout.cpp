#include "frmAbout.h"

#include "Fonts.h"
#include "Palette.h"
#include "ProgramIcon.h"
#include "ReadingOrder.h"
#include "Twips.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QWindow>

namespace tekkora {

namespace {

// Where the credit's tooltip points people.
const QString ContactAddress = QStringLiteral(TEKKORA_CONTACT_ADDRESS);

QLabel *makeLabel(QWidget *parent, const char *name, const QString &text, const QFont &font)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setFont(font);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setTextFormat(Qt::PlainText);
    paintAsCaption(label);
    return label;
}

QFont comicFont(qreal pointSize, bool boldItalic)
{
    QFont font(ComicFace);
    font.setPointSizeF(pointSize);
    font.setWeight(boldItalic ? QFont::Bold : QFont::Normal);
    font.setItalic(boldItalic);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

} // namespace

frmAbout::frmAbout(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                          | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint
                          | Qt::MSWindowsFixedSizeDialogHint)
{
    static const bool readInOrder = (readInReadingOrder(staticMetaObject), true);
    Q_UNUSED(readInOrder);
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"));
    setWindowIcon(programIcon());
    setFont(defaultWindowFont());
    setFixedSize(twipsSize(5130, 1620));
    paintBackground(this, colours::Background);

    // A sunken two-pixel border around the 32-pixel image makes the 540-twip box.
    picIcon = new QLabel(this);
    picIcon->setObjectName(QStringLiteral("picIcon"));
    picIcon->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    picIcon->setLineWidth(2);
    drawPictureForScreen();
    picIcon->setFocusPolicy(Qt::StrongFocus);
    // A Tab stop: a screen reader says what it shows.
    picIcon->setAccessibleName(QStringLiteral("Tekkora! のアイコン"));
    picIcon->move(twips(120), twips(120));
    picIcon->resize(picIcon->pixmap().deviceIndependentSize().toSize()
                    + QSize(2 * picIcon->frameWidth(), 2 * picIcon->frameWidth()));

    cmdOK = makeButton(this, "cmdOK", QStringLiteral("&OK"), twipsRect(3600, 1155, 1380, 345));
    cmdOK->setDefault(true);

    QFont challengeFont = japaneseFont(9);
    challengeFont.setItalic(true);
    Label1 = makeLabel(this, "Label1", QStringLiteral("あなたはどれだけ速く打てますか？？"), challengeFont);
    Label1->setGeometry(twipsRect(960, 600, 3795, 225));
    Label1->setToolTip(QStringLiteral("僕はだいたい0.4後半くらいです・・。"));
    // Screen readers count a line's words by its spaces, and pass over a
    // line of fewer than three as it opens (Orca does): the line in words.
    Label1->setAccessibleName(QStringLiteral("あなたは どれだけ 速く 打てますか？？"));

    // GDI-style line: the end point itself is not drawn.
    Line1 = new QFrame(this);
    Line1->setObjectName(QStringLiteral("Line1"));
    Line1->setFrameStyle(QFrame::NoFrame);
    paintBackground(Line1, colours::Caption);
    Line1->setGeometry(twips(120), twips(960), twips(5040) - twips(120), 1);

    lblTitle = makeLabel(this, "lblTitle", QStringLiteral("Tekkora!  Ver. " TEKKORA_VERSION), comicFont(14.25, true));
    lblTitle->setGeometry(twipsRect(840, 120, 3645, 405));

    lblVersion = makeLabel(this, "lblVersion", QStringLiteral("by the Tekkora! developers"), comicFont(9, false));
    lblVersion->setGeometry(twipsRect(600, 1200, 2535, 255));
    lblVersion->adjustSize(); // grows or shrinks to the text from its top-left corner
    lblVersion->setToolTip(QStringLiteral("Mail Come ! -> ") + ContactAddress);

    setTabOrder(cmdOK, picIcon);
    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
    cmdOK->setFocus();
}

void frmAbout::showEvent(QShowEvent *event)
{
    // Until it is shown the box only knows the primary screen; it opens over
    // the main window, which may be on another of a different density, and
    // it may be moved to another.
    drawPictureForScreen();
    if (!followsScreen_) {
        followsScreen_ = true;
        connect(windowHandle(), &QWindow::screenChanged, this, &frmAbout::drawPictureForScreen);
    }
    QDialog::showEvent(event);
}

void frmAbout::drawPictureForScreen()
{
    const qreal density = devicePixelRatioF();
    if (picIcon->pixmap().isNull() || picIcon->pixmap().devicePixelRatio() != density)
        picIcon->setPixmap(programIconImage32(density));
}

void frmAbout::cmdOK_Click()
{
    done(QDialog::Accepted);
}

void frmAbout::reject()
{
    cmdOK_Click();
}

} // namespace tekkora
