#include "phonelink/src/tone_folders.h"

#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>

#include <memory>

const char* ToneFolderName(ToneFolder folder) {
    switch (folder) {
        case ToneFolder::Ringtones: return "Ringtones";
        case ToneFolder::Notifications: return "Notifications";
        case ToneFolder::Alarms: return "Alarms";
    }
    return "";
}

ToneFolder ToneFolderOfKind(const std::string& kindName) {
    if (kindName == "notification") return ToneFolder::Notifications;
    if (kindName == "alarm") return ToneFolder::Alarms;
    return ToneFolder::Ringtones;
}

namespace {

struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};

bool IsFolder(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

std::optional<std::string> FindEntryIgnoringCase(const std::string& folder, const std::string& name) {
    const std::string exact = folder + "/" + name;
    struct stat info {};
    if (::lstat(exact.c_str(), &info) == 0) return exact;
    const std::unique_ptr<DIR, DirCloser> dir(::opendir(folder.c_str()));
    if (!dir) return std::nullopt;
    while (const dirent* entry = ::readdir(dir.get())) {
        if (::strcasecmp(entry->d_name, name.c_str()) == 0) return folder + "/" + entry->d_name;
    }
    return std::nullopt;
}

bool HasToneFolder(const std::string& folder) {
    const std::unique_ptr<DIR, DirCloser> dir(::opendir(folder.c_str()));
    if (!dir) return false;
    while (const dirent* entry = ::readdir(dir.get())) {
        for (ToneFolder tone : {ToneFolder::Ringtones, ToneFolder::Notifications, ToneFolder::Alarms}) {
            if (::strcasecmp(entry->d_name, ToneFolderName(tone)) == 0 && IsFolder(folder + "/" + entry->d_name))
                return true;
        }
    }
    return false;
}
