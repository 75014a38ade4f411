// Where the player's choice of event sounds comes from: GTK's settings.ini
// (gtk-4.0 before gtk-3.0) on most desktops, GSettings on GNOME-like ones.

#include "DesktopSoundSettings.h"

#include "support/TestFiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace tekkora;
using namespace tekkora::testing;

class TestDesktopSoundSettings : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY(config_.isValid());
        qputenv("XDG_CONFIG_HOME", config_.path().toLocal8Bit());
        // GSettings from a file instead of the desktop's database.
        qputenv("GSETTINGS_BACKEND", "keyfile");
        for (const char *folder : {"glib-2.0/settings", "gtk-3.0", "gtk-4.0"})
            QVERIFY(QDir(config_.path()).mkpath(QLatin1String(folder)));
        QVERIFY(writeAll(config_.filePath(QStringLiteral("glib-2.0/settings/keyfile")),
                         "[org/gnome/desktop/sound]\ntheme-name='__custom'\nevent-sounds=false\n"));
    }

    void cleanupTestCase()
    {
        qunsetenv("XDG_CONFIG_HOME");
        qunsetenv("XDG_CURRENT_DESKTOP");
        qunsetenv("GSETTINGS_BACKEND");
    }

    void choice_data()
    {
        QTest::addColumn<QByteArray>("desktop");
        QTest::addColumn<QByteArray>("gtk3");
        QTest::addColumn<QByteArray>("gtk4");
        QTest::addColumn<QString>("theme");
        QTest::addColumn<bool>("eventSounds");
        QTest::newRow("nothing set") << QByteArray("KDE") << QByteArray() << QByteArray() << QString() << true;
        QTest::newRow("a theme") << QByteArray("KDE") << QByteArray("[Settings]\ngtk-sound-theme-name=ocean\n")
                                 << QByteArray() << QStringLiteral("ocean") << true;
        QTest::newRow("sounds off") << QByteArray("XFCE") << QByteArray("[Settings]\ngtk-enable-event-sounds=0\n")
                                    << QByteArray() << QString() << false;
        QTest::newRow("sounds off, in words")
            << QByteArray("LXQt") << QByteArray("[Settings]\ngtk-enable-event-sounds=false\n") << QByteArray()
            << QString() << false;
        QTest::newRow("quoted, spaced, CR LF")
            << QByteArray("KDE") << QByteArray("[Settings]\r\n  gtk-sound-theme-name = \"Yaru\" \r\n") << QByteArray()
            << QStringLiteral("Yaru") << true;
        QTest::newRow("outside [Settings]")
            << QByteArray("KDE") << QByteArray("[Other]\ngtk-sound-theme-name=ocean\ngtk-enable-event-sounds=0\n")
            << QByteArray() << QString() << true;
        QTest::newRow("gtk-4.0 first") << QByteArray("KDE") << QByteArray("[Settings]\ngtk-sound-theme-name=three\n")
                                       << QByteArray("[Settings]\ngtk-sound-theme-name=four\n")
                                       << QStringLiteral("four") << true;
        QTest::newRow("GNOME: GSettings, not settings.ini")
            << QByteArray("ubuntu:GNOME") << QByteArray("[Settings]\ngtk-sound-theme-name=ocean\n") << QByteArray()
            << QStringLiteral("__custom") << false;
    }

    void choice()
    {
        QFETCH(QByteArray, desktop);
        QFETCH(QByteArray, gtk3);
        QFETCH(QByteArray, gtk4);
        QFETCH(QString, theme);
        QFETCH(bool, eventSounds);
        if (desktop.contains("GNOME")
            && !QFile::exists(QStringLiteral("/usr/share/glib-2.0/schemas/org.gnome.desktop.sound.gschema.xml")))
            QSKIP("gsettings-desktop-schemas is not installed");
        const QString gtk3File = config_.filePath(QStringLiteral("gtk-3.0/settings.ini"));
        const QString gtk4File = config_.filePath(QStringLiteral("gtk-4.0/settings.ini"));
        QFile::remove(gtk3File);
        QFile::remove(gtk4File);
        QVERIFY(gtk3.isEmpty() || writeAll(gtk3File, gtk3));
        QVERIFY(gtk4.isEmpty() || writeAll(gtk4File, gtk4));
        qputenv("XDG_CURRENT_DESKTOP", desktop);

        const DesktopSoundSettings settings = DesktopSoundSettings::read();
        QCOMPARE(QString::fromStdString(settings.theme), theme);
        QCOMPARE(settings.eventSounds, eventSounds);
    }

private:
    QTemporaryDir config_;
};

QTEST_GUILESS_MAIN(TestDesktopSoundSettings)
#include "tst_desktopsoundsettings.moc"
