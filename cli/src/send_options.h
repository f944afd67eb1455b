// The options of "morvane-cli send FILE --to ID [--as KIND] [--replace]".
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "engine/ringtone_preset.h"

struct SendOptions {
    std::string file;
    std::string to;  // a phone id as "morvane-cli phones" prints it
    ToneKind kind = ToneKind::Ringtone;
    bool replace = false;
};

// A kind by its name ("ringtone", "notification", "alarm").
std::optional<ToneKind> ToneKindByName(const std::string& name);

// Parses the arguments after "send". Nothing, with the reason in error, for a usage error.
std::optional<SendOptions> ParseSendOptions(const std::vector<std::string>& arguments, std::string& error);
