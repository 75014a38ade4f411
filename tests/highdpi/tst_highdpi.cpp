// Every window on a screen of twice the pixel density against the same
// window at scale 1, each drawn by window_renderer in a process of its own:
// the same layout (each control's geometry exactly doubled in device
// pixels), every caption within its control at both scales, the same picture
// once the glyphs' own differences are allowed for, and the about box's
// picture drawn from the 64-pixel image. Twice the density comes two ways:
// the whole program scaled (QT_SCALE_FACTOR=2), and a second screen of 192
// dpi beside a primary one of 96, to which the windows are moved.

#include "support/HelperProcess.h"

#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

#include <map>

using namespace tekkora::testing;

namespace {

struct Control {
    QRect geometry;
    QSize text;  // the caption's extent at its font; invalid without one
    QSize room;  // the room its control leaves it
};

struct Window {
    QSize size;
    qreal devicePixelRatio = 0;
    QImage image;
    std::map<QString, Control> controls;
};

struct Rendering {
    bool ok = false;
    QString errors;
    qreal primaryDevicePixelRatio = 0;
    std::map<QString, Window> windows;
};

// How the renderer is run: its environment on top of the test's, and the
// screen it puts the windows on (none: where they place themselves).
struct Setup {
    std::map<QString, QString> environment;
    QString screen;
};

Rendering render(const QString &workDir, const Setup &setup)
{
    Rendering rendering;
    HelperProcess helper(workDir, QStringLiteral(TEKKORA_WINDOW_RENDERER));
    const QString out = workDir + QStringLiteral("/out");
    if (!helper.prepare() || !QDir().mkpath(out))
        return rendering;
    QProcessEnvironment env = helper.environment();
    for (const char *name : {"QT_SCALE_FACTOR", "QT_SCREEN_SCALE_FACTORS", "QT_FONT_DPI", "QT_ENABLE_HIGHDPI_SCALING",
                             "QT_SCALE_FACTOR_ROUNDING_POLICY", "QT_USE_PHYSICAL_DPI"})
        env.remove(QLatin1String(name));
    for (const auto &[name, value] : setup.environment)
        env.insert(name, value);
    QStringList arguments{out};
    if (!setup.screen.isEmpty())
        arguments << setup.screen;
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(helper.helperPath(), arguments);
    rendering.ok = process.waitForFinished(120000) && process.exitStatus() == QProcess::NormalExit
                   && process.exitCode() == 0;
    rendering.errors = QString::fromUtf8(process.readAllStandardError());
    const QStringList lines = QString::fromUtf8(process.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    for (const QString &line : lines) {
        const QStringList f = line.split(u' ');
        if (f.value(0) == QLatin1String("primary") && f.size() == 3) {
            rendering.primaryDevicePixelRatio = f[2].toDouble();
        } else if (f.value(0) == QLatin1String("window") && f.size() == 5) {
            Window &w = rendering.windows[f[1]];
            w.size = QSize(f[2].toInt(), f[3].toInt());
            w.devicePixelRatio = f[4].toDouble();
            w.image = QImage(out + u'/' + f[1] + QStringLiteral(".png")).convertToFormat(QImage::Format_RGB32);
        } else if (f.value(0) == QLatin1String("control") && f.size() == 11) {
            Control &c = rendering.windows[f[1]].controls[f[2]];
            c.geometry = QRect(f[3].toInt(), f[4].toInt(), f[5].toInt(), f[6].toInt());
            c.text = QSize(f[7].toInt(), f[8].toInt());
            c.room = QSize(f[9].toInt(), f[10].toInt());
        } else {
            rendering.ok = false;
            rendering.errors += QStringLiteral("\nunexpected output: ") + line;
        }
    }
    return rendering;
}

// The scale-2 image brought back to logical pixels, each the mean of the
// four device pixels it covers.
QImage halved(const QImage &image)
{
    QImage half(image.width() / 2, image.height() / 2, QImage::Format_RGB32);
    for (int y = 0; y < half.height(); ++y)
        for (int x = 0; x < half.width(); ++x) {
            int r = 0, g = 0, b = 0;
            for (const QPoint d : {QPoint(0, 0), QPoint(1, 0), QPoint(0, 1), QPoint(1, 1)}) {
                const QRgb p = image.pixel(2 * x + d.x(), 2 * y + d.y());
                r += qRed(p), g += qGreen(p), b += qBlue(p);
            }
            half.setPixel(x, y, qRgb((r + 2) / 4, (g + 2) / 4, (b + 2) / 4));
        }
    return half;
}

// The largest difference of one channel's mean over the area.
int meanDifference(const QImage &a, const QImage &b, const QRect &area)
{
    const QRect inside = area.intersected(a.rect());
    if (inside.isEmpty())
        return 0;
    qint64 sum[2][3] = {};
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x)
            for (int i = 0; i < 2; ++i) {
                const QRgb p = (i == 0 ? a : b).pixel(x, y);
                sum[i][0] += qRed(p), sum[i][1] += qGreen(p), sum[i][2] += qBlue(p);
            }
    const qint64 count = qint64(inside.width()) * inside.height();
    int worst = 0;
    for (int c = 0; c < 3; ++c)
        worst = std::max(worst, int(std::abs(sum[0][c] - sum[1][c]) / count));
    return worst;
}

const char *const WindowNames[] = {"main-idle", "main-running", "results-long", "about", "about-placed"};

// The offscreen platform's screens: a primary one of 96 dpi and, to its
// right, one of 192. (The platform takes the first name in alphabetical
// order for the primary screen.)
const QByteArray TwoScreens = R"({
  "screens": [
    {"name": "first", "x": 0, "y": 0, "width": 1024, "height": 768, "logicalDpi": 96, "logicalBaseDpi": 96},
    {"name": "second", "x": 1024, "y": 0, "width": 2048, "height": 1536, "logicalDpi": 192, "logicalBaseDpi": 96}
  ]
})";

