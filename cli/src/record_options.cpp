#include "cli/src/record_options.h"

#include "cli/src/argument_reader.h"
#include "cli/src/time_value.h"

std::optional<RecordOptions> ParseRecordOptions(const std::vector<std::string>& arguments, std::string& error) {
    RecordOptions options;
    ArgumentReader reader(arguments);
    bool onlyFiles = false;
    while (!reader.Done()) {
        const std::string name = reader.Take();
        if (onlyFiles || name.empty() || name[0] != '-' || name == "-") {
            if (!options.output.empty()) {
                error = "record writes one file";
                return std::nullopt;
            }
            options.output = name;
        } else if (name == "--") {
            onlyFiles = true;
        } else if (name == "--seconds") {
            const auto value = reader.Value();
            const auto frames = value ? ParseTime(*value) : std::nullopt;
            if (!frames || *frames <= 0) {
                error = value ? "invalid time for --seconds: '" + *value + "' (more than 0 seconds)"
                              : "--seconds needs a value";
                return std::nullopt;
            }
            options.frames = *frames;
        } else if (name == "--force") {
            if (reader.HasInlineValue()) {
                error = "--force takes no value";
                return std::nullopt;
            }
            options.force = true;
        } else {
            error = "unknown option '" + name + "'";
            return std::nullopt;
        }
    }
    if (options.output.empty())
        error = "no output file given";
    else if (options.frames == 0)
        error = "no length given (--seconds N)";
    if (!error.empty()) return std::nullopt;
    return options;
}
