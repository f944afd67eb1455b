// The program's profile in the current user's key store, and the settings read from it.
#include "app/settings.h"

#include "platform/key_store.h"

namespace {

std::string SectionKey(const std::string& section) { return std::string(kSettingsKey) + "\\" + section; }

}  // namespace

int GetProfileInt(const std::string& section, const std::string& entry, int defaultValue) {
    return keystore::GetInt(HKEY_CURRENT_USER, SectionKey(section), entry, defaultValue);
}

bool WriteProfileInt(const std::string& section, const std::string& entry, int value) {
    return keystore::SetInt(HKEY_CURRENT_USER, SectionKey(section), entry, value);
}

std::string GetProfileString(const std::string& section, const std::string& entry, const std::string& defaultValue) {
    return keystore::GetString(HKEY_CURRENT_USER, SectionKey(section), entry, defaultValue);
}

bool WriteProfileString(const std::string& section, const std::string& entry, const std::string& value) {
    return keystore::SetString(HKEY_CURRENT_USER, SectionKey(section), entry, value);
}

ProgramSettings ReadProgramSettings() {
    const ProgramSettings defaults;
    ProgramSettings settings;
    settings.volume = GetProfileInt("General", "Volume", defaults.volume);
    settings.loop = GetProfileInt("General", "Loop", defaults.loop) != 0;
    settings.fadeIn = GetProfileInt("General", "FadeIn", defaults.fadeIn) != 0;
    settings.fadeOut = GetProfileInt("General", "FadeOut", defaults.fadeOut) != 0;
    settings.lastComputerFolder = GetProfileString("General", "LastComputerFolder", "");
    settings.formatIndex = GetProfileInt("Save", "FormatIndex", defaults.formatIndex);
    settings.channels = GetProfileInt("Save", "Channels", defaults.channels);
    settings.bitrate = GetProfileInt("Save", "Bitrate", defaults.bitrate);
    settings.normalize = GetProfileInt("Save", "Normalize", defaults.normalize);
    settings.overwrite = GetProfileInt("Save", "Overwrite", defaults.overwrite) != 0;
    settings.preset = GetProfileInt("Save", "Preset", defaults.preset);
    settings.limiter = GetProfileInt("Save", "Limiter", defaults.limiter) != 0;
    settings.ringtoneLoudness = GetProfileInt("Save", "RingtoneLoudness", defaults.ringtoneLoudness);
    settings.notificationLoudness = GetProfileInt("Save", "NotificationLoudness", defaults.notificationLoudness);
    return settings;
}
