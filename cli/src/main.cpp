// morvane-cli: the engine without a window.
#include <string>
#include <vector>

#include "cli/src/commands.h"
#include "cli/src/interrupt.h"
#include "cli/src/make_options.h"
#include "cli/src/record_options.h"
#include "cli/src/send_options.h"

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    if (arguments.empty()) return UsageError("no command given");
    const std::string& command = arguments[0];
    if (command == "--help" || command == "-h" || command == "help") {
        PrintHelp();
        return kExitOk;
    }
    if (command == "--version") {
        PrintVersion();
        return kExitOk;
    }
    InstallMessagePrinter();
    InstallInterruptHandlers();

    const std::vector<std::string> rest(arguments.begin() + 1, arguments.end());
    const bool takesOptions = command == "make" || command == "play" || command == "record";
    if (takesOptions)
        for (const std::string& argument : rest)
            if (argument == "--help") {
                PrintHelp();
                return kExitOk;
            }
    std::string error;
    if (command == "make" || command == "play") {
        const bool play = command == "play";
        const auto options = ParseMakeOptions(rest, error, play ? OptionsFor::Play : OptionsFor::Make);
        if (!options) return UsageError(error);
        return play ? RunPlay(*options) : RunMake(*options);
    }
    if (command == "record") {
        const auto options = ParseRecordOptions(rest, error);
        if (!options) return UsageError(error);
        return RunRecord(*options);
    }
    if (command == "info") {
        if (rest.size() != 1) return UsageError("info takes one file");
        return RunInfo(rest[0]);
    }
    if (command == "effects") {
        if (!rest.empty()) return UsageError("effects takes no arguments");
        return RunEffects();
    }
    if (command == "phones") {
        if (!rest.empty()) return UsageError("phones takes no arguments");
        return RunPhones();
    }
    if (command == "send") {
        const auto options = ParseSendOptions(rest, error);
        if (!options) return UsageError(error);
        return RunSend(*options);
    }
    return UsageError("unknown command '" + command + "'");
}
