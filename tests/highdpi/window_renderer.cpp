// Renders every window of the program, as it starts up, at whatever scale
// the environment asks for (QT_SCALE_FACTOR, or the screens of the offscreen
// platform's configuration), for tst_highdpi to compare:
//
//   window_renderer OUTDIR [SCREEN]
//
// With SCREEN (a screen's name), the main window is moved there before it is
// shown; the others follow it as they follow it in the program.
// writes OUTDIR/<window>.png (device pixels) and prints the primary screen,
// then one line per window and per named control, geometry in the window's
// logical pixels:
//   primary <name> <devicePixelRatio>
//   window <window> <width> <height> <devicePixelRatio>
//   control <window> <name> <x> <y> <width> <height> <textWidth> <textHeight> <roomWidth> <roomHeight>
// textWidth ... roomHeight are the extent of the caption at its font and the
// room its control leaves it; -1 without a caption.

#include "support/HelperProcess.h"
#include "support/MainWindowRig.h"

#include "drill/DrillState.h"
#include "Fonts.h"
#include "Form2.h"
#include "frmAbout.h"
#include "ProgramIcon.h"
#include "ClassicLook.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyleOptionButton>
#include <QTest>

#include <cstdio>

using namespace tekkora;
using namespace tekkora::testing;

namespace {

struct TextFit {
    int width = -1, height = -1, roomWidth = -1, roomHeight = -1;
};

TextFit labelFit(const QLabel *label)
{
    if (label->text().isEmpty() || !label->pixmap().isNull())
        return {};
    const QFontMetrics metrics = label->fontMetrics();
    TextFit fit;
    const QStringList lines = label->text().split(QLatin1Char('\n'));
    fit.width = 0;
    for (const QString &line : lines)
        fit.width = std::max(fit.width, metrics.horizontalAdvance(line));
    fit.height = int(lines.size()) * metrics.height();
    // QLabel keeps its indent on the side it aligns the text to; a framed
    // label without an indent of its own keeps half an x.
    int indent = label->indent();
    if (indent < 0)
        indent = label->frameWidth() > 0 ? metrics.horizontalAdvance(QLatin1Char('x')) / 2 : 0;
    const int margin = label->margin();
    const QRect room = label->contentsRect().adjusted(margin, margin, -margin, -margin);
    const Qt::Alignment align = label->alignment();
    fit.roomWidth = room.width() - (align & (Qt::AlignLeft | Qt::AlignRight) ? indent : 0);
    fit.roomHeight = room.height() - (align & (Qt::AlignTop | Qt::AlignBottom) ? indent : 0);
    return fit;
}

TextFit buttonFit(const QPushButton *button)
{
    QString text = button->text();
    text.remove(QLatin1Char('&'));
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    const QRect room = button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
    const QFontMetrics metrics = button->fontMetrics();
    return {metrics.horizontalAdvance(text), metrics.height(), room.width(), room.height()};
}

void report(const QString &name, QWidget *window, const QString &outDir)
{
    QCoreApplication::sendPostedEvents();
    QApplication::processEvents();
    const QImage image = window->grab().toImage();
    image.save(QDir(outDir).filePath(name + QStringLiteral(".png")));
    sayToTest(QStringLiteral("window %1 %2 %3 %4")
            .arg(name)
            .arg(window->width())
            .arg(window->height())
            .arg(image.devicePixelRatio()));
    for (QWidget *child : window->findChildren<QWidget *>()) {
        const QString control = child->objectName();
        if (control.isEmpty() || control.startsWith(QLatin1String("qt_")) || !child->isVisibleTo(window))
            continue;
        TextFit fit;
        if (const auto *label = qobject_cast<const QLabel *>(child))
            fit = labelFit(label);
        else if (const auto *button = qobject_cast<const QPushButton *>(child))
            fit = buttonFit(button);
        const QRect g(child->mapTo(window, QPoint(0, 0)), child->size());
        sayToTest(QStringLiteral("control %1 %2 %3 %4 %5 %6 %7 %8 %9 %10")
                .arg(name, control)
                .arg(g.x())
                .arg(g.y())
                .arg(g.width())
                .arg(g.height())
                .arg(fit.width)
                .arg(fit.height)
                .arg(fit.roomWidth)
                .arg(fit.roomHeight));
    }
}

bool showAndWait(QWidget *window)
{
    window->show();
    return QTest::qWaitForWindowExposed(window);
}

DrillState longRun()
{
    // The widest figures a run can leave: 1000 misses in 1000 questions,
    // seconds with four integer digits.
    DrillState state;
    state.CharSet = charset::Digits;
    state.QuestionCount = 1000;
    state.MissCount = 1000;
    state.Accuracy = computeAccuracy(state.QuestionCount, state.MissCount);
    state.ElapsedSeconds = 1234.5;
    return state;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc != 2 && argc != 3) {
        std::fputs("usage: window_renderer OUTDIR [SCREEN]\n", stderr);
        return 2;
    }
    const QString outDir = QString::fromLocal8Bit(argv[1]);
    // The screen the main window goes to, by name; the other windows follow
    // it there.
    QScreen *targetScreen = nullptr;
    if (argc == 3) {
        for (QScreen *screen : QGuiApplication::screens())
            if (screen->name() == QString::fromLocal8Bit(argv[2]))
                targetScreen = screen;
        if (targetScreen == nullptr) {
            std::fputs("no such screen\n", stderr);
            return 2;
        }
    }
    const QScreen *primary = QGuiApplication::primaryScreen();
    sayToTest(QStringLiteral("primary %1 %2").arg(primary->name()).arg(primary->devicePixelRatio()));
    // As the program sets itself up.
    installFontSubstitutions();
    QApplication::setStyle(new ClassicLookStyle);
    QApplication::setFont(defaultWindowFont());
    QApplication::setWindowIcon(programIcon());

    MainWindowRig rig(QByteArray("[Data]\r\nMode=2\r\nNum=10\r\nCap=1\r\n"));
    if (targetScreen != nullptr)
        rig.form->move(targetScreen->availableGeometry().topLeft() + QPoint(40, 40));
    if (!rig.showAndActivate())
        return 1;
    report(QStringLiteral("main-idle"), rig.form.get(), outDir);
    rig.fakes.random.script = {0.45f};
    rig.start();
    if (!rig.running())
        return 1;
    report(QStringLiteral("main-running"), rig.form.get(), outDir);
    {
        // Owned by the main window and placed over it, as the program does.
        QTemporaryDir dir;
        FakePlatform fakes;
        const DrillState state = longRun();
        const RunRecording noKeys;
        Form2 results(state, noKeys, fakes.services(dir.path()), rig.form.get());
        results.load();
        if (!showAndWait(&results))
            return 1;
        report(QStringLiteral("results-long"), &results, outDir);
    }
    {
        // Without an owner, but a transient of the main window, as the
        // program shows it.
        frmAbout about;
        about.winId();
        about.windowHandle()->setTransientParent(rig.form->windowHandle());
        if (!showAndWait(&about))
            return 1;
        report(QStringLiteral("about"), &about, outDir);
    }
    {
        // Placed over the main window before it exists, so that it is made
        // on that screen.
        frmAbout about;
        about.move(rig.form->pos());
        if (!showAndWait(&about))
            return 1;
        report(QStringLiteral("about-placed"), &about, outDir);
    }
    return 0;
}
