// Key events become the key codes the drill compares.

#include "KeyCodes.h"

#include <QTest>

using namespace tekkora;

class TestKeyCodes : public QObject {
    Q_OBJECT
private slots:
    void translation_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("code");
        QTest::newRow("A") << int(Qt::Key_A) << 0 << 65;
        QTest::newRow("Z with Shift") << int(Qt::Key_Z) << int(Qt::ShiftModifier) << 90;
        QTest::newRow("main-row 0") << int(Qt::Key_0) << 0 << 48;
        QTest::newRow("main-row 9") << int(Qt::Key_9) << 0 << 57;
        QTest::newRow("keypad 0") << int(Qt::Key_0) << int(Qt::KeypadModifier) << 96;
        QTest::newRow("keypad 9") << int(Qt::Key_9) << int(Qt::KeypadModifier) << 105;
        QTest::newRow("Esc") << int(Qt::Key_Escape) << 0 << 27;
        QTest::newRow("Shift") << int(Qt::Key_Shift) << int(Qt::ShiftModifier) << 16;
        QTest::newRow("Ctrl") << int(Qt::Key_Control) << int(Qt::ControlModifier) << 17;
        QTest::newRow("Alt") << int(Qt::Key_Alt) << int(Qt::AltModifier) << 18;
        QTest::newRow("F5") << int(Qt::Key_F5) << 0 << 116;
        QTest::newRow("Space") << int(Qt::Key_Space) << 0 << 32;
        QTest::newRow("Enter") << int(Qt::Key_Return) << 0 << 13;
        QTest::newRow("shifted 1 is no digit") << int(Qt::Key_Exclam) << int(Qt::ShiftModifier) << 255;
        QTest::newRow("kana key") << int(Qt::Key_Katakana) << 0 << 255;
    }
    void translation()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(int, code);
        QCOMPARE(int(keyCodeFor(key, Qt::KeyboardModifiers(modifiers))), code);
    }

    void nothingElseLandsOnAnAnswer()
    {
        // Every other key of the toolkit, with or without modifiers, stays
        // clear of the codes that answer questions.
        const Qt::KeyboardModifiers mods[] = {Qt::NoModifier, Qt::ShiftModifier, Qt::KeypadModifier,
                                              Qt::ControlModifier | Qt::AltModifier};
        for (int key = 0; key < 0x01300000; key = key < 0x10000 ? key + 1 : key + 0x100) {
            const bool answer = (key >= Qt::Key_0 && key <= Qt::Key_9) || (key >= Qt::Key_A && key <= Qt::Key_Z);
            if (answer)
                continue;
            for (Qt::KeyboardModifiers m : mods) {
                const int code = keyCodeFor(key, m);
                if ((code >= 48 && code <= 57) || (code >= 65 && code <= 90))
                    QFAIL(qPrintable(QStringLiteral("key %1 gives %2").arg(key, 0, 16).arg(code)));
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestKeyCodes)
#include "tst_keycodes.moc"
