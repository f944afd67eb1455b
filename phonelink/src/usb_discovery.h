// The phones the desktop has mounted: the MTP and gphoto2 storages gvfs mounts below its
// FUSE folder, and other mounted storages that have Android's tone folders.
#pragma once

#include <string>

#include "phonelink/src/way_scan.h"

inline constexpr char kNoUsbStorageHint[] =
    "No phone storage is mounted (connect the phone by USB and allow file transfer)";
// After the name of an MTP device that shows no storage.
inline constexpr char kLockedPhoneHint[] = " shows no storage (unlock the phone and allow file transfer)";

// "$XDG_RUNTIME_DIR/gvfs" (else /run/user/<uid>/gvfs).
std::string DefaultGvfsRoot();

// The device's name in a gvfs mount folder name: "mtp:host=SAMSUNG_Galaxy_XYZ" gives
// "SAMSUNG Galaxy XYZ" (percent escapes decoded, '_' read as a blank).
std::string GvfsDeviceName(const std::string& mountName);

WayScan ScanUsb(const std::string& gvfsRoot, const std::string& mountTable);
