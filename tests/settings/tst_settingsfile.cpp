// The options' round trip through tekora.ini: what the load makes of every
// kind of file, what the save writes, and how both behave when the file or
// its directory is not what it should be.

#include "support/HelperProcess.h"
#include "support/SystemFacts.h"
#include "support/TestFiles.h"
#include "drill/Form1Procedures.h"
#include "platform/PrivateProfile.h"
#include "support/FakeForm1Controls.h"
#include "support/FakePlatform.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <cstring>
#include <iostream>
#include <memory>
#include <random>


using namespace tekkora;
using namespace tekkora::testing;

namespace {

const QByteArray DefaultsFile("[Data]\r\nMode=1 \r\nNum=30    \r\nCap=1 \r\n");

// One launch of the main window's procedures on a data directory.
struct Session {
    explicit Session(const QString &directory) : procedures(state, platform.services(directory), controls) {}
    FakePlatform platform;
    DrillState state;
    FakeForm1Controls controls;
    Form1Procedures procedures;

    bool upperCase() const { return controls.isChecked(OptionItem::omoji); }
};

// Windows' own reader, where there is one, gets the options the drill saved.
void checkWindowsReads(const QString &path, int set, int count, bool upper)
{
#ifdef Q_OS_WIN
    const std::wstring file = QDir::toNativeSeparators(path).toStdWString();
    QCOMPARE(int(GetPrivateProfileIntW(L"Data", L"Mode", -100, file.c_str())), set);
    QCOMPARE(int(GetPrivateProfileIntW(L"Data", L"Num", -100, file.c_str())), count);
    QCOMPARE(int(GetPrivateProfileIntW(L"Data", L"Cap", -100, file.c_str())), upper ? 1 : 0);
#else
    (void)path, (void)set, (void)count, (void)upper;
#endif
}

QByteArray dataSection(const QByteArray &mode, const QByteArray &num, const QByteArray &cap)
{
    QByteArray contents("[Data]\r\n");
    if (!mode.isNull())
        contents += "Mode=" + mode + "\r\n";
    if (!num.isNull())
        contents += "Num=" + num + "\r\n";
    if (!cap.isNull())
        contents += "Cap=" + cap + "\r\n";
    return contents;
}

// Loads from a directory holding the given tekora.ini (none for a null one).
std::unique_ptr<Session> loadFrom(const QTemporaryDir &dir, const QByteArray &contents)
{
    if (!contents.isNull() && !writeAll(dir.filePath("tekora.ini"), contents))
        return nullptr;
    auto session = std::make_unique<Session>(dir.path());
    session->procedures.Form_Load();
    return session;
}

// The save of an unprivileged user, run in a child process: prints what
// the player would be told and how often the program was ended.
int saveAsHelper(const char *directory)
{
    Session session(QString::fromLocal8Bit(directory));
    session.procedures.Form_Load();
    session.procedures.num_Click();
    session.procedures.Form_Unload();
    for (const QString &error : session.controls.errors)
        std::cout << "error: " << QString(error).replace(QLatin1Char('\n'), QLatin1Char(' ')).toStdString() << '\n';
    std::cout << "ends: " << session.controls.programEnds << '\n';
    return 0;
}

} // namespace

class TestSettingsFile : public QObject {
    Q_OBJECT

private slots:
    void mode_data();
    void mode();
    void num_data();
    void num();
    void cap_data();
    void cap();
    void weak_data();
    void weak();
    void fileShapes_data();
    void fileShapes();
    void keyTableFilledOnlyForAll_data();
    void keyTableFilledOnlyForAll();
    void countItemsFollowTheLoadedCount_data();
    void countItemsFollowTheLoadedCount();
    void path_data();
    void path();

    void everyMenuCombinationSurvivesARoundTrip_data();
    void everyMenuCombinationSurvivesARoundTrip();
    void loadedCountSurvivesARoundTrip_data();
    void loadedCountSurvivesARoundTrip();
    void firstLaunchWritesTheDefaults();
    void saveLeavesOtherLinesAlone();

