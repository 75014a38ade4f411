#include "support/SystemFacts.h"
#include "support/TestFiles.h"
#include "platform/PrivateProfile.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <cstring>

#include <csignal>

#ifdef Q_OS_UNIX
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/types.h>
#endif

using namespace tekkora;
using namespace tekkora::testing;

namespace {

std::string lookup(const QByteArray &contents, const char *key, const char *section = "Data")
{
    return profile::lookupValue(contents.toStdString(), section, key, "<default>");
}

// What Windows' own reader, the one the drill's follows, gets from a file:
// a C string, up to a NUL, as the drill takes it from its buffer.
void checkWindowsReads(const QByteArray &contents, const char *key, int size, const QByteArray &expected)
{
#ifdef Q_OS_WIN
    QTemporaryDir dir;
    const QString path = QDir::toNativeSeparators(dir.filePath("tekora.ini"));
    QVERIFY(writeAll(path, contents));
    QByteArray buffer(size, '#');
    GetPrivateProfileStringA("Data", key, "<default>", buffer.data(), DWORD(size), path.toLocal8Bit().constData());
    if (runningUnderWine())
        QEXPECT_FAIL("line without equals is no key", "Wine takes a line without '=' for the key", Continue);
    QCOMPARE(QByteArray(buffer.constData()), QByteArray(expected.constData()));
#else
    (void)contents, (void)key, (void)size, (void)expected;
#endif
}

QByteArray withValue(const QByteArray &contents, const char *key, const QByteArray &value)
{
    return QByteArray::fromStdString(profile::withValue(contents.toStdString(), "Data", key, value.toStdString()));
}

QByteArray readWithBuffer(const QString &path, const char *key, std::size_t size)
{
    QByteArray buffer(int(size), ' ');
    profile::getPrivateProfileString("Data", key, "", buffer.data(), size, path);
    return QByteArray(buffer.constData(), int(qstrnlen(buffer.constData(), uint(size))));
}

} // namespace

class TestPrivateProfile : public QObject {
    Q_OBJECT

private slots:
    void lookup_data();
    void lookup();
    void bufferCopy_data();
    void bufferCopy();
    void store_data();
    void store();

    void newFileHoldsTheDefaultsExactly();
    void writeKeepsPermissionsAndTheRest();
    void writeThroughSymlinkKeepsTheLink();
    void writeFails_data();
    void writeFails();
    void writeRefusesAFileTooLargeToKeep();
    void failedWriteLeavesTheOldFile();
    void severalKeysInOneReplacement();
    void readOfNonFiles_data();
    void readOfNonFiles();
    void readAndWriteSeeAWholeLargeFile();
};

