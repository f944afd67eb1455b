// Files, folders and the unique temporary name rule.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/platform.h"

namespace fs = std::filesystem;

namespace {

class ScratchFolder {
public:
    ScratchFolder() {
        char pattern[] = "/tmp/morvane-files-XXXXXX";
        path_ = ::mkdtemp(pattern);
    }
    ~ScratchFolder() { fs::remove_all(path_); }
    const std::string& path() const { return path_; }
    std::string Touch(const std::string& name) const {
        const std::string file = path_ + "/" + name;
        std::ofstream(file) << "x";
        return file;
    }

private:
    std::string path_;
};

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
    const std::string file = scratch.Touch("a.wav");
    EXPECT_TRUE(FileExists(file));
    EXPECT_FALSE(FileExists(scratch.path()));
    EXPECT_FALSE(FileExists(scratch.path() + "/missing.wav"));
    EXPECT_FALSE(FileExists(""));
}

TEST(FolderExists, AcceptsOneTrailingSlashAndRejectsFiles) {
    ScratchFolder scratch;
    EXPECT_TRUE(FolderExists(scratch.path()));
    EXPECT_TRUE(FolderExists(scratch.path() + "/"));
    EXPECT_FALSE(FolderExists(scratch.Touch("f")));
    EXPECT_FALSE(FolderExists(scratch.path() + "/none"));
    EXPECT_FALSE(FolderExists(""));
}

TEST(UniqueName, SkipsTakenNumbersAndKeepsTheForm) {
    ScratchFolder scratch;
    scratch.Touch("qosrc100.tmp");
    scratch.Touch("qosrc101.tmp");
    EXPECT_EQ(UniqueNameIn(scratch.path(), "qosrc", "tmp", 100), scratch.path() + "/qosrc102.tmp");
    EXPECT_EQ(UniqueNameIn(scratch.path(), "qoexp", "wav", 100), scratch.path() + "/qoexp100.wav");
}

TEST(UniqueName, ATakenNameThatIsAFolderOrDanglingLinkIsSkippedToo) {
    ScratchFolder scratch;
    fs::create_directory(scratch.path() + "/qosav7.tmp");
    fs::create_symlink(scratch.path() + "/nowhere", scratch.path() + "/qosav8.tmp");
    EXPECT_EQ(UniqueNameIn(scratch.path(), "qosav", "tmp", 7), scratch.path() + "/qosav9.tmp");
}

TEST(UniqueName, NumbersAbove2To31ArePrintedSigned) {
    ScratchFolder scratch;
    EXPECT_EQ(UniqueNameIn(scratch.path(), "qorec", "tmp", 0x80000000u), scratch.path() + "/qorec-2147483648.tmp");
}

TEST(TempFolder, FollowsTmpdirAndFallsBackWhenItIsUnusable) {
    ScratchFolder scratch;
    {
        TmpdirOverride use((scratch.path() + "/").c_str());
        EXPECT_EQ(TempFolder(), scratch.path());
        const std::string name = UniqueTempName("qosrc", "tmp");
        EXPECT_EQ(name.rfind(scratch.path() + "/qosrc", 0), 0u) << name;
        EXPECT_EQ(name.substr(name.size() - 4), ".tmp");
    }
    {
        TmpdirOverride use((scratch.path() + "/does-not-exist").c_str());
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
