// A blind player's session: Orca, the screen reader, on a private X server,
// its speech read from its debug output. A letters run (lower case) and a
// digits run of ten are played by ear with raw keys: each question is
// heard, then its key pressed; one wrong key in each brings the question
// again. The results are heard as their window opens, the digits chosen with
// Ctrl+N as they are chosen; the about box's line and its picture; in the
// score window, the figures as Tab reaches them and the order of the runs
// as the arrow key changes it. And the windows' accessible trees, read over
// AT-SPI (python3-pyatspi).

#include "X11Session.h"
#include "results/ScoreLogReader.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <tuple>

#include <fcntl.h>
#include <unistd.h>

using namespace tekkora;
using namespace tekkora::testing;

namespace {

const QString Python = QStringLiteral("/usr/bin/python3");
const QRegularExpression Question(QStringLiteral("^[a-z0-9]\\.$"));
const QRegularExpression Utterance(QStringLiteral("SPEECH OUTPUT: '(.*)'(?: voice=\\S+)? ?\\{"));

// Orca with a session bus of its own (which starts the accessibility bus
// when Orca asks for it), speaking to no speech server: what it says is in
// its debug output alone. That goes to a terminal, read as it comes; written
// to a file, its last lines would wait in a buffer until Orca wrote more.
class Orca {
public:
    ~Orca()
    {
        stopProcess(orca_);
        stopProcess(bus_);
        delete notifier_;
        if (terminal_ >= 0)
            ::close(terminal_);
    }

    static QString missingTool()
    {
        for (const char *tool : {"orca", "dbus-daemon"}) {
            if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty())
                return QLatin1String(tool);
        }
        return QProcess::execute(Python, {QStringLiteral("-c"), QStringLiteral("import pyatspi")}) == 0
                   ? QString()
                   : QStringLiteral("python3-pyatspi");
    }
    // Orca runs once per user: a second one of the same user leaves at once.
    static bool runningAlready()
    {
        return QProcess::execute(QStringLiteral("pgrep"), {QStringLiteral("-u"), QString::number(::getuid()),
                                                           QStringLiteral("-x"), QStringLiteral("orca")}) == 0;
    }

    bool start(const QString &display)
    {
        const QDir home(work_.path());
        home.mkpath(QStringLiteral("prefs"));
        home.mkpath(QStringLiteral("runtime"));
        QFile::setPermissions(home.filePath(QStringLiteral("runtime")),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        // No speech server, no echo of the keys typed, no braille display.
        writeAll(home.filePath(QStringLiteral("prefs/user-settings.conf")),
                 R"({"general": {"speechServerFactory": "none", "speechFactoryModules": [], "enableKeyEcho": false,
                     "enableBraille": false, "firstStart": false},
                     "profiles": {"default": {"profile": ["Default", "default"]}},
                     "pronunciations": {}, "keybindings": {}})");
        environment_ = QProcessEnvironment::systemEnvironment();
        environment_.insert(QStringLiteral("DISPLAY"), display);
        environment_.insert(QStringLiteral("HOME"), home.path());
        environment_.insert(QStringLiteral("XDG_CONFIG_HOME"), home.path());
        environment_.insert(QStringLiteral("XDG_RUNTIME_DIR"), home.filePath(QStringLiteral("runtime")));
        bus_.setProcessEnvironment(environment_);
        dieWithParent(bus_);
        bus_.start(QStringLiteral("dbus-daemon"),
                   {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address=1")});
        QByteArray address;
        waitUntil([&] { return (address += bus_.readAllStandardOutput()).contains('\n'); }, DisplayTimeoutMs);
        environment_.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QString::fromLatin1(address.trimmed()));

        terminal_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (address.isEmpty() || terminal_ < 0 || ::grantpt(terminal_) != 0 || ::unlockpt(terminal_) != 0)
            return false;
        notifier_ = new QSocketNotifier(terminal_, QSocketNotifier::Read);
        QObject::connect(notifier_, &QSocketNotifier::activated, [this] { read(); });
        orca_.setProcessEnvironment(environment_);
        orca_.setStandardOutputFile(QProcess::nullDevice());
        orca_.setStandardErrorFile(QProcess::nullDevice());
        dieWithParent(orca_);
        orca_.start(QStringLiteral("orca"), {QStringLiteral("-u"), home.filePath(QStringLiteral("prefs")),
                                             QStringLiteral("--debug-file"), QString::fromLatin1(::ptsname(terminal_))});
        return waitFor(QRegularExpression(QStringLiteral("^Screen reader on"))) >= 0;
    }

