// The version record of both programs as Windows reads it, through
// GetFileVersionInfoW, as Explorer's Properties show it.

#include <QDir>
#include <QFileInfo>
#include <QTest>

#include <string>

#include <windows.h>

class TestVersionInfo : public QObject {
    Q_OBJECT
private slots:
    void versionRecord_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("description");
        QTest::newRow("the drill") << QStringLiteral(TEKKORA_DRILL_EXE) << QStringLiteral("タイピングの速度を測定するソフト");
        QTest::newRow("the score window") << QStringLiteral(TEKKORA_SCORE_EXE)
                                          << QStringLiteral("Tekkora! のスコアファイルから上達の様子を表示します");
    }
    void versionRecord()
    {
        QFETCH(QString, program);
        QFETCH(QString, description);
        // Also a path named from the Linux side of Wine: "/work/..." lies on
        // the drive Wine maps the Linux root to.
        const std::wstring path = QDir::toNativeSeparators(QFileInfo(program).absoluteFilePath()).toStdWString();
        DWORD ignored = 0;
        QByteArray record(int(GetFileVersionInfoSizeW(path.c_str(), &ignored)), '\0');
        QVERIFY(!record.isEmpty() && GetFileVersionInfoW(path.c_str(), 0, DWORD(record.size()), record.data()));

        void *found = nullptr;
        UINT length = 0;
        QVERIFY(VerQueryValueW(record.constData(), L"\\", &found, &length) && length >= sizeof(VS_FIXEDFILEINFO));
        const auto *fixed = static_cast<const VS_FIXEDFILEINFO *>(found);
        const QString version = QStringLiteral("%1.%2").arg(HIWORD(fixed->dwFileVersionMS)).arg(LOWORD(fixed->dwFileVersionMS));
        QCOMPARE(version, QStringLiteral(TEKKORA_VERSION));
        QCOMPARE(fixed->dwProductVersionMS, fixed->dwFileVersionMS);

        const auto text = [&](const wchar_t *name) {
            const std::wstring key = std::wstring(L"\\StringFileInfo\\041104B0\\") + name;
            return VerQueryValueW(record.constData(), key.c_str(), &found, &length) && length > 0
                       ? QString::fromWCharArray(static_cast<const wchar_t *>(found), int(length) - 1)
                       : QStringLiteral("<none>");
        };
        QCOMPARE(text(L"FileVersion"), QStringLiteral(TEKKORA_VERSION));
        QCOMPARE(text(L"ProductName"), QStringLiteral("Tekkora!"));
        QCOMPARE(text(L"FileDescription"), description);
        QCOMPARE(text(L"OriginalFilename"), QFileInfo(program).fileName());
    }
};

QTEST_GUILESS_MAIN(TestVersionInfo)
#include "tst_versioninfo.moc"
