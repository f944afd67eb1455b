#include "phonelink/src/mount_table.h"

#include <algorithm>
#include <iterator>
#include <fstream>
#include <sstream>
#include <string_view>

namespace {

// Decodes the \ooo escapes the kernel writes for blanks, tabs, newlines and backslashes.
std::string Unescape(const std::string& field) {
    std::string text;
    text.reserve(field.size());
    for (size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            const std::string_view digits(field.data() + i + 1, 3);
            if (std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '7'; })) {
                text += static_cast<char>((digits[0] - '0') * 64 + (digits[1] - '0') * 8 + (digits[2] - '0'));
                i += 3;
                continue;
            }
        }
        text += field[i];
    }
    return text;
}

// File systems that are not storage: the kernel's virtual ones, memory-only ones, network
// shares (whose folders can hang), containers' layers and the desktop's own FUSE services.
constexpr std::string_view kSystemTypes[] = {
    "proc",       "sysfs",        "devtmpfs",       "devpts",      "tmpfs",         "ramfs",
    "cgroup",     "cgroup2",      "securityfs",     "pstore",      "debugfs",       "tracefs",
    "configfs",   "fusectl",      "mqueue",         "hugetlbfs",   "bpf",           "autofs",
    "binfmt_misc", "efivarfs",    "rpc_pipefs",     "nsfs",        "selinuxfs",     "overlay",
    "squashfs",   "nfs",          "nfs4",           "cifs",        "smb3",          "smbfs",
    "ceph",       "glusterfs",    "9p",             "afs",         "davfs",         "fuse.sshfs",
    "fuse.rclone", "fuse.gvfsd-fuse", "fuse.portal", "fuse.snapfuse", "fuse.lxcfs",
};

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
        MountEntry entry{Unescape(device), Unescape(point), type};
        std::erase_if(entries, [&](const MountEntry& earlier) { return earlier.point == entry.point; });
        entries.push_back(std::move(entry));
    }
    return entries;
}

bool IsSystemMount(const MountEntry& entry) {
    if (std::find(std::begin(kSystemTypes), std::end(kSystemTypes), entry.type) != std::end(kSystemTypes)) return true;
    if (std::find(std::begin(kSystemPoints), std::end(kSystemPoints), entry.point) != std::end(kSystemPoints)) return true;
    for (std::string_view tree : kSystemTrees) {
        if (IsBelow(entry.point, tree)) return true;
    }
    // The runtime folders, but for the removable media udisks mounts there.
    if (entry.point == "/run" || (IsBelow(entry.point, "/run") && !IsBelow(entry.point, "/run/media")))
        return true;
    return false;
}
