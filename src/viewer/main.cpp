#include "BrowserPage.h"
#include "FontConfigWarmUp.h"
#include "Fonts.h"
#include "ModalWaits.h"
#include "QtJapanese.h"
#include "ScoreIcon.h"
#include "ScoreLogLocation.h"
#include "ScoreWindow.h"

#include <QApplication>
#include <QCommandLineParser>

#include <cstdio>

int main(int argc, char *argv[])
{
    // Runs beside the connection to the display; see FontConfigWarmUp.h.
    tekkora::FontConfigWarmUp fontConfig;
    QApplication app(argc, argv);
    // The drill's name: the per-user data directory is named after it, and
    // the score log must be looked for where the drill writes it.
    QCoreApplication::setApplicationName(QStringLiteral("Tekkora"));
    QGuiApplication::setDesktopFileName(QStringLiteral(TEKKORA_SCORE_APP_ID));
    tekkora::installQtJapanese(app);

    QCommandLineParser options;
    options.setApplicationDescription(QStringLiteral("Tekkora! のスコアファイルから上達の様子を表示します。"));
    options.addHelpOption();
    options.addPositionalArgument(QStringLiteral("file"),
                                  QStringLiteral("スコアファイル、またはそれを入れたフォルダー (省略時はドリルのもの)"));
    const QCommandLineOption report(QStringLiteral("report"),
                                    QStringLiteral("表示が変わるたびに、表示中の数字を標準出力に 1 行で書く"));
    options.addOption(report);
    options.process(app);

    fontConfig.wait();
    tekkora::installFontSubstitutions();
    QApplication::setFont(tekkora::defaultWindowFont());
    QApplication::setWindowIcon(tekkora::scoreIcon());

    tekkora::ScoreWindow window(tekkora::scoreLogPath(options.positionalArguments().value(0)));
    // In a browser the page's address asks (score.html?report), and the line
    // goes to the console.
    if (options.isSet(report) || tekkora::pageAsks(QStringLiteral("report"))) {
        const auto print = [&window] {
            std::printf("%s\n", window.reportLine().toUtf8().constData());
            std::fflush(stdout);
        };
        QObject::connect(&window, &tekkora::ScoreWindow::updated, &window, print);
        print();
    }
    // What show() does on the desktop; in the browser show() would fill the
    // page with the window, whose size is its own.
    window.setVisible(true);
    tekkora::settleStartUp();
    return app.exec();
}
