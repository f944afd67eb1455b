// Sending a ringtone file to a USB, KDE Connect or GSConnect phone.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "phonelink/phones.h"

#pragma GCC visibility push(default)

// The folder of the phone's storage a tone goes to (created when missing).
enum class ToneFolder { Ringtones, Notifications, Alarms };
const char* ToneFolderName(ToneFolder folder);  // "Ringtones", "Notifications", "Alarms"

enum class SendResult {
    Sent,       // copied (USB) or handed over to the service (KDE Connect, GSConnect)
    Cancelled,  // nothing is left on the phone
    Exists,     // USB: a file of that name is there and replace was not set
    Full,       // USB: the storage has no room; nothing is left on the phone
    Failed,     // see the error text
};

struct SendRequest {
    Phone phone;
    std::string file;      // the ringtone file on this computer
    std::string fileName;  // the name on the phone, extension included
    ToneFolder folder = ToneFolder::Ringtones;
    bool replace = false;  // USB: replace an existing file of that name
};

// Called while a USB copy runs with the bytes written so far; returning false cancels.
using SendProgress = std::function<bool(uint64_t done, uint64_t total)>;

// Sends the file. USB copies under a hidden name in the folder and renames it at the end, so
// a failed or cancelled copy leaves no partial file (on a storage that refuses the rename the
// copy is made again straight under the final name, progress starting again from 0, and
// removed when it fails); replacing keeps the old file until the new one is complete, except
// on such a storage, where the old one is removed first. KDE Connect and GSConnect get the
// URL of a copy named fileName in $XDG_CACHE_HOME/morvane/outbox through the device's share
// function and report no progress; their daemons read the copy after this returns (copies
// are removed after a day), so file itself may be removed at once. error gets a sentence for
// the user when the result is Failed. Blocks the calling thread, which also runs progress;
// the same thread and QCoreApplication needs as ScanPhones.
SendResult SendToPhone(const SendRequest& request, const SendProgress& progress, std::string& error);

// The folder for a kind of tone by its name ("ringtone", "notification", "alarm"); Ringtones
// for any other name.
ToneFolder ToneFolderOfKind(const std::string& kindName);

#pragma GCC visibility pop
