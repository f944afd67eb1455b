// morvane-cli: the engine without a window.
#include <string>
#include <vector>

#include "cli/src/commands.h"
#include "cli/src/interrupt.h"
#include "cli/src/make_options.h"

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    if (arguments.empty()) return UsageError("no command given");
    const std::string& command = arguments[0];
    if (command == "--help" || command == "-h" || command == "help") {
        PrintHelp();
        return kExitOk;
    }
    InstallMessagePrinter();
    InstallInterruptHandlers();

    const std::vector<std::string> rest(arguments.begin() + 1, arguments.end());
    if (command == "make") {
        for (const std::string& argument : rest)
            if (argument == "--help") {
                PrintHelp();
                return kExitOk;
            }
        std::string error;
        const auto options = ParseMakeOptions(rest, error);
        if (!options) return UsageError(error);
        return RunMake(*options);
    }
    if (command == "info") {
        if (rest.size() != 1) return UsageError("info takes one file");
        return RunInfo(rest[0]);
    }
    if (command == "effects") {
        if (!rest.empty()) return UsageError("effects takes no arguments");
        return RunEffects();
    }
    return UsageError("unknown command '" + command + "'");
}
