// The shell completion of morvane-cli, from the package: bash through bash-completion and
// zsh through compinit complete the commands, the options of each command, the values of
// --format, --preset and --bitrate, the effects' captions (asked of the program at
// completion time) and files, and what they offer is what the tool accepts.
#include <sys/stat.h>

#include <regex>
#include <set>
#include <sstream>

#include "tests/install/package_fixture.h"

namespace {

class PackageCompletion : public BuiltPackage {
protected:
    // Bash's candidates for the last word of `program words...`.
    std::set<std::string> Bash(const std::vector<std::string>& words, const std::string& program = "") const {
        std::vector<std::string> arguments = {MORVANE_SOURCE_DIR "/tests/install/complete_bash.sh",
                                              Prefix() + "/share/bash-completion/completions/morvane-cli",
                                              program.empty() ? Prefix() + "/bin/morvane-cli" : program};
        arguments.insert(arguments.end(), words.begin(), words.end());
        const ProcessResult result = RunTool("bash", arguments);
        EXPECT_EQ(result.code, 0) << result.err;
        EXPECT_EQ(result.err, "");
        return LineSet(result.out);
    }

    ProcessResult Tool(const std::vector<std::string>& arguments) const {
        return RunInstalled("bin/morvane-cli", arguments, {}, 20);
    }

    std::string Help() const {
        const ProcessResult help = Tool({"--help"});
        EXPECT_EQ(help.code, 0) << help.err;
        return help.out;
    }

    // The options a command's section of the help lists ("-o OUT", "--fade-in, --no-fade-in").
    std::set<std::string> HelpOptions(const std::string& command) const {
        std::set<std::string> options;
        bool inSection = false;
        for (const std::string& line : Lines(Help())) {
            if (!line.empty() && line[0] != ' ') inSection = line == command;
            if (!inSection || line.rfind("  -", 0) != 0) continue;
            std::istringstream term(line.substr(2, line.find("  ", 2) - 2));
            for (std::string word; term >> word;)
                if (word[0] == '-') options.insert(word.back() == ',' ? word.substr(0, word.size() - 1) : word);
        }
        return options;
    }

    // The values the tool names when it refuses one: "... (a, b or c)".
    std::set<std::string> Choices(const std::string& option) const {
        const ProcessResult refused = Tool({"make", "a.wav", "-o", "b.mp3", option, "nonsense"});
        std::smatch list;
        EXPECT_TRUE(std::regex_search(refused.err, list, std::regex(R"(\(([^()]+)\)\n)"))) << refused.err;
        std::string text = std::regex_replace(list[1].str(), std::regex(" or "), ", ");
        std::set<std::string> values;
        std::istringstream in(text);
        for (std::string value; std::getline(in, value, ',');)
            values.insert(value.substr(value.find_first_not_of(' ')));
        return values;
    }

