// Files, folders and the unique temporary name rule.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/clock.h"
#include "platform/files.h"
#include "tests/platform/scratch.h"

namespace fs = std::filesystem;

namespace {

class TmpdirOverride {
public:
    explicit TmpdirOverride(const char* value) {
        if (const char* old = std::getenv("TMPDIR")) old_ = old, had_ = true;
        if (value)
            ::setenv("TMPDIR", value, 1);
        else
            ::unsetenv("TMPDIR");
    }
    ~TmpdirOverride() {
        if (had_)
            ::setenv("TMPDIR", old_.c_str(), 1);
        else
            ::unsetenv("TMPDIR");
    }

private:
    std::string old_;
    bool had_ = false;
};

}  // namespace

TEST(FileExists, TellsFilesFromFoldersAndNothing) {
    ScratchFolder scratch;
    const std::string file = scratch.Write("a.wav", "x");
    EXPECT_TRUE(FileExists(file));
    EXPECT_FALSE(FileExists(scratch.Path()));
    EXPECT_FALSE(FileExists(scratch.Path() + "/missing.wav"));
    EXPECT_FALSE(FileExists(""));
}

TEST(FolderExists, AcceptsOneTrailingSlashAndRejectsFiles) {
    ScratchFolder scratch;
    EXPECT_TRUE(FolderExists(scratch.Path()));
    EXPECT_TRUE(FolderExists(scratch.Path() + "/"));
    EXPECT_FALSE(FolderExists(scratch.Write("f", "x")));
    EXPECT_FALSE(FolderExists(scratch.Path() + "/none"));
    EXPECT_FALSE(FolderExists(""));
}

TEST(UniqueName, SkipsTakenNumbersAndKeepsTheForm) {
    ScratchFolder scratch;
    scratch.Write("qosrc100.tmp", "x");
    scratch.Write("qosrc101.tmp", "x");
    EXPECT_EQ(UniqueNameIn(scratch.Path(), "qosrc", "tmp", 100), scratch.Path() + "/qosrc102.tmp");
    EXPECT_EQ(UniqueNameIn(scratch.Path(), "qoexp", "wav", 100), scratch.Path() + "/qoexp100.wav");
}

TEST(UniqueName, ATakenNameThatIsAFolderOrDanglingLinkIsSkippedToo) {
    ScratchFolder scratch;
    fs::create_directory(scratch.Path() + "/qosav7.tmp");
    fs::create_symlink(scratch.Path() + "/nowhere", scratch.Path() + "/qosav8.tmp");
    EXPECT_EQ(UniqueNameIn(scratch.Path(), "qosav", "tmp", 7), scratch.Path() + "/qosav9.tmp");
}

TEST(UniqueName, NumbersAbove2To31ArePrintedSigned) {
    ScratchFolder scratch;
    EXPECT_EQ(UniqueNameIn(scratch.Path(), "qorec", "tmp", 0x80000000u), scratch.Path() + "/qorec-2147483648.tmp");
}

TEST(TempFolder, FollowsTmpdirAndFallsBackWhenItIsUnusable) {
    ScratchFolder scratch;
    {
        TmpdirOverride use((scratch.Path() + "/").c_str());
        EXPECT_EQ(TempFolder(), scratch.Path());
        const std::string name = UniqueTempName("qosrc", "tmp");
        EXPECT_EQ(name.rfind(scratch.Path() + "/qosrc", 0), 0u) << name;
        EXPECT_EQ(name.substr(name.size() - 4), ".tmp");
    }
    {
        TmpdirOverride use((scratch.Path() + "/does-not-exist").c_str());
        EXPECT_EQ(TempFolder(), "/tmp");
    }
}

TEST(ProgramFolder, IsTheFolderOfThisExecutable) {
    const fs::path self = fs::read_symlink("/proc/self/exe");
    EXPECT_EQ(ProgramFolder(), self.parent_path().string());
}

TEST(TickCount, NeverGoesBackwards) {
    const uint32_t first = TickCountMs();
    const uint32_t second = TickCountMs();
    EXPECT_LE(static_cast<uint32_t>(second - first), 1000u);
}