void TestPrivateProfile::lookup_data()
{
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<QByteArray>("expected");

    const QByteArray defaults("[Data]\r\nMode=1 \r\nNum=30    \r\nCap=1 \r\n");
    QTest::newRow("written defaults, blanks dropped") << defaults << QByteArray("Num") << QByteArray("30");
    QTest::newRow("empty file") << QByteArray() << QByteArray("Mode") << QByteArray("<default>");
    QTest::newRow("missing section") << QByteArray("[Other]\nMode=2\n") << QByteArray("Mode") << QByteArray("<default>");
    QTest::newRow("missing key") << QByteArray("[Data]\nNum=10\n") << QByteArray("Mode") << QByteArray("<default>");
    QTest::newRow("key before any section") << QByteArray("Mode=2\n[Data]\n") << QByteArray("Mode") << QByteArray("<default>");
    QTest::newRow("section name any case") << QByteArray("[dATA]\nMode=2\n") << QByteArray("Mode") << QByteArray("2");
    QTest::newRow("key name any case") << QByteArray("[Data]\nMODE=2\n") << QByteArray("Mode") << QByteArray("2");
    QTest::newRow("blanks around header name") << QByteArray("  [ Data\t]  \nMode=2\n") << QByteArray("Mode") << QByteArray("2");
    QTest::newRow("blanks around key name") << QByteArray("[Data]\n  Mode = 2\n") << QByteArray("Mode") << QByteArray("2");
    QTest::newRow("tabs around value") << QByteArray("[Data]\nMode=\t2\t\n") << QByteArray("Mode") << QByteArray("2");
    QTest::newRow("blanks inside value kept") << QByteArray("[Data]\nNum= 1 2 \n") << QByteArray("Num") << QByteArray("1 2");
    QTest::newRow("double quotes dropped") << QByteArray("[Data]\nMode=\" 3 \"\n") << QByteArray("Mode") << QByteArray(" 3 ");
    QTest::newRow("single quotes dropped") << QByteArray("[Data]\nMode='3'\n") << QByteArray("Mode") << QByteArray("3");
    QTest::newRow("mismatched quotes kept") << QByteArray("[Data]\nMode=\"3'\n") << QByteArray("Mode") << QByteArray("\"3'");
    QTest::newRow("lone quote kept") << QByteArray("[Data]\nMode=\"\n") << QByteArray("Mode") << QByteArray("\"");
    QTest::newRow("empty quotes") << QByteArray("[Data]\nMode=\"\"\n") << QByteArray("Mode") << QByteArray("");
    QTest::newRow("semicolon is text") << QByteArray("[Data]\nNum=30 ;x\n") << QByteArray("Num") << QByteArray("30 ;x");
    QTest::newRow("commented key still a key") << QByteArray("[Data]\n;Mode=2\nMode=3\n") << QByteArray(";Mode") << QByteArray("2");
    QTest::newRow("hash is text") << QByteArray("[Data]\nNum=#5\n") << QByteArray("Num") << QByteArray("#5");
    QTest::newRow("value after first equals") << QByteArray("[Data]\nNum=1=2\n") << QByteArray("Num") << QByteArray("1=2");
    QTest::newRow("empty value") << QByteArray("[Data]\nNum=\n") << QByteArray("Num") << QByteArray("");
    QTest::newRow("line without equals is no key") << QByteArray("[Data]\nMode\nMode=2\n") << QByteArray("Mode") << QByteArray("2");
    QTest::newRow("first key of a name") << QByteArray("[Data]\nMode=2\nmode=3\n") << QByteArray("Mode") << QByteArray("2");
    QTest::newRow("first section of a name") << QByteArray("[Data]\nNum=10\n[DATA]\nMode=3\n") << QByteArray("Mode") << QByteArray("<default>");
    QTest::newRow("section ends at next header") << QByteArray("[Data]\n[Other]\nMode=3\n") << QByteArray("Mode") << QByteArray("<default>");
    QTest::newRow("CR LF lines") << QByteArray("[Data]\r\nMode=2\r\n") << QByteArray("Mode") << QByteArray("2");
    QTest::newRow("CR lines") << QByteArray("[Data]\rMode=2\rNum=5") << QByteArray("Num") << QByteArray("5");
    QTest::newRow("LF CR is two line ends") << QByteArray("[Data]\n\rMode=2\n\r") << QByteArray("Mode") << QByteArray("2");
    QTest::newRow("no final line end") << QByteArray("[Data]\nCap=0") << QByteArray("Cap") << QByteArray("0");
    QTest::newRow("header without bracket is no header") << QByteArray("[Data]\n[Other\nMode=2\n") << QByteArray("Mode") << QByteArray("2");
    QTest::newRow("header runs to last bracket") << QByteArray("[Da]ta]\nMode=2\n") << QByteArray("Mode") << QByteArray("<default>");
    QTest::newRow("text after header") << QByteArray("[Data] old\nMode=2\n") << QByteArray("Mode") << QByteArray("2");
    QTest::newRow("NUL inside value kept") << QByteArray("[Data]\nNum=1\0002\n", 15) << QByteArray("Num")
                                           << QByteArray("1\0002", 3);
    QTest::newRow("high bytes") << QByteArray("[Data]\nNum=\x83\x65\n") << QByteArray("Num") << QByteArray("\x83\x65");
}

void TestPrivateProfile::lookup()
{
    QFETCH(QByteArray, contents);
    QFETCH(QByteArray, key);
    QFETCH(QByteArray, expected);
    QCOMPARE(QByteArray::fromStdString(::lookup(contents, key.constData())), expected);
    checkWindowsReads(contents, key.constData(), 64, expected);
}

void TestPrivateProfile::bufferCopy_data()
{
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<int>("size");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("fits") << QByteArray("30") << 6 << QByteArray("30");
    QTest::newRow("exactly size - 1") << QByteArray("12345") << 6 << QByteArray("12345");
    QTest::newRow("cut at size - 1") << QByteArray("123456") << 6 << QByteArray("12345");
    QTest::newRow("one character of two") << QByteArray("23") << 2 << QByteArray("2");
    QTest::newRow("size 1 holds only the NUL") << QByteArray("23") << 1 << QByteArray("");
    QTest::newRow("empty value") << QByteArray("") << 2 << QByteArray("");
}

