#include "AboutBox.h"
#include "Fonts.h"
#include "support/ModalAnswerer.h"

#include <QApplication>
#include <QDialog>
#include <QFontInfo>
#include <QFrame>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QTimer>
#include <QWindow>
#include <QtTest>

#include <functional>
#include <map>

using namespace tekkora;
using namespace tekkora::testing;

namespace {

// What a test sees of one opening of the box, copied while it is open.
struct ControlView {
    QRect geometry;
    QString text;
    QString toolTip;
    QFont font;
    QString resolvedFamily;
    bool resolvedBold = false;
    bool resolvedItalic = false;
    bool opaque = false;
    QColor background;
    QColor foreground;
    QColor buttonFace;
    QSize pixmapSize;
};

struct BoxView {
    QString title;
    QSize clientSize;
    QSize minimumSize;
    QSize maximumSize;
    QRect frameGeometry;
    QRect screenArea;
    Qt::WindowFlags flags;
    Qt::WindowModality modality = Qt::NonModal;
    bool hasParent = true;
    QList<QSize> iconSizes;
    QString focusAtStart;
    QImage picture;
    std::map<QString, ControlView> controls;

    // The rendered picture covers texts, fonts and colours; the rest is
    // what a picture cannot show.
    bool operator==(const BoxView &o) const
    {
        auto placesAndTips = [](const std::map<QString, ControlView> &controls) {
            QStringList out;
            for (const auto &[name, c] : controls)
                out << QStringLiteral("%1 %2,%3 %4x%5 %6").arg(name).arg(c.geometry.x()).arg(c.geometry.y())
                            .arg(c.geometry.width()).arg(c.geometry.height()).arg(c.toolTip);
            return out;
        };
        return title == o.title && frameGeometry == o.frameGeometry && focusAtStart == o.focusAtStart
            && picture == o.picture && placesAndTips(controls) == placesAndTips(o.controls);
    }
};

const char *const ControlNames[] = {"picIcon", "cmdOK", "Label1", "Line1", "lblTitle", "lblVersion"};

// Runs showAboutBox(); once the box is up, `whileOpen` gets it. A box still
// open five seconds later is ended by force, and that counts as a failure.
// Returns false when the box never appeared or had to be ended by force.
bool runAboutBox(const std::function<void(QDialog *)> &whileOpen, QPointer<QDialog> *seen = nullptr)
{
    bool appeared = false;
    bool forced = false;
    const ModalAnswerer answerer([&](QWidget *box) {
        auto *dialog = qobject_cast<QDialog *>(box);
        if (dialog == nullptr || box->objectName() != QLatin1String("frmAbout")) {
            box->close();
            return;
        }
        appeared = true;
        if (seen)
            *seen = dialog;
        QTimer::singleShot(5000, dialog, [&forced, dialog] {
            forced = true;
            dialog->done(QDialog::Rejected);
        });
        if (!QTest::qWaitForWindowActive(dialog))
            qWarning("the about box did not become active");
        whileOpen(dialog);
    });
    showAboutBox();
    return appeared && !forced;
}

ControlView viewOf(QWidget *widget)
{
    ControlView v;
    v.geometry = widget->geometry();
    if (auto *label = qobject_cast<QLabel *>(widget)) {
        v.text = label->text();
        v.pixmapSize = label->pixmap().size();
    } else if (auto *button = qobject_cast<QPushButton *>(widget)) {
        v.text = button->text();
    }
    v.toolTip = widget->toolTip();
    v.font = widget->font();
    const QFontInfo info(widget->font());
    v.resolvedFamily = info.family();
    v.resolvedBold = info.bold();
    v.resolvedItalic = info.italic();
    v.opaque = widget->autoFillBackground();
    v.background = widget->palette().color(QPalette::Window);
    v.foreground = widget->palette().color(QPalette::WindowText);
    v.buttonFace = widget->palette().color(QPalette::Button);
    return v;
}

BoxView snapshot(QDialog *box)
{
    BoxView v;
    v.title = box->windowTitle();
    v.clientSize = box->size();
    v.minimumSize = box->minimumSize();
    v.maximumSize = box->maximumSize();
    v.frameGeometry = box->frameGeometry();
    v.screenArea = box->screen()->availableGeometry();
    v.flags = box->windowFlags();
    v.modality = box->windowModality();
    v.hasParent = box->parentWidget() != nullptr;
    v.iconSizes = box->windowIcon().availableSizes();
    v.focusAtStart = QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
    v.picture = box->grab().toImage();
    for (const char *name : ControlNames) {
        if (auto *w = box->findChild<QWidget *>(QLatin1String(name)))
            v.controls[QLatin1String(name)] = viewOf(w);
    }
    return v;
}

// Opens the box, copies what is on show and closes it with its OK button.
BoxView openAndLook()
{
    BoxView view;
    const bool closed = runAboutBox([&view](QDialog *box) {
        view = snapshot(box);
        if (auto *ok = box->findChild<QPushButton *>(QStringLiteral("cmdOK")))
            ok->click();
    });
    if (!closed)
        qWarning("the about box did not close with its OK button");
    return view;
}

int leftoverTopLevels()
{
    int count = 0;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String("frmAbout"))
            ++count;
    return count;
}

} // namespace

