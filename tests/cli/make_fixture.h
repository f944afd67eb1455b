// Runs of "morvane-cli make" that are expected to succeed or to fail with a message.
#pragma once

#include <string>
#include <vector>

#include "cli_run.h"

class CliMake : public CliFixture {
protected:
    CliResult Make(const std::vector<std::string>& arguments) {
        std::vector<std::string> all = {"make"};
        all.insert(all.end(), arguments.begin(), arguments.end());
        return Run(all);
    }
    // Expects a successful run that prints nothing on standard error and leaves nothing in
    // the temporary folder.
    void MakeOk(const std::vector<std::string>& arguments) {
        const CliResult result = Make(arguments);
        EXPECT_EQ(result.code, 0) << result.err;
        EXPECT_TRUE(result.err.empty()) << result.err;
        EXPECT_TRUE(TempFiles().empty()) << testing::PrintToString(TempFiles());
    }
    // Expects a failed run with the message, leaving no file behind.
    void MakeFails(const std::vector<std::string>& arguments, const std::string& message, int code = 1) {
        const CliResult result = Make(arguments);
        EXPECT_EQ(result.code, code) << result.err;
        EXPECT_NE(result.err.find(message), std::string::npos) << result.err;
        EXPECT_TRUE(TempFiles().empty()) << testing::PrintToString(TempFiles());
    }
};
