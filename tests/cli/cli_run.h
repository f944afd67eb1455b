// Running morvane-cli as a separate process, as a user does.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

#include "../render/chain_fixture.h"

struct CliResult {
    int code = -1;  // the exit status, or 128 + the signal that ended it
    std::string out;
    std::string err;
};

class CliFixture : public ChainFixture {
protected:
    // Runs the tool with the arguments in the input folder and waits for it.
    CliResult Run(const std::vector<std::string>& arguments);
    // Starts the tool without waiting; Finish waits for it.
    pid_t Start(const std::vector<std::string>& arguments);
    CliResult Finish(pid_t pid);
    // Files whose name starts with ".<name>" beside the output name: partial copies.
    std::vector<std::string> PartialFiles(const std::string& name) const;

private:
    int runs_ = 0;
};
