// The program's settings and start-up files, with their defaults.
#include <QDir>
#include <QStandardPaths>

#include <filesystem>

#include "app/app.h"
#include "platform/platform.h"

namespace {

std::string SectionKey(const std::string& section) { return std::string(kSettingsKey) + "\\" + section; }

// Creates the folder (and its parents); an existing one is fine.
void MakeFolder(const std::string& folder) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
}

}  // namespace

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
    settings.normalize = GetProfileInt("Save", "Normalize", defaults.normalize) != 0;
    settings.overwrite = GetProfileInt("Save", "Overwrite", defaults.overwrite) != 0;
    return settings;
}

std::string SharedDataName() {
    return GetPrivateProfileString("General", "Name", "Qo Lumivox Gold 5.0", ProgramRelativePath("appdatadefault.ini"),
                                   99);
}

// The all-users data folder of the system is not writable for a user here, so the shared
// data lives in the user's generic data folder.
std::string SharedDataFolder() {
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    const std::string maker = base.toStdString() + "/Zo Ruvo";
    const std::string folder = maker + "/" + SharedDataName();
    MakeFolder(folder);
    return folder;
}

std::string LanguageShortName() {
    return GetPrivateProfileString("Language", "ShortName", "eng", SharedDataFolder() + "/Language.ini", 9);
}

std::string SingleEffectsPath() {
    return ProgramRelativePath("Language/" + LanguageShortName() + "/effects_single_kel.xml");
}

QString DocumentsFolder() {
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return documents.isEmpty() ? QDir::homePath() : documents;
}

QString RecordingsFolder() {
    const QString folder = DocumentsFolder() + QStringLiteral("/My Recording");
    MakeFolder(folder.toStdString());
    return folder;
}