    void saveFailureIsReported_data();
    void saveFailureIsReported();
    void saveFailureWithoutPermission_data();
    void saveFailureWithoutPermission();
    void strangeFilesLoad_data();
    void strangeFilesLoad();
};

void TestSettingsFile::mode_data()
{
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<int>("charSet");

    QTest::newRow("1 letters") << QByteArray("1") << 1;
    QTest::newRow("2 digits") << QByteArray("2") << 2;
    QTest::newRow("3 all") << QByteArray("3") << 3;
    QTest::newRow("23 counts its first character") << QByteArray("23") << 2;
    QTest::newRow("9 letters") << QByteArray("9") << 1;
    QTest::newRow("x letters") << QByteArray("x") << 1;
    QTest::newRow("empty letters") << QByteArray("") << 1;
    QTest::newRow("3 with blanks around") << QByteArray(" 3 ") << 3;
    QTest::newRow("0 letters") << QByteArray("0") << 1;
    QTest::newRow("-2 letters") << QByteArray("-2") << 1;
    QTest::newRow("key missing") << QByteArray() << 1;
}

void TestSettingsFile::mode()
{
    QFETCH(QByteArray, value);
    QFETCH(int, charSet);
    QTemporaryDir dir;
    const auto session = loadFrom(dir, dataSection(value, "30", "1"));
    QVERIFY(session);
    QCOMPARE(int(session->state.CharSet), charSet);
    QCOMPARE(session->controls.isChecked(OptionItem::al), charSet == 1);
    QCOMPARE(session->controls.isChecked(OptionItem::num), charSet == 2);
    QCOMPARE(session->controls.isChecked(OptionItem::all), charSet == 3);
    QCOMPARE(session->controls.modeCaption, charSetText(std::uint8_t(charSet)));
}

void TestSettingsFile::num_data()
{
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<int>("limit");

    QTest::newRow("key missing") << QByteArray() << 30;
    QTest::newRow("empty") << QByteArray("") << 30;
    QTest::newRow("only blanks") << QByteArray("     ") << 30;
    QTest::newRow("10") << QByteArray("10") << 10;
    QTest::newRow("50") << QByteArray("50") << 50;
    QTest::newRow("abc is 0") << QByteArray("abc") << 0;
    QTest::newRow("10.5 to even") << QByteArray("10.5") << 10;
    QTest::newRow("11.5 to even") << QByteArray("11.5") << 12;
    QTest::newRow("-5 kept") << QByteArray("-5") << -5;
    QTest::newRow("32767 unlimited") << QByteArray("32767") << 32767;
    QTest::newRow("six digits count five") << QByteArray("123456") << 12345;
    QTest::newRow("hexadecimal") << QByteArray("&H1F") << 31;
    QTest::newRow("exponent") << QByteArray("1E3") << 1000;
    QTest::newRow("blank between digits") << QByteArray("1 2") << 12;
    QTest::newRow("above range held at unlimited") << QByteArray("99999") << 32767;
    QTest::newRow("below range held at lowest") << QByteArray("-99999") << -9999;
    QTest::newRow("below what five characters hold") << QByteArray("-3E4") << -9999;
    QTest::newRow("below the 16-bit range held at lowest") << QByteArray("-1E9") << -9999;
    QTest::newRow("far below range held at lowest") << QByteArray("-1D99") << -9999;
    QTest::newRow("trailing comment") << QByteArray("30 ;x") << 30;
    QTest::newRow("20 kept") << QByteArray("20") << 20;
}

void TestSettingsFile::num()
{
    QFETCH(QByteArray, value);
    QFETCH(int, limit);
    QTemporaryDir dir;
    const auto session = loadFrom(dir, dataSection("1", value, "1"));
    QVERIFY(session);
    QCOMPARE(int(session->state.QuestionLimit), limit);
    QCOMPARE(session->controls.numCaption, questionLimitText(std::int16_t(limit)));
}

