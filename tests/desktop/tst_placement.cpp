// Each window first opens centred on the screen, its frame included: with a
// window manager and without one, wherever the main window stands when the
// about box or the results open over it. The score window opens beside the
// drill where the screen has room, and where the player left it after that.

#include "X11Session.h"

#include <QFile>
#include <QTest>

using namespace tekkora::testing;

namespace {

// Keycodes of the server's default keyboard.
constexpr unsigned AltL = 64, KeyH = 43, KeyV = 55, Digit1 = 10;

const QString MainTitle = QStringLiteral("Tekkora!");
const QString AboutTitle = QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報");
const QString ResultsTitle = QStringLiteral("結果");
const QString ScoreTitle = QStringLiteral("Tekkora! スコア");

// Within a pixel of the screen's centre, in both directions.
bool centred(const QRect &frame, const QRect &screen)
{
    return std::abs(2 * frame.x() + frame.width() - screen.width()) <= 2
           && std::abs(2 * frame.y() + frame.height() - screen.height()) <= 2;
}

QByteArray describe(const QRect &frame)
{
    return QByteArray::number(frame.x()) + ',' + QByteArray::number(frame.y()) + ' ' + QByteArray::number(frame.width())
           + 'x' + QByteArray::number(frame.height());
}

} // namespace

class TestPlacement : public QObject {
    Q_OBJECT
private slots:
    void windowsOpenCentred_data()
    {
        QTest::addColumn<int>("manager");
        QTest::addColumn<QString>("window");
        QTest::addColumn<QPoint>("mainMovedTo"); // before the window opens; (-1,-1) leaves it
        const QPoint stays(-1, -1);
        for (const auto &[manager, name] : {std::pair{X11Session::NoWindowManager, "no window manager"},
                                            std::pair{X11Session::Openbox, "openbox"}}) {
            QTest::addRow("%s: main window", name) << int(manager) << MainTitle << stays;
            QTest::addRow("%s: about box", name) << int(manager) << AboutTitle << stays;
            QTest::addRow("%s: about box, main window moved", name) << int(manager) << AboutTitle << QPoint(20, 30);
            QTest::addRow("%s: results", name) << int(manager) << ResultsTitle << stays;
            QTest::addRow("%s: results, main window moved", name) << int(manager) << ResultsTitle << QPoint(20, 30);
        }
    }

    void windowsOpenCentred()
    {
        QFETCH(int, manager);
        QFETCH(QString, window);
        QFETCH(QPoint, mainMovedTo);
        X11Session x{X11Session::WindowManager(manager)};
        TEKKORA_START_X11(x);
        // A one-question run of digits, so that the digit keys in turn end it.
        QFile settings(x.programDirectory() + QStringLiteral("/tekora.ini"));
        QVERIFY(settings.open(QIODevice::WriteOnly));
        settings.write("[Data]\r\nMode=2 \r\nNum=1     \r\nCap=1 \r\n");
        settings.close();
        QVERIFY2(x.launch(QStringLiteral(TEKKORA_EXECUTABLE)), qPrintable(x.error()));
        const XWindow main = x.waitForWindow(MainTitle);
        QVERIFY(main != 0);
        QVERIFY(x.waitForFocus(main));

        // The main window settles first: it places itself once more when its
        // frame is known.
        QTRY_VERIFY2_WITH_TIMEOUT(centred(x.frameGeometry(main), x.screen()), describe(x.frameGeometry(main)).constData(),
                                  DisplayTimeoutMs);
        if (mainMovedTo != QPoint(-1, -1)) {
            x.moveWindow(main, mainMovedTo);
            QTRY_VERIFY_WITH_TIMEOUT(x.frameGeometry(main).x() < 100, DisplayTimeoutMs);
        }
        XWindow opened = main;
        if (window == AboutTitle) {
            x.pressKey(KeyH, AltL);
            x.pressKey(KeyV);
            opened = x.waitForWindow(AboutTitle);
            QVERIFY(opened != 0);
            // Still the main window's: no taskbar entry of its own.
            QCOMPARE(x.transientFor(opened), main);
        } else if (window == ResultsTitle) {
            x.pressKey(65); // Space: Start
            for (unsigned digit = 0; digit < 10; ++digit)
                x.pressKey(Digit1 + digit);
            opened = x.waitForWindow(ResultsTitle);
            QVERIFY(opened != 0);
        }
        // The frame may still settle once after the window is mapped.
        QTRY_VERIFY2_WITH_TIMEOUT(centred(x.frameGeometry(opened), x.screen()),
                                  describe(x.frameGeometry(opened)).constData(), DisplayTimeoutMs);

        x.closeWindow(opened);
        QVERIFY(x.waitForNoWindow(window));
        if (opened != main)
            x.closeWindow(main);
        QVERIFY(x.waitForExit());
    }

