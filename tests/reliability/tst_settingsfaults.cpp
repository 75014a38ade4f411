// tekora.ini in shapes nobody meant it to have: the window still starts,
// a run still plays to its results, closing still ends the program, a person
// is told when the options could not be kept, and whatever stood in the
// file's place is still there afterwards.

#include "support/TestFiles.h"
#include "support/MainWindowRig.h"

#include <QDir>
#include <QFileInfo>

#include <random>

using namespace tekkora;
using namespace tekkora::testing;

namespace {

const QByteArray AllFiftyLower("[Data]\r\nMode=3 \r\nNum=50    \r\nCap=0 \r\n");

QByteArray randomBytes(std::size_t size)
{
    std::mt19937 random(20240611);
    QByteArray bytes(qsizetype(size), '\0');
    for (char &c : bytes)
        c = char(random() & 0xff);
    return bytes;
}

QByteArray tenMegabytesOfText()
{
    const QByteArray line = "; notes the player keeps here, line after line, with = signs and [brackets]\r\n";
    QByteArray text;
    text.reserve(10 * 1024 * 1024 + line.size());
    while (text.size() < 10 * 1024 * 1024)
        text += line;
    return text;
}

// Options as "CharSet QuestionLimit upper-case".
QString options(const MainWindowRig &w)
{
    return QStringLiteral("%1 %2 %3")
        .arg(int(w.state.CharSet))
        .arg(w.state.QuestionLimit)
        .arg(w.form->findChild<QAction *>(QStringLiteral("omoji"))->isChecked() ? 1 : 0);
}

} // namespace

class TestSettingsFaults : public QObject {
    Q_OBJECT

private slots:
    void cleanup()
    {
        // Every window of a test, modal ones included, is gone after it.
        QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty());
    }

    void faultySettingsFile_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("loaded");
        QTest::addColumn<QString>("reason"); // of the message at the save; empty for none
        QTest::addColumn<QString>("reloaded"); // what the next start reads; empty when not checked

        QTest::newRow("a directory") << "directory" << "1 30 1" << "Is a directory" << "1 30 1";
        QTest::newRow("binary") << "binary" << "1 30 1" << "" << "1 10 1";
        QTest::newRow("10 MB of text after the section") << "hugeAfter" << "3 50 0" << "" << "3 10 0";
        // A start reads as far as the save: the section counts where it is.
        QTest::newRow("10 MB of text before the section") << "hugeBefore" << "3 50 0" << "" << "3 10 0";
        QTest::newRow("vanishes between load and save") << "vanishes" << "3 50 0" << "" << "3 10 0";
    }

    void faultySettingsFile()
    {
        QFETCH(QString, kind);
        QFETCH(QString, loaded);
        QFETCH(QString, reason);
        QFETCH(QString, reloaded);

        QByteArray before;
        MainWindowRig w([&](MainWindowRig &window) {
            const QString path = window.settingsPath();
            if (kind == "directory") {
                QDir(window.dir.path()).mkpath(QStringLiteral("tekora.ini/inside"));
                writeAll(path + QStringLiteral("/inside/keep.txt"), "kept");
                return;
            }
            if (kind == "binary")
                before = randomBytes(64 * 1024);
            else if (kind == "hugeAfter")
                before = AllFiftyLower + tenMegabytesOfText();
            else if (kind == "hugeBefore")
                before = tenMegabytesOfText() + AllFiftyLower;
            else
                before = AllFiftyLower;
            writeAll(path, before);
        }, ResultsShown::InTheirWindow);
        QCOMPARE(options(w), loaded);
        if (kind == "vanishes")
            QVERIFY(QFile::remove(w.settingsPath()));

        // The program keeps running: a 10-question run plays to its results.
        QList<SeenMessage> messages;
        int resultsWindows = 0;
        ModalAnswerer answerer([&](QWidget *modal) {
            if (auto *box = qobject_cast<QMessageBox *>(modal)) {
                messages.append(SeenMessage::of(box));
                pressOk(box);
            } else if (auto *results = qobject_cast<Form2 *>(modal)) {
                ++resultsWindows;
                results->findChild<QPushButton *>(QStringLiteral("Command1"))->click();
            }
        });
        QVERIFY(w.showAndActivate());
        MainWindowRig::press(Qt::Key_F5);
        MainWindowRig::press(Qt::Key_Space);
        for (int i = 0; i < 10; ++i)
            w.pressRightKey();
        QCOMPARE(resultsWindows, 1);
        QCOMPARE(w.state.QuestionCount, std::int16_t(10));
        QVERIFY(!w.running());

        // Closing saves and ends the program, whatever became of the file.
        w.form->close();
        QCOMPARE(w.programEnds, 1);
        if (reason.isEmpty()) {
            QVERIFY2(messages.isEmpty(), qPrintable(messages.value(0).text));
        } else {
            QCOMPARE(messages.size(), 1);
            QVERIFY2(messages[0].text.contains(w.settingsPath()), qPrintable(messages[0].text));
            QVERIFY2(messages[0].text.contains(reason), qPrintable(messages[0].text));
        }

        // Nothing that stood there is lost.
        const QByteArray after = readAll(w.settingsPath());
        if (kind == "directory") {
            QVERIFY(QFileInfo(w.settingsPath()).isDir());
            QCOMPARE(readAll(w.settingsPath() + QStringLiteral("/inside/keep.txt")), QByteArray("kept"));
        } else if (kind == "binary") {
            QVERIFY(after.startsWith(before));
            QCOMPARE(after.mid(before.size()).trimmed(), QByteArray("[Data]\r\nMode=1 \r\nNum=10    \r\nCap=1"));
        } else {
            QByteArray expected = before;
            expected.replace("Num=50    ", "Num=10    ");
            QCOMPARE(after, expected);
        }

        if (!reloaded.isEmpty()) {
            w.reload();
            QCOMPARE(options(w), reloaded);
        }
        QCOMPARE(liveResultsWindows(), 0);
    }
};

QTEST_MAIN(TestSettingsFaults)
#include "tst_settingsfaults.moc"
