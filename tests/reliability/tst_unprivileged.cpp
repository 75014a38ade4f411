// Files the player's account may not write or read: the score log and the
// settings file are refused with a message naming the file, the program goes
// on (or ends, at the settings save, as it would anyway), and nothing that
// was on disk changes. Tests run as root, which no permission bit stops, so
// the program runs as nobody in a child process.

#include "support/HelperProcess.h"

#include "platform/ShiftJis.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace tekkora;
using namespace tekkora::testing;

namespace {

constexpr QFile::Permissions Everyone = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup
                                        | QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther
                                        | QFile::WriteOther | QFile::ExeOther;
constexpr QFile::Permissions ReadOnlyDirectory = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup
                                                 | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther;

QFile::Permissions filePermissions(int mode)
{
    QFile::Permissions permissions;
    if (mode & 0400) permissions |= QFile::ReadOwner;
    if (mode & 0200) permissions |= QFile::WriteOwner;
    if (mode & 0040) permissions |= QFile::ReadGroup;
    if (mode & 0020) permissions |= QFile::WriteGroup;
    if (mode & 0004) permissions |= QFile::ReadOther;
    if (mode & 0002) permissions |= QFile::WriteOther;
    return permissions;
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    // Read as root (or as the owner after giving the bits back).
    QFile::Permissions before = file.permissions();
    file.setPermissions(before | QFile::ReadOwner);
    QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    file.setPermissions(before);
    return bytes;
}

// A data directory with one file in it, prepared for the unprivileged user.
struct Setup {
    QTemporaryDir root;
    QString dataDir;
    QString file;
    HelperProcess helper{root.path(), QStringLiteral(TEKKORA_FAULT_HELPER)};

    bool make(const QString &fileName, const QByteArray &before, int fileMode, bool directoryWritable)
    {
        if (!helper.prepare() || !QDir(root.path()).mkdir(QStringLiteral("data")))
            return false;
        dataDir = root.filePath(QStringLiteral("data"));
        file = QDir(dataDir).filePath(fileName);
        if (!before.isNull()) {
            QFile out(file);
            if (!out.open(QIODevice::WriteOnly) || out.write(before) != before.size())
                return false;
            out.close();
            if (!QFile::setPermissions(file, filePermissions(fileMode)))
                return false;
        }
        return QFile::setPermissions(dataDir, directoryWritable ? Everyone : ReadOnlyDirectory);
    }

    ~Setup()
    {
        // An ordinary user needs the bits back to clean up.
        QFile::setPermissions(dataDir, Everyone);
        QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner);
    }
};

} // namespace

class TestUnprivileged : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (!HelperProcess::canRunUnprivileged())
            QSKIP("running as root without setpriv: nothing would be refused");
    }

    void scoreLog_data()
    {
        QTest::addColumn<bool>("directoryWritable");
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("appended");

        const QByteArray old("earlier runs\r\n");
        QTest::newRow("read-only directory, no log yet") << false << QByteArray() << 0 << false;
        QTest::newRow("read-only directory, read-only log") << false << old << 0444 << false;
        QTest::newRow("read-only log in a writable directory") << true << old << 0444 << false;
        // Appending needs the file's write bit alone.
        QTest::newRow("read-only directory, writable log") << false << old << 0666 << true;
        QTest::newRow("write-only log") << true << old << 0222 << true;
    }

    void scoreLog()
    {
        QFETCH(bool, directoryWritable);
        QFETCH(QByteArray, before);
        QFETCH(int, mode);
        QFETCH(bool, appended);

        Setup setup;
        QVERIFY(setup.make(QStringLiteral("Score.txt"), before, mode, directoryWritable));
        const HelperOutput out = setup.helper.run({QStringLiteral("score"), setup.dataDir}, true);
        QVERIFY2(out.finished && out.exitCode == 0, qPrintable(out.errors));
        // The results window went on loading after the log.
        QVERIFY2(out.lines.contains(QStringLiteral("done")), qPrintable(out.lines.join('\n') + out.errors));

        const QStringList messages = out.withPrefix(QStringLiteral("message: "));
        const QByteArray after = contents(setup.file);
        if (appended) {
            QVERIFY2(messages.isEmpty(), qPrintable(messages.join('\n')));
            QVERIFY(after.startsWith(before));
            const QByteArray record = after.mid(before.size());
            QCOMPARE(record.count("\r\n"), 1);
            QVERIFY(record.endsWith("\r\n"));
            QVERIFY(record.contains(toShiftJis(QStringLiteral(" 1/10 回")).bytes));
        } else {
            QCOMPARE(messages.size(), 1);
            QVERIFY2(messages.first().contains(setup.file), qPrintable(messages.first()));
            QVERIFY2(messages.first().contains(QStringLiteral("Permission denied")), qPrintable(messages.first()));
            QCOMPARE(after, before);
            QCOMPARE(QFileInfo::exists(setup.file), !before.isNull());
        }
    }

    void settingsFile_data()
    {
        QTest::addColumn<bool>("directoryWritable");
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("loaded");
        QTest::addColumn<bool>("saved");

        const QByteArray digits50lower("[Data]\r\nMode=3 \r\nNum=50    \r\nCap=0 \r\n");
        // The control: nobody can save where nothing stands in the way.
        QTest::newRow("writable settings") << true << digits50lower << 0666 << "3 50 0" << true;
        // What cannot be read cannot be rewritten without losing it.
        QTest::newRow("unreadable settings") << true << digits50lower << 0 << "1 30 1" << false;
        QTest::newRow("write-only settings") << true << digits50lower << 0222 << "1 30 1" << false;
        QTest::newRow("read-only settings in a writable directory") << true << digits50lower << 0444 << "3 50 0"
                                                                  << false;
        QTest::newRow("read-only directory, no settings yet") << false << QByteArray() << 0 << "1 30 1" << false;
    }

    void settingsFile()
    {
        QFETCH(bool, directoryWritable);
        QFETCH(QByteArray, before);
        QFETCH(int, mode);
        QFETCH(QString, loaded);
        QFETCH(bool, saved);

        Setup setup;
        QVERIFY(setup.make(QStringLiteral("tekora.ini"), before, mode, directoryWritable));
        const HelperOutput out =
            setup.helper.run({QStringLiteral("save"), setup.dataDir, QStringLiteral("2"), QStringLiteral("10"),
                              QStringLiteral("1")},
                             true);
        QVERIFY2(out.finished && out.exitCode == 0, qPrintable(out.errors));
        QCOMPARE(out.withPrefix(QStringLiteral("loaded ")), QStringList{loaded});
        // Saving ends the program whether or not the file could be written.
        QCOMPARE(out.withPrefix(QStringLiteral("ended ")), QStringList{QStringLiteral("1")});

        const QStringList messages = out.withPrefix(QStringLiteral("message: "));
        if (saved) {
            QVERIFY2(messages.isEmpty(), qPrintable(messages.join('\n')));
            QCOMPARE(contents(setup.file), QByteArray("[Data]\r\nMode=2 \r\nNum=10    \r\nCap=1 \r\n"));
        } else {
            QCOMPARE(messages.size(), 1);
            QVERIFY2(messages.first().contains(setup.file), qPrintable(messages.first()));
            QCOMPARE(contents(setup.file), before);
            QCOMPARE(QFileInfo::exists(setup.file), !before.isNull());
            // Nothing left behind beside it either.
            QCOMPARE(QDir(setup.dataDir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).size(),
                     before.isNull() ? 0 : 1);
        }
    }
};

QTEST_MAIN(TestUnprivileged)
#include "tst_unprivileged.moc"
