#include "tests/install/process_run.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>

extern char** environ;

namespace {

// Both ends of a pipe, closed when it goes.
struct Pipe {
    std::array<int, 2> ends{-1, -1};
    Pipe() {
        if (::pipe2(ends.data(), O_CLOEXEC) != 0) ends = {-1, -1};
    }
    ~Pipe() {
        CloseRead();
        CloseWrite();
    }
    Pipe(const Pipe&) = delete;
    Pipe& operator=(const Pipe&) = delete;
    bool Valid() const { return ends[0] >= 0; }
    void CloseRead() { Close(ends[0]); }
    void CloseWrite() { Close(ends[1]); }

private:
    static void Close(int& fd) {
        if (fd >= 0) ::close(fd);
        fd = -1;
    }
};

// posix_spawn's file actions, destroyed when they go.
struct SpawnActions {
    posix_spawn_file_actions_t actions;
    SpawnActions() { posix_spawn_file_actions_init(&actions); }
    ~SpawnActions() { posix_spawn_file_actions_destroy(&actions); }
    SpawnActions(const SpawnActions&) = delete;
    SpawnActions& operator=(const SpawnActions&) = delete;
};

std::vector<char*> PointersTo(std::vector<std::string>& texts) {
    std::vector<char*> pointers;
    for (std::string& text : texts) pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

int ExitCode(int status) { return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status); }

}  // namespace

ProcessResult RunProcess(const std::vector<std::string>& words, const std::string& folder,
                         const std::optional<std::vector<std::string>>& environment, std::chrono::seconds limit) {
    ProcessResult result;
    Pipe out;
    Pipe err;
    if (words.empty() || !out.Valid() || !err.Valid()) return result;

    SpawnActions spawn;
    posix_spawn_file_actions_addopen(&spawn.actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&spawn.actions, out.ends[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&spawn.actions, err.ends[1], STDERR_FILENO);
    posix_spawn_file_actions_addchdir_np(&spawn.actions, folder.c_str());
    std::vector<std::string> argumentTexts = words;
    std::vector<std::string> environmentTexts = environment.value_or(std::vector<std::string>{});
    std::vector<char*> argv = PointersTo(argumentTexts);
    std::vector<char*> envp = PointersTo(environmentTexts);
    pid_t pid = -1;
    if (posix_spawn(&pid, words[0].c_str(), &spawn.actions, nullptr, argv.data(),
                    environment ? envp.data() : environ) != 0)
        return result;
    out.CloseWrite();
    err.CloseWrite();

    // Reads both outputs until they end (the process and its children closed them) or the
    // time is up.
    const auto deadline = std::chrono::steady_clock::now() + limit;
    std::array<pollfd, 2> watched{{{out.ends[0], POLLIN, 0}, {err.ends[0], POLLIN, 0}}};
    std::array<std::string*, 2> texts{&result.out, &result.err};
    int open = 2;
    while (open > 0) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            result.timedOut = true;
            ::kill(pid, SIGKILL);
            break;
        }
        if (::poll(watched.data(), watched.size(), static_cast<int>(left.count())) < 0) continue;
        for (size_t i = 0; i < watched.size(); ++i) {
            if (watched[i].fd < 0 || watched[i].revents == 0) continue;
            char buffer[4096];
            const ssize_t length = ::read(watched[i].fd, buffer, sizeof buffer);
            if (length > 0) {
                texts[i]->append(buffer, static_cast<size_t>(length));
            } else if (length < 0 && errno == EINTR) {
                continue;
            } else {
                watched[i].fd = -1;  // poll skips negative descriptors
                --open;
            }
        }
    }
    int status = 0;
    if (::waitpid(pid, &status, 0) == pid) result.code = ExitCode(status);
    return result;
}

std::string ToolPath(const std::string& tool) {
    for (const char* folder : {"/usr/bin", "/bin", "/usr/local/bin"}) {
        const std::string path = std::string(folder) + "/" + tool;
        if (::access(path.c_str(), X_OK) == 0) return path;
    }
    return tool;
}

std::vector<std::string> CleanEnvironment(const std::string& scratch) {
    return {
        "PATH=/usr/bin:/bin",
        "HOME=" + scratch + "/home",
        "XDG_CONFIG_HOME=" + scratch + "/config",
        "XDG_DATA_HOME=" + scratch + "/data",
        "TMPDIR=" + scratch + "/tmp",
        "QT_QPA_PLATFORM=offscreen",
        "SDL_AUDIODRIVER=dummy",
    };
}