void TestSettingsFile::cap_data()
{
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<bool>("upper");

    QTest::newRow("0 lower") << QByteArray("0") << false;
    QTest::newRow("05 lower") << QByteArray("05") << false;
    QTest::newRow("1 upper") << QByteArray("1") << true;
    QTest::newRow("2 upper") << QByteArray("2") << true;
    QTest::newRow("x upper") << QByteArray("x") << true;
    QTest::newRow("empty upper") << QByteArray("") << true;
    QTest::newRow("0 quoted lower") << QByteArray("\"0\"") << false;
    QTest::newRow("key missing upper") << QByteArray() << true;
}

void TestSettingsFile::cap()
{
    QFETCH(QByteArray, value);
    QFETCH(bool, upper);
    QTemporaryDir dir;
    const auto session = loadFrom(dir, dataSection("1", "30", value));
    QVERIFY(session);
    QCOMPARE(session->controls.isChecked(OptionItem::omoji), upper);
    QCOMPARE(session->controls.isChecked(OptionItem::kmoji), !upper);
}

// On only for a 1; saved as it was loaded, and not at all where the file
// never named it.
void TestSettingsFile::weak_data()
{
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<QByteArray>("saved");
    QTest::newRow("1 on") << QByteArray("1") << QByteArray("1");
    QTest::newRow("x off") << QByteArray("x") << QByteArray("0");
    QTest::newRow("empty off, left empty") << QByteArray("") << QByteArray("");
    QTest::newRow("key missing off, not saved") << QByteArray() << QByteArray("none");
}

void TestSettingsFile::weak()
{
    QFETCH(QByteArray, value);
    QFETCH(QByteArray, saved);
    QTemporaryDir dir;
    const auto session = loadFrom(dir, dataSection("1", "30", "1") + (value.isNull() ? "" : "Weak=" + value + "\r\n"));
    QVERIFY(session);
    QCOMPARE(session->controls.isChecked(OptionItem::weak), saved == "1");
    session->procedures.Form_Unload();
    const std::string file = readAll(dir.filePath("tekora.ini")).toStdString();
    QCOMPARE(QByteArray::fromStdString(profile::lookupValue(file, "Data", "Weak", "none")), saved);
}

void TestSettingsFile::fileShapes_data()
{
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<int>("charSet");
    QTest::addColumn<int>("limit");
    QTest::addColumn<bool>("upper");

    QTest::newRow("no file") << QByteArray() << 1 << 30 << true;
    QTest::newRow("empty file") << QByteArray("") << 1 << 30 << true;
    QTest::newRow("written defaults") << DefaultsFile << 1 << 30 << true;
    QTest::newRow("names in any case") << QByteArray("[dAtA]\r\nmODE=2\r\nnum=10\r\nCAP=0\r\n") << 2 << 10 << false;
    QTest::newRow("double quoted values") << QByteArray("[Data]\nMode=\"3\"\nNum=\"50\"\nCap=\"0\"\n") << 3 << 50 << false;
    QTest::newRow("single quoted values") << QByteArray("[Data]\nMode='2'\nNum=' 10 '\nCap='0'\n") << 2 << 10 << false;
    QTest::newRow("first of duplicate keys") << QByteArray("[Data]\nMode=2\nMode=3\nNum=10\nNUM=50\n") << 2 << 10 << true;
    QTest::newRow("first of duplicate sections") << QByteArray("[Data]\nMode=2\n[DATA]\nMode=3\nNum=10\n") << 2 << 30 << true;
    QTest::newRow("LF only") << QByteArray("[Data]\nMode=3\nNum=50\nCap=0\n") << 3 << 50 << false;
    QTest::newRow("CR only") << QByteArray("[Data]\rMode=3\rNum=50\rCap=0\r") << 3 << 50 << false;
    QTest::newRow("no final line end") << QByteArray("[Data]\r\nMode=2\r\nNum=10\r\nCap=0") << 2 << 10 << false;
    QTest::newRow("mixed line ends") << QByteArray("[Data]\nMode=2\r\nNum=10\rCap=0") << 2 << 10 << false;
    QTest::newRow("comments and other sections") << QByteArray("; tekora\r\n[Other]\r\nMode=3\r\n[Data]\r\n# c\r\nNum=50\r\n[Z]\r\nCap=0\r\n")
                                                 << 1 << 50 << true;
    QTest::newRow("keys outside any section") << QByteArray("Mode=2\r\nNum=10\r\n[Data]\r\n") << 1 << 30 << true;
    QTest::newRow("blanks around names") << QByteArray("  [ Data ]\r\n  Mode = 2 \r\n\tNum\t=\t50\r\n") << 2 << 50 << true;
}

