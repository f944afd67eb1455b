// The program's settings in the current user's key store.
#pragma once

#include <string>

// The program's settings key under HKEY_CURRENT_USER; its sections are subkeys.
inline constexpr char kSettingsKey[] = "SOFTWARE\\Zo Ruvo\\Qo Morvane\\Qo Morvane 1.0";
// The settings section of the one-time hints (entry: the hint dialog's section name).
inline constexpr char kNotifiedSection[] = "Notified";

// The program's profile: integers in section (a subkey of kSettingsKey) of the key store.
int GetProfileInt(const std::string& section, const std::string& entry, int defaultValue);
bool WriteProfileInt(const std::string& section, const std::string& entry, int value);
// String values of the program's profile (section: a subkey of kSettingsKey).
std::string GetProfileString(const std::string& section, const std::string& entry, const std::string& defaultValue);
bool WriteProfileString(const std::string& section, const std::string& entry, const std::string& value);

// The program's settings with their defaults. "General": Volume (0 ... 200), Loop, FadeIn,
// FadeOut, LastComputerFolder; "Save": FormatIndex, Channels (row: 0 mono, 1 stereo),
// Bitrate (row: 0 64, 1 128, 2 256 kbps), Normalize (0 off, 1 peak, 2 loudness), Overwrite,
// Preset (row of the "For:" list), Limiter, and the loudness targets in tenths of LUFS,
// RingtoneLoudness (ringtones and alarms) and NotificationLoudness.
struct ProgramSettings {
    int volume = 100;
    bool loop = true;
    bool fadeIn = true;
    bool fadeOut = true;
    std::string lastComputerFolder;
    int formatIndex = 0;
    int channels = 1;
    int bitrate = 1;
    int normalize = 1;
    bool overwrite = false;
    int preset = 0;
    bool limiter = false;
    int ringtoneLoudness = -140;
    int notificationLoudness = -180;
};
// Every setting from the current user's key store, the default where one is missing.
ProgramSettings ReadProgramSettings();
