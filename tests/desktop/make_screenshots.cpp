// Regenerates docs/screenshots/: the program on Xvfb with openbox, each
// window with its frame, and the Options menu open on its Mode submenu; then
// the score window beside it on a new player's first runs, on its score
// page and on its keys page.
//
//   make_screenshots TEKKORA_EXECUTABLE OUTPUT_DIRECTORY [TEKKORA_SCORE_EXECUTABLE LOG_DIRECTORY]
//
// scripts/screenshots.sh builds and runs it.

#include "X11Session.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QStringList>
#include <QTest>

#include <cstdio>

using namespace tekkora::testing;

namespace {

// Keycodes of the server's default keyboard.
constexpr unsigned Escape = 9, Digit1 = 10, Digit0 = 19, Return = 36, ControlL = 37, Space = 65, AltL = 64,
                   KeyO = 32, KeyM = 58, KeyH = 43, KeyV = 55, KeyN = 57, F7 = 73, KeyS = 39, KeyK = 45, KeyT = 28;

// What the area shows once it has stopped changing.
QImage settled(X11Session &x, const std::function<QRect()> &area)
{
    QImage last;
    const QDeadlineTimer deadline(5000);
    for (;;) {
        QTest::qWait(150);
        const QImage now = x.grab(area());
        if (now == last || deadline.hasExpired())
            return now;
        last = now;
    }
}

// The colours just inside a button's border, clear of its caption, in the
// window's picture: the faces must show (192, 192, 255).
void printFace(const QImage &window, const QPoint &clientOffset, const char *name, const QRect &button)
{
    const QRect inner = button.translated(clientOffset).adjusted(3, 3, -3, -3);
    QStringList colours;
    for (const QPoint &point : {inner.topLeft(), inner.topRight(), inner.bottomLeft(), inner.bottomRight()}) {
        const QColor colour = window.pixelColor(point);
        colours << QStringLiteral("(%1,%2,%3)").arg(colour.red()).arg(colour.green()).arg(colour.blue());
    }
    std::printf("  face of %s: %s\n", name, qPrintable(colours.join(QLatin1Char(' '))));
}

bool save(const QImage &image, const QString &path)
{
    const bool saved = !image.isNull() && image.save(path);
    std::printf("%s %s\n", saved ? "wrote" : "FAILED", qPrintable(path));
    return saved;
}

// A 50-question run of digits. A digit not seen yet is found by trying the
// digit keys in turn (a wrong one rings the bell, and the question counts as
// missed); its picture is then known, so each digit costs one miss at most.
bool playARun(X11Session &x, XWindow main)
{
    x.pressKey(KeyN, ControlL);
    x.pressKey(F7);
    x.pressKey(Space);
    // Label1, where the question shows: the upper part below the menu bar.
    const QRect client = x.clientGeometry(main);
    const QRect label1(client.left(), client.bottom() + 1 - 138 + 20, client.width(), 70);
    QList<std::pair<QImage, unsigned>> known;
    for (int answered = 0; answered < 50; ++answered) {
        const QImage shown = settled(x, [&] { return label1; });
        QList<unsigned> keys;
        for (const auto &[picture, key] : known)
            if (picture == shown)
                keys << key;
        for (unsigned key = Digit1; key <= Digit0; ++key)
            keys << key;
        for (unsigned key : keys) {
            const int bells = x.bellCount();
            x.pressKey(key);
            const QDeadlineTimer deadline(3000);
            bool wrong = false;
            while (!deadline.hasExpired()) {
                QTest::qWait(20);
                if ((wrong = x.bellCount() > bells))
                    break;
                if (x.findWindow(QStringLiteral("結果")) != 0 || x.grab(label1) != shown)
                    break;
            }
            if (!wrong) {
                known.append({shown, key});
                break;
            }
        }
    }
    return x.waitForWindow(QStringLiteral("結果")) != 0;
}

// The score window on the logs in `logs`: its score page, its digits
// fastest first, its keys page by miss rate and by time.
bool scoreWindowShots(X11Session &x, const QString &executable, const QString &logs, const QDir &out)
{
    const QString title = QStringLiteral("Tekkora! スコア");
    if (x.launchBeside(executable, {logs}) == nullptr)
        return false;
    const XWindow window = x.waitForWindow(title);
    if (window == 0 || !x.waitForFocus(window))
        return false;
    const auto frame = [&] { return x.frameGeometry(window); };
    bool ok = save(settled(x, frame), out.filePath(QStringLiteral("score.png")));
    x.pressKey(KeyN, AltL);
    x.pressKey(KeyS, AltL);
    x.pressKey(x.keycodeOf("End")); // the last order: seconds per key, fastest first
    ok &= save(settled(x, frame), out.filePath(QStringLiteral("score-digits.png")));
    x.pressKey(KeyM, AltL);
    x.pressKey(KeyK, AltL);
    ok &= save(settled(x, frame), out.filePath(QStringLiteral("keys.png")));
    x.pressKey(KeyT, AltL);
    ok &= save(settled(x, frame), out.filePath(QStringLiteral("keys-time.png")));
    x.closeWindow(window);
    return x.waitForNoWindow(title) && ok;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 3 && argc != 5) {
        std::fprintf(stderr, "usage: %s TEKKORA_EXECUTABLE OUTPUT_DIRECTORY [TEKKORA_SCORE_EXECUTABLE LOG_DIRECTORY]\n",
                     argv[0]);
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[2]));
    X11Session x(X11Session::Openbox);
    if (!x.missingTool().isEmpty() || !x.start() || !x.launch(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "cannot run the program: %s%s\n", qPrintable(x.missingTool()), qPrintable(x.error()));
        return 1;
    }
    const XWindow main = x.waitForWindow(QStringLiteral("Tekkora!"));
    if (main == 0 || !x.waitForFocus(main))
        return 1;
    const QImage mainImage = settled(x, [&] { return x.frameGeometry(main); });
    bool ok = save(mainImage, out.filePath(QStringLiteral("main.png")));
    // Below the menu bar: the client area's last 138 rows.
    const QRect mainClient = x.clientGeometry(main).translated(-x.frameGeometry(main).topLeft());
    const QPoint belowMenu(mainClient.left(), mainClient.bottom() + 1 - 138);
    printFace(mainImage, belowMenu, "Command1", QRect(8, 104, 73, 25));
    printFace(mainImage, belowMenu, "Command2", QRect(88, 104, 73, 25));

    if (!x.waitForFocus(main) || !playARun(x, main)) {
        std::fprintf(stderr, "the run did not end in the results window\n");
        return 1;
    }
    const XWindow results = x.findWindow(QStringLiteral("結果"));
    const QImage resultsImage = settled(x, [&] { return x.frameGeometry(results); });
    ok &= save(resultsImage, out.filePath(QStringLiteral("results.png")));
    printFace(resultsImage, x.clientGeometry(results).topLeft() - x.frameGeometry(results).topLeft(), "Command1",
              QRect(64, 144, 81, 25));
    x.pressKey(Return);
    x.waitForNoWindow(QStringLiteral("結果"));
    x.waitForFocus(main);

    // The menus stand beside the window: take everything on the screen
    // around them.
    x.pressKey(KeyO, AltL);
    x.pressKey(KeyM);
    const auto windowAndMenus = [&] {
        QRect area = x.frameGeometry(main);
        for (const QRect &frame : x.topLevelFrames())
            if (frame.intersects(area))
                area |= frame;
        return area;
    };
    ok &= save(settled(x, windowAndMenus), out.filePath(QStringLiteral("options-menu.png")));
    // The submenu, the menu, and the menu bar's keyboard mode.
    for (int i = 0; i < 3; ++i)
        x.pressKey(Escape);
    settled(x, windowAndMenus);

    x.waitForFocus(main);
    x.pressKey(KeyH, AltL);
    x.pressKey(KeyV);
    const XWindow about = x.waitForWindow(QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"));
    if (about == 0)
        return 1;
    const QImage aboutImage = settled(x, [&] { return x.frameGeometry(about); });
    ok &= save(aboutImage, out.filePath(QStringLiteral("about.png")));
    printFace(aboutImage, x.clientGeometry(about).topLeft() - x.frameGeometry(about).topLeft(), "cmdOK",
              QRect(240, 77, 92, 23));
    x.pressKey(Escape);
    x.waitForNoWindow(QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"));

    if (argc == 5
        && !scoreWindowShots(x, QString::fromLocal8Bit(argv[3]), QString::fromLocal8Bit(argv[4]), out)) {
        std::fprintf(stderr, "the score window's pictures were not taken\n");
        ok = false;
    }

    x.closeWindow(main);
    x.waitForExit();
    return ok ? 0 : 1;
}
