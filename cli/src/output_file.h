// Putting the finished ringtone in place.
#pragma once

#include <string>

// Copies source to target without ever leaving a half-written target: the copy goes to a
// hidden file beside the target, which is synced and then renamed over it. Without replace
// an existing target is kept and the copy refused. Stops when an interrupt is requested.
// False, with the reason in error, on any failure; the hidden file is removed then.
bool PlaceOutput(const std::string& source, const std::string& target, bool replace, std::string& error);

// The folder a target lands in ("." for a bare name).
std::string TargetFolder(const std::string& target);
