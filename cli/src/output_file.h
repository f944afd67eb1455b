// Putting the finished ringtone in place.
#pragma once

#include <string>

// Copies source to target without ever leaving a half-written target (see
// platform/file_placement.h). Without replace an existing target is kept and the copy refused.
// Stops when an interrupt is requested, unless interruptible is cleared (a file that must
// survive the interrupt). False, with the reason in error, on any failure.
bool PlaceOutput(const std::string& source, const std::string& target, bool replace, std::string& error,
                 bool interruptible = true);

// "Can't save file", the start of the messages about a target.
inline constexpr const char* kCantSaveText = "Can't save file";

// A target that can be written: not a folder, in an existing folder, new unless replace is
// set. Prints why not.
bool CheckTarget(const std::string& target, bool replace);
