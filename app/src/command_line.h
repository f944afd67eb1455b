// The program's information options, answered before any window opens.
#pragma once

#include <optional>

// "--help" or "--version" as the first argument: prints the help or "Morvane <version>" on
// standard output and gives the exit status. Nothing for any other command line: the
// program starts, with the arguments as its start files.
std::optional<int> AnswerInformationOption(int argc, char** argv);
