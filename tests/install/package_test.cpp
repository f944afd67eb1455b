// The Debian package as cpack makes it: named and described as Debian wants, its dependencies
// found by dpkg-shlibdeps, its files under /usr and nothing else, lintian content with it,
// and the programs extracted from it running from the scratch root alone.
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <regex>
#include <set>

#include "morvane_build.h"
#include "tests/install/installed_files.h"
#include "tests/install/package_fixture.h"

namespace {

namespace fs = std::filesystem;

class DebianPackage : public BuiltPackage {
protected:
    // A control field of the package as dpkg-deb -f prints it (continuation lines kept).
    std::string Field(const std::string& name) const {
        const ProcessResult result = RunTool("dpkg-deb", {"-f", Deb(), name});
        EXPECT_EQ(result.code, 0) << result.err;
        std::string value = result.out;
        while (!value.empty() && value.back() == '\n') value.pop_back();
        return value;
    }
    // The package names a Depends-like field lists, without versions or alternatives' order.
    std::set<std::string> PackageNames(const std::string& field) const {
        std::set<std::string> names;
        static const std::regex name(R"((?:^|[,|])\s*([a-z0-9][a-z0-9+.-]+))");
        const std::string value = Field(field);
        for (std::sregex_iterator it(value.begin(), value.end(), name), end; it != end; ++it) names.insert((*it)[1]);
        return names;
    }
};

TEST_F(DebianPackage, IsNamedAfterItsVersionAndArchitecture) {
    const ProcessResult architecture = RunTool("dpkg", {"--print-architecture"});
    ASSERT_EQ(architecture.code, 0) << architecture.err;
    const std::string arch = Lines(architecture.out).at(0);
    EXPECT_EQ(fs::path(Deb()).filename().string(), std::string("morvane_") + MORVANE_VERSION + "_" + arch + ".deb");
    EXPECT_EQ(Field("Package"), "morvane");
    EXPECT_EQ(Field("Version"), MORVANE_VERSION);
    EXPECT_EQ(Field("Architecture"), arch);
}

TEST_F(DebianPackage, DescribesItselfInTheSoundSection) {
    EXPECT_EQ(Field("Section"), "sound");
    EXPECT_EQ(Field("Priority"), "optional");
    EXPECT_TRUE(std::regex_match(Field("Maintainer"), std::regex(R"([^<>]+ <[^<>@\s]+@[^<>@\s]+\.[a-z]+>)")))
        << Field("Maintainer");
    EXPECT_EQ(Field("Homepage").rfind("https://", 0), 0u) << Field("Homepage");

    // A synopsis line, then a long description of indented lines that fit 80 columns, its
    // paragraphs separated by " .".
    const std::vector<std::string> description = Lines(Field("Description"));
    ASSERT_GE(description.size(), 4u) << Field("Description");
    EXPECT_EQ(description[0], "ringtone maker for the desktop");
    bool separated = false;
    for (size_t i = 1; i < description.size(); ++i) {
        EXPECT_EQ(description[i].rfind(' ', 0), 0u) << description[i];
        EXPECT_LE(description[i].size(), 80u) << description[i];
        separated = separated || description[i] == " .";
    }
    EXPECT_TRUE(separated) << "the long description has one paragraph only";
    EXPECT_NE(Field("Description").find("morvane-cli"), std::string::npos);
}

TEST_F(DebianPackage, DependsOnTheLibrariesItLinksAndTheSkinsFont) {
    const std::set<std::string> depends = PackageNames("Depends");
    // Found by dpkg-shlibdeps in the programs, the libraries and the plug-ins.
    for (const char* library : {"libc6", "libstdc++6", "libqt6widgets6", "libqt6svg6", "libqt6dbus6", "libsdl2-2.0-0",
                                "libxml2", "libfftw3-double3", "libebur128-1", "libswresample4", "libcdio19"})
        EXPECT_TRUE(depends.count(library)) << library << " is missing from " << Field("Depends");
    EXPECT_TRUE(std::any_of(depends.begin(), depends.end(), [](const std::string& name) {
        return name.rfind("libavcodec", 0) == 0;
    })) << Field("Depends");
    // What no library names.
    EXPECT_TRUE(depends.count("fonts-inter")) << Field("Depends");
    // Versions come from the libraries' symbols files, not from a hand-written list.
    EXPECT_NE(Field("Depends").find("libc6 (>= "), std::string::npos) << Field("Depends");
    // The programs' own libraries come with the package: nothing names them.
    for (const std::string& name : depends) {
        EXPECT_EQ(name.find("morvane"), std::string::npos) << name;
        EXPECT_EQ(name.find("audiosvc"), std::string::npos) << name;
    }
    // Every package named exists in the system's package database (these are installed here,
    // where the package was built).
    for (const std::string& name : depends) {
        const ProcessResult known = RunTool("dpkg-query", {"-W", "-f=${Status}", name});
        EXPECT_EQ(known.code, 0) << name << ": " << known.err;
    }
}

TEST_F(DebianPackage, HoldsTheInstalledTreeUnderUsrAndNothingElse) {
    std::set<std::string> expected;
    for (const std::string& file : InstalledFiles()) expected.insert("usr/" + file);
    std::set<std::string> extracted;
    for (const auto& entry : fs::recursive_directory_iterator(Root()))
        if (!entry.is_directory()) extracted.insert(fs::relative(entry.path(), Root()).string());
    for (const std::string& file : expected) EXPECT_TRUE(extracted.count(file)) << "missing: " << file;
    for (const std::string& file : extracted) EXPECT_TRUE(expected.count(file)) << "not to be packaged: " << file;

    // The archive's own list agrees, with root as the owner and no writable-by-others entry.
    const ProcessResult contents = RunTool("dpkg-deb", {"--contents", Deb()});
    ASSERT_EQ(contents.code, 0) << contents.err;
    for (const std::string& line : Lines(contents.out)) {
        EXPECT_NE(line.find(" root/root "), std::string::npos) << line;
        EXPECT_NE(line[8], 'w') << line;
    }
    // The programs are stripped (the debug information stays in the build tree).
    for (const std::string& program : InstalledPrograms()) {
        const ProcessResult sections = RunTool("readelf", {"-S", Prefix() + "/" + program});
        EXPECT_EQ(sections.out.find(".debug_info"), std::string::npos) << program;
    }
}

TEST_F(DebianPackage, ProgramsFindTheirLibrariesInsideTheRoot) {
    std::set<std::string> binaries = InstalledPrograms();
    for (const std::set<std::string>& more : {InstalledLibraries(), InstalledPlugins()})
        binaries.insert(more.begin(), more.end());
    const std::string ours = fs::canonical(Prefix() + "/" + InstalledLibraryFolder()).string() + "/";
    static const std::regex dependency(
        R"((lib(?:audiosvc|audiosvc_msgbox|QoDataPr|effectmgr|skin|btlink)\.so) => (\S+))");
    for (const std::string& file : binaries) {
        const ProcessResult ldd = RunTool("ldd", {Prefix() + "/" + file});
        ASSERT_EQ(ldd.code, 0) << file << ": " << ldd.err;
        EXPECT_EQ(ldd.out.find("not found"), std::string::npos) << file << ":\n" << ldd.out;
        for (std::sregex_iterator it(ldd.out.begin(), ldd.out.end(), dependency), end; it != end; ++it)
            EXPECT_EQ(fs::canonical((*it)[2].str()).string(), ours + (*it)[1].str()) << file;
    }
}

TEST_F(DebianPackage, ProgramsAnswerTheirVersionWithoutADisplay) {
    // No display at all: --version must not open a window (nor need one).
    for (const auto& [program, name] :
         std::map<std::string, std::string>{{"bin/Morvane", "Morvane"}, {"bin/morvane-cli", "morvane-cli"}}) {
        const ProcessResult result = RunInstalled(program, {"--version"}, {"QT_QPA_PLATFORM=xcb", "DISPLAY="}, 20);
        EXPECT_EQ(result.code, 0) << program << ": " << result.err;
        EXPECT_EQ(result.out, name + " " + MORVANE_VERSION + "\n") << program;
        EXPECT_EQ(result.err, "") << program;
    }
    const ProcessResult help = RunInstalled("bin/Morvane", {"--help"}, {"QT_QPA_PLATFORM=xcb", "DISPLAY="}, 20);
    EXPECT_EQ(help.code, 0) << help.err;
    EXPECT_EQ(help.out.rfind("Usage:\n  Morvane [TRACK1 [TRACK2]]\n", 0), 0u) << help.out;
}

TEST_F(DebianPackage, ExtractedToolMakesAnMp3) {
    const ProcessResult tone = RunTool("ffmpeg", {"-v", "error", "-y", "-f", "lavfi", "-i",
                                                  "sine=frequency=440:duration=2:sample_rate=44100", "tone.wav"});
    ASSERT_EQ(tone.code, 0) << tone.err;
    const ProcessResult make = RunInstalled(
        "bin/morvane-cli", {"make", "tone.wav", "--effect", "Ping-Pong Delay", "--length", "1.5", "-o", "ring.mp3"});
    ASSERT_EQ(make.code, 0) << make.err;

    const ProcessResult probe =
        RunTool("ffprobe", {"-v", "error", "-show_entries", "format=format_name,duration:stream=codec_name", "-of",
                            "default=noprint_wrappers=1", "ring.mp3"});
    ASSERT_EQ(probe.code, 0) << probe.err;
    EXPECT_NE(probe.out.find("codec_name=mp3\n"), std::string::npos) << probe.out;
    EXPECT_NE(probe.out.find("format_name=mp3\n"), std::string::npos) << probe.out;
    const size_t at = probe.out.find("duration=");
    ASSERT_NE(at, std::string::npos) << probe.out;
    const double seconds = std::stod(probe.out.substr(at + 9));
    EXPECT_GT(seconds, 1.4) << probe.out;
    EXPECT_LT(seconds, 1.7) << probe.out;
}

TEST_F(DebianPackage, CarriesItsCopyrightAndAChangelogOfThisVersion) {
    const std::string copyright = ReadFileText(Prefix() + "/share/doc/morvane/copyright");
    EXPECT_EQ(copyright.rfind("Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n", 0), 0u);
    EXPECT_TRUE(std::regex_search(copyright, std::regex(R"(\nCopyright: \d{4} \S)"))) << copyright;

    const ProcessResult changelog = RunTool("gzip", {"-dc", Prefix() + "/share/doc/morvane/changelog.gz"});
    ASSERT_EQ(changelog.code, 0) << changelog.err;
    const std::vector<std::string> lines = Lines(changelog.out);
    ASSERT_GE(lines.size(), 5u) << changelog.out;
    EXPECT_EQ(lines[0], std::string("morvane (") + MORVANE_VERSION + ") unstable; urgency=medium");
    // The signature: " -- Name <address>  Day, DD Mon YYYY HH:MM:SS +0000" (two spaces).
    std::smatch signature;
    ASSERT_TRUE(std::regex_search(
        changelog.out, signature,
        std::regex(R"(\n -- [^<\n]+ <[^>\n]+>  (\w{3}, \d{2} \w{3} \d{4}) \d{2}:\d{2}:\d{2} [+-]\d{4}\n)")))
        << changelog.out;
    // The date is a real one: date(1) reads it back to the same day.
    const ProcessResult day = RunTool("date", {"-u", "-R", "-d", signature[1].str()});
    EXPECT_EQ(day.out.substr(0, 16), signature[1].str()) << day.out << day.err;
}

TEST_F(DebianPackage, LintianHasNothingToMend) {
    ASSERT_EQ(::access(ToolPath("lintian").c_str(), X_OK), 0) << "lintian is not installed (scripts/bootstrap.sh)";
    const ProcessResult lintian = RunTool("lintian", {"--no-cfg", Deb()});
    // Errors and warnings; the informational tags the README explains are not shown by default.
    std::string tags;
    for (const std::string& line : Lines(lintian.out))
        if (line.rfind("E: ", 0) == 0 || line.rfind("W: ", 0) == 0) tags += line + "\n";
    EXPECT_EQ(tags, "");
    EXPECT_EQ(lintian.code, 0) << lintian.out << lintian.err;
}

}  // namespace
