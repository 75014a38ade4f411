// The alert sound through libcanberra against a real sound server (a private
// PulseAudio with a null sink): what connecting and playing answer where the
// server is there, absent or gone, where the theme has no such sound and
// where the desktop turned event sounds off; and that a play is heard.

#include "AlertSoundCanberra.h"
#include "PulseSession.h"

#ifdef TEKKORA_HAVE_MONITOR_RECORDER
#include "MonitorRecorder.h"
#endif

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace tekkora;
using namespace tekkora::testing;
using Outcome = AlertSound::Outcome;

Q_DECLARE_METATYPE(Outcome)

class TestAlertSound : public QObject {
    Q_OBJECT
private slots:
    void outcomes_data()
    {
        QTest::addColumn<QString>("situation");
        QTest::addColumn<Outcome>("opened");
        QTest::addColumn<Outcome>("played");
        QTest::newRow("server answers") << QStringLiteral("server") << Outcome::Played << Outcome::Played;
        QTest::newRow("no server") << QStringLiteral("no server") << Outcome::Offline << Outcome::Offline;
        QTest::newRow("server gone after connecting")
            << QStringLiteral("server gone") << Outcome::Played << Outcome::Offline;
        QTest::newRow("theme without the sound")
            << QStringLiteral("no sound") << Outcome::Unavailable << Outcome::Offline;
        QTest::newRow("event sounds off") << QStringLiteral("muted") << Outcome::Muted << Outcome::Offline;
    }

    void outcomes()
    {
        QFETCH(QString, situation);
        QFETCH(Outcome, opened);
        QFETCH(Outcome, played);
        PulseSession pulse;
        TEKKORA_START_PULSE(pulse);
        QTemporaryDir home;
        QVERIFY(home.isValid());
        const QDir dir(home.path());
        dir.mkpath(QStringLiteral("config/gtk-3.0"));
        dir.mkpath(QStringLiteral("empty"));
        // A fresh look-up cache each time: libcanberra keeps where it found a sound.
        qputenv("XDG_CACHE_HOME", dir.filePath(QStringLiteral("cache")).toLocal8Bit());
        qputenv("XDG_CONFIG_HOME", dir.filePath(QStringLiteral("config")).toLocal8Bit());
        qputenv("XDG_DATA_HOME", dir.filePath(QStringLiteral("empty")).toLocal8Bit());
        qunsetenv("XDG_DATA_DIRS");
        qunsetenv("XDG_CURRENT_DESKTOP");
        const auto environment = situation == QLatin1String("no server") ? pulse.absentServerEnvironment()
                                                                         : pulse.clientEnvironment();
        for (const QString &name : environment.keys())
            qputenv(name.toLocal8Bit().constData(), environment.value(name).toLocal8Bit());
        QFile ini(dir.filePath(QStringLiteral("config/gtk-3.0/settings.ini")));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        if (situation == QLatin1String("no sound")) {
            // No sound anywhere; a theme of its own, since libcanberra keeps
            // the places it found sounds for a theme for the process's life.
            qputenv("XDG_DATA_DIRS", dir.filePath(QStringLiteral("empty")).toLocal8Bit());
            ini.write("[Settings]\ngtk-sound-theme-name=tekkora-silent\n");
        }
        if (situation == QLatin1String("muted"))
            ini.write("[Settings]\ngtk-enable-event-sounds=false\n");
        ini.close();

        AlertSoundCanberra sound;
        QCOMPARE(sound.open(), opened);
        if (opened != Outcome::Played)
            sound.close(); // as the worker does
        if (situation == QLatin1String("server gone"))
            pulse.stop();
        QCOMPARE(sound.play(), played);
        sound.close();
        qunsetenv("XDG_DATA_DIRS");
    }

    void aPlayIsHeard()
    {
#ifndef TEKKORA_HAVE_MONITOR_RECORDER
        QSKIP("libpulse-dev is not installed");
#else
        PulseSession pulse;
        TEKKORA_START_PULSE(pulse);
        MonitorRecorder recorder(pulse);
        QVERIFY2(recorder.start(), qPrintable(recorder.error()));
        QTRY_VERIFY_WITH_TIMEOUT(recorder.isSettled(), 10000);
        AlertSoundCanberra sound;
        QCOMPARE(sound.open(), Outcome::Played);
        QCOMPARE(recorder.soundCount(), 0);
        QCOMPARE(sound.play(), Outcome::Played);
        QTRY_COMPARE(recorder.soundCount(), 1);
        QTRY_VERIFY(recorder.isQuiet()); // it ends
        sound.close();
#endif
    }

    void aBurstIsCutShortNotMixed()
    {
#ifndef TEKKORA_HAVE_MONITOR_RECORDER
        QSKIP("libpulse-dev is not installed");
#else
        PulseSession pulse;
        TEKKORA_START_PULSE(pulse);
        MonitorRecorder recorder(pulse);
        QVERIFY2(recorder.start(), qPrintable(recorder.error()));
        QTRY_VERIFY_WITH_TIMEOUT(recorder.isSettled(), 10000);
        AlertSoundCanberra sound;
        QCOMPARE(sound.open(), Outcome::Played);
        QCOMPARE(sound.play(), Outcome::Played);
        QTRY_COMPARE(recorder.soundCount(), 1);
        QTRY_VERIFY(recorder.isQuiet());
        // Keys faster than the sound is long: each sound cuts the one
        // before, so they never play on top of each other, louder.
        for (int i = 0; i < 10; ++i) {
            QCOMPARE(sound.play(), Outcome::Played);
            QTest::qWait(30);
        }
        QTRY_VERIFY(recorder.isQuiet());
        const QList<MonitorRecorder::Sound> sounds = recorder.sounds();
        QCOMPARE(sounds.size(), 2);
        QVERIFY2(sounds[1].peak < sounds[0].peak * 1.2,
                 qPrintable(QStringLiteral("peak %1 against %2 alone").arg(sounds[1].peak).arg(sounds[0].peak)));
        sound.close();
#endif
    }
};

QTEST_GUILESS_MAIN(TestAlertSound)
#include "tst_alertsound.moc"
