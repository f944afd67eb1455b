// What the package gives the desktop and the manual: the desktop entry and the AppStream
// metadata pass their validators and name each other, the icons are the sizes their folders
// say, and the manual pages render without warnings and document every option of the help.
#include <cstdint>
#include <regex>
#include <set>

#include "morvane_build.h"
#include "tests/install/installed_files.h"
#include "tests/install/package_fixture.h"

namespace {

class PackageDesktop : public BuiltPackage {};

// The text of the first element of the name in an XML text, "" when there is none.
std::string Element(const std::string& xml, const std::string& name) {
    std::smatch match;
    if (!std::regex_search(xml, match, std::regex("<" + name + "(?: [^>]*)?>([^<]*)</" + name + ">"))) return {};
    return match[1];
}

TEST_F(PackageDesktop, DesktopEntryAndMetadataPassTheirValidators) {
    const std::string entry = Prefix() + "/" + InstalledDesktopEntry();
    const ProcessResult desktop = RunTool("desktop-file-validate", {entry});
    EXPECT_EQ(desktop.code, 0) << desktop.out << desktop.err;
    EXPECT_EQ(desktop.out + desktop.err, "") << "the validator has remarks";

    const std::string metainfo = Prefix() + "/" + InstalledMetainfo();
    const ProcessResult appstream = RunTool("appstreamcli", {"validate", "--no-net", "--no-color", metainfo});
    EXPECT_EQ(appstream.code, 0) << appstream.out << appstream.err;
    // Only remarks of the information level: no error and no warning.
    for (const std::string& line : Lines(appstream.out)) {
        EXPECT_NE(line.rfind("E: ", 0), 0u) << line;
        EXPECT_NE(line.rfind("W: ", 0), 0u) << line;
    }
}

TEST_F(PackageDesktop, MetadataDescribesThisReleaseAndLaunchesTheDesktopEntry) {
    const std::string xml = ReadFileText(Prefix() + "/" + InstalledMetainfo());
    EXPECT_NE(xml.find("<component type=\"desktop-application\">"), std::string::npos);
    EXPECT_EQ(Element(xml, "id"), MORVANE_APP_ID);
    EXPECT_EQ(Element(xml, "launchable"), std::string(MORVANE_APP_ID) + ".desktop");
    EXPECT_EQ(Element(xml, "name"), "Morvane");
    EXPECT_NE(Element(xml, "summary"), "");
    EXPECT_NE(xml.find("<content_rating type=\"oars-1.1\""), std::string::npos);
    EXPECT_EQ(Element(xml, "image").rfind("https://", 0), 0u) << Element(xml, "image");
    std::smatch release;
    ASSERT_TRUE(
        std::regex_search(xml, release, std::regex(R"re(<release version="([^"]+)" date="(\d{4}-\d{2}-\d{2})")re")))
        << "no dated release";
    EXPECT_EQ(release[1], MORVANE_VERSION);
    // The manual pages carry the same release date.
    const ProcessResult page = RunTool("gzip", {"-dc", Prefix() + "/" + InstalledManualPage("morvane-cli")});
    EXPECT_NE(page.out.find(".TH MORVANE\\-CLI 1 \"" + release[2].str() + "\""), std::string::npos);
    // The entry it launches is the one installed, and shows the installed icon.
    const std::string entry = ReadFileText(Prefix() + "/" + InstalledDesktopEntry());
    EXPECT_NE(entry.find("\nIcon=morvane\n"), std::string::npos);
}

// The width and height in a PNG file's header; 0 x 0 when it is no PNG.
std::pair<uint32_t, uint32_t> PngSize(const std::string& bytes) {
    if (bytes.size() < 24 || bytes.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0 || bytes.compare(12, 4, "IHDR") != 0)
        return {0, 0};
    const auto word = [&](size_t at) {
        uint32_t value = 0;
        for (size_t i = 0; i < 4; ++i) value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
        return value;
    };
    return {word(16), word(20)};
}

TEST_F(PackageDesktop, IconsAreTheSizesTheirFoldersName) {
    const std::set<std::string> icons = InstalledIcons();
    ASSERT_EQ(icons.size(), 6u);
    for (const std::string& icon : icons) {
        std::smatch size;
        ASSERT_TRUE(std::regex_search(icon, size, std::regex(R"(/(\d+)x\d+/)"))) << icon;
        const uint32_t side = static_cast<uint32_t>(std::stoul(size[1]));
        EXPECT_EQ(PngSize(ReadFileText(Prefix() + "/" + icon)), std::make_pair(side, side)) << icon;
    }
    EXPECT_EQ(ReadFileText(Prefix() + "/share/icons/hicolor/scalable/apps/morvane.svg").rfind("<svg", 0), 0u);
}

// The options a --help text names: "-o" and every "--word".
std::set<std::string> OptionsIn(const std::string& help) {
    std::set<std::string> options;
    static const std::regex option(R"((?:^|[\s\[(])(-o|--[a-z0-9][a-z0-9-]*))");
    for (std::sregex_iterator it(help.begin(), help.end(), option), end; it != end; ++it) options.insert((*it)[1]);
    return options;
}

TEST_F(PackageDesktop, ManualPagesRenderCleanlyAndDocumentEveryOptionOfTheHelp) {
    for (const char* program : {"Morvane", "morvane-cli"}) {
        const std::string page = Prefix() + "/" + InstalledManualPage(program);
        const ProcessResult man = RunTool("man", {"--warnings", "-l", page}, {"MANWIDTH=80", "LC_ALL=C.UTF-8"});
        EXPECT_EQ(man.code, 0) << program << ": " << man.err;
        EXPECT_EQ(man.err, "") << program << ": the page has warnings";

        // The rendered page, with groff's bold and underline overstrikes removed.
        const std::string text = std::regex_replace(man.out, std::regex(".\b"), "");
        EXPECT_NE(text.find(std::string("NAME\n       ") + program + " - "), std::string::npos) << text;
        const std::string options = std::string(program) == "Morvane" ? "OPTIONS" : "COMMANDS";
        for (const std::string& section : {std::string("SYNOPSIS"), std::string("DESCRIPTION"), options,
                                           std::string("FILES"), std::string("SEE ALSO")})
            EXPECT_NE(text.find("\n" + section + "\n"), std::string::npos) << program << " " << section;

        const ProcessResult help = RunInstalled(std::string("bin/") + program, {"--help"});
        ASSERT_EQ(help.code, 0) << help.err;
        const std::set<std::string> named = OptionsIn(help.out);
        EXPECT_GT(named.size(), std::string(program) == "Morvane" ? 1u : 20u) << help.out;
        // Each option as it is typed: the page's hyphens are minus signs, so they copy as such.
        for (const std::string& option : named)
            EXPECT_NE(text.find(option), std::string::npos) << program << "(1) lacks " << option;
        // The synopsis holds the help's usage lines, word for word.
        for (const std::string& line : Lines(help.out.substr(0, help.out.find("\n\n")))) {
            if (line == "Usage:") continue;
            EXPECT_NE(text.find("       " + line.substr(2) + "\n"), std::string::npos) << line;
        }
    }
}

}  // namespace