class TestAboutBox : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void closesEveryWay_data();
    void closesEveryWay();
    void focusStartsOnOkAndTabAlternates();
    void secondOpeningIsFreshAndIdentical();
    void geometryFollowsTheLayout_data();
    void geometryFollowsTheLayout();
    void clientAreaIsFixedAndCentred();
    void creditStaysOnOneLineClearOfTheButton();
    void texts_data();
    void texts();
    void captionsFitTheirLabels_data();
    void captionsFitTheirLabels();
    void fontsResolveToInstalledFaces_data();
    void fontsResolveToInstalledFaces();
    void coloursOnScreen_data();
    void coloursOnScreen();
    void frameHasOnlyTitleAndCloseBox();
    void staysOffTheTaskbarWithoutAnOwner();
};

void TestAboutBox::initTestCase()
{
    installFontSubstitutions();
    QApplication::setFont(defaultWindowFont());
}

void TestAboutBox::cleanup()
{
    QCOMPARE(leftoverTopLevels(), 0);
}

// How the player closes the box.
enum class Way { Key, Click, CloseBox };

void TestAboutBox::closesEveryWay_data()
{
    QTest::addColumn<QString>("focus");
    QTest::addColumn<Way>("way");
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");

    const auto none = Qt::KeyboardModifiers();
    QTest::newRow("Esc on cmdOK") << "cmdOK" << Way::Key << int(Qt::Key_Escape) << none;
    QTest::newRow("Esc on picIcon") << "picIcon" << Way::Key << int(Qt::Key_Escape) << none;
    QTest::newRow("Enter on cmdOK") << "cmdOK" << Way::Key << int(Qt::Key_Return) << none;
    QTest::newRow("Enter on picIcon") << "picIcon" << Way::Key << int(Qt::Key_Return) << none;
    QTest::newRow("keypad Enter on picIcon") << "picIcon" << Way::Key << int(Qt::Key_Enter) << Qt::KeyboardModifiers(Qt::KeypadModifier);
    QTest::newRow("Space on cmdOK") << "cmdOK" << Way::Key << int(Qt::Key_Space) << none;
    QTest::newRow("Alt+O on cmdOK") << "cmdOK" << Way::Key << int(Qt::Key_O) << Qt::KeyboardModifiers(Qt::AltModifier);
    QTest::newRow("Alt+O on picIcon") << "picIcon" << Way::Key << int(Qt::Key_O) << Qt::KeyboardModifiers(Qt::AltModifier);
    QTest::newRow("click on OK") << "picIcon" << Way::Click << 0 << none;
    QTest::newRow("close box") << "cmdOK" << Way::CloseBox << 0 << none;
    QTest::newRow("close box with picIcon focused") << "picIcon" << Way::CloseBox << 0 << none;
}

void TestAboutBox::closesEveryWay()
{
    QFETCH(QString, focus);
    QFETCH(Way, way);
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);

    QPointer<QDialog> seen;
    QString focusedBeforeKey;
    const bool closed = runAboutBox(
        [&](QDialog *box) {
            auto *target = box->findChild<QWidget *>(focus);
            auto *ok = box->findChild<QPushButton *>(QStringLiteral("cmdOK"));
            if (!target || !ok)
                return;
            target->setFocus(Qt::TabFocusReason);
            focusedBeforeKey = QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
            switch (way) {
            case Way::Key:
                QTest::keyClick(target, Qt::Key(key), modifiers);
                break;
            case Way::Click:
                QTest::mouseClick(ok, Qt::LeftButton);
                break;
            case Way::CloseBox:
                // What the window manager does when the close box is clicked.
                box->windowHandle()->close();
                break;
            }
        },
        &seen);

    QCOMPARE(focusedBeforeKey, focus);
    QVERIFY2(closed, "the box stayed open");
    QVERIFY2(seen.isNull(), "the closed box was not destroyed");
    QVERIFY(!QApplication::activeModalWidget());
}