void TestSettingsFile::fileShapes()
{
    QFETCH(QByteArray, contents);
    QFETCH(int, charSet);
    QFETCH(int, limit);
    QFETCH(bool, upper);
    QTemporaryDir dir;
    const auto session = loadFrom(dir, contents);
    QVERIFY(session);
    QCOMPARE(int(session->state.CharSet), charSet);
    QCOMPARE(int(session->state.QuestionLimit), limit);
    QCOMPARE(session->upperCase(), upper);
}

void TestSettingsFile::keyTableFilledOnlyForAll_data()
{
    QTest::addColumn<QByteArray>("mode");
    QTest::addColumn<bool>("filled");
    QTest::newRow("all") << QByteArray("3") << true;
    QTest::newRow("letters") << QByteArray("1") << false;
    QTest::newRow("digits") << QByteArray("2") << false;
}

void TestSettingsFile::keyTableFilledOnlyForAll()
{
    QFETCH(QByteArray, mode);
    QFETCH(bool, filled);
    QTemporaryDir dir;
    const auto session = loadFrom(dir, dataSection(mode, "30", "1"));
    QVERIFY(session);
    KeyTable expected{};
    if (filled)
        fillKeyTable(expected);
    QVERIFY(session->procedures.keyTable() == expected);
}

void TestSettingsFile::countItemsFollowTheLoadedCount_data()
{
    QTest::addColumn<QByteArray>("num");
    QTest::addColumn<QString>("marked"); // empty: no count item

    QTest::newRow("10") << QByteArray("10") << "n10";
    QTest::newRow("30") << QByteArray("30") << "n30";
    QTest::newRow("50") << QByteArray("50") << "n50";
    QTest::newRow("unlimited") << QByteArray("32767") << "n99";
    QTest::newRow("20 offered by no item") << QByteArray("20") << "";
    QTest::newRow("missing is 30") << QByteArray() << "n30";
}

void TestSettingsFile::countItemsFollowTheLoadedCount()
{
    QFETCH(QByteArray, num);
    QFETCH(QString, marked);
    QTemporaryDir dir;
    const auto session = loadFrom(dir, dataSection("1", num, "1"));
    QVERIFY(session);
    const std::pair<OptionItem, QString> items[] = {
        {OptionItem::n10, "n10"}, {OptionItem::n30, "n30"}, {OptionItem::n50, "n50"}, {OptionItem::n99, "n99"}};
    for (const auto &[item, name] : items)
        QVERIFY2(session->controls.isChecked(item) == (name == marked), qPrintable(name));

    // Choosing 30 next must really give 30, whatever was loaded.
    session->procedures.n30_Click();
    QCOMPARE(int(session->state.QuestionLimit), 30);
}

void TestSettingsFile::path_data()
{
    QTest::addColumn<QString>("directory");
    QTest::addColumn<QString>("path");
    QTest::newRow("plain directory") << "/opt/drill" << "/opt/drill/tekora.ini";
    QTest::newRow("trailing separator") << "/opt/drill/" << "/opt/drill/tekora.ini";
    QTest::newRow("root") << "/" << "/tekora.ini";
}

void TestSettingsFile::path()
{
    QFETCH(QString, directory);
    QFETCH(QString, path);
    Session session(directory);
    QCOMPARE(session.procedures.settingsPath(), path);
}

void TestSettingsFile::everyMenuCombinationSurvivesARoundTrip_data()
{
    QTest::addColumn<int>("set");
    QTest::addColumn<int>("count");
    QTest::addColumn<bool>("upper");
    for (int set : {1, 2, 3})
        for (int count : {10, 30, 50, 32767})
            for (bool upper : {true, false})
                QTest::addRow("set %d, %d questions, %s", set, count, upper ? "upper" : "lower") << set << count << upper;
}

