#include "phonelink/src/mount_table.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string_view>

#include "phonelink/src/escapes.h"

namespace {

// File systems that are not storage.
// clang-format off
constexpr std::string_view kSystemTypes[] = {
    // the kernel's virtual ones and memory-only ones
    "proc", "sysfs", "devtmpfs", "devpts", "tmpfs", "ramfs", "cgroup", "cgroup2", "securityfs", "pstore",
    "debugfs", "tracefs", "configfs", "fusectl", "mqueue", "hugetlbfs", "bpf", "autofs", "binfmt_misc",
    "efivarfs", "rpc_pipefs", "nsfs", "selinuxfs",
    // containers' and packages' layers
    "overlay", "squashfs", "fuse.snapfuse", "fuse.lxcfs",
    // network shares, whose folders can hang
    "nfs", "nfs4", "cifs", "smb3", "smbfs", "ceph", "glusterfs", "9p", "afs", "davfs", "fuse.sshfs", "fuse.rclone",
    // the desktop's own FUSE services
    "fuse.gvfsd-fuse", "fuse.portal",
};
// clang-format on

// Mount points of the system: these exactly ...
constexpr std::string_view kSystemPoints[] = {
    "/", "/boot", "/efi", "/home", "/opt", "/srv", "/tmp", "/usr", "/var",
};
// ... and everything below these.
constexpr std::string_view kSystemTrees[] = {
    "/proc", "/sys", "/dev", "/boot", "/snap", "/var", "/usr",
};

bool IsBelow(const std::string& path, std::string_view tree) {
    return path.size() > tree.size() && path.compare(0, tree.size(), tree) == 0 && path[tree.size()] == '/';
}

}  // namespace

std::vector<MountEntry> ReadMountTable(const std::string& path) {
    std::vector<MountEntry> entries;
    std::ifstream file(path);
    std::string line;
    while (std::getline(file, line)) {
        std::istringstream fields(line);
        std::string device, point, type;
        if (!(fields >> device >> point >> type)) continue;
        MountEntry entry{DecodeOctalEscapes(device), DecodeOctalEscapes(point), type};
        std::erase_if(entries, [&](const MountEntry& earlier) { return earlier.point == entry.point; });
        entries.push_back(std::move(entry));
    }
    return entries;
}

bool IsSystemMount(const MountEntry& entry) {
    if (std::find(std::begin(kSystemTypes), std::end(kSystemTypes), entry.type) != std::end(kSystemTypes)) return true;
    if (std::find(std::begin(kSystemPoints), std::end(kSystemPoints), entry.point) != std::end(kSystemPoints))
        return true;
    for (std::string_view tree : kSystemTrees) {
        if (IsBelow(entry.point, tree)) return true;
    }
    // The runtime folders, but for the removable media udisks mounts there.
    if (entry.point == "/run" || (IsBelow(entry.point, "/run") && !IsBelow(entry.point, "/run/media"))) return true;
    return false;
}