    QProcessEnvironment busEnvironment() const
    {
        QProcessEnvironment bus;
        bus.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), environment_.value(QStringLiteral("DBUS_SESSION_BUS_ADDRESS")));
        return bus;
    }
    const QProcessEnvironment &environment() const { return environment_; }
    const QStringList &speech() const { return speech_; }

    // The index of the first utterance from `from` on that matches, waited
    // for; -1 when none comes.
    qsizetype waitFor(const QRegularExpression &heard, qsizetype from = 0)
    {
        qsizetype found = -1;
        waitUntil(
            [&] {
                for (qsizetype i = from; i < speech_.size() && found < 0; ++i)
                    found = heard.match(speech_[i]).hasMatch() ? i : -1;
                return found >= 0;
            },
            DisplayTimeoutMs);
        return found;
    }

private:
    void read()
    {
        char buffer[65536];
        for (ssize_t n; (n = ::read(terminal_, buffer, sizeof buffer)) > 0;)
            pending_.append(buffer, n);
        for (qsizetype end; (end = pending_.indexOf('\n')) >= 0; pending_.remove(0, end + 1)) {
            if (const auto said = Utterance.match(QString::fromUtf8(pending_.left(end))); said.hasMatch())
                speech_ << said.captured(1);
        }
    }

    QTemporaryDir work_;
    QProcess bus_;
    QProcess orca_;
    QSocketNotifier *notifier_ = nullptr;
    QProcessEnvironment environment_;
    int terminal_ = -1;
    QByteArray pending_;
    QStringList speech_;
};

// What the results window says of the run in the score log's last record.
QString resultsOf(const QString &folder)
{
    const ScoreRecord run = ScoreLogReader().feed(readAll(folder + QStringLiteral("/Score.txt"))).last();
    return QStringLiteral("モード %1、ミスの回数 %2/%3 回、正解率 %4 ％、速さ %5 秒/キー")
        .arg(run.ModeCaption)
        .arg(run.MissCount)
        .arg(run.QuestionCount)
        .arg(run.AccuracyCaption, run.SpeedCaption);
}

// Every question of the per-key log as it should be heard: once as it
// appears and once more after each wrong key.
QStringList questionsOf(const QString &folder)
{
    QStringList heard;
    for (const QByteArray &line : readAll(folder + QStringLiteral("/Keys.jsonl")).split('\n')) {
        for (const QJsonValue question : QJsonDocument::fromJson(line).object().value(QStringLiteral("questions")).toArray()) {
            const qsizetype times = 1 + question.toObject().value(QStringLiteral("wrong")).toArray().size();
            for (qsizetype i = 0; i < times; ++i)
                heard << question.toObject().value(QStringLiteral("c")).toString() + QLatin1Char('.');
        }
    }
    return heard;
}

} // namespace

class TestScreenReader : public QObject {
    Q_OBJECT
    // The windows' objects, one a line: "role|name|description|actions".
    QString trees_;
    bool completed_ = false;