void TestSettingsFile::everyMenuCombinationSurvivesARoundTrip()
{
    QFETCH(int, set);
    QFETCH(int, count);
    QFETCH(bool, upper);
    QTemporaryDir dir;
    {
        Session first(dir.path());
        first.procedures.Form_Load();
        Form1Procedures &p = first.procedures;
        // Through the menus, as the player would choose.
        (set == 1 ? p.al_Click() : set == 2 ? p.num_Click() : p.all_Click());
        (count == 10 ? p.n10_Click() : count == 30 ? p.n30_Click() : count == 50 ? p.n50_Click() : p.n99_Click());
        (upper ? p.omoji_Click() : p.kmoji_Click());
        p.Form_Unload();
        QCOMPARE(first.controls.programEnds, 1);
        QVERIFY(first.controls.errors.isEmpty());
        checkWindowsReads(dir.filePath("tekora.ini"), set, count, upper);
    }
    Session second(dir.path());
    second.procedures.Form_Load();
    QCOMPARE(int(second.state.CharSet), set);
    QCOMPARE(int(second.state.QuestionLimit), count);
    QCOMPARE(second.upperCase(), upper);
    QCOMPARE(second.controls.isChecked(OptionItem::kmoji), !upper);
}

// Whatever a load makes of a count, a save and the next load keep it.
void TestSettingsFile::loadedCountSurvivesARoundTrip_data()
{
    QTest::addColumn<QByteArray>("value");
    for (const char *value : {"20", "-5", "-9999", "-3E4", "-1E9", "-1D99", "99999", "1E9", "&HFFF", "1E4", "abc"})
        QTest::newRow(value) << QByteArray(value);
}

void TestSettingsFile::loadedCountSurvivesARoundTrip()
{
    QFETCH(QByteArray, value);
    QTemporaryDir dir;
    const auto first = loadFrom(dir, dataSection("1", value, "1"));
    QVERIFY(first);
    first->procedures.Form_Unload();
    QVERIFY(first->controls.errors.isEmpty());
    checkWindowsReads(dir.filePath("tekora.ini"), 1, first->state.QuestionLimit, true);
    for (int launch = 0; launch < 2; ++launch) {
        const auto next = loadFrom(dir, QByteArray());
        QVERIFY(next);
        QCOMPARE(next->state.QuestionLimit, first->state.QuestionLimit);
        next->procedures.Form_Unload();
    }
}

void TestSettingsFile::firstLaunchWritesTheDefaults()
{
    QTemporaryDir dir;
    Session session(dir.path());
    session.procedures.Form_Load();
    QCOMPARE(int(session.state.CharSet), 1);
    QCOMPARE(int(session.state.QuestionLimit), 30);
    QVERIFY(session.upperCase());
    QVERIFY(!QFileInfo::exists(dir.filePath("tekora.ini"))); // a load writes nothing

    session.procedures.Form_Unload();
    QCOMPARE(readAll(dir.filePath("tekora.ini")), DefaultsFile);
    QCOMPARE(session.controls.programEnds, 1);
    QVERIFY(session.controls.errors.isEmpty());
}

void TestSettingsFile::saveLeavesOtherLinesAlone()
{
    QTemporaryDir dir;
    const QByteArray before("; kept as it is\n"
                            "[Other]\r\n"
                            "Mode=9\r\n"
                            "\r\n"
                            "[data]\n"
                            "  mode = 1   \n"
                            "Extra=keep me\r"
                            "# note\n"
                            "\n"
                            "[Data]\n"
                            "Cap=7\n"
                            "[Tail]\n"
                            "Num=1");
    const auto session = loadFrom(dir, before);
    QVERIFY(session);
    session->procedures.all_Click();
    session->procedures.n50_Click();
    session->procedures.kmoji_Click();
    session->procedures.Form_Unload();
    QCOMPARE(readAll(dir.filePath("tekora.ini")),
             QByteArray("; kept as it is\n"
                        "[Other]\r\n"
                        "Mode=9\r\n"
                        "\r\n"
                        "[data]\n"
                        "  mode =3 \n"
                        "Extra=keep me\r"
                        "# note\n"
                        "Num=50    \r\n"
                        "Cap=0 \r\n"
                        "\n"
                        "[Data]\n"
                        "Cap=7\n"
                        "[Tail]\n"
                        "Num=1"));
}

