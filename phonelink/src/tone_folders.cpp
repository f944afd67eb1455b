#include "phonelink/src/tone_folders.h"

#include <strings.h>
#include <sys/stat.h>

#include "phonelink/src/folders.h"

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

std::optional<std::string> FindEntryIgnoringCase(const std::string& folder, const std::string& name) {
    const std::string exact = folder + "/" + name;
    struct stat info {};
    if (::lstat(exact.c_str(), &info) == 0) return exact;
    for (const std::string& entry : NamesIn(folder)) {
        if (::strcasecmp(entry.c_str(), name.c_str()) == 0) return folder + "/" + entry;
    }
    return std::nullopt;
}

bool HasToneFolder(const std::string& folder) {
    for (const std::string& entry : NamesIn(folder)) {
        for (ToneFolder tone : {ToneFolder::Ringtones, ToneFolder::Notifications, ToneFolder::Alarms}) {
            if (::strcasecmp(entry.c_str(), ToneFolderName(tone)) == 0 && IsFolder(folder + "/" + entry)) return true;
        }
    }
    return false;
}
