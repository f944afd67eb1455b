// Complete writes, temporary files and mappings.
#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "engine/temp_files.h"
#include "platform/unique_fd.h"
#include "tests/platform/scratch.h"

namespace {

TEST(EngineFiles, AWriteThatDoesNotFitIsReported) {
    UniqueFd full(::open("/dev/full", O_WRONLY | O_CLOEXEC));
    ASSERT_TRUE(full);
    const std::string bytes(4096, 'x');
    EXPECT_FALSE(WriteAll(full.get(), bytes.data(), bytes.size()));
}

TEST(EngineFiles, TemporaryFilesBelongToTheirLastOwner) {
    ScratchFolder folder;
    ScopedEnv temp("TMPDIR", folder.Path());
    std::string first;
    {
        TempFile owner;
        ASSERT_TRUE(owner.Create("qoexp", "wav"));
        first = owner.Path();
        EXPECT_EQ(first.rfind(folder / "qoexp", 0), 0u);
        ASSERT_TRUE(WriteAll(owner.fd(), "0123456789", 10));

        MappedFile mapping;
        EXPECT_FALSE(mapping.Map(owner.fd(), 11));  // longer than the file
        EXPECT_FALSE(mapping.Map(owner.fd(), 0));
        ASSERT_TRUE(mapping.Map(owner.fd(), 10));
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(mapping.data()), 10), "0123456789");

        TempFile next = std::move(owner);
        EXPECT_TRUE(owner.Path().empty());
        owner.Remove();  // an emptied owner deletes nothing
        EXPECT_TRUE(std::filesystem::exists(first));
        next.Remove();
        EXPECT_FALSE(std::filesystem::exists(first));
        ASSERT_TRUE(next.Create("qoexp", "wav"));
        first = next.Path();
    }
    EXPECT_FALSE(std::filesystem::exists(first));
}

}  // namespace