const char *const DenseSetups[] = {"scale factor 2", "second screen of 192 dpi"};

} // namespace

class TestHighDpi : public QObject {
    Q_OBJECT

    QTemporaryDir work_;
    Rendering single_;
    std::map<QString, Rendering> dense_;

private slots:
    void initTestCase()
    {
        QVERIFY(work_.isValid());
        const QString screens = work_.filePath(QStringLiteral("screens.json"));
        QFile file(screens);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(TwoScreens) == TwoScreens.size());
        file.close();

        single_ = render(work_.filePath(QStringLiteral("single")), {{{"QT_SCALE_FACTOR", "1"}}, {}});
        QVERIFY2(single_.ok, qPrintable(single_.errors));
        const Setup setups[] = {
            {{{"QT_SCALE_FACTOR", "2"}}, {}},
            {{{"QT_QPA_PLATFORM", QStringLiteral("offscreen:configfile=") + screens}}, QStringLiteral("second")},
        };
        for (int i = 0; i < 2; ++i) {
            Rendering &dense = dense_[QString::fromLatin1(DenseSetups[i])];
            dense = render(work_.filePath(QStringLiteral("dense%1").arg(i)), setups[i]);
            QVERIFY2(dense.ok, qPrintable(dense.errors));
        }
        // The windows were built while only the primary screen was known.
        QCOMPARE(dense_.at(QString::fromLatin1(DenseSetups[1])).primaryDevicePixelRatio, 1.0);
    }

    void windows_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("window");
        for (const char *setup : DenseSetups)
            for (const char *name : WindowNames)
                QTest::addRow("%s, %s", setup, name) << QString::fromLatin1(setup) << QString::fromLatin1(name);
    }

    // Each control where it is at scale 1, in twice the device pixels.
    void layout_data() { windows_data(); }
    void layout()
    {
        QFETCH(QString, setup);
        QFETCH(QString, window);
        QVERIFY(single_.windows.count(window) && dense_.at(setup).windows.count(window));
        const Window &one = single_.windows.at(window);
        const Window &two = dense_.at(setup).windows.at(window);
        QCOMPARE(one.devicePixelRatio, 1.0);
        QCOMPARE(two.devicePixelRatio, 2.0);
        QCOMPARE(two.size, one.size);
        QCOMPARE(one.image.size(), one.size);
        QCOMPARE(two.image.size(), one.size * 2);
        QVERIFY(!one.controls.empty());
        QCOMPARE(two.controls.size(), one.controls.size());
        for (const auto &[name, control] : one.controls) {
            QVERIFY2(two.controls.count(name), qPrintable(name));
            QCOMPARE(two.controls.at(name).geometry, control.geometry);
        }
    }

    // No caption runs past its control, at either scale, and none takes more
    // room at scale 2 than at scale 1.
    void captions_data() { windows_data(); }
    void captions()
    {
        QFETCH(QString, setup);
        QFETCH(QString, window);
        const Window &one = single_.windows.at(window);
        const Window &two = dense_.at(setup).windows.at(window);
        for (const auto &[name, control] : one.controls) {
            if (control.text.width() < 0)
                continue;
            const Control &dense = two.controls.at(name);
            const QString what = QStringLiteral("%1: %2 px wide in %3 at scale 1, %4 in %5 at scale 2")
                                     .arg(name)
                                     .arg(control.text.width())
                                     .arg(control.room.width())
                                     .arg(dense.text.width())
                                     .arg(dense.room.width());
            QVERIFY2(control.text.width() <= control.room.width(), qPrintable(what));
            QVERIFY2(dense.text.width() <= dense.room.width(), qPrintable(what));
            QVERIFY2(dense.text.width() <= control.text.width() && dense.text.height() <= control.text.height(),
                     qPrintable(what));
        }
    }

    // The picture at scale 2, averaged back to logical pixels, against the
    // picture at scale 1: glyphs drawn at twice the size differ from the
    // small ones in their edges, which moves a control's mean colour by a
    // few levels at most; a control moved by a pixel or two, one missing,
    // or an image scaled moves the mean of the 4x4 blocks along its edges
    // by tens of levels.
    void pixels_data() { windows_data(); }
    void pixels()
    {
        QFETCH(QString, setup);
        QFETCH(QString, window);
        const Window &one = single_.windows.at(window);
        const QImage two = halved(dense_.at(setup).windows.at(window).image);
        QCOMPARE(two.size(), one.image.size());
        for (const auto &[name, control] : one.controls) {
            const int difference = meanDifference(one.image, two, control.geometry);
            QVERIFY2(difference <= ControlTolerance,
                     qPrintable(QStringLiteral("%1: mean colour %2 levels apart").arg(name).arg(difference)));
        }
        int worst = 0;
        QPoint worstAt;
        for (int y = 0; y < one.image.height(); y += Block)
            for (int x = 0; x < one.image.width(); x += Block) {
                const int difference = meanDifference(one.image, two, QRect(x, y, Block, Block));
                if (difference > worst)
                    worst = difference, worstAt = QPoint(x, y);
            }
        QVERIFY2(worst <= BlockTolerance, qPrintable(QStringLiteral("the %1-pixel block at %2,%3: %4 levels apart")
                                                         .arg(Block)
                                                         .arg(worstAt.x())
                                                         .arg(worstAt.y())
                                                         .arg(worst)));
    }

    // The about box shows the icon's own 64-pixel drawing at scale 2, not
    // the 32-pixel one enlarged: every opaque pixel of it, in its place.
    void aboutPictureIsDrawnAt64Pixels_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("window");
        for (const char *setup : DenseSetups)
            for (const char *window : {"about", "about-placed"})
                QTest::addRow("%s, %s", setup, window) << QString::fromLatin1(setup) << QString::fromLatin1(window);
    }
    void aboutPictureIsDrawnAt64Pixels()
    {
        QFETCH(QString, setup);
        QFETCH(QString, window);
        const Window &about = dense_.at(setup).windows.at(window);
        const QRect box = about.controls.at(QStringLiteral("picIcon")).geometry;
        const int border = (box.width() - 32) / 2;
        const QImage shown = about.image.copy(QRect((box.topLeft() + QPoint(border, border)) * 2, QSize(64, 64)));
        const QImage drawn = QImage(QStringLiteral(":/icons/tekkora-64.png")).convertToFormat(QImage::Format_ARGB32);
        QVERIFY(!drawn.isNull());
        int opaque = 0;
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x) {
                const QRgb d = drawn.pixel(x, y);
                if (qAlpha(d) != 255)
                    continue;
                ++opaque;
                if ((shown.pixel(x, y) & RGB_MASK) != (d & RGB_MASK))
                    QFAIL(qPrintable(QStringLiteral("pixel %1,%2 of the picture").arg(x).arg(y)));
            }
        QVERIFY(opaque > 64 * 64 / 4);
    }

private:
    // Measured here: controls 0-1 levels apart, 8-pixel blocks up to 13
    // (glyph edges). A control whose face is gone moves its mean by 64
    // levels, a black border or a glyph moved out of a block by 20 or more.
    static constexpr int ControlTolerance = 4;
    static constexpr int Block = 8;
    static constexpr int BlockTolerance = 24;
};

QTEST_GUILESS_MAIN(TestHighDpi)
#include "tst_highdpi.moc"
