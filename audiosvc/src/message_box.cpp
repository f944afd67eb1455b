// The replaceable message box: routing to the host's replacement, to the library's own
// dialog in its companion library, or to standard error when no dialog can be shown.
#include <dlfcn.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <memory>
#include <string>

#include "audiosvc/audiosvc.h"
#include "message_box_companion.h"

namespace {

using namespace audiosvc;

// The host's replacement. Written at start-up and read by every message; atomic so that a
// late registration from another thread is still seen whole.
std::atomic<SCMessageBoxFn> g_replacement{nullptr};

struct LibraryCloser {
    void operator()(void* handle) const { dlclose(handle); }
};
using LibraryHandle = std::unique_ptr<void, LibraryCloser>;

// The companion library, loaded once beside this library; run stays null when it is missing
// (a build without Qt) or lacks its entry.
struct MessageBoxCompanion {
    LibraryHandle library;
    RunMessageBoxDialogFn run = nullptr;
};

std::string FolderOfThisLibrary() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&ShowMessageBox), &info) == 0 || info.dli_fname == nullptr) return {};
    const std::string path = info.dli_fname;
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string{} : path.substr(0, slash + 1);
}

MessageBoxCompanion LoadCompanion() {
    MessageBoxCompanion companion;
    const std::string path = FolderOfThisLibrary() + kMessageBoxLibrary;
    companion.library.reset(dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL));
    if (companion.library)
        companion.run = reinterpret_cast<RunMessageBoxDialogFn>(dlsym(companion.library.get(), kMessageBoxEntry));
    return companion;
}

// Loaded on first use; the static's initialisation is thread-safe and the handle is closed
// at process exit.
const MessageBoxCompanion& Companion() {
    static const MessageBoxCompanion companion = LoadCompanion();
    return companion;
}

std::string ApplicationName() {
    char path[4096];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) return program_invocation_short_name;
    const std::string executable(path, static_cast<size_t>(length));
    return executable.substr(executable.rfind('/') + 1);
}

// Without a dialog the message still reaches the user, and the caller gets the answer the
// dialog would give to Enter (Escape's for a dialog without buttons).
int WriteToConsole(uint32_t type, const char* caption, const char* text) {
    if (caption != nullptr && *caption != '\0')
        std::fprintf(stderr, "%s: %s\n", caption, text != nullptr ? text : "");
    else
        std::fprintf(stderr, "%s\n", text != nullptr ? text : "");
    const int result = MessageBoxDefaultResult(type);
    return result != 0 ? result : IDCANCEL;
}

}  // namespace

int AfxSCMessageBox(const char* text, uint32_t type, const char* caption, QWidget* parent) {
    if (const SCMessageBoxFn replacement = g_replacement.load()) return replacement(text, type, caption, parent);
    const std::string applicationName = caption == nullptr ? ApplicationName() : std::string{};
    return ShowMessageBox(type, caption != nullptr ? caption : applicationName.c_str(), text, nullptr, parent);
}

int ShowMessageBox(uint32_t type, const char* caption, const char* text, const QIcon* icon, QWidget* parent) {
    if (const RunMessageBoxDialogFn run = Companion().run) {
        const int result = run(type, caption, text, icon, parent);
        if (result != 0) return result;
    }
    return WriteToConsole(type, caption, text);
}

SCMessageBoxFn ReplaceSCMessageBox(SCMessageBoxFn replacement) {
    g_replacement.store(replacement);
    return replacement;
}
