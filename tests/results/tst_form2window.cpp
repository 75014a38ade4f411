// The results window as it is built and used: frame, controls, colours and
// fonts; the keys that press OK and the one that must not close it; the
// milestone boxes and the error box as real modal windows.

#include "support/ModalAnswerer.h"

#include "support/FakePlatform.h"

#include "drill/DrillState.h"
#include "Fonts.h"
#include "Form2.h"
#include "ResultsWindow.h"

#include <QFile>
#include <QFontInfo>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace tekkora;
using namespace tekkora::testing;

namespace {

DrillState finishedRun(int questions, int misses, double seconds = -1)
{
    DrillState state;
    state.CharSet = charset::Letters;
    state.QuestionCount = std::int16_t(questions);
    state.MissCount = std::int16_t(misses);
    state.Accuracy = computeAccuracy(state.QuestionCount, state.MissCount);
    state.ElapsedSeconds = seconds < 0 ? questions * 0.5 : seconds;
    return state;
}

const QStringList StaticLabels{"Label1", "Label2", "Label3", "Label4", "Label7", "Label8", "Label9"};
const QStringList FigureBoxes{"LabMode", "LabMiss", "LabPar", "LabSp"};

} // namespace

class TestForm2Window : public QObject {
    Q_OBJECT

    struct Window {
        explicit Window(const DrillState &run) : state(run), form(state, noKeys, fakes.services(dir.path())) {}
        bool showAndActivate()
        {
            form.show();
            QApplication::setActiveWindow(&form);
            return QTest::qWaitForWindowActive(&form);
        }
        QLabel *label(const QString &name) const { return form.findChild<QLabel *>(name); }
        QPushButton *command1() const { return form.findChild<QPushButton *>(QStringLiteral("Command1")); }
        QByteArray scoreFile() const
        {
            QFile file(dir.filePath(QStringLiteral("Score.txt")));
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        }

        QTemporaryDir dir;
        FakePlatform fakes;
        DrillState state;
        RunRecording noKeys;
        Form2 form;
    };

private slots:
    void initTestCase()
    {
        installFontSubstitutions();
        QApplication::setFont(defaultWindowFont());
    }

