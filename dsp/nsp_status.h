// The process-wide error status of the signal-processing primitives, its texts and the error
// handler. A primitive that finds a bad argument leaves its output unchanged, stores the
// status and reports it to the handler (function, message, source "nsparith" or "nspfftd",
// line).
#pragma once

inline constexpr int NSP_StsOk = 0;
inline constexpr int NSP_StsBackTrace = -1;
inline constexpr int NSP_StsInternal = -3;
inline constexpr int NSP_StsNoMem = -4;
inline constexpr int NSP_StsBadArg = -5;
inline constexpr int NSP_StsBadFunc = -6;
inline constexpr int NSP_StsNoConv = -7;
inline constexpr int NSP_StsAutoTrace = -8;
inline constexpr int NSP_StsNullPtr = -10;
inline constexpr int NSP_StsBadPtr = -12;
inline constexpr int NSP_StsBadStruct = -13;
inline constexpr int NSP_StsBadLen = -14;

// Error modes: the handler is called in every mode but the silent one.
inline constexpr int NSP_ErrModeLeaf = 0;
inline constexpr int NSP_ErrModeParent = 1;
inline constexpr int NSP_ErrModeSilent = 2;

// Called for each report: status, reporting function, message, source name, line.
typedef int (*NSPErrorCallBack)(int status, const char* funcName, const char* message, const char* sourceName,
                                int line);

int nspGetErrStatus();
void nspSetErrStatus(int status);
int nspGetErrMode();
void nspSetErrMode(int mode);
// Installs a handler (null restores the default, which only keeps the status) and
// returns the previous one.
NSPErrorCallBack nspRedirectError(NSPErrorCallBack handler);
// The fixed text of a status code.
const char* nspErrorStr(int status);
// Stores the status (except the trace codes -1 and -8) and calls the handler.
int nspError(int status, const char* funcName, const char* message, const char* sourceName, int line);
