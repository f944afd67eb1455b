#include "tests/install/installed_tree.h"

#include <filesystem>

namespace {

constexpr const char* kPrefixName = "prefix";

}  // namespace

std::unique_ptr<ScratchFolder> InstalledTree::s_scratch;
std::string InstalledTree::s_installError;

void InstalledTree::SetUpTestSuite() {
    s_scratch = std::make_unique<ScratchFolder>();
    const std::string staging = *s_scratch / "staging";
    const ProcessResult install =
        RunProcess({MORVANE_CMAKE_COMMAND, "--install", MORVANE_BUILD_DIR, "--prefix", staging}, s_scratch->Path(),
                   std::nullopt, std::chrono::seconds(300));
    if (install.code != 0) {
        s_installError = "cmake --install failed (" + std::to_string(install.code) + "): " + install.err;
        return;
    }
    std::error_code error;
    std::filesystem::rename(staging, *s_scratch / kPrefixName, error);
    for (const char* folder : {"work", "home", "config", "data", "tmp"})
        if (!error) std::filesystem::create_directory(*s_scratch / folder, error);
    if (error) s_installError = "cannot prepare the scratch folders: " + error.message();
}

void InstalledTree::TearDownTestSuite() { s_scratch.reset(); }

void InstalledTree::SetUp() { ASSERT_EQ(s_installError, "") << "the build could not be installed"; }

const std::string& InstalledTree::Prefix() {
    static const std::string prefix = *s_scratch / kPrefixName;
    return prefix;
}

std::string InstalledTree::WorkFolder() { return *s_scratch / "work"; }

ProcessResult InstalledTree::RunInstalled(const std::string& relativeProgram, const std::vector<std::string>& arguments,
                                          const std::vector<std::string>& extra, int limitSeconds) {
    std::vector<std::string> words = {Prefix() + "/" + relativeProgram};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<std::string> environment = CleanEnvironment(s_scratch->Path());
    environment.insert(environment.end(), extra.begin(), extra.end());
    return RunProcess(words, WorkFolder(), environment, std::chrono::seconds(limitSeconds));
}

ProcessResult InstalledTree::RunTool(const std::string& tool, const std::vector<std::string>& arguments) {
    std::vector<std::string> words = {ToolPath(tool)};
    words.insert(words.end(), arguments.begin(), arguments.end());
    return RunProcess(words, WorkFolder(), std::vector<std::string>{"PATH=/usr/bin:/bin"}, std::chrono::seconds(120));
}
