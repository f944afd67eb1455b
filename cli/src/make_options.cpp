#include "cli/src/make_options.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <functional>
#include <map>

#include "cli/src/argument_reader.h"
#include "cli/src/time_value.h"

namespace {

// In the order of the saver's encoder list.
constexpr uint32_t kFormatTags[] = {
    QoEncoderMp3, QoEncoderAac, QoEncoderM4r, QoEncoderM4a, QoEncoderOgg, QoEncoderFlac, RingtoneSaver::kWaveOutput};

std::optional<int64_t> Integer(const std::string& text) {
    int64_t value = 0;
    const char* end = text.data() + text.size();
    const auto [at, status] = std::from_chars(text.data(), end, value);
    if (status != std::errc() || at != end || text.empty()) return std::nullopt;
    return value;
}

std::optional<double> Number(const std::string& text) {
    double value = 0.0;
    const char* end = text.data() + text.size();
    const auto [at, status] = std::from_chars(text.data(), end, value);
    if (status != std::errc() || at != end || text.empty() || !std::isfinite(value)) return std::nullopt;
    return value;
}

// "a, b or c".
std::string ChoiceText(const std::vector<std::string>& names) {
    std::string text;
    for (size_t i = 0; i < names.size(); ++i) {
        if (i > 0) text += i + 1 == names.size() ? " or " : ", ";
        text += names[i];
    }
    return text;
}

std::string FormatChoices() {
    std::vector<std::string> names;
    for (const uint32_t tag : kFormatTags) names.push_back(FormatName(tag));
    return ChoiceText(names);
}

std::string PresetChoices() {
    std::vector<std::string> names;
    for (const PresetSettings& preset : kPresets) names.emplace_back(preset.name);
    return ChoiceText(names);
}

// The output settings given on the command line; each replaces the preset's choice, wherever
// it stands among the arguments.
struct GivenOutput {
    std::optional<uint32_t> encoderTag;
    std::optional<uint32_t> channels;
    std::optional<uint32_t> bitrate;
    std::optional<NormalizeMode> normalize;
    std::optional<double> loudnessTarget;
};

// The preset's output (without one, that of "any", which is the defaults), then the options
// given over it.
void ResolveOutput(MakeOptions& options, const GivenOutput& given) {
    const PresetSettings& preset = PresetFor(options.preset.value_or(RingtonePreset::AnyPlayer));
    options.encoderTag = given.encoderTag.value_or(preset.encoderTag);
    options.channels = given.channels.value_or(preset.channels);
    options.bitrate = given.bitrate.value_or(preset.kbps);
    options.normalize = given.normalize.value_or(preset.normalize);
    options.loudnessTarget = given.loudnessTarget.value_or(LoudnessTargets{}.For(preset.kind));
}

}  // namespace

std::vector<uint32_t> FormatTags() { return {std::begin(kFormatTags), std::end(kFormatTags)}; }

std::string FormatName(uint32_t encoderTag) {
    const std::string extension = RingtoneSaver::EncoderExtension(encoderTag);
    return extension.empty() ? extension : extension.substr(1);
}

std::optional<MakeOptions> ParseMakeOptions(const std::vector<std::string>& arguments, std::string& error,
                                            OptionsFor command) {
    MakeOptions options;
    GivenOutput given;
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
    auto choice = [&](std::initializer_list<int64_t> allowed, std::optional<uint32_t>& target) {
        const auto number = Integer(value);
        if (!number || std::find(allowed.begin(), allowed.end(), *number) == allowed.end()) {
            error = "invalid value for " + name + ": '" + value + "'";
            return false;
        }
        target = static_cast<uint32_t>(*number);
        return true;
    };
    auto text = [&](std::optional<std::string>& target) {
        target = value;
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
        {"--preset",
         [&] {
             options.preset = PresetByName(value);
             if (!options.preset) error = "invalid value for --preset: '" + value + "' (" + PresetChoices() + ")";
             return options.preset.has_value();
         }},
        {"--format",
         [&] {
             const auto* tag = std::find_if(std::begin(kFormatTags), std::end(kFormatTags),
                                            [&](uint32_t t) { return value == FormatName(t); });
             if (tag == std::end(kFormatTags)) {
                 error = "invalid value for --format: '" + value + "' (" + FormatChoices() + ")";
                 return false;
             }
             given.encoderTag = *tag;
             return true;
         }},
        {"--channels",
         [&] {
             return choice({1, 2}, given.channels);
         }},
        {"--bitrate",
         [&] {
             return choice({64, 128, 256}, given.bitrate);
         }},
        {"--loudness",
         [&] {
             const auto lufs = Number(value);
             if (!lufs || *lufs < kLowestLoudnessTarget || *lufs > kHighestLoudnessTarget) {
                 error = "invalid value for --loudness: '" + value + "' (LUFS from -70 to 0)";
                 return false;
             }
             given.normalize = NormalizeMode::Loudness;
             given.loudnessTarget = *lufs;
             return true;
         }},
        {"--title", [&] { return text(options.title); }},
        {"--artist", [&] { return text(options.artist); }},
        {"--send-to", [&] { return text(options.sendTo); }},
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
        {"--fade-in", [&] { options.fadeIn = true; }},
        {"--no-fade-in", [&] { options.fadeIn = false; }},
        {"--fade-out", [&] { options.fadeOut = true; }},
        {"--no-fade-out", [&] { options.fadeOut = false; }},
        {"--normalize", [&] { given.normalize = NormalizeMode::Peak; }},
        {"--no-normalize", [&] { given.normalize = NormalizeMode::Off; }},
        {"--limit", [&] { options.limiter = true; }},
        {"--fit", [&] { options.fit = true; }},
        {"--loop-tag", [&] { options.loopTag = true; }},
        {"--force", [&] { options.force = true; }},
    };
    // Play takes the ringtone's options without those of the output file, and repeats.
    static const std::vector<std::string> kOutputOptions = {
        "-o",         "--preset", "--fit",      "--format", "--channels", "--bitrate", "--normalize", "--no-normalize",
        "--loudness", "--limit",  "--loop-tag", "--title",  "--artist",   "--force",   "--send-to"};
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
            const auto supplied = reader.Value();
            if (!supplied) {
                error = name + " needs a value";
                return std::nullopt;
            }
            value = *supplied;
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
    ResolveOutput(options, given);

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
    else if (options.fit && !options.preset)
        error = "--fit needs a --preset";
    else if (options.loopTag && options.encoderTag != QoEncoderOgg)
        error = "--loop-tag needs the ogg format (--format ogg or an android preset)";
    if (!error.empty()) return std::nullopt;
    return options;
}
