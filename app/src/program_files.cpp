// The program's start-up files and the user's folders it uses.
#include "app/program.h"

#include <QDir>
#include <QStandardPaths>

#include <filesystem>
#include <system_error>

#include "platform/platform.h"

namespace {

// Creates the folder (and its parents); an existing one is fine.
void MakeFolder(const std::string& folder) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
}

}  // namespace

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