void TestAboutBox::focusStartsOnOkAndTabAlternates()
{
    QStringList focusTrail;
    const bool closed = runAboutBox([&](QDialog *box) {
        auto focused = [] {
            return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QStringLiteral("(none)");
        };
        focusTrail << focused();
        for (int i = 0; i < 3; ++i) {
            QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : box, Qt::Key_Tab);
            focusTrail << focused();
        }
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : box, Qt::Key_Backtab);
        focusTrail << focused();
        // A key on the picture box does nothing: the box stays open.
        if (auto *picture = box->findChild<QWidget *>(QStringLiteral("picIcon"))) {
            picture->setFocus();
            QTest::keyClick(picture, Qt::Key_A);
            QTest::mouseClick(picture, Qt::LeftButton);
            focusTrail << (box->isVisible() ? QStringLiteral("still open") : QStringLiteral("closed"));
        }
        box->done(QDialog::Accepted);
    });
    QVERIFY(closed);
    QCOMPARE(focusTrail, (QStringList{"cmdOK", "picIcon", "cmdOK", "picIcon", "cmdOK", "still open"}));
}

void TestAboutBox::secondOpeningIsFreshAndIdentical()
{
    QPointer<QDialog> first;
    BoxView firstView;
    QVERIFY(runAboutBox(
        [&](QDialog *box) {
            firstView = snapshot(box);
            // Leave a trace on this instance; a reused window would still show it.
            if (auto *ok = box->findChild<QPushButton *>(QStringLiteral("cmdOK"))) {
                box->findChild<QWidget *>(QStringLiteral("picIcon"))->setFocus();
                ok->setText(QStringLiteral("changed"));
            }
            box->move(box->pos() + QPoint(40, 30));
            QTest::keyClick(box, Qt::Key_Escape);
        },
        &first));
    QVERIFY(first.isNull());

    const BoxView secondView = openAndLook();
    QCOMPARE(secondView.controls.size(), std::size(ControlNames));
    QCOMPARE(secondView.controls.at("cmdOK").text, QStringLiteral("&OK"));
    QCOMPARE(secondView.focusAtStart, QStringLiteral("cmdOK"));
    QVERIFY(secondView == firstView);
}

void TestAboutBox::geometryFollowsTheLayout_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("twipsRect");

    QTest::newRow("picIcon: 32 pixels and its border") << "picIcon" << QRect(120, 120, 540, 540);
    QTest::newRow("cmdOK") << "cmdOK" << QRect(3600, 1155, 1380, 345);
    QTest::newRow("Label1") << "Label1" << QRect(960, 600, 3795, 225);
    QTest::newRow("lblTitle") << "lblTitle" << QRect(840, 120, 3645, 405);
    // One pixel high, from x=120 up to (not including) x=5040.
    QTest::newRow("Line1") << "Line1" << QRect(120, 960, 5040 - 120, 15);
}

void TestAboutBox::geometryFollowsTheLayout()
{
    QFETCH(QString, name);
    QFETCH(QRect, twipsRect);

    const BoxView view = openAndLook();
    QVERIFY(view.controls.count(name));
    const QRect actual = view.controls.at(name).geometry;
    const QRect expected(qRound(twipsRect.x() / 15.0), qRound(twipsRect.y() / 15.0),
                         qRound(twipsRect.width() / 15.0), qRound(twipsRect.height() / 15.0));
    auto near = [](int a, int b) { return qAbs(a - b) <= 1; };
    QVERIFY2(near(actual.x(), expected.x()) && near(actual.y(), expected.y())
                 && near(actual.width(), expected.width()) && near(actual.height(), expected.height()),
             qPrintable(QStringLiteral("%1 is at %2,%3 %4x%5, expected %6,%7 %8x%9")
                            .arg(name).arg(actual.x()).arg(actual.y()).arg(actual.width()).arg(actual.height())
                            .arg(expected.x()).arg(expected.y()).arg(expected.width()).arg(expected.height())));
}

void TestAboutBox::clientAreaIsFixedAndCentred()
{
    const BoxView view = openAndLook();
    QCOMPARE(view.clientSize, QSize(342, 108));
    QCOMPARE(view.minimumSize, view.clientSize);
    QCOMPARE(view.maximumSize, view.clientSize);
    const QPoint offset = view.frameGeometry.center() - view.screenArea.center();
    QVERIFY2(qAbs(offset.x()) <= 1 && qAbs(offset.y()) <= 1,
             qPrintable(QStringLiteral("off centre by %1,%2").arg(offset.x()).arg(offset.y())));
    // The picture box shows the whole 32-pixel image.
    QCOMPARE(view.controls.at("picIcon").pixmapSize, QSize(32, 32));
}

