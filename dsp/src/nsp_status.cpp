// The process-wide error status of the primitives, its texts and the error handler.
#include "dsp/nsp_status.h"

#include <atomic>

namespace {

// Atomics: the audio thread and a settings window may report at the same time.
std::atomic<int> g_status{NSP_StsOk};
std::atomic<int> g_mode{NSP_ErrModeLeaf};
std::atomic<NSPErrorCallBack> g_handler{nullptr};

}  // namespace

int nspGetErrStatus() { return g_status.load(); }

void nspSetErrStatus(int status) { g_status.store(status); }

int nspGetErrMode() { return g_mode.load(); }

void nspSetErrMode(int mode) { g_mode.store(mode); }

NSPErrorCallBack nspRedirectError(NSPErrorCallBack handler) { return g_handler.exchange(handler); }

const char* nspErrorStr(int status) {
    switch (status) {
        case NSP_StsOk: return "No Error";
        case NSP_StsBackTrace: return "Backtrace";
        case NSP_StsInternal: return "Internal error (bad state)";
        case NSP_StsNoMem: return "Out of memory";
        case NSP_StsBadArg: return "Bad argument";
        case NSP_StsBadFunc: return "Unsupported function";
        case NSP_StsNoConv: return "Iteration convergence failed";
        case NSP_StsAutoTrace: return "Autotrace call";
        case NSP_StsNullPtr: return "Null pointer";
        case NSP_StsBadPtr: return "Bad pointer";
        case NSP_StsBadStruct: return "Bad data structure";
        case NSP_StsBadLen: return "Bad vector length";
        default: return "Unknown error or status code";
    }
}

int nspError(int status, const char* funcName, const char* message, const char* sourceName, int line) {
    if (status != NSP_StsBackTrace && status != NSP_StsAutoTrace) g_status.store(status);
    // The default handler (none installed) keeps only the status: it never ends the process.
    NSPErrorCallBack handler = g_handler.load();
    if (handler != nullptr && g_mode.load() != NSP_ErrModeSilent) handler(status, funcName, message, sourceName, line);
    return status;
}
