#pragma once

// The player's choice of event sounds, as GTK programs read it: the sound
// theme and whether event sounds are on at all. GNOME-like desktops keep it
// in GSettings (org.gnome.desktop.sound); KDE, Xfce and others write it to
// GTK's settings.ini. The sound library itself reads neither.

#include <optional>
#include <string>
#include <string_view>

namespace tekkora {

struct DesktopSoundSettings {
    std::string theme; // empty: the library's default, "freedesktop"
    bool eventSounds = true;

    // Reads the desktop's settings; blocking (files, and on GNOME-like
    // desktops GSettings, loaded only then), so for a worker thread.
    static DesktopSoundSettings read();

    // From the text of a settings.ini; nothing when it names neither.
    static std::optional<DesktopSoundSettings> fromGtkSettings(std::string_view text);
    // From GSettings, where its library and the schema are installed.
    static std::optional<DesktopSoundSettings> fromGSettings();
};

} // namespace tekkora