void TestPrivateProfile::bufferCopy()
{
    QFETCH(QByteArray, value);
    QFETCH(int, size);
    QFETCH(QByteArray, expected);

    const std::string contents = "[Data]\r\nNum=" + value.toStdString() + "\r\n";
    // Guard bytes after the buffer must stay untouched.
    QByteArray memory(size + 4, '#');
    const std::size_t copied = profile::readValue(contents, "Data", "Num", "", memory.data(), std::size_t(size));
    QCOMPARE(copied, std::size_t(expected.size()));
    QCOMPARE(QByteArray(memory.constData(), int(copied)), expected);
    QCOMPARE(memory.at(int(copied)), '\0');
    QCOMPARE(memory.mid(size), QByteArray(4, '#'));
    checkWindowsReads(QByteArray::fromStdString(contents), "Num", size, expected);

    // Size 0: nothing may be written at all.
    char untouched = '#';
    QCOMPARE(profile::readValue(contents, "Data", "Num", "", &untouched, 0), std::size_t(0));
    QCOMPARE(untouched, '#');
}

void TestPrivateProfile::store_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<QByteArray>("after");

    QTest::newRow("new file") << QByteArray() << QByteArray("Mode") << QByteArray("1 ")
                              << QByteArray("[Data]\r\nMode=1 \r\n");
    QTest::newRow("replace keeps CR LF") << QByteArray("[Data]\r\nMode=1 \r\nNum=30\r\n") << QByteArray("Mode")
                                         << QByteArray("3 ") << QByteArray("[Data]\r\nMode=3 \r\nNum=30\r\n");
    QTest::newRow("replace keeps LF") << QByteArray("[Data]\nMode=1\nNum=30\n") << QByteArray("Num")
                                      << QByteArray("50    ") << QByteArray("[Data]\nMode=1\nNum=50    \n");
    QTest::newRow("replace keeps lone CR") << QByteArray("[Data]\rMode=1\r") << QByteArray("Mode") << QByteArray("2")
                                           << QByteArray("[Data]\rMode=2\r");
    QTest::newRow("replace keeps key spelling") << QByteArray("[data]\n  mode = 1 ;old\n") << QByteArray("Mode")
                                                << QByteArray("2 ") << QByteArray("[data]\n  mode =2 \n");
    QTest::newRow("replace last line without end") << QByteArray("[Data]\nCap=1") << QByteArray("Cap")
                                                   << QByteArray("0 ") << QByteArray("[Data]\nCap=0 ");
    QTest::newRow("replace only the first key") << QByteArray("[Data]\nMode=1\nMode=2\n") << QByteArray("Mode")
                                                << QByteArray("3") << QByteArray("[Data]\nMode=3\nMode=2\n");
    QTest::newRow("only the first section") << QByteArray("[Data]\nNum=1\n[Data]\nMode=2\n") << QByteArray("Mode")
                                            << QByteArray("3") << QByteArray("[Data]\nNum=1\nMode=3\r\n[Data]\nMode=2\n");
    QTest::newRow("append after last filled line") << QByteArray("[Data]\r\nMode=1\r\n\r\n\r\n[Other]\r\nX=1\r\n")
                                                   << QByteArray("Cap") << QByteArray("1 ")
                                                   << QByteArray("[Data]\r\nMode=1\r\nCap=1 \r\n\r\n\r\n[Other]\r\nX=1\r\n");
    QTest::newRow("append after a comment line") << QByteArray("[Data]\n; keep\n") << QByteArray("Num")
                                                 << QByteArray("30") << QByteArray("[Data]\n; keep\nNum=30\r\n");
    QTest::newRow("append to empty section") << QByteArray("[Data]\n[Other]\n") << QByteArray("Num")
                                             << QByteArray("30") << QByteArray("[Data]\nNum=30\r\n[Other]\n");
    QTest::newRow("append after line without end") << QByteArray("[Data]\nMode=1") << QByteArray("Num")
                                                   << QByteArray("30") << QByteArray("[Data]\nMode=1\r\nNum=30\r\n");
    QTest::newRow("append after header without end") << QByteArray("[Data]") << QByteArray("Num")
                                                     << QByteArray("30") << QByteArray("[Data]\r\nNum=30\r\n");
    QTest::newRow("section appended to other text") << QByteArray("; tekora\n[Other]\nMode=9") << QByteArray("Mode")
                                                    << QByteArray("1 ")
                                                    << QByteArray("; tekora\n[Other]\nMode=9\r\n[Data]\r\nMode=1 \r\n");
    QTest::newRow("section appended after final LF") << QByteArray("[Other]\n") << QByteArray("Mode")
                                                     << QByteArray("1") << QByteArray("[Other]\n[Data]\r\nMode=1\r\n");
    QTest::newRow("line end in value cut") << QByteArray("[Data]\nMode=1\n") << QByteArray("Mode")
                                           << QByteArray("2\r\n[Evil]") << QByteArray("[Data]\nMode=2\n");
}