void TestAboutBox::creditStaysOnOneLineClearOfTheButton()
{
    const BoxView view = openAndLook();
    const ControlView credit = view.controls.at("lblVersion");
    const QRect button = view.controls.at("cmdOK").geometry;
    QCOMPARE(credit.geometry.topLeft(), QPoint(40, 80));
    QVERIFY(!credit.text.trimmed().isEmpty());
    QVERIFY(!credit.text.contains(QLatin1Char('\n')));
    // Sized to its text: as wide as the text, one line high.
    const QFontMetrics metrics(credit.font);
    QVERIFY(credit.geometry.width() >= metrics.horizontalAdvance(credit.text));
    QVERIFY(credit.geometry.height() <= metrics.height() + 2);
    QVERIFY2(credit.geometry.right() < button.left(), "the credit runs under the OK button");
    QVERIFY(credit.geometry.bottom() < view.clientSize.height());
}

void TestAboutBox::texts_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("property");
    QTest::addColumn<QString>("expected");

    // Written with code points so that a look-alike character in the source
    // (full-width katakana, an ASCII question mark) cannot slip through.
    QTest::newRow("title in half-width katakana")
        << "frmAbout" << "title"
        << QString::fromUtf16(u"\uFF8A\uFF9E\uFF70\uFF7C\uFF9E\uFF6E\uFF9D\u60C5\u5831");
    QTest::newRow("Label1 with full-width question marks")
        << "Label1" << "text"
        << QString::fromUtf16(u"\u3042\u306A\u305F\u306F\u3069\u308C\u3060\u3051\u901F\u304F"
                              u"\u6253\u3066\u307E\u3059\u304B\uFF1F\uFF1F");
    QTest::newRow("Label1 tooltip with ASCII 0.4 and katakana middle dots")
        << "Label1" << "toolTip"
        << QString::fromUtf16(u"\u50D5\u306F\u3060\u3044\u305F\u3044" u"0.4"
                              u"\u5F8C\u534A\u304F\u3089\u3044\u3067\u3059\u30FB\u30FB\u3002");
    QTest::newRow("lblTitle with two spaces before Ver.")
        << "lblTitle" << "text" << QStringLiteral("Tekkora!  Ver. " TEKKORA_VERSION);
    QTest::newRow("cmdOK with its access key") << "cmdOK" << "text" << QStringLiteral("&OK");
}

void TestAboutBox::texts()
{
    QFETCH(QString, name);
    QFETCH(QString, property);
    QFETCH(QString, expected);

    const BoxView view = openAndLook();
    QString actual;
    if (name == QLatin1String("frmAbout"))
        actual = view.title;
    else if (property == QLatin1String("text"))
        actual = view.controls.at(name).text;
    else
        actual = view.controls.at(name).toolTip;
    QCOMPARE(actual, expected);
}

void TestAboutBox::captionsFitTheirLabels_data()
{
    QTest::addColumn<QString>("name");

    // A substitute face wider or taller than the designed one would clip.
    QTest::newRow("Label1") << "Label1";
    QTest::newRow("lblTitle") << "lblTitle";
}

void TestAboutBox::captionsFitTheirLabels()
{
    QFETCH(QString, name);

    const BoxView view = openAndLook();
    const ControlView c = view.controls.at(name);
    const QFontMetrics metrics(c.font);
    const QRect needed = metrics.boundingRect(QRect(0, 0, 10000, 10000), Qt::AlignLeft | Qt::AlignTop, c.text);
    QVERIFY2(needed.width() <= c.geometry.width(),
             qPrintable(QStringLiteral("%1 needs %2 px, has %3").arg(name).arg(needed.width()).arg(c.geometry.width())));
    QVERIFY2(metrics.height() <= c.geometry.height(),
             qPrintable(QStringLiteral("%1 needs %2 px high, has %3").arg(name).arg(metrics.height()).arg(c.geometry.height())));
}

void TestAboutBox::fontsResolveToInstalledFaces_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("faces");
    QTest::addColumn<qreal>("points");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<bool>("italic");

    const QStringList japanese{"IPAPGothic", "Noto Sans CJK JP", "IPAGothic"};
    const QStringList comic{"Comic Neue", "Comic Sans MS"};
    QTest::newRow("Label1 italic Japanese Gothic") << "Label1" << japanese << 9.0 << false << true;
    QTest::newRow("lblTitle bold italic comic") << "lblTitle" << comic << 14.25 << true << true;
    QTest::newRow("lblVersion regular comic") << "lblVersion" << comic << 9.0 << false << false;
    QTest::newRow("cmdOK in the window font") << "cmdOK" << japanese << 9.0 << false << false;
}

