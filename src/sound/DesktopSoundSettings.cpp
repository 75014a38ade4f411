#include "DesktopSoundSettings.h"

#include <cstdio>
#include <cstdlib>
#include <memory>

#include <dlfcn.h>
#include <gio/gio.h>

namespace tekkora {

namespace {

std::string_view trimmed(std::string_view text)
{
    constexpr std::string_view blanks = " \t\r\n\"'";
    const auto first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

bool isFalse(std::string_view value)
{
    return value == "0" || value == "false" || value == "FALSE" || value == "False";
}

std::string environment(const char *name)
{
    const char *value = std::getenv(name);
    return value != nullptr ? value : "";
}

// The whole of a small text file, or nothing. C stdio rather than
// iostreams: the first stream sets up libstdc++'s locale machinery, a few
// hundred KiB of the program's memory for two lines of settings.
std::optional<std::string> readSmallFile(const std::string &path)
{
    constexpr std::size_t Limit = 1 << 20; // a settings file, not a dump
    const std::unique_ptr<std::FILE, int (*)(std::FILE *)> file(std::fopen(path.c_str(), "rb"), std::fclose);
    if (!file)
        return std::nullopt;
    std::string text;
    char chunk[4096];
    std::size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file.get())) > 0 && text.size() < Limit)
        text.append(chunk, got);
    if (std::ferror(file.get()))
        return std::nullopt;
    return text;
}

std::optional<DesktopSoundSettings> fromGtkSettingsFiles()
{
    std::string config = environment("XDG_CONFIG_HOME");
    if (config.empty() || config.front() != '/') {
        const std::string home = environment("HOME");
        if (home.empty())
            return std::nullopt;
        config = home + "/.config";
    }
    for (const char *file : {"/gtk-4.0/settings.ini", "/gtk-3.0/settings.ini"}) {
        const std::optional<std::string> text = readSmallFile(config + file);
        if (!text)
            continue;
        if (auto settings = DesktopSoundSettings::fromGtkSettings(*text))
            return settings;
    }
    return std::nullopt;
}

bool onGnomeLikeDesktop()
{
    const std::string desktop = environment("XDG_CURRENT_DESKTOP");
    for (const char *name : {"GNOME", "Unity", "Budgie", "Cinnamon", "MATE", "Pantheon"})
        if (desktop.find(name) != std::string::npos)
            return true;
    return false;
}

} // namespace

std::optional<DesktopSoundSettings> DesktopSoundSettings::fromGtkSettings(std::string_view text)
{
    DesktopSoundSettings settings;
    bool named = false;
    bool inSettings = false;
    while (!text.empty()) {
        const auto end = text.find('\n');
        const std::string_view line = trimmed(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (line.starts_with('[')) {
            inSettings = line == "[Settings]";
            continue;
        }
        const auto equals = line.find('=');
        if (!inSettings || equals == std::string_view::npos)
            continue;
        const std::string_view key = trimmed(line.substr(0, equals));
        const std::string_view value = trimmed(line.substr(equals + 1));
        if (key == "gtk-sound-theme-name") {
            settings.theme = std::string(value);
            named = true;
        } else if (key == "gtk-enable-event-sounds") {
            settings.eventSounds = !isFalse(value);
            named = true;
        }
    }
    return named ? std::optional(settings) : std::nullopt;
}

std::optional<DesktopSoundSettings> DesktopSoundSettings::fromGSettings()
{
    // Loaded only here, on GNOME-like desktops, so that nobody else pays
    // for GIO at start-up or needs it installed. Never unloaded: GLib's
    // types cannot be. The types come from GIO's own header.
    void *gio = dlopen("libgio-2.0.so.0", RTLD_LAZY | RTLD_LOCAL);
    if (gio == nullptr)
        return std::nullopt;
    const auto resolve = [gio]<typename Function>(Function *, const char *name) {
        return reinterpret_cast<Function *>(dlsym(gio, name));
    };
    const auto sourceGet = resolve(&g_settings_schema_source_get_default, "g_settings_schema_source_get_default");
    const auto lookup = resolve(&g_settings_schema_source_lookup, "g_settings_schema_source_lookup");
    const auto create = resolve(&g_settings_new_full, "g_settings_new_full");
    const auto hasKey = resolve(&g_settings_schema_has_key, "g_settings_schema_has_key");
    const auto getString = resolve(&g_settings_get_string, "g_settings_get_string");
    const auto getBoolean = resolve(&g_settings_get_boolean, "g_settings_get_boolean");
    const auto schemaUnref = resolve(&g_settings_schema_unref, "g_settings_schema_unref");
    const auto objectUnref = resolve(&g_object_unref, "g_object_unref");
    const auto gFree = resolve(&g_free, "g_free");
    if (!sourceGet || !lookup || !create || !hasKey || !getString || !getBoolean || !schemaUnref || !objectUnref
        || !gFree)
        return std::nullopt;
    // A missing schema would abort the program in g_settings_new(): look first.
    GSettingsSchemaSource *source = sourceGet();
    GSettingsSchema *schema = source != nullptr ? lookup(source, "org.gnome.desktop.sound", TRUE) : nullptr;
    if (schema == nullptr)
        return std::nullopt;
    DesktopSoundSettings settings;
    GSettings *gsettings = create(schema, nullptr, nullptr);
    if (hasKey(schema, "theme-name")) {
        gchar *theme = getString(gsettings, "theme-name");
        if (theme != nullptr)
            settings.theme = theme;
        gFree(theme);
    }
    if (hasKey(schema, "event-sounds"))
        settings.eventSounds = getBoolean(gsettings, "event-sounds") != 0;
    objectUnref(gsettings);
    schemaUnref(schema);
    return settings;
}

DesktopSoundSettings DesktopSoundSettings::read()
{
    if (onGnomeLikeDesktop()) {
        if (auto settings = fromGSettings())
            return *settings;
        return fromGtkSettingsFiles().value_or(DesktopSoundSettings{});
    }
    if (auto settings = fromGtkSettingsFiles())
        return *settings;
    return DesktopSoundSettings{};
}

} // namespace tekkora
