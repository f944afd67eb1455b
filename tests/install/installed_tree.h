// The build installed into a scratch prefix once per test process, and the installed
// programs run from there with the build tree out of reach.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/install/process_run.h"
#include "tests/platform/scratch.h"

class InstalledTree : public testing::Test {
protected:
    // Installs the build with cmake --install, then moves the prefix elsewhere: nothing
    // installed may depend on where it was installed.
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void SetUp() override;

    static const std::string& Prefix();
    // A folder of the scratch space outside the prefix, for inputs and outputs of runs.
    static std::string WorkFolder();
    // Runs a program of the prefix in the work folder with a clean environment: no
    // LD_LIBRARY_PATH, no MORVANE_PLUGIN_DIR, home and settings folders in the scratch space,
    // the offscreen display and the dummy sound device, plus `extra` ("NAME=value").
    static ProcessResult RunInstalled(const std::string& relativeProgram, const std::vector<std::string>& arguments,
                                      const std::vector<std::string>& extra = {}, int limitSeconds = 120);
    // Runs a system tool (ffmpeg, readelf ...) of /usr/bin or /bin in the work folder, with
    // nothing but PATH in its environment.
    static ProcessResult RunTool(const std::string& tool, const std::vector<std::string>& arguments);

private:
    static std::unique_ptr<ScratchFolder> s_scratch;
    static std::string s_installError;
};