void TestSettingsFile::saveFailureIsReported_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("reason");
    QTest::newRow("directory under a plain file") << "parentIsFile"
                                                  << systemReason(ENOTDIR, windows_error::PathNotFound);
    QTest::newRow("name held by a directory") << "nameIsDirectory" << "Is a directory";
    // Its section lies beyond what the load reads: the save must not
    // replace it with what the load made of the rest.
    QTest::newRow("file too large to handle") << "tooLarge" << "File too large";
}

void TestSettingsFile::saveFailureIsReported()
{
    QFETCH(QString, setup);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    QString dataDir = dir.path();
    // Past the limit by its section, after a sparse stretch of NULs.
    const QByteArray tail = "\r\n" + dataSection("3", "50    ", "0 ");
    const auto tooLargeKept = [&] {
        QFile file(dir.filePath("tekora.ini"));
        return file.open(QIODevice::ReadOnly) && file.size() == profile::MaxFileSize + tail.size()
               && file.seek(profile::MaxFileSize) && file.readAll() == tail;
    };
    if (setup == "parentIsFile") {
        QVERIFY(writeAll(dir.filePath("plain"), "keep"));
        dataDir = dir.filePath("plain");
    } else if (setup == "tooLarge") {
        QFile file(dir.filePath("tekora.ini"));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.seek(profile::MaxFileSize) && file.write(tail) == tail.size());
    } else {
        QVERIFY(QDir(dir.path()).mkpath("tekora.ini/inside"));
    }

    Session session(dataDir);
    session.procedures.Form_Load();
    session.procedures.Form_Unload();
    QCOMPARE(session.controls.errors.size(), 1);
    const QString error = session.controls.errors.first();
    QVERIFY2(error.contains(QDir::toNativeSeparators(session.procedures.settingsPath())), qPrintable(error));
    QVERIFY2(error.contains(reason), qPrintable(error));
    QCOMPARE(session.controls.programEnds, 1);

    if (setup == "parentIsFile")
        QCOMPARE(readAll(dir.filePath("plain")), QByteArray("keep"));
    else if (setup == "tooLarge")
        QVERIFY(tooLargeKept());
    else
        QVERIFY(QFileInfo(dir.filePath("tekora.ini/inside")).isDir());
}

void TestSettingsFile::saveFailureWithoutPermission_data()
{
    QTest::addColumn<bool>("fileWritable");
    QTest::addColumn<bool>("directoryWritable");
    QTest::newRow("directory and file read-only") << false << false;
    QTest::newRow("directory read-only") << true << false;
    QTest::newRow("file read-only") << false << true;
}

