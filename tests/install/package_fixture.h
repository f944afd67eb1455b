// The Debian package that the test fixture morvane_package made (build_package.cmake): the
// .deb and the scratch root it was extracted into with dpkg -x.
#pragma once

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "tests/install/process_run.h"
#include "tests/platform/scratch.h"

class BuiltPackage : public testing::Test {
protected:
    // Fails the test when the fixture made no package; makes the work, home, settings and
    // temporary folders of the runs.
    void SetUp() override;

    static std::string Deb();     // the one .deb the fixture made, "" when there is none
    static std::string Root();    // where it was extracted
    static std::string Prefix();  // Root()/usr
    std::string WorkFolder() const { return m_scratch / "work"; }

    // Runs a program of the extracted package (relative to Prefix()) in the work folder with
    // a clean environment (CleanEnvironment) plus `extra`.
    ProcessResult RunInstalled(const std::string& relativeProgram, const std::vector<std::string>& arguments,
                               const std::vector<std::string>& extra = {}, int limitSeconds = 120) const;
    // Runs a system tool in the work folder with PATH, HOME and `extra` as its environment.
    ProcessResult RunTool(const std::string& tool, const std::vector<std::string>& arguments,
                          const std::vector<std::string>& extra = {}) const;

    // The lines of a text, without their ends.
    static std::vector<std::string> Lines(const std::string& text);
    static std::set<std::string> LineSet(const std::string& text);

private:
    ScratchFolder m_scratch;
};