void TestPrivateProfile::store()
{
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, key);
    QFETCH(QByteArray, value);
    QFETCH(QByteArray, after);
    QCOMPARE(withValue(before, key.constData(), value), after);
}

void TestPrivateProfile::newFileHoldsTheDefaultsExactly()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath("tekora.ini");
    for (const auto &[key, value] : {std::pair{"Mode", "1 "}, std::pair{"Num", "30    "}, std::pair{"Cap", "1 "}})
        QVERIFY(profile::writePrivateProfileString("Data", key, value, path).ok());
    QCOMPARE(readAll(path), QByteArray("[Data]\r\nMode=1 \r\nNum=30    \r\nCap=1 \r\n"));
    QCOMPARE(readWithBuffer(path, "Num", 6), QByteArray("30"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{"tekora.ini"});
}

void TestPrivateProfile::writeKeepsPermissionsAndTheRest()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("tekora.ini");
    QVERIFY(writeAll(path, "; mine\n[Data]\nMode=1\nExtra=x\r\n[Other]\nNum=5"));
    QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));

    QVERIFY(profile::writePrivateProfileString("Data", "Num", "10    ", path).ok());
    QCOMPARE(readAll(path), QByteArray("; mine\n[Data]\nMode=1\nExtra=x\r\nNum=10    \r\n[Other]\nNum=5"));
#ifdef Q_OS_UNIX
    struct stat info {};
    QCOMPARE(::stat(QFile::encodeName(path).constData(), &info), 0);
    QCOMPARE(info.st_mode & 07777, mode_t(0640));
#endif
}

void TestPrivateProfile::writeThroughSymlinkKeepsTheLink()
{
#ifdef Q_OS_WIN
    QSKIP("QFile::link makes a shortcut here, which nothing opens through");
#endif
    QTemporaryDir dir;
    const QString target = dir.filePath("real.ini");
    const QString link = dir.filePath("tekora.ini");
    QVERIFY(writeAll(target, "[Data]\nMode=1\n"));
    QVERIFY(QFile::link(target, link));

    QVERIFY(profile::writePrivateProfileString("Data", "Mode", "2 ", link).ok());
    QVERIFY(QFileInfo(link).isSymLink());
    QCOMPARE(readAll(target), QByteArray("[Data]\nMode=2 \n"));
}

void TestPrivateProfile::writeFails_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("reason");

    QTest::newRow("parent is a file") << "parentFile" << systemReason(ENOTDIR, windows_error::PathNotFound);
    QTest::newRow("name held by a directory") << "directory" << "Is a directory";
    QTest::newRow("name held by a pipe") << "fifo" << "Not a regular file";
}

void TestPrivateProfile::writeFails()
{
    QFETCH(QString, setup);
    QFETCH(QString, reason);

    QTemporaryDir dir;
    QString path = dir.filePath("tekora.ini");
    if (setup == "parentFile") {
        QVERIFY(writeAll(dir.filePath("plain"), "keep"));
        path = dir.filePath("plain/tekora.ini");
    } else if (setup == "directory") {
        QVERIFY(QDir(dir.path()).mkdir("tekora.ini"));
        QVERIFY(writeAll(dir.filePath("tekora.ini/inside"), "keep"));
    } else {
#if defined(Q_OS_UNIX) && !defined(Q_OS_WASM)
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0644), 0);
#else
        QSKIP("no FIFOs on this system");
#endif
    }

    const FileResult result = profile::writePrivateProfileString("Data", "Mode", "1 ", path);
    QVERIFY(!result.ok());
    QCOMPARE(result.error, reason);
    // Nothing left behind, nothing replaced.
    if (setup == "parentFile")
        QCOMPARE(readAll(dir.filePath("plain")), QByteArray("keep"));
    else if (setup == "directory")
        QCOMPARE(readAll(dir.filePath("tekora.ini/inside")), QByteArray("keep"));
    else
        QVERIFY(QFileInfo(path).exists() && !QFileInfo(path).isFile());
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot).size(), 1);
}

void TestPrivateProfile::writeRefusesAFileTooLargeToKeep()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("tekora.ini");
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.write("[Data]\nMode=3\n") > 0);
        QVERIFY(file.resize(profile::MaxFileSize + 1)); // sparse: cheap to make
        // Past the limit: neither a read nor a write sees it.
        QVERIFY(file.seek(profile::MaxFileSize + 1) && file.write("\nNum=50\n") == 8);
    }
    const qint64 size = QFileInfo(path).size();
    const FileResult result = profile::writePrivateProfileString("Data", "Mode", "1 ", path);
    QVERIFY(!result.ok());
    QCOMPARE(result.error, QStringLiteral("File too large"));
    QCOMPARE(QFileInfo(path).size(), size);
    QCOMPARE(readWithBuffer(path, "Mode", 2), QByteArray("3"));
    QCOMPARE(readWithBuffer(path, "Num", 6), QByteArray(""));
}