    void readTrees(const Orca &orca, const QStringList &titles)
    {
        QProcess tree;
        tree.setProcessEnvironment(orca.environment());
        tree.start(Python, QStringList{QStringLiteral(TEKKORA_ACCESSIBLE_TREE)} + titles);
        QVERIFY(tree.waitForFinished(DisplayTimeoutMs) && tree.exitCode() == 0);
        trees_ += QString::fromUtf8(tree.readAllStandardOutput());
    }

private slots:
    void playedByEar()
    {
        if (const QString missing = Orca::missingTool(); !missing.isEmpty())
            QSKIP(qPrintable(missing + QStringLiteral(" is not installed")));
        if (Orca::runningAlready())
            QSKIP("Orca runs for this user already, and only one may");
        X11Session x(X11Session::Openbox);
        TEKKORA_START_X11(x);
        Orca orca;
        QVERIFY2(orca.start(x.display()), "Orca did not start");
        const QString folder = x.programDirectory();
        QVERIFY(writeAll(folder + QStringLiteral("/tekora.ini"), "[Data]\r\nMode=1 \r\nNum=10 \r\nCap=0 \r\n"));
        QVERIFY2(x.launch(QStringLiteral(TEKKORA_EXECUTABLE), orca.busEnvironment()), qPrintable(x.error()));
        const XWindow drill = x.waitForWindow(QStringLiteral("Tekkora!"));
        QVERIFY(x.waitForFocus(drill));
        QVERIFY(orca.waitFor(QRegularExpression(QStringLiteral("^Start push button"))) >= 0);
        const auto key = [&x](const QString &name) { return x.keycodeOf(name.toLatin1().constData()); };
        // A modifier held as a hand holds it: keys reach Qt only once the
        // screen reader has seen them, and an Alt let go quicker than that
        // closes the menu or page its letter opened.
        const auto pressWith = [&](const QString &modifier, const QString &name) {
            x.keyDown(key(modifier));
            QTest::qWait(300);
            x.pressKey(key(name));
            QTest::qWait(300);
            x.keyUp(key(modifier));
        };

        for (const QString &wrong : {QStringLiteral("a"), QStringLiteral("0")}) {
            qsizetype heard = orca.speech().size();
            x.pressKey(key(QStringLiteral("space")));
            for (int question = 0; question < 10; ++question) {
                heard = orca.waitFor(Question, heard);
                QVERIFY2(heard >= 0, qPrintable(QStringLiteral("question %1 was not heard").arg(question + 1)));
                const QString shown = orca.speech()[heard].left(1);
                if (question == 3) {
                    x.pressKey(key(shown == wrong ? wrong == QLatin1String("a") ? QStringLiteral("b") : QStringLiteral("1") : wrong));
                    heard = orca.waitFor(QRegularExpression(QLatin1Char('^') + shown + QStringLiteral("\\.$")), heard + 1);
                    QVERIFY2(heard >= 0, "the question was not heard again after a wrong key");
                }
                x.pressKey(key(shown));
                ++heard;
            }
            const qsizetype results = orca.waitFor(QRegularExpression(QStringLiteral("^結果 dialog")), heard);
            QVERIFY2(results >= 0, "the results were not heard");
            QVERIFY2(orca.speech()[results].contains(resultsOf(folder)), qPrintable(orca.speech()[results]));
            readTrees(orca, {QStringLiteral("結果")});
            // Windows are closed by their close box: with a screen reader,
            // Qt keeps a copy of each key until the screen reader has seen
            // it, and loses the copy of a key whose window is gone by then,
            // which the sanitizer build would count as the program's leak.
            x.closeWindow(x.findWindow(QStringLiteral("結果")));
            QVERIFY(orca.waitFor(QRegularExpression(QStringLiteral("^Start push button")), results) >= 0);
            pressWith(QStringLiteral("Control_L"), QStringLiteral("n"));
            QVERIFY(orca.waitFor(QRegularExpression(QStringLiteral("^数字")), results) >= 0);
        }
        // Every question in order, once and again after the wrong key: the
        // right key has nothing said but the next question.
        QStringList questions = orca.speech().filter(Question);
        QCOMPARE(questions, questionsOf(folder));
        QCOMPARE(questions.size(), 22);

        pressWith(QStringLiteral("Alt_L"), QStringLiteral("h"));
        QVERIFY(orca.waitFor(QRegularExpression(QStringLiteral("^ﾊﾞｰｼﾞｮﾝ情報\\(V\\)"))) >= 0);
        x.pressKey(key(QStringLiteral("v")));
        qsizetype heard = orca.waitFor(QRegularExpression(QStringLiteral("^ﾊﾞｰｼﾞｮﾝ情報 dialog .*あなたは どれだけ 速く 打てますか？？")));
        QVERIFY2(heard >= 0, "the about box's line was not heard");
        x.pressKey(key(QStringLiteral("Tab")));
        QVERIFY2(orca.waitFor(QRegularExpression(QStringLiteral("^Tekkora! のアイコン")), heard) >= 0, "the picture has no name");
        x.closeWindow(x.findWindow(QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報")));
        QVERIFY(x.waitForNoWindow(QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報")));
        readTrees(orca, {QStringLiteral("Tekkora!")});

        QProcess *score = x.launchBeside(QStringLiteral(TEKKORA_SCORE_EXECUTABLE));
        QVERIFY(score != nullptr);
        const XWindow scoreWindow = x.waitForWindow(QStringLiteral("Tekkora! スコア"));
        QVERIFY(x.waitForFocus(scoreWindow));
        heard = orca.waitFor(QRegularExpression(QStringLiteral("^全モード")), heard);
        // Key by key, what is heard: the figures as Tab reaches them; the
        // order of the runs after Alt+S and an arrow; Tab into the runs table
        // and out of it; on the keys page, each key's figures as the arrow
        // keys move over the keyboard.
        const std::tuple<const char *, const char *, const char *> steps[] = {
            {"Tab", nullptr, "^開く"},
            {"Tab", nullptr, "^スコア"},
            {"Tab", nullptr, "^回数 2 回 問題数 20 問 最速 \\d\\.\\d{3} 秒/キー"},
            {"s", "Alt_L", "^並べ替え"},
            {"Down", nullptr, "^日時 \\(昇順\\)"},
            {"Tab", nullptr, "^回ごとの記録"},
            {"Tab", nullptr, "^全モード"},
            {"k", "Alt_L", "^キー別"},
            {"p", "Alt_L", "^期間"},
            {"Tab", nullptr, "^ミス率"},
            {"Tab", nullptr, "^1  "},
            {"Right", nullptr, "^2  "},
        };
        for (const auto &[name, modifier, heardNext] : steps) {
            if (modifier != nullptr)
                pressWith(QLatin1String(modifier), QLatin1String(name));
            else
                x.pressKey(key(QLatin1String(name)));
            heard = orca.waitFor(QRegularExpression(QString::fromUtf8(heardNext)), heard + 1);
            QVERIFY2(heard >= 0, qPrintable(QString::fromUtf8(heardNext) + QStringLiteral(" not heard after: ") + orca.speech().mid(orca.speech().size() - 4).join(QStringLiteral(" / "))));
        }

        readTrees(orca, {QStringLiteral("Tekkora! スコア")});
        completed_ = true;

        // Both programs end well with a screen reader's interfaces in use.
        x.closeWindow(scoreWindow);
        QVERIFY(score->waitForFinished(DisplayTimeoutMs));
        QCOMPARE(score->exitCode(), 0);
        x.closeWindow(drill);
        QVERIFY(x.waitForExit());
        QCOMPARE(x.program().exitCode(), 0);
    }

    // The windows' objects as a screen reader finds them, after the two runs
    // above: "role|name|description|actions", in their order.
    void accessibleTrees_data()
    {
        QTest::addColumn<QString>("objects");
        QTest::newRow("the results, in reading order")
            << QStringLiteral("label\\|モード\\|\\|\nlabel\\|英字\\|\\|\nlabel\\|ミスの回数\\|\\|\nlabel\\|1/10\\|\\|\n"
                              "label\\|回\\|\\|\nlabel\\|正解率\\|\\|\nlabel\\|90\\.0\\|\\|\nlabel\\|％\\|\\|\n"
                              "label\\|速さ\\|\\|\nlabel\\|\\d\\.\\d{3}\\|\\|\nlabel\\|秒/キー\\|\\|\npush button\\|OK\\|");
        QTest::newRow("the set, a button") << QStringLiteral("push button\\|数字\\|\\|Press");
        QTest::newRow("the count, a button") << QStringLiteral("push button\\|10回\\|\\|Press");
        QTest::newRow("the score window, a frame") << QStringLiteral("frame\\|Tekkora! スコア\\|");
        QTest::newRow("runs, with their number") << QStringLiteral("label\\|回数 2 回\\|");
        QTest::newRow("the best, with its unit") << QStringLiteral("label\\|最速 \\d\\.\\d{3} 秒/キー\\|");
        QTest::newRow("the figures, a Tab stop") << QStringLiteral("panel\\|成績\\|");
        QTest::newRow("the speed chart in words")
            << QStringLiteral("chart\\|速さ \\(秒/キー\\)\\|2 回、表示範囲 [\\d.]+ から [\\d.]+ 秒/キー、"
                              "最新 \\d\\.\\d{3} 秒/キー、直近10回の平均 \\d\\.\\d{3} 秒/キー\\|");
        QTest::newRow("the accuracy chart in words")
            << QStringLiteral("chart\\|正解率 \\(％\\)\\|2 回、表示範囲 .+ ％、最新 90\\.0 ％.*");
        QTest::newRow("the runs table") << QStringLiteral("table\\|回ごとの記録\\|");
        QTest::newRow("the characters table") << QStringLiteral("table\\|文字ごとの記録\\|");
        QTest::newRow("the keys pressed instead") << QStringLiteral("table\\|押し間違い\\|");
        QTest::newRow("a key with its figures") << QStringLiteral("list item\\|A  (記録なし|\\d+ 問  ミス .+)\\|");
        QTest::newRow("the order, on its list") << QStringLiteral("combo box\\|日時 \\(昇順\\)\\|日時 \\(昇順\\)\\|");
    }
    void accessibleTrees()
    {
        QFETCH(QString, objects);
        if (!completed_)
            QSKIP("the session above did not finish");
        QVERIFY2(trees_.contains(QRegularExpression(QLatin1Char('^') + objects, QRegularExpression::MultilineOption)),
                 qPrintable(trees_));
    }
};

QTEST_GUILESS_MAIN(TestScreenReader)
#include "tst_screenreader.moc"
