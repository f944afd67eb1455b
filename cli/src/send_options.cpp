// Parsing the send command's options.
#include "cli/src/send_options.h"

std::optional<ToneKind> ToneKindByName(const std::string& name) {
    for (const ToneKind kind : {ToneKind::Ringtone, ToneKind::Notification, ToneKind::Alarm})
        if (name == ToneKindName(kind)) return kind;
    return std::nullopt;
}

std::optional<SendOptions> ParseSendOptions(const std::vector<std::string>& arguments, std::string& error) {
    SendOptions options;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const bool valued = argument == "--to" || argument == "--as";
        if (valued && i + 1 >= arguments.size()) {
            error = argument + " needs a value";
            return std::nullopt;
        }
        if (argument == "--to") {
            options.to = arguments[++i];
        } else if (argument == "--as") {
            const std::optional<ToneKind> kind = ToneKindByName(arguments[++i]);
            if (!kind) {
                error = "--as takes ringtone, notification or alarm";
                return std::nullopt;
            }
            options.kind = *kind;
        } else if (argument == "--replace") {
            options.replace = true;
        } else if (argument.rfind("--", 0) == 0) {
            error = "unknown option '" + argument + "'";
            return std::nullopt;
        } else if (options.file.empty()) {
            options.file = argument;
        } else {
            error = "send takes one file";
            return std::nullopt;
        }
    }
    if (options.file.empty())
        error = "send needs a file";
    else if (options.to.empty())
        error = "send needs --to ID (morvane-cli phones lists the ids)";
    if (!error.empty()) return std::nullopt;
    return options;
}
