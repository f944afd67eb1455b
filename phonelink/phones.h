// The phones reachable now without Bluetooth: storages the desktop has mounted (USB) and the
// devices paired in KDE Connect or GSConnect on the session bus. Bluetooth devices come from
// btlink's search, which takes seconds; the send dialog merges both lists.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#pragma GCC visibility push(default)

enum class PhoneWay { Usb, KdeConnect, GsConnect, Bluetooth };

// "USB", "KDE Connect", "GSConnect", "Bluetooth".
const char* PhoneWayName(PhoneWay way);

struct Phone {
    // Stable between scans and sessions: "usb:<storage folder>", "kdeconnect:<device id>",
    // "gsconnect:<device id>", "bt:AA:BB:CC:DD:EE:FF".
    std::string id;
    PhoneWay way = PhoneWay::Usb;
    std::string name;
    // USB: the storage folder whose Ringtones, Notifications and Alarms folders take tones.
    std::string storage;
    // KDE Connect and GSConnect: the device's object path on the bus.
    std::string objectPath;
};

// Whether a way reaches phones now (it found at least one), with a hint for the user when
// it does not, one of:
//   USB: "No phone storage is mounted (connect the phone by USB and allow file transfer)",
//        or "<device name> shows no storage (unlock the phone and allow file transfer)" when
//        an MTP device is mounted without any storage (locked, or file transfer not allowed);
//   KDE Connect: "KDE Connect is not running", "KDE Connect does not answer",
//        "No paired phone is reachable in KDE Connect";
//   GSConnect: "GSConnect is not running", "GSConnect does not answer",
//        "No paired phone is connected in GSConnect";
//   both services: "The session bus cannot be reached" (also when the process has no
//        QCoreApplication).
struct WayState {
    PhoneWay way = PhoneWay::Usb;
    bool available = false;
    std::string hint;
};

struct PhoneScan {
    std::vector<Phone> phones;
    std::vector<WayState> ways;  // one per way scanned, in PhoneWay order
};

// Where the scan looks; the defaults are the desktop's own places.
struct ScanPlaces {
    std::string gvfsRoot;    // default $XDG_RUNTIME_DIR/gvfs
    std::string mountTable;  // default /proc/self/mounts
    bool sessionBus = true;  // ask KDE Connect and GSConnect on the session bus
};

// Lists the USB, KDE Connect and GSConnect phones, in that order.
// Blocks the calling thread, so call it from a worker thread, never the user interface's:
// the bus calls time out after a second, so a hung service costs about that, and the USB
// storages' folders are read on this thread. Runs on any thread, several calls at once (each
// opens a session-bus connection of its own). The bus ways need the process's
// QCoreApplication (or QApplication) to exist during the call; its event loop need not run.
// Without one only USB is scanned for real and the services get "The session bus cannot be
// reached".
PhoneScan ScanPhones(const ScanPlaces& places = {});

// Parses "bt:AA:BB:CC:DD:EE:FF" into the address halves btlink takes; false for other ids.
bool BluetoothAddressOfId(const std::string& id, uint32_t& low, uint32_t& high);
std::string BluetoothPhoneId(uint32_t low, uint32_t high);

#pragma GCC visibility pop