    void scoreWindowBesideTheDrill_data()
    {
        QTest::addColumn<QPoint>("drillMovedTo"); // (-1,-1) leaves it centred
        QTest::newRow("no room beside the drill: centred") << QPoint(-1, -1);
        QTest::newRow("room at the drill's right") << QPoint(0, 40);
    }
    void scoreWindowBesideTheDrill()
    {
        QFETCH(QPoint, drillMovedTo);
        X11Session x(X11Session::Openbox);
        TEKKORA_START_X11(x);
        QVERIFY2(x.launch(QStringLiteral(TEKKORA_EXECUTABLE)), qPrintable(x.error()));
        const XWindow drill = x.waitForWindow(MainTitle);
        QVERIFY(drill != 0 && x.waitForFocus(drill));
        QTRY_VERIFY_WITH_TIMEOUT(centred(x.frameGeometry(drill), x.screen()), DisplayTimeoutMs);
        if (drillMovedTo != QPoint(-1, -1)) {
            x.moveWindow(drill, drillMovedTo);
            QTRY_VERIFY_WITH_TIMEOUT(x.frameGeometry(drill).x() < 100, DisplayTimeoutMs);
        }
        const QRect drillFrame = x.frameGeometry(drill);

        QProcess *score = x.launchBeside(QStringLiteral(TEKKORA_SCORE_EXECUTABLE));
        QVERIFY2(score != nullptr, qPrintable(x.error()));
        XWindow window = x.waitForWindow(ScoreTitle);
        QVERIFY(window != 0);
        const auto beside = [&] {
            const QRect frame = x.frameGeometry(window);
            return frame.left() == drillFrame.right() + 1 && x.screen().contains(frame);
        };
        if (drillMovedTo == QPoint(-1, -1))
            QTRY_VERIFY2_WITH_TIMEOUT(centred(x.frameGeometry(window), x.screen()),
                                      describe(x.frameGeometry(window)).constData(), DisplayTimeoutMs);
        else
            QTRY_VERIFY2_WITH_TIMEOUT(beside(), (describe(x.frameGeometry(window)) + " beside " + describe(drillFrame)).constData(),
                                      DisplayTimeoutMs);

        // Moved by the player and closed, it opens there again.
        x.moveWindow(window, QPoint(30, 20));
        QTRY_VERIFY_WITH_TIMEOUT(x.frameGeometry(window).x() < 100, DisplayTimeoutMs);
        const QRect left = x.frameGeometry(window);
        x.closeWindow(window);
        QVERIFY(x.waitForNoWindow(ScoreTitle) && score->waitForFinished(DisplayTimeoutMs));
        score = x.launchBeside(QStringLiteral(TEKKORA_SCORE_EXECUTABLE));
        QVERIFY(score != nullptr && (window = x.waitForWindow(ScoreTitle)) != 0);
        QTRY_COMPARE_WITH_TIMEOUT(describe(x.frameGeometry(window)), describe(left), DisplayTimeoutMs);

        x.closeWindow(window);
        QVERIFY(x.waitForNoWindow(ScoreTitle));
        x.closeWindow(drill);
        QVERIFY(x.waitForExit());
    }
};

QTEST_GUILESS_MAIN(TestPlacement)
#include "tst_placement.moc"