void TestSettingsFile::saveFailureWithoutPermission()
{
    QFETCH(bool, fileWritable);
    QFETCH(bool, directoryWritable);
    QTemporaryDir dir;
    const QString dataDir = dir.filePath("data");
    QVERIFY(QDir(dir.path()).mkdir("data"));
    const QString path = dataDir + "/tekora.ini";
    const QByteArray before("[Data]\r\nMode=3 \r\nNum=50    \r\nCap=0 \r\n");
    QVERIFY(writeAll(path, before));
    const auto readOnly = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther
                          | QFile::ExeOther;
    const auto everyone = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
    QVERIFY(QFile::setPermissions(dataDir, directoryWritable ? readOnly | everyone : readOnly));
    QVERIFY(QFile::setPermissions(path, fileWritable ? readOnly | everyone : readOnly));

    QStringList errors;
    int ends = 0;
    if (!HelperProcess::runningAsRoot()) {
        if (!directoryWritable && fileWritable && !readOnlyStopsWrites(true))
            QSKIP("a read-only folder takes new files here");
        Session session(dataDir);
        session.procedures.Form_Load();
        session.procedures.num_Click();
        session.procedures.Form_Unload();
        errors = session.controls.errors;
        ends = session.controls.programEnds;
    } else {
        // Root writes anywhere: the save runs as nobody instead.
#if !QT_CONFIG(process)
        QSKIP("running as root, where no other process can be started to be refused");
#else
        if (!HelperProcess::canRunUnprivileged())
            QSKIP("running as root without setpriv: no way to be refused");
        QVERIFY(QFile::setPermissions(dir.path(), readOnly | QFile::WriteOwner));
        QTemporaryDir work;
        HelperProcess helper(work.path(), QCoreApplication::applicationFilePath());
        QVERIFY(helper.prepare());
        const HelperOutput output = helper.run({"--save-as-helper", dataDir}, true);
        QVERIFY2(output.finished && output.exitCode == 0, qPrintable(output.errors));
        errors = output.withPrefix("error: ");
        const QStringList endLines = output.withPrefix("ends: ");
        ends = endLines.isEmpty() ? -1 : endLines.first().toInt();
#endif
    }
    QFile::setPermissions(dataDir, readOnly | QFile::WriteOwner);

    QCOMPARE(errors.size(), 1);
    QVERIFY2(errors.first().contains(QDir::toNativeSeparators(path)) && errors.first().contains("Permission denied"),
             qPrintable(errors.first()));
    QCOMPARE(ends, 1);
    QCOMPARE(readAll(path), before);
    QCOMPARE(QDir(dataDir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList{"tekora.ini"});
}

void TestSettingsFile::strangeFilesLoad_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("charSet");
    QTest::addColumn<int>("limit");
    QTest::addColumn<bool>("upper");

    QTest::newRow("directory") << "directory" << 1 << 30 << true;
    QTest::newRow("random bytes") << "random" << 1 << 30 << true;
    QTest::newRow("NULs around the lines") << "nuls" << 1 << 30 << true;
    QTest::newRow("10 MB of text after the section") << "hugeAfter" << 2 << 50 << false;
    // The load reads as far as the save does.
    QTest::newRow("section after 10 MB of text") << "hugeBefore" << 2 << 50 << false;
    QTest::newRow("one 10 MB line, cut to five characters") << "hugeLine" << 1 << 32767 << true;
}

void TestSettingsFile::strangeFilesLoad()
{
    QFETCH(QString, kind);
    QFETCH(int, charSet);
    QFETCH(int, limit);
    QFETCH(bool, upper);
    QTemporaryDir dir;
    const QString path = dir.filePath("tekora.ini");
    const QByteArray filler = QByteArray(70, 'z') + "=\xff\x81\r\n";
    const int tenMegabytes = 10 * 1024 * 1024;

    if (kind == "directory") {
        QVERIFY(QDir(dir.path()).mkdir("tekora.ini"));
    } else if (kind == "random") {
        std::mt19937 random(77);
        QByteArray bytes(64 * 1024, '\0');
        for (char &c : bytes)
            c = char(random() & 0xff);
        QVERIFY(writeAll(path, bytes));
    } else if (kind == "nuls") {
        QVERIFY(writeAll(path, QByteArray("\0[Data]\r\n\0Mode=2\r\nNum\0=10\r\n", 27)));
    } else if (kind == "hugeAfter" || kind == "hugeBefore") {
        QByteArray contents;
        contents.reserve(tenMegabytes + 64);
        if (kind == "hugeAfter")
            contents += dataSection("2", "50", "0");
        while (contents.size() < tenMegabytes)
            contents += filler;
        if (kind == "hugeBefore")
            contents += dataSection("2", "50", "0");
        QVERIFY(writeAll(path, contents));
    } else {
        QVERIFY(writeAll(path, "[Data]\r\nNum=" + QByteArray(tenMegabytes, '7')));
    }

    Session session(dir.path());
    session.procedures.Form_Load();
    QCOMPARE(int(session.state.CharSet), charSet);
    QCOMPARE(int(session.state.QuestionLimit), limit);
    QCOMPARE(session.upperCase(), upper);
}

int main(int argc, char **argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--save-as-helper") == 0) {
        QCoreApplication app(argc, argv);
        return saveAsHelper(argv[2]);
    }
    QCoreApplication app(argc, argv);
    TestSettingsFile test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_settingsfile.moc"
