#include "cli/src/make_options.h"

#include <algorithm>
#include <charconv>
#include <functional>
#include <map>

#include "cli/src/argument_reader.h"
#include "cli/src/time_value.h"

namespace {

std::optional<int64_t> Integer(const std::string& text) {
    int64_t value = 0;
    const char* end = text.data() + text.size();
    const auto [at, status] = std::from_chars(text.data(), end, value);
    if (status != std::errc() || at != end || text.empty()) return std::nullopt;
    return value;
}

}  // namespace

std::optional<MakeOptions> ParseMakeOptions(const std::vector<std::string>& arguments, std::string& error,
                                            OptionsFor command) {
    MakeOptions options;
    ArgumentReader reader(arguments);
    std::string name;
    std::string value;

    // Each returns false (with error set) when the value is missing or bad.
    auto time = [&](std::optional<int64_t>& target) {
        const auto frames = ParseTime(value);
        if (!frames) error = "invalid time for " + name + ": '" + value + "' (seconds, MM:SS or HH:MM:SS)";
        target = frames;
        return frames.has_value();
    };
    auto choice = [&](std::initializer_list<int64_t> allowed, auto& target) {
        const auto number = Integer(value);
        if (!number || std::find(allowed.begin(), allowed.end(), *number) == allowed.end()) {
            error = "invalid value for " + name + ": '" + value + "'";
            return false;
        }
        target = static_cast<std::remove_reference_t<decltype(target)>>(*number);
        return true;
    };

    std::map<std::string, std::function<bool()>> valued = {
        {"--start", [&] { return time(options.start); }},
        {"--end", [&] { return time(options.end); }},
        {"--length", [&] { return time(options.length); }},
        {"--offset2",
         [&] {
             std::optional<int64_t> offset;
             if (!time(offset)) return false;
             options.offset2 = *offset;
             return true;
         }},
        {"--volume",
         [&] {
             const auto number = Integer(value);
             if (!number || *number < 0 || *number > 200) {
                 error = "invalid value for --volume: '" + value + "' (0 to 200)";
                 return false;
             }
             options.volume = static_cast<int>(*number);
             return true;
         }},
        {"--effect",
         [&] {
             if (value.empty()) {
                 error = "--effect needs an effect's caption (see 'morvane-cli effects')";
                 return false;
             }
             if (std::find(options.effects.begin(), options.effects.end(), value) != options.effects.end()) {
                 error = "the effect '" + value + "' is chosen twice";
                 return false;
             }
             if (options.effects.size() == kMaxEffects) {
                 error = "at most three effects can be chosen";
                 return false;
             }
             options.effects.push_back(value);
             return true;
         }},
        {"--format",
         [&] {
             static const std::map<std::string, OutputKind> kinds = {
                 {"mp3", OutputKind::Mp3}, {"aac", OutputKind::Aac}, {"wav", OutputKind::Wav}};
             const auto kind = kinds.find(value);
             if (kind == kinds.end()) {
                 error = "invalid value for --format: '" + value + "' (mp3, aac or wav)";
                 return false;
             }
             options.kind = kind->second;
             return true;
         }},
        {"--channels",
         [&] {
             return choice({1, 2}, options.channels);
         }},
        {"--bitrate",
         [&] {
             return choice({64, 128, 256}, options.bitrate);
         }},
        {"-o",
         [&] {
             if (value.empty()) {
                 error = "-o needs a file name";
                 return false;
             }
             options.output = value;
             return true;
         }},
    };
    std::map<std::string, std::function<void()>> switches = {
        {"--fade-in", [&] { options.fadeIn = true; }},      {"--no-fade-in", [&] { options.fadeIn = false; }},
        {"--fade-out", [&] { options.fadeOut = true; }},    {"--no-fade-out", [&] { options.fadeOut = false; }},
        {"--normalize", [&] { options.normalize = true; }}, {"--no-normalize", [&] { options.normalize = false; }},
        {"--force", [&] { options.force = true; }},
    };
    // Play takes the ringtone's options without those of the output file, and repeats.
    static const std::vector<std::string> kOutputOptions = {"-o",          "--format",       "--channels", "--bitrate",
                                                            "--normalize", "--no-normalize", "--force"};
    if (command == OptionsFor::Play) {
        for (const std::string& output : kOutputOptions) {
            valued.erase(output);
            switches.erase(output);
        }
        switches.emplace("--repeat", [&] { options.repeat = true; });
    }

    bool onlyFiles = false;
    while (!reader.Done()) {
        name = reader.Take();
        if (onlyFiles || name.empty() || name[0] != '-' || name == "-") {
            options.tracks.push_back(name);
            continue;
        }
        if (name == "--") {
            onlyFiles = true;
            continue;
        }
        if (const auto option = valued.find(name); option != valued.end()) {
            const auto given = reader.Value();
            if (!given) {
                error = name + " needs a value";
                return std::nullopt;
            }
            value = *given;
            if (!option->second()) return std::nullopt;
        } else if (const auto flag = switches.find(name); flag != switches.end()) {
            if (reader.HasInlineValue()) {
                error = name + " takes no value";
                return std::nullopt;
            }
            flag->second();
        } else if (std::find(kOutputOptions.begin(), kOutputOptions.end(), name) != kOutputOptions.end()) {
            error = "play writes no file: " + name + " is an option of make";
            return std::nullopt;
        } else {
            error = "unknown option '" + name + "'";
            return std::nullopt;
        }
    }

    if (options.tracks.empty())
        error = "no track given";
    else if (options.tracks.size() > 2)
        error = "at most two tracks can be given";
    else if (command == OptionsFor::Make && options.output.empty())
        error = "no output file given (-o OUT)";
    else if (options.end && options.length)
        error = "--end and --length exclude each other";
    else if (options.offset2 != 0 && options.tracks.size() < 2)
        error = "--offset2 needs a second track";
    if (!error.empty()) return std::nullopt;
    return options;
}