    void cleanup()
    {
        QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty());
    }

    void frame()
    {
        Window w(finishedRun(10, 0));
        QVERIFY(w.showAndActivate());
        QCOMPARE(w.form.objectName(), QStringLiteral("Form2"));
        QCOMPARE(w.form.windowTitle(), QStringLiteral("結果"));
        QCOMPARE(w.form.size(), QSize(194, 178));
        QCOMPARE(w.form.minimumSize(), QSize(194, 178));
        QCOMPARE(w.form.maximumSize(), QSize(194, 178));
        const Qt::WindowFlags flags = w.form.windowFlags();
        QCOMPARE(flags & Qt::WindowType_Mask, Qt::Dialog);
        QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
        QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
        QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
        QVERIFY(flags.testFlag(Qt::WindowSystemMenuHint));
        QVERIFY(w.form.windowIcon().availableSizes().contains(QSize(16, 16)));
        QVERIFY(w.form.windowIcon().availableSizes().contains(QSize(32, 32)));
        // The frame centred on the screen.
        const QPoint offset = w.form.frameGeometry().center() - w.form.screen()->availableGeometry().center();
        QVERIFY2(offset.manhattanLength() <= 2, qPrintable(QStringLiteral("%1,%2").arg(offset.x()).arg(offset.y())));
    }

    void controls_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("twipsGeometry");
        QTest::addColumn<QString>("caption");
        QTest::newRow("Command1") << "Command1" << QRect(960, 2160, 1215, 375) << "&OK";
        QTest::newRow("LabMode") << "LabMode" << QRect(1080, 120, 975, 375) << "";
        QTest::newRow("Label4") << "Label4" << QRect(120, 240, 615, 255) << "モード";
        QTest::newRow("Label9") << "Label9" << QRect(2160, 720, 375, 255) << "回";
        QTest::newRow("Label8") << "Label8" << QRect(2160, 1200, 255, 255) << "％";
        QTest::newRow("Label7") << "Label7" << QRect(2160, 1680, 735, 255) << "秒/キー";
        QTest::newRow("LabSp") << "LabSp" << QRect(1080, 1560, 975, 375) << "";
        QTest::newRow("LabPar") << "LabPar" << QRect(1080, 1080, 975, 375) << "";
        QTest::newRow("LabMiss") << "LabMiss" << QRect(1080, 600, 975, 375) << "";
        QTest::newRow("Label3") << "Label3" << QRect(120, 1680, 375, 255) << "速さ";
        QTest::newRow("Label2") << "Label2" << QRect(120, 1200, 855, 255) << "正解率";
        QTest::newRow("Label1") << "Label1" << QRect(120, 720, 975, 255) << "ミスの回数";
    }
    void controls()
    {
        QFETCH(QString, name);
        QFETCH(QRect, twipsGeometry);
        QFETCH(QString, caption);
        Window w(finishedRun(10, 0));
        QWidget *widget = w.form.findChild<QWidget *>(name);
        QVERIFY(widget);
        QCOMPARE(widget->parentWidget(), &w.form);
        const QRect g = widget->geometry();
        auto near = [](int pixels, int twips) { return qAbs(pixels * 15 - twips) <= 15; };
        QVERIFY2(near(g.x(), twipsGeometry.x()) && near(g.y(), twipsGeometry.y())
                     && near(g.width(), twipsGeometry.width()) && near(g.height(), twipsGeometry.height()),
                 qPrintable(QStringLiteral("%1,%2 %3x%4").arg(g.x()).arg(g.y()).arg(g.width()).arg(g.height())));
        if (auto *label = qobject_cast<QLabel *>(widget))
            QCOMPARE(label->text(), caption);
        else
            QCOMPARE(qobject_cast<QPushButton *>(widget)->text(), caption);
    }

    void looks()
    {
        Window w(finishedRun(10, 0));
        QVERIFY(w.showAndActivate());
        const QImage image = w.form.grab().toImage();
        QCOMPARE(QColor(image.pixel(2, 2)), QColor(128, 128, 255));
        QCOMPARE(QColor(image.pixel(190, 100)), QColor(128, 128, 255));
        // Inside the empty mode box, off its text.
        QCOMPARE(QColor(image.pixel(75, 10)), QColor(192, 192, 255));
        // Its border.
        QCOMPARE(QColor(image.pixel(72, 15)), QColor(Qt::black));

        for (const QString &name : StaticLabels) {
            QLabel *label = w.label(name);
            QCOMPARE(label->palette().color(QPalette::Window), QColor(128, 128, 255));
            QCOMPARE(label->palette().color(QPalette::WindowText), QColor(Qt::white));
            QVERIFY(label->autoFillBackground());
            QCOMPARE(label->frameShape(), QFrame::NoFrame);
            QCOMPARE(label->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
            QCOMPARE(label->font(), defaultWindowFont());
            QCOMPARE(label->focusPolicy(), Qt::NoFocus);
            // One line of the default font fits the 17-pixel row titles.
            QVERIFY(label->fontMetrics().height() <= label->height());
        }
        for (const QString &name : FigureBoxes) {
            QLabel *label = w.label(name);
            QCOMPARE(label->palette().color(QPalette::Window), QColor(192, 192, 255));
            QCOMPARE(label->palette().color(QPalette::WindowText), QColor(Qt::black));
            QVERIFY(label->autoFillBackground());
            QCOMPARE(label->frameShape(), QFrame::Box);
            QCOMPARE(label->frameShadow(), QFrame::Plain);
            QCOMPARE(label->lineWidth(), 1);
            QCOMPARE(label->font().pointSizeF(), 14.25);
            QVERIFY(!label->font().italic());
            QCOMPARE(label->font().weight(), QFont::Normal);
            const QString family = QFontInfo(label->font()).family();
            QVERIFY2(family == QLatin1String("IPAPGothic") || family == QLatin1String("Noto Sans CJK JP"),
                     qPrintable(family));
            QCOMPARE(label->alignment() & Qt::AlignHorizontal_Mask,
                     name == QLatin1String("LabMode") ? Qt::AlignHCenter : Qt::AlignRight);
            QCOMPARE(label->focusPolicy(), Qt::NoFocus);
            // Its frame whole: no caption beside it covers a pixel of it.
            for (int y = label->y(); y < label->geometry().bottom(); ++y)
                for (int x : {label->x(), label->geometry().right()})
                    QVERIFY2(QColor(image.pixel(x, y)) == Qt::black, qPrintable(QStringLiteral("%1 at %2,%3").arg(name).arg(x).arg(y)));
        }
        QPushButton *ok = w.command1();
        QCOMPARE(ok->palette().color(QPalette::Button), QColor(192, 192, 255));
        QVERIFY(ok->isDefault());
        QCOMPARE(QApplication::focusWidget(), ok);
        // OK is the only control that takes the focus.
        for (QWidget *child : w.form.findChildren<QWidget *>())
            if (child != ok)
                QCOMPARE(child->focusPolicy(), Qt::NoFocus);
    }

    void figuresAfterLoad_data()
    {
        QTest::addColumn<int>("questions");
        QTest::addColumn<int>("misses");
        QTest::addColumn<QString>("miss");
        QTest::addColumn<int>("labMissWidth");
        QTest::addColumn<int>("label9Left");
        QTest::newRow("99 in 999 keeps the layout") << 999 << 99 << "99/999" << 65 << 144;
        QTest::newRow("10 in 1000 widens") << 1000 << 10 << "10/1000" << 73 << 152;
    }
    void figuresAfterLoad()
    {
        QFETCH(int, questions);
        QFETCH(int, misses);
        QFETCH(QString, miss);
        QFETCH(int, labMissWidth);
        QFETCH(int, label9Left);
        Window w(finishedRun(questions, misses));
        w.form.load();
        QCOMPARE(w.label(QStringLiteral("LabMode"))->text(), QStringLiteral("英字"));
        QCOMPARE(w.label(QStringLiteral("LabMiss"))->text(), miss);
        QCOMPARE(w.label(QStringLiteral("LabMiss"))->geometry(), QRect(72, 40, labMissWidth, 25));
        QCOMPARE(w.label(QStringLiteral("Label9"))->geometry(), QRect(label9Left, 48, 25, 17));
        QCOMPARE(w.label(QStringLiteral("LabSp"))->text(), QStringLiteral("0.500"));
        QVERIFY(w.scoreFile().contains(miss.toLatin1() + " \x89\xf1"));
    }

    // Every figure shows whole, first digit included, in its fixed box.
    void figuresShowWhole_data()
    {
        QTest::addColumn<int>("questions");
        QTest::addColumn<int>("misses");
        QTest::addColumn<double>("seconds");
        QTest::newRow("example run") << 50 << 3 << 26.15;
        QTest::newRow("99 in 999, widest plain layout") << 999 << 99 << 500.0;
        QTest::newRow("10 in 1000, widened") << 1000 << 10 << 500.0;
        QTest::newRow("1000 in 1000, widened") << 1000 << 1000 << 500.0;
        QTest::newRow("two integer digits of seconds") << 10 << 5 << 123.45;
        QTest::newRow("three integer digits of seconds") << 10 << 5 << 1234.5;
    }
    void figuresShowWhole()
    {
        QFETCH(int, questions);
        QFETCH(int, misses);
        QFETCH(double, seconds);
        Window w(finishedRun(questions, misses, seconds));
        w.form.load();
        for (const QString &name : FigureBoxes) {
            const QLabel *box = w.label(name);
            const int textWidth = QFontMetrics(box->font()).horizontalAdvance(box->text());
            QVERIFY2(textWidth <= box->contentsRect().width() - 2 * box->indent(),
                     qPrintable(QStringLiteral("%1 \"%2\": %3 px in %4").arg(name, box->text()).arg(textWidth)
                                    .arg(box->contentsRect().width())));
            QCOMPARE(box->font().pointSizeF(), 14.25);
            QCOMPARE(box->size().height(), 25);
        }
    }

    void okKeys_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::newRow("Enter") << int(Qt::Key_Return) << int(Qt::NoModifier);
        QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << int(Qt::KeypadModifier);
        QTest::newRow("Space") << int(Qt::Key_Space) << int(Qt::NoModifier);
        QTest::newRow("Alt+O") << int(Qt::Key_O) << int(Qt::AltModifier);
    }
    void okKeys()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        Window w(finishedRun(10, 0));
        w.form.load();
        QVERIFY(w.showAndActivate());
        QTest::keyClick(w.form.windowHandle(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QTRY_VERIFY(!w.form.isVisible());
        QCOMPARE(w.form.result(), int(QDialog::Accepted));
    }

    void escapeLeavesTheWindowOpen()
    {
        Window w(finishedRun(10, 0));
        w.form.load();
        QVERIFY(w.showAndActivate());
        QCOMPARE(QApplication::focusWidget(), w.command1());
        QTest::keyClick(w.form.windowHandle(), Qt::Key_Escape);
        QVERIFY(w.form.isVisible());
        QCOMPARE(w.form.result(), 0);
        w.form.close();
    }

    // OK after a long run: the boxes come up one at a time, in order, each
    // with no icon and a single OK button; then the window closes.
    void milestoneBoxes_data()
    {
        QTest::addColumn<int>("questions");
        QTest::addColumn<QStringList>("titles");
        QTest::newRow("200") << 200 << QStringList{};
        QTest::newRow("201") << 201 << QStringList{"You are 201 Count!!"};
        QTest::newRow("500") << 500 << QStringList{"You are 500 Count!!"};
        QTest::newRow("501") << 501 << QStringList{"You are 501 Count!!", "You Are Great!!"};
        QTest::newRow("1000") << 1000 << QStringList{"You are 1000 Count!!", "You Are Great!!"};
        QTest::newRow("1001") << 1001 << QStringList{"You are 1001 Count!!", "You Are Great!!", "すげぇ！！"};
    }
    void milestoneBoxes()
    {
        QFETCH(int, questions);
        QFETCH(QStringList, titles);
        Window w(finishedRun(questions, 0));
        w.form.load();
        QVERIFY(w.showAndActivate());

        QList<SeenMessage> seen;
        {
            const auto answerer = answerMessages(seen);
            w.command1()->click();
        }
        QStringList seenTitles;
        for (const SeenMessage &message : seen) {
            seenTitles << message.title;
            QCOMPARE(message.icon, QMessageBox::NoIcon);
            QCOMPARE(message.buttonCount, 1);
        }
        QCOMPARE(seenTitles, titles);
        if (seen.size() >= 2)
            QCOMPARE(seen[1].text, QStringLiteral("あんたすごいよ！！こんなにやってくれてありがとう！！\n"
                                                  "俺も音楽にノって569回やったことがあるけど・・。"));
        QVERIFY(!w.form.isVisible());
        QCOMPARE(w.form.result(), int(QDialog::Accepted));
    }

    void closeBoxClosesWithoutMessages()
    {
        Window w(finishedRun(1001, 0));
        w.form.load();
        QVERIFY(w.showAndActivate());
        QList<SeenMessage> seen;
        {
            const auto answerer = answerMessages(seen);
            QVERIFY(w.form.close());
            QTest::qWait(50);
        }
        QVERIFY(seen.isEmpty());
        QVERIFY(!w.form.isVisible());
        QCOMPARE(w.form.result(), int(QDialog::Rejected));
    }

    void unwritableLogShowsOneErrorAndCarriesOn()
    {
        Window w(finishedRun(10, 1));
        QVERIFY(QDir(w.dir.path()).mkdir(QStringLiteral("Score.txt")));
        QList<SeenMessage> seen;
        {
            const auto answerer = answerMessages(seen);
            w.form.load();
        }
        QCOMPARE(seen.size(), 1);
        QVERIFY(seen[0].text.contains(w.dir.filePath(QStringLiteral("Score.txt"))));
        QVERIFY(seen[0].text.contains(qt_error_string(EISDIR)));
        QCOMPARE(seen[0].icon, QMessageBox::Warning);
        // The results are there and OK still works.
        QCOMPARE(w.label(QStringLiteral("LabMiss"))->text(), QStringLiteral("1/10"));
        QVERIFY(w.showAndActivate());
        w.command1()->click();
        QVERIFY(!w.form.isVisible());
    }

    // The whole round as the main window calls it: a fresh window each time,
    // modal, gone once it returns.
    void showResultsWindowRunsModallyAndCleansUp()
    {
        QTemporaryDir dir;
        FakePlatform fakes;
        const Services services = fakes.services(dir.path());
        QStringList shown;
        QList<int> labMissWidths;
        int messages = 0;
        ModalAnswerer answerer([&](QWidget *widget) {
            if (auto *box = qobject_cast<QMessageBox *>(widget)) {
                ++messages;
                box->button(QMessageBox::Ok)->click();
                return;
            }
            if (widget->objectName() != QLatin1String("Form2"))
                return;
            shown << widget->findChild<QLabel *>(QStringLiteral("LabMiss"))->text();
            labMissWidths << widget->findChild<QLabel *>(QStringLiteral("LabMiss"))->width();
            QVERIFY(widget->isModal());
            widget->findChild<QPushButton *>(QStringLiteral("Command1"))->click();
        });
        showResultsWindow(finishedRun(1000, 10), RunRecording(), services);
        QVERIFY(QApplication::topLevelWidgets().isEmpty());
        showResultsWindow(finishedRun(30, 2), RunRecording(), services);
        QCOMPARE(shown, (QStringList{"10/1000", "2/30"}));
        QCOMPARE(messages, 2);
        // The second window starts from the plain layout again.
        QCOMPARE(labMissWidths, (QList<int>{73, 65}));

        QFile file(dir.filePath(QStringLiteral("Score.txt")));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll().count("\r\n"), 5);
    }
};

QTEST_MAIN(TestForm2Window)
#include "tst_form2window.moc"
