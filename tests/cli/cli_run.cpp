#include "cli_run.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

extern char** environ;

namespace {

std::string ReadText(const std::string& path) {
    std::ifstream file(path);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

}  // namespace

pid_t CliFixture::Start(const std::vector<std::string>& arguments) {
    const std::string tool = std::string(MORVANE_BIN_DIR) + "/morvane-cli";
    std::vector<std::string> words = {tool};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);

    ++runs_;
    const std::string prefix = root_ + "/run" + std::to_string(runs_);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, (prefix + ".out").c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, (prefix + ".err").c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    // The tool's relative paths are the input folder's.
    posix_spawn_file_actions_addchdir_np(&actions, inputs_.c_str());
    pid_t pid = -1;
    const int status = posix_spawn(&pid, tool.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    EXPECT_EQ(status, 0) << "cannot start " << tool;
    return status == 0 ? pid : -1;
}

CliResult CliFixture::Finish(pid_t pid) {
    CliResult result;
    int status = 0;
    if (pid <= 0 || ::waitpid(pid, &status, 0) != pid) return result;
    result.code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    const std::string prefix = root_ + "/run" + std::to_string(runs_);
    result.out = ReadText(prefix + ".out");
    result.err = ReadText(prefix + ".err");
    return result;
}

CliResult CliFixture::Run(const std::vector<std::string>& arguments) { return Finish(Start(arguments)); }

std::vector<std::string> CliFixture::PartialFiles(const std::string& name) const {
    std::vector<std::string> found;
    for (const auto& entry : std::filesystem::directory_iterator(inputs_)) {
        const std::string file = entry.path().filename().string();
        if (file.rfind("." + name, 0) == 0) found.push_back(file);
    }
    return found;
}
