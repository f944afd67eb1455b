// Messages of morvane-cli and of the engine, on standard error.
#include <cstdio>

#include "audiosvc/audiosvc.h"
#include "cli/src/commands.h"
#include "cli/src/interrupt.h"

namespace {

int PrintMessage(const char* text, uint32_t type, const char* /*caption*/, QWidget* /*parent*/) {
    PrintError(text ? text : "");
    // Nobody can answer: a question gets its cautious answer.
    switch (type & MB_TYPEMASK) {
        case MB_YESNO:
        case MB_YESNOCANCEL: return IDNO;
        case MB_OKCANCEL:
        case MB_RETRYCANCEL: return IDCANCEL;
        default: return IDOK;
    }
}

}  // namespace

void PrintError(const std::string& text) {
    std::fprintf(stderr, "morvane-cli: %s\n", text.c_str());
    std::fflush(stderr);
}

void InstallMessagePrinter() { ReplaceSCMessageBox(PrintMessage); }

int UsageError(const std::string& text) {
    PrintError(text);
    std::fprintf(stderr, "Try 'morvane-cli --help'.\n");
    return kExitUsage;
}

int FailureExit() {
    if (!InterruptRequested()) return kExitFailed;
    PrintError("interrupted");
    return kExitInterrupted;
}