    // True when the tool takes the option for the command as one of its own (whatever it then
    // says of the missing values or tracks).
    bool Accepts(const std::string& command, const std::string& option) const {
        const ProcessResult result = Tool({command, option});
        return result.err.find("unknown option") == std::string::npos &&
               result.err.find("is an option of make") == std::string::npos;
    }
};

TEST_F(PackageCompletion, BashOffersTheCommandsOfTheHelp) {
    // The second word of each of the help's usage lines.
    std::set<std::string> commands;
    const std::string help = Help();
    for (const std::string& line : Lines(help.substr(0, help.find("\n\n"))))
        if (line.rfind("  morvane-cli ", 0) == 0) commands.insert(line.substr(14, line.find(' ', 14) - 14));
    ASSERT_GE(commands.size(), 7u) << help;
    EXPECT_EQ(Bash({""}), commands);
    EXPECT_EQ(Bash({"re"}), std::set<std::string>{"record"});
}

TEST_F(PackageCompletion, BashOffersTheValuesTheToolAccepts) {
    EXPECT_EQ(Bash({"make", "--format", ""}), Choices("--format"));
    EXPECT_EQ(Bash({"make", "--preset", ""}), Choices("--preset"));
    EXPECT_EQ(Bash({"make", "--preset", "android-"}), (std::set<std::string>{"android-notification", "android-alarm"}));
    // The value in the option's word, as the tool takes it too ("--format=ogg").
    EXPECT_EQ(Bash({"make", "--format=m"}), (std::set<std::string>{"mp3", "m4r", "m4a"}));
    const std::set<std::string> bitrates = Bash({"make", "--bitrate", ""});
    EXPECT_EQ(bitrates, (std::set<std::string>{"64", "128", "256"}));
    for (const std::string& bitrate : bitrates) {
        const ProcessResult result = Tool({"make", "missing.wav", "-o", "b.mp3", "--bitrate", bitrate});
        EXPECT_EQ(result.err.find("invalid value"), std::string::npos) << bitrate << ": " << result.err;
    }
    EXPECT_EQ(Bash({"make", "--channels", ""}), (std::set<std::string>{"1", "2"}));
    // A value to type: nothing offered, not even files.
    EXPECT_EQ(Bash({"make", "--start", ""}), std::set<std::string>{});
}

TEST_F(PackageCompletion, BashOffersTheEffectsTheProgramOnTheLineLists) {
    const ProcessResult effects = Tool({"effects"});
    ASSERT_EQ(effects.code, 0) << effects.err;
    ASSERT_GE(LineSet(effects.out).size(), 4u) << effects.out;
    EXPECT_EQ(Bash({"make", "--effect", ""}), LineSet(effects.out));
    // A caption with a space, typed in part with the space escaped.
    EXPECT_EQ(Bash({"play", "--effect", "Ping-Pong\\ D"}), std::set<std::string>{"Ping-Pong Delay"});

    // The captions are asked of the program named on the command line, at completion time.
    const std::string other = WorkFolder() + "/morvane-cli";
    WriteFileText(other, "#!/bin/sh\n[ \"$1\" = effects ] && printf 'Echo Chamber\\nEcho Two\\nFlanger\\n'\n");
    ASSERT_EQ(::chmod(other.c_str(), 0755), 0);
    EXPECT_EQ(Bash({"make", "--effect", "Ec"}, other), (std::set<std::string>{"Echo Chamber", "Echo Two"}));
}

TEST_F(PackageCompletion, BashOffersEachCommandsOptionsAsTheToolTakesThem) {
    std::set<std::string> make = HelpOptions("make");
    ASSERT_GE(make.size(), 20u) << Help();
    make.insert("--help");
    const std::set<std::string> offered = Bash({"make", "-"});
    EXPECT_EQ(offered, make);
    EXPECT_EQ(Bash({"make", "--no-f"}), (std::set<std::string>{"--no-fade-in", "--no-fade-out"}));

    // play: make's options that the tool takes for play, and --repeat.
    std::set<std::string> candidates = make;
    candidates.insert("--repeat");
    const std::set<std::string> play = Bash({"play", "-"});
    for (const std::string& option : candidates) EXPECT_EQ(play.count(option) == 1, Accepts("play", option)) << option;
    EXPECT_TRUE(play.count("--repeat"));

    std::set<std::string> record = HelpOptions("record");
    record.insert("--help");
    EXPECT_EQ(Bash({"record", "-"}), record);
    for (const std::string& option : record) EXPECT_TRUE(Accepts("record", option)) << option;
    // info and effects take none.
    EXPECT_EQ(Bash({"effects", "-"}), std::set<std::string>{});
}

TEST_F(PackageCompletion, BashCompletesFilesForTracksOutputsAndAfterADoubleDash) {
    for (const char* name : {"tone.wav", "ring.mp3", "-odd.wav"}) WriteFileText(WorkFolder() + "/" + name, "x");
    EXPECT_EQ(Bash({"make", "to"}), std::set<std::string>{"tone.wav"});
    EXPECT_EQ(Bash({"make", "tone.wav", "-o", "r"}), std::set<std::string>{"ring.mp3"});
    EXPECT_EQ(Bash({"info", "ri"}), std::set<std::string>{"ring.mp3"});
    EXPECT_EQ(Bash({"record", "r"}), std::set<std::string>{"ring.mp3"});
    // After "--" everything is a file, even what looks like an option.
    EXPECT_EQ(Bash({"make", "--", "-"}), std::set<std::string>{"-odd.wav"});
}

TEST_F(PackageCompletion, ZshCompletesCommandsFormatsAndEffects) {
    const std::string completion = Prefix() + "/share/zsh/vendor-completions/_morvane-cli";
    const ProcessResult syntax = RunTool("zsh", {"-n", completion});
    EXPECT_EQ(syntax.code, 0) << syntax.err;

    const auto shown = [&](const std::string& line, const std::string& last) {
        const ProcessResult result =
            RunTool("zsh",
                    {"-f", MORVANE_SOURCE_DIR "/tests/install/complete_zsh.zsh",
                     Prefix() + "/share/zsh/vendor-completions", Prefix() + "/bin", line, "*" + last + "*"},
                    {"TERM=dumb"});
        EXPECT_EQ(result.code, 0) << line << ": " << result.err;
        return result.out;
    };
    const std::string commands = shown("morvane-cli ", "record");
    for (const char* command : {"make", "play", "record", "info", "effects"})
        EXPECT_NE(commands.find(command), std::string::npos) << commands;
    const std::string formats = shown("morvane-cli make --format ", "wav");
    for (const char* format : {"mp3", "aac", "m4r", "m4a", "ogg", "flac", "wav"})
        EXPECT_NE(formats.find(format), std::string::npos) << formats;
    for (const std::string& line :
         {std::string("morvane-cli make --effect "), std::string("morvane-cli play --effect=")}) {
        const std::string effects = shown(line, "Wah-Wah");
        for (const char* effect : {"Delay", "Equalizer", "Ping-Pong\\ Delay", "Wah-Wah"})
            EXPECT_NE(effects.find(effect), std::string::npos) << effects;
    }
}

}  // namespace