void TestPrivateProfile::failedWriteLeavesTheOldFile()
{
    // A file-size limit makes the write fail half way, as a full disk would.
    QTemporaryDir dir;
    const QString path = dir.filePath("tekora.ini");
    const QByteArray before = "[Data]\r\nMode=3\r\n" + QByteArray(300, ';') + "\r\n";
    QVERIFY(writeAll(path, before));

#if !defined(Q_OS_UNIX) || defined(Q_OS_WASM)
    QSKIP("no limit on file sizes on this system");
#else
    struct rlimit old {};
    QCOMPARE(::getrlimit(RLIMIT_FSIZE, &old), 0);
    struct rlimit small = old;
    small.rlim_cur = 100;
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    QCOMPARE(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const FileResult result = profile::writePrivateProfileString("Data", "Num", "30    ", path);
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    QVERIFY(!result.ok());
    QCOMPARE(result.error, QStringLiteral("File too large"));
    QCOMPARE(readAll(path), before);
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{"tekora.ini"});
#endif
}

void TestPrivateProfile::severalKeysInOneReplacement()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("tekora.ini");
    QVERIFY(writeAll(path, "[Data]\nCap=0\n"));
    QVERIFY(profile::writePrivateProfileStrings("Data", {{"Mode", "2 "}, {"Num", "50    "}, {"Cap", "1 "}}, path).ok());
    QCOMPARE(readAll(path), QByteArray("[Data]\nCap=1 \nMode=2 \r\nNum=50    \r\n"));

    // All or nothing: refused as a whole, not key by key.
    QVERIFY(QFile::remove(path));
    QVERIFY(QDir(dir.path()).mkdir("tekora.ini"));
    QVERIFY(!profile::writePrivateProfileStrings("Data", {{"Mode", "2 "}, {"Num", "50    "}}, path).ok());
}

void TestPrivateProfile::readOfNonFiles_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("missing") << "missing";
    QTest::newRow("directory") << "directory";
    QTest::newRow("pipe without writer") << "fifo";
    QTest::newRow("missing parent") << "missingParent";
}

void TestPrivateProfile::readOfNonFiles()
{
    QFETCH(QString, kind);
    QTemporaryDir dir;
    QString path = dir.filePath("tekora.ini");
    if (kind == "directory")
        QVERIFY(QDir(dir.path()).mkdir("tekora.ini"));
    else if (kind == "fifo")
#ifdef Q_OS_UNIX
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0644), 0);
#else
        QSKIP("no FIFOs on this system");
#endif
    else if (kind == "missingParent")
        path = dir.filePath("gone/tekora.ini");

    char buffer[6];
    std::memset(buffer, ' ', sizeof buffer);
    // A pipe would block an open for reading until some writer came along.
    QCOMPARE(profile::getPrivateProfileString("Data", "Num", "dflt", buffer, sizeof buffer, path), std::size_t(4));
    QCOMPARE(QByteArray(buffer), QByteArray("dflt"));
}

void TestPrivateProfile::readAndWriteSeeAWholeLargeFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("tekora.ini");
    const QByteArray filler = QByteArray(64, 'x') + "\r\n";
    QByteArray contents = "[Data]\r\nMode=2\r\n";
    while (contents.size() < 10 * 1024 * 1024)
        contents += filler;
    contents += "Num=50\r\n"; // 10 MB down: within what both a read and a write see
    QVERIFY(writeAll(path, contents));

    QElapsedTimer timer;
    timer.start();
    QCOMPARE(readWithBuffer(path, "Mode", 2), QByteArray("2"));
    QCOMPARE(readWithBuffer(path, "Num", 6), QByteArray("50"));
    qInfo("two reads of a 10 MB file: %lld ms", timer.elapsed());

    // A write still sees the whole file and keeps every byte of it.
    QVERIFY(profile::writePrivateProfileString("Data", "Mode", "3 ", path).ok());
    QByteArray expected = contents;
    expected.replace(0, 16, "[Data]\r\nMode=3 \r\n");
    QCOMPARE(readAll(path), expected);
}

QTEST_GUILESS_MAIN(TestPrivateProfile)
#include "tst_privateprofile.moc"
