// The mount table (/proc/self/mounts, or a file in its format) and which of its entries can
// be a phone's or memory card's storage.
#pragma once

#include <string>
#include <vector>

struct MountEntry {
    std::string device;
    std::string point;  // the mount point, its octal escapes (\040 ...) decoded
    std::string type;
};

// The entries in the order of the table; a later mount on the same point hides the earlier
// one, so only the last entry of each point is kept. Empty when the file cannot be read.
std::vector<MountEntry> ReadMountTable(const std::string& path);

// Whether an entry is the system's own (the root file system and its standard parts, virtual
// and network file systems, the runtime folders) and never a storage to look into.
bool IsSystemMount(const MountEntry& entry);
