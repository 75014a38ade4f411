// Each window first opens centred on the screen, its frame included: with a
// window manager and without one, wherever the main window stands when the
// about box or the results open over it.

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
};

QTEST_GUILESS_MAIN(TestPlacement)
#include "tst_placement.moc"
