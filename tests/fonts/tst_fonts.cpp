// The fonts as the program starts them: fontconfig loaded beside the
// application's construction, and the Japanese face settled once.

#include "FontConfigWarmUp.h"
#include "Fonts.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QTest>

#include <dlfcn.h>

using namespace tekkora;

namespace {

// fontconfig's current configuration, or null where there is none.
void *currentFontConfig()
{
    using Getter = void *(*)();
    const auto get = reinterpret_cast<Getter>(dlsym(RTLD_DEFAULT, "FcConfigGetCurrent"));
    return get ? get() : nullptr;
}

void *configAfterWarmUp = nullptr;
bool warmUpStarted = false;

} // namespace

class TestFonts : public QObject {
    Q_OBJECT
private slots:
    void qtUsesTheConfigurationLoadedEarly()
    {
        QVERIFY(warmUpStarted);
        QVERIFY(configAfterWarmUp != nullptr);
        QVERIFY(!QFontDatabase::families().isEmpty());
        // Qt found the configuration ready rather than loading one of its own.
        QCOMPARE(currentFontConfig(), configAfterWarmUp);
    }

    void japaneseFaceIsSettledOnAnInstalledFace()
    {
        installFontSubstitutions();
        const QString face = japaneseFaceFamily();
        QVERIFY2(QFontDatabase::families().contains(face, Qt::CaseInsensitive), qPrintable(face));
        // Not installed here, so its first installed substitute stands in.
        QVERIFY(!QFontDatabase::families().contains(JapaneseGothicFace));
        QCOMPARE(face, QStringLiteral("IPAPGothic"));
    }

    void fontsNameTheSettledFace_data()
    {
        QTest::addColumn<qreal>("points");
        QTest::newRow("window text, 9 points") << 9.0;
        QTest::newRow("prompt, 12 points") << 12.0;
        QTest::newRow("figures, 14.25 points") << 14.25;
        QTest::newRow("the character, 36 points") << 36.0;
    }

    void fontsNameTheSettledFace()
    {
        QFETCH(qreal, points);
        installFontSubstitutions();
        const QFont font = japaneseFont(points);
        QCOMPARE(font.family(), japaneseFaceFamily());
        QCOMPARE(font.pointSizeF(), points);
        QCOMPARE(QFontInfo(font).family(), japaneseFaceFamily());
        QVERIFY(!QFontInfo(font).italic());
    }

    void waitingTwiceAndDestroyingAreSafe()
    {
        FontConfigWarmUp again;
        again.wait();
        again.wait();
        { FontConfigWarmUp unwaited; } // joins on destruction
        QCOMPARE(currentFontConfig(), configAfterWarmUp);
    }
};

int main(int argc, char *argv[])
{
    // As the program does: fontconfig loads while the application connects.
    FontConfigWarmUp warmUp;
    QApplication app(argc, argv);
    warmUp.wait();
    warmUpStarted = warmUp.started();
    configAfterWarmUp = currentFontConfig();
    TestFonts test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_fonts.moc"
