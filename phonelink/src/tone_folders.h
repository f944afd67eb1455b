// The folders of a phone's storage that take tones (Android's Ringtones, Notifications and
// Alarms), found whatever the case of their names.
#pragma once

#include <optional>
#include <string>

#include "phonelink/send.h"

// The entry of folder whose name equals name ignoring ASCII case (the exact name first), as
// a full path; nullopt when there is none or the folder cannot be read.
std::optional<std::string> FindEntryIgnoringCase(const std::string& folder, const std::string& name);
// Whether folder has a Ringtones, Notifications or Alarms folder.
bool HasToneFolder(const std::string& folder);
