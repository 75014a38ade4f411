// Files the player's account may not write or read: the score log and the
// settings file are refused with a message naming the file, the program goes
// on (or ends, at the settings save, as it would anyway), and nothing that
// was on disk changes. Tests run as root, which no permission bit stops, so
// the program runs as nobody in a child process.

#include "support/HelperProcess.h"
#include "support/TestFiles.h"

#include "platform/DataDirectory.h"
#include "platform/ShiftJis.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <sys/inotify.h>
#include <unistd.h>

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

        // The per-key log beside it can be created only in a writable
        // directory; one box tells of every log that failed.
        const QStringList messages = out.withPrefix(QStringLiteral("message: "));
        const QString keysLog = QDir(setup.dataDir).filePath(QStringLiteral("Keys.jsonl"));
        QCOMPARE(messages.size(), appended && directoryWritable ? 0 : 1);
        QCOMPARE(messages.value(0).contains(keysLog), !directoryWritable);
        const QByteArray after = contents(setup.file);
        if (appended) {
            QVERIFY(!messages.value(0).contains(setup.file));
            QVERIFY(after.startsWith(before));
            const QByteArray record = after.mid(before.size());
            QCOMPARE(record.count("\r\n"), 1);
            QVERIFY(record.endsWith("\r\n"));
            QVERIFY(record.contains(toShiftJis(QStringLiteral(" 1/10 回")).bytes));
        } else {
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

    // Deciding where the files go writes nothing into the program's folder,
    // not even for a moment: the folder may be shared or watched.
    void choosingTheDirectoryWritesNothing()
    {
        QTemporaryDir programDir;
        QTemporaryDir perUser;
        const int watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        QVERIFY(watch >= 0);
        QVERIFY(::inotify_add_watch(watch, QFile::encodeName(programDir.path()).constData(),
                                    IN_CREATE | IN_DELETE | IN_MODIFY | IN_OPEN) >= 0);
        QCOMPARE(chooseDataDirectory(programDir.path(), perUser.path()), programDir.path());
        char events[4096];
        const auto read = ::read(watch, events, sizeof events);
        ::close(watch);
        QCOMPARE(read, -1); // nothing opened or made in the folder
    }

    // Where the program keeps its files, as it starts: beside itself when it
    // may write there, else in the per-user data directory, starting from an
    // administrator's settings beside it until the player has their own.
    void dataDirectory_data()
    {
        QTest::addColumn<bool>("programDirWritable");
        QTest::addColumn<QByteArray>("adminSettings"); // tekora.ini beside the program
        QTest::addColumn<QString>("perUser");          // "exists", "missing", "uncreatable", "has settings"
        QTest::addColumn<QString>("loaded");
        QTest::addColumn<QString>("filesIn");          // "program", "per-user", "nowhere"

        const QByteArray admin("[Data]\r\nMode=2 \r\nNum=50    \r\nCap=0 \r\n");
        QTest::newRow("writable program directory") << true << QByteArray() << "missing" << "1 30 1" << "program";
        QTest::newRow("writable program directory with settings")
            << true << admin << "missing" << "2 50 0" << "program";
        QTest::newRow("unwritable program directory") << false << QByteArray() << "exists" << "1 30 1" << "per-user";
        QTest::newRow("per-user directory missing") << false << QByteArray() << "missing" << "1 30 1" << "per-user";
        QTest::newRow("per-user directory cannot be created")
            << false << QByteArray() << "uncreatable" << "1 30 1" << "nowhere";
        QTest::newRow("administrator's settings, first start") << false << admin << "missing" << "2 50 0"
                                                               << "per-user";
        QTest::newRow("the player's own settings win") << false << admin << "has settings" << "3 10 1"
                                                       << "per-user";
    }

    void dataDirectory()
    {
        QFETCH(bool, programDirWritable);
        QFETCH(QByteArray, adminSettings);
        QFETCH(QString, perUser);
        QFETCH(QString, loaded);
        QFETCH(QString, filesIn);

        QTemporaryDir root;
        HelperProcess helper(root.path(), QStringLiteral(TEKKORA_FAULT_HELPER));
        QVERIFY(helper.prepare());
        const QString programDir = QFileInfo(helper.helperPath()).absolutePath();
        const QString home = root.filePath(QStringLiteral("home"));
        const QString perUserDir = home + QStringLiteral("/.local/share/Tekkora");
        const QByteArray own("[Data]\r\nMode=3 \r\nNum=10    \r\nCap=1 \r\n");
        // Files the test makes are everyone's, as if the player had made them.
        if (!adminSettings.isNull()) {
            QVERIFY(writeAll(programDir + QStringLiteral("/tekora.ini"), adminSettings));
            QVERIFY(QFile::setPermissions(programDir + QStringLiteral("/tekora.ini"), filePermissions(0666)));
        }
        if (perUser == QLatin1String("exists") || perUser == QLatin1String("has settings")) {
            QVERIFY(QDir().mkpath(perUserDir));
            QVERIFY(QFile::setPermissions(perUserDir, Everyone));
            if (perUser == QLatin1String("has settings")) {
                QVERIFY(writeAll(perUserDir + QStringLiteral("/tekora.ini"), own));
                QVERIFY(QFile::setPermissions(perUserDir + QStringLiteral("/tekora.ini"), filePermissions(0666)));
            }
        }
        QVERIFY(QFile::setPermissions(programDir, programDirWritable ? Everyone : ReadOnlyDirectory));
        if (perUser == QLatin1String("uncreatable"))
            QVERIFY(QFile::setPermissions(home, ReadOnlyDirectory));
        const QStringList programFilesBefore = QDir(programDir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        const QDateTime programDirChanged = QFileInfo(programDir).lastModified();

        const HelperOutput out = helper.run({QStringLiteral("play")}, true);
        QFile::setPermissions(programDir, Everyone);
        QFile::setPermissions(home, Everyone);
        QVERIFY2(out.finished && out.exitCode == 0, qPrintable(out.errors));
        QCOMPARE(out.withPrefix(QStringLiteral("loaded ")), QStringList{loaded});
        QCOMPARE(out.withPrefix(QStringLiteral("ended ")), QStringList{QStringLiteral("1")});

        const QString dataDir = filesIn == QLatin1String("program") ? programDir : perUserDir;
        QCOMPARE(out.withPrefix(QStringLiteral("data ")), QStringList{dataDir});
        const QStringList messages = out.withPrefix(QStringLiteral("message: "));
        if (filesIn == QLatin1String("nowhere")) {
            // Both files are refused, each named to the player.
            QCOMPARE(messages.size(), 2);
            QVERIFY2(messages[0].contains(perUserDir + QStringLiteral("/Score.txt")), qPrintable(messages[0]));
            QVERIFY2(messages[1].contains(perUserDir + QStringLiteral("/tekora.ini")), qPrintable(messages[1]));
            QVERIFY(!QFileInfo::exists(perUserDir));
        } else {
            QVERIFY2(messages.isEmpty(), qPrintable(messages.join(QLatin1Char('\n'))));
            QCOMPARE(contents(dataDir + QStringLiteral("/tekora.ini")).left(8), QByteArray("[Data]\r\n"));
            QCOMPARE(contents(dataDir + QStringLiteral("/Score.txt")).count("\r\n"), 4);
        }
        if (filesIn != QLatin1String("program")) {
            // The program's folder is only read: nothing made in it, even for
            // a moment, and an administrator's settings stay as they were.
            QCOMPARE(QDir(programDir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                     programFilesBefore);
            QCOMPARE(QFileInfo(programDir).lastModified(), programDirChanged);
            if (!adminSettings.isNull())
                QCOMPARE(contents(programDir + QStringLiteral("/tekora.ini")), adminSettings);
        } else {
            QVERIFY(!QFileInfo::exists(perUserDir));
        }
    }
};

QTEST_MAIN(TestUnprivileged)
#include "tst_unprivileged.moc"
