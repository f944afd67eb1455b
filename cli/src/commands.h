// The commands of morvane-cli and what they share: exit codes, messages, the usage text.
#pragma once

#include <string>
#include <vector>

enum ExitCode : int {
    kExitOk = 0,
    kExitFailed = 1,
    kExitUsage = 2,
    kExitInterrupted = 130,  // the shell's code for a run ended by SIGINT
};

struct MakeOptions;
struct RecordOptions;
struct SendOptions;

int RunMake(const MakeOptions& options);
int RunPlay(const MakeOptions& options);
int RunRecord(const RecordOptions& options);
int RunInfo(const std::string& path);
int RunEffects();
// The phones reachable now, one per line: id, way, name (tab-separated).
int RunPhones();
int RunSend(const SendOptions& options);

// "morvane-cli: <text>" on standard error.
void PrintError(const std::string& text);
// Routes the engine's messages (AfxSCMessageBox) to PrintError.
void InstallMessagePrinter();
// A usage error: the text and a pointer to --help; returns kExitUsage.
int UsageError(const std::string& text);
// The exit code after a step failed: interrupted when the user asked to stop, else failed.
int FailureExit();

void PrintHelp();
// "morvane-cli <version>": the version the program's about box shows.
void PrintVersion();
