// What cmake --install puts under the prefix: the programs, their private libraries, the
// plug-ins, the data and the desktop integration, each in its place with the right library
// search path, and nothing else.
#include <unistd.h>

#include <filesystem>
#include <regex>
#include <set>
#include <sstream>

#include "tests/install/installed_files.h"
#include "tests/install/installed_tree.h"

namespace {

namespace fs = std::filesystem;

// Every regular file below the folder, relative to it.
std::set<std::string> FilesBelow(const std::string& folder) {
    std::set<std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (entry.is_regular_file() || entry.is_symlink()) files.insert(fs::relative(entry.path(), folder).string());
    return files;
}

// The library search path in readelf -d's report of a file.
std::string RunPathIn(const ProcessResult& readelf) {
    EXPECT_EQ(readelf.code, 0) << readelf.err;
    std::smatch match;
    static const std::regex runpath(R"(\((?:RUNPATH|RPATH)\)\s+Library r(?:un)?path: \[([^\]]*)\])");
    return std::regex_search(readelf.out, match, runpath) ? match[1].str() : std::string("(none)");
}

}  // namespace

TEST_F(InstalledTree, HoldsTheProgramsLibrariesPluginsAndDataAndNothingElse) {
    const std::set<std::string> expected = InstalledFiles();
    ASSERT_GT(expected.size(), 40u) << "the data folders of the sources were not found";

    const std::set<std::string> installed = FilesBelow(Prefix());
    for (const std::string& file : expected) EXPECT_TRUE(installed.count(file)) << "missing: " << file;
    // No test program, benchmark, fuzzer, static library or header slips in.
    for (const std::string& file : installed) EXPECT_TRUE(expected.count(file)) << "not to be installed: " << file;

    for (const std::string& file : InstalledPrograms())
        EXPECT_EQ(::access((Prefix() + "/" + file).c_str(), X_OK), 0) << file << " is not executable";
    // The installed copies are the data the sources hold, not stale ones.
    EXPECT_EQ(ReadFileText(Prefix() + "/share/morvane/Language/eng/effects_single_kel.xml"),
              ReadFileText(std::string(MORVANE_SOURCE_DIR) + "/data/Language/eng/effects_single_kel.xml"));
}

TEST_F(InstalledTree, FindsItsLibrariesRelativeToItselfAndNeverInTheBuildTree) {
    const auto runPath = [](const std::string& file) {
        return RunPathIn(RunTool("readelf", {"-d", Prefix() + "/" + file}));
    };
    const std::set<std::string> programs = InstalledPrograms();
    const std::set<std::string> libraries = InstalledLibraries();
    const std::set<std::string> plugins = InstalledPlugins();
    for (const std::string& file : programs) EXPECT_EQ(runPath(file), "$ORIGIN/../" + InstalledLibraryFolder()) << file;
    for (const std::string& file : libraries) EXPECT_EQ(runPath(file), "$ORIGIN") << file;
    for (const std::string& file : plugins) EXPECT_EQ(runPath(file), "$ORIGIN/..") << file;

    // Every library of ours that anything installed needs resolves inside the prefix.
    std::set<std::string> binaries = programs;
    binaries.insert(libraries.begin(), libraries.end());
    binaries.insert(plugins.begin(), plugins.end());
    const std::string ourLibraries = fs::canonical(Prefix() + "/" + InstalledLibraryFolder()).string() + "/";
    static const std::regex dependency(R"((\S+\.so[.0-9]*) => (\S+))");
    for (const std::string& file : binaries) {
        const ProcessResult ldd = RunTool("ldd", {Prefix() + "/" + file});
        ASSERT_EQ(ldd.code, 0) << file << ": " << ldd.err;
        EXPECT_EQ(ldd.out.find("not found"), std::string::npos) << file << ":\n" << ldd.out;
        EXPECT_EQ(ldd.out.find(MORVANE_BUILD_DIR), std::string::npos) << file << ":\n" << ldd.out;
        for (std::sregex_iterator it(ldd.out.begin(), ldd.out.end(), dependency), end; it != end; ++it) {
            const std::string name = (*it)[1].str();
            if (libraries.count(InstalledLibraryFolder() + "/" + name) == 0) continue;
            EXPECT_EQ(fs::canonical((*it)[2].str()).string(), ourLibraries + name) << file << " needs " << name;
        }
    }
}

TEST_F(InstalledTree, DesktopEntryIsValidAndStartsTheProgramWithItsIcon) {
    const std::string entry = Prefix() + "/" + InstalledDesktopEntry();
    const ProcessResult validate = RunTool("desktop-file-validate", {entry});
    EXPECT_EQ(validate.code, 0) << validate.out << validate.err;
    EXPECT_EQ(validate.out + validate.err, "") << "the validator has remarks";

    const std::string text = ReadFileText(entry);
    for (const char* line : {"Name=Morvane\n", "Icon=morvane\n", "Terminal=false\n", "Categories=AudioVideo;Audio;\n",
                             "Type=Application\n", "StartupWMClass=Morvane\n"})
        EXPECT_NE(text.find(line), std::string::npos) << line;
    for (const char* key : {"\nGenericName=", "\nComment="}) EXPECT_NE(text.find(key), std::string::npos) << key;
    // File managers hand the chosen files to the program, which opens them into its tracks.
    EXPECT_NE(text.find("\nExec=Morvane %F\n"), std::string::npos);
    std::smatch mimeLine;
    ASSERT_TRUE(std::regex_search(text, mimeLine, std::regex("\nMimeType=([^\n]*)\n"))) << "no MimeType line";
    std::set<std::string> types;
    std::istringstream typeList(mimeLine[1].str());
    for (std::string type; std::getline(typeList, type, ';');) types.insert(type);
    for (const char* type : {"audio/mpeg", "audio/x-wav", "audio/flac", "audio/ogg", "audio/mp4", "audio/aac",
                             "audio/x-ms-wma", "audio/x-aiff"})
        EXPECT_TRUE(types.count(type)) << type;
    for (const std::string& type : types) EXPECT_EQ(type.rfind("audio/", 0), 0u) << type << " is no audio type";
    // Each type is one the system's MIME database knows (a type or an alias: the first word
    // of a line of these files), so that files are matched to it.
    std::set<std::string> known;
    for (const char* file : {"/usr/share/mime/types", "/usr/share/mime/aliases"}) {
        std::istringstream lines(ReadFileText(file));
        for (std::string line; std::getline(lines, line);) known.insert(line.substr(0, line.find(' ')));
    }
    for (const std::string& type : types)
        EXPECT_TRUE(known.empty() || known.count(type)) << type << " is unknown to the MIME database";
    EXPECT_NE(text.find("ringtone"), std::string::npos);
    const std::string icon = ReadFileText(Prefix() + "/share/icons/hicolor/scalable/apps/morvane.svg");
    EXPECT_EQ(icon.rfind("<svg", 0), 0u);
    EXPECT_NE(icon.find("#4A57D4"), std::string::npos) << "the icon is not drawn in the default skin's accent";
}
