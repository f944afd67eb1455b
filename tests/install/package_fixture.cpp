#include "tests/install/package_fixture.h"

#include <filesystem>
#include <sstream>

namespace fs = std::filesystem;

void BuiltPackage::SetUp() {
    ASSERT_NE(Deb(), "") << "no package in " << MORVANE_PACKAGE_DIR "/deb: did the test package_build pass?";
    ASSERT_TRUE(fs::is_directory(Prefix())) << Prefix();
    for (const char* folder : {"work", "home", "config", "data", "tmp"}) fs::create_directory(m_scratch / folder);
}

std::string BuiltPackage::Deb() {
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(MORVANE_PACKAGE_DIR "/deb", error))
        if (entry.path().extension() == ".deb") return entry.path().string();
    return {};
}

std::string BuiltPackage::Root() { return MORVANE_PACKAGE_DIR "/root"; }

std::string BuiltPackage::Prefix() { return Root() + "/usr"; }

ProcessResult BuiltPackage::RunInstalled(const std::string& relativeProgram, const std::vector<std::string>& arguments,
                                         const std::vector<std::string>& extra, int limitSeconds) const {
    std::vector<std::string> words = {Prefix() + "/" + relativeProgram};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<std::string> environment = CleanEnvironment(m_scratch.Path());
    environment.insert(environment.end(), extra.begin(), extra.end());
    return RunProcess(words, WorkFolder(), environment, std::chrono::seconds(limitSeconds));
}

ProcessResult BuiltPackage::RunTool(const std::string& tool, const std::vector<std::string>& arguments,
                                    const std::vector<std::string>& extra) const {
    std::vector<std::string> words = {ToolPath(tool)};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<std::string> environment = {"PATH=/usr/bin:/bin", "HOME=" + (m_scratch / "home")};
    environment.insert(environment.end(), extra.begin(), extra.end());
    return RunProcess(words, WorkFolder(), environment, std::chrono::seconds(120));
}

std::vector<std::string> BuiltPackage::Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

std::set<std::string> BuiltPackage::LineSet(const std::string& text) {
    const std::vector<std::string> lines = Lines(text);
    return {lines.begin(), lines.end()};
}
