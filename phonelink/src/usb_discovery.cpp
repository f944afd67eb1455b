#include "phonelink/src/usb_discovery.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>

#include "phonelink/src/escapes.h"
#include "phonelink/src/folders.h"
#include "phonelink/src/mount_table.h"
#include "phonelink/src/phone_ids.h"
#include "phonelink/src/tone_folders.h"

namespace {

// The folders directly inside folder (hidden ones left out), sorted by name.
std::vector<std::string> SubfolderNames(const std::string& folder) {
    std::vector<std::string> names = NamesIn(folder);
    std::erase_if(names, [&](const std::string& name) { return name[0] == '.' || !IsFolder(folder + "/" + name); });
    return names;
}

bool StartsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

std::string BaseName(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

struct Storage {
    std::string path;
    std::string label;  // its folder's name
};

// One phone per storage: the device's name alone, or with the storage's when it has several.
void AddStorages(const std::string& deviceName, const std::vector<Storage>& storages, WayScan& scan) {
    for (const Storage& storage : storages) {
        if (std::any_of(scan.phones.begin(), scan.phones.end(),
                        [&](const Phone& known) { return known.storage == storage.path; }))
            continue;
        Phone phone;
        phone.way = PhoneWay::Usb;
        phone.storage = storage.path;
        phone.id = MakePhoneId(PhoneWay::Usb, storage.path);
        phone.name = storages.size() > 1 ? deviceName + " (" + storage.label + ")" : deviceName;
        scan.phones.push_back(std::move(phone));
    }
}

// The folders directly inside folder as storages; with toneFoldersOnly, those that have tone
// folders.
std::vector<Storage> StoragesIn(const std::string& folder, bool toneFoldersOnly) {
    std::vector<Storage> storages;
    for (const std::string& name : SubfolderNames(folder)) {
        Storage storage{folder + "/" + name, name};
        if (!toneFoldersOnly || HasToneFolder(storage.path)) storages.push_back(std::move(storage));
    }
    return storages;
}

// gvfs shows each device as "<scheme>:host=<name>" with one folder per storage. An MTP
// storage is a phone's even before it has tone folders; a gphoto2 one (cameras too) only
// with them. Returns the name of an MTP device that shows no storage at all (a locked phone
// or one that has not allowed file transfer), if any.
std::string ScanGvfs(const std::string& gvfsRoot, WayScan& scan) {
    std::string withoutStorage;
    for (const std::string& mount : SubfolderNames(gvfsRoot)) {
        const bool mtp = StartsWith(mount, "mtp:");
        if (!mtp && !StartsWith(mount, "gphoto2:")) continue;
        const std::vector<Storage> storages = StoragesIn(gvfsRoot + "/" + mount, !mtp);
        if (mtp && storages.empty()) withoutStorage = GvfsDeviceName(mount);
        AddStorages(GvfsDeviceName(mount), storages, scan);
    }
    return withoutStorage;
}

// Another mounted storage counts when its root has tone folders (a memory card), or else
// each folder directly below it that has them (a phone mounted by an MTP file system).
void ScanMounts(const std::string& mountTable, const std::string& gvfsRoot, WayScan& scan) {
    for (const MountEntry& entry : ReadMountTable(mountTable)) {
        if (IsSystemMount(entry) || entry.point == gvfsRoot) continue;
        const std::string name = BaseName(entry.point);
        if (HasToneFolder(entry.point))
            AddStorages(name, {{entry.point, name}}, scan);
        else
            AddStorages(name, StoragesIn(entry.point, true), scan);
    }
}

}  // namespace

std::string DefaultGvfsRoot() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && runtime[0] == '/') return std::string(runtime) + "/gvfs";
    return "/run/user/" + std::to_string(::getuid()) + "/gvfs";
}

std::string GvfsDeviceName(const std::string& mountName) {
    const size_t host = mountName.find("host=");
    std::string name = DecodePercentEscapes(host == std::string::npos ? mountName : mountName.substr(host + 5));
    std::replace(name.begin(), name.end(), '_', ' ');
    const size_t first = name.find_first_not_of(' ');
    return first == std::string::npos ? mountName : name.substr(first, name.find_last_not_of(' ') - first + 1);
}

WayScan ScanUsb(const std::string& gvfsRoot, const std::string& mountTable) {
    WayScan scan;
    scan.state.way = PhoneWay::Usb;
    const std::string withoutStorage = ScanGvfs(gvfsRoot, scan);
    ScanMounts(mountTable, gvfsRoot, scan);
    scan.state.available = !scan.phones.empty();
    if (scan.state.available) return scan;
    scan.state.hint = withoutStorage.empty() ? std::string(kNoUsbStorageHint) : withoutStorage + kLockedPhoneHint;
    return scan;
}