void TestAboutBox::fontsResolveToInstalledFaces()
{
    QFETCH(QString, name);
    QFETCH(QStringList, faces);
    QFETCH(qreal, points);
    QFETCH(bool, bold);
    QFETCH(bool, italic);

    const BoxView view = openAndLook();
    const ControlView c = view.controls.at(name);
    QVERIFY2(faces.contains(c.resolvedFamily),
             qPrintable(QStringLiteral("%1 resolved to %2").arg(name, c.resolvedFamily)));
    QCOMPARE(c.font.pointSizeF(), points);
    QCOMPARE(c.resolvedBold, bold);
    QCOMPARE(c.font.italic(), italic);
    QCOMPARE(c.resolvedItalic, italic);
}

void TestAboutBox::coloursOnScreen_data()
{
    QTest::addColumn<QPoint>("pixel");
    QTest::addColumn<QColor>("expected");

    const QColor background(128, 128, 255);
    QTest::newRow("window background") << QPoint(2, 2) << background;
    QTest::newRow("window background below the line") << QPoint(5, 100) << background;
    QTest::newRow("Line1 at its start") << QPoint(8, 64) << QColor(Qt::white);
    QTest::newRow("Line1 in the middle") << QPoint(170, 64) << QColor(Qt::white);
    QTest::newRow("Line1 at its last pixel") << QPoint(335, 64) << QColor(Qt::white);
    QTest::newRow("past the end of Line1") << QPoint(337, 64) << background;
    QTest::newRow("above Line1") << QPoint(170, 63) << background;
    QTest::newRow("below Line1") << QPoint(170, 65) << background;
    // Label1's background is opaque in the window colour, between its glyphs.
    QTest::newRow("inside Label1, before its text ends") << QPoint(64, 40) << background;
}

void TestAboutBox::coloursOnScreen()
{
    QFETCH(QPoint, pixel);
    QFETCH(QColor, expected);

    const BoxView view = openAndLook();
    const QImage &picture = view.picture;
    QVERIFY(!picture.isNull());
    const qreal dpr = picture.devicePixelRatio();
    const QColor actual = picture.pixelColor(QPoint(qRound(pixel.x() * dpr), qRound(pixel.y() * dpr)));
    QCOMPARE(actual.rgb(), expected.rgb());
}

void TestAboutBox::frameHasOnlyTitleAndCloseBox()
{
    const BoxView view = openAndLook();
    QCOMPARE(view.flags & Qt::WindowType_Mask, Qt::Dialog);
    QVERIFY(view.flags.testFlag(Qt::WindowTitleHint));
    QVERIFY(view.flags.testFlag(Qt::WindowSystemMenuHint));
    QVERIFY(view.flags.testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(!view.flags.testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!view.flags.testFlag(Qt::WindowMaximizeButtonHint));
    QCOMPARE(view.modality, Qt::ApplicationModal);
    QVERIFY(!view.hasParent);
    QVERIFY(view.iconSizes.contains(QSize(32, 32)));
    QVERIFY(view.iconSizes.contains(QSize(16, 16)));

    // Every label and the line are opaque, white on the window colour; the
    // button face is the pale blue.
    for (const char *name : {"Label1", "lblTitle", "lblVersion"}) {
        const ControlView &c = view.controls.at(name);
        QVERIFY2(c.opaque, name);
        QCOMPARE(c.background, QColor(128, 128, 255));
        QCOMPARE(c.foreground, QColor(Qt::white));
    }
    QCOMPARE(view.controls.at("cmdOK").buttonFace, QColor(192, 192, 255));
}

void TestAboutBox::staysOffTheTaskbarWithoutAnOwner()
{
    // The box names the active window to the window manager, which then
    // keeps it off the taskbar; it is still not that window's child.
    QWidget main;
    main.setObjectName(QStringLiteral("main"));
    main.resize(200, 100);
    main.show();
    QApplication::setActiveWindow(&main);
    QVERIFY(QTest::qWaitForWindowActive(&main));

    QWindow *transientParent = nullptr;
    QWidget *parent = &main;
    QVERIFY(runAboutBox([&](QDialog *box) {
        transientParent = box->windowHandle()->transientParent();
        parent = box->parentWidget();
        box->done(QDialog::Accepted);
    }));
    QCOMPARE(transientParent, main.windowHandle());
    QCOMPARE(parent, nullptr);
}

QTEST_MAIN(TestAboutBox)
#include "tst_aboutbox.moc"
