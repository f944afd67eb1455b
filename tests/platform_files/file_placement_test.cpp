// Putting finished files in place: content, permissions, refusals, failures, cancelling and
// concurrent writers, and never a hidden file left behind.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "platform/file_placement.h"
#include "platform/unique_fd.h"
#include "tests/platform/scratch.h"

namespace fs = std::filesystem;

namespace {

// The names in the folder, sorted.
std::vector<std::string> Names(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

mode_t ModeOf(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
}

PlaceWriter Writes(const std::string& text) {
    return [text](int fd, const std::string&) { return WriteAll(fd, text.data(), text.size()); };
}

// Sets the process's umask for one test.
class ScopedUmask {
public:
    explicit ScopedUmask(mode_t mask) : old_(::umask(mask)) {}
    ~ScopedUmask() { ::umask(old_); }

private:
    mode_t old_;
};

}  // namespace

TEST(PlaceFile, PutsTheBytesInPlaceWithOrdinaryPermissionsAndNothingElse) {
    const ScratchFolder scratch;
    const ScopedUmask umask(022);
    const std::string target = scratch / "ring.mp3";
    const std::string source = scratch.Write("source.bin", std::string(200000, 'x') + "end");
    ASSERT_EQ(::chmod(source.c_str(), 0600), 0);

    const PlaceOutcome outcome = PlaceCopy(source, target, {});
    EXPECT_EQ(outcome.result, PlaceResult::Placed) << outcome.error;
    EXPECT_TRUE(outcome);
    EXPECT_EQ(ReadFileText(target), std::string(200000, 'x') + "end");
    // A private source still gives a file the user's other programs may read.
    EXPECT_EQ(ModeOf(target), 0644u);
    EXPECT_EQ(Names(scratch.Path()), (std::vector<std::string>{"ring.mp3", "source.bin"}));
}

TEST(PlaceFile, AGivenModeIsApplied) {
    const ScratchFolder scratch;
    PlaceOptions options;
    options.mode = 0600;
    ASSERT_TRUE(PlaceFile(scratch / "settings.ini", options, Writes("[a]\n")));
    EXPECT_EQ(ModeOf(scratch / "settings.ini"), 0600u);
}

TEST(PlaceFile, AnExistingTargetIsReplacedOnlyWhenAsked) {
    const ScratchFolder scratch;
    const std::string target = scratch.Write("ring.mp3", "old");

    const PlaceOutcome refused = PlaceFile(target, {}, Writes("new"));
    EXPECT_EQ(refused.result, PlaceResult::Exists);
    EXPECT_EQ(ReadFileText(target), "old");
    EXPECT_EQ(Names(scratch.Path()), std::vector<std::string>{"ring.mp3"});

    PlaceOptions replacing;
    replacing.replace = true;
    EXPECT_EQ(PlaceFile(target, replacing, Writes("new")).result, PlaceResult::Placed);
    EXPECT_EQ(ReadFileText(target), "new");
    EXPECT_EQ(Names(scratch.Path()), std::vector<std::string>{"ring.mp3"});
}

TEST(PlaceFile, AFailingWriterLeavesTheTargetAsItWasAndNoHiddenFile) {
    const ScratchFolder scratch;
    const std::string target = scratch.Write("ring.mp3", "old");
    PlaceOptions replacing;
    replacing.replace = true;

    const PlaceOutcome outcome = PlaceFile(target, replacing, [](int fd, const std::string&) {
        // Half the content, then the failure.
        return WriteAll(fd, "ne", 2) && false;
    });
    EXPECT_EQ(outcome.result, PlaceResult::Failed);
    EXPECT_NE(outcome.error.find("ring.mp3"), std::string::npos) << outcome.error;
    EXPECT_EQ(ReadFileText(target), "old");
    EXPECT_EQ(Names(scratch.Path()), std::vector<std::string>{"ring.mp3"});
}

TEST(PlaceFile, TheHiddenFileSitsBesideTheTargetAndKeepsItsExtension) {
    const ScratchFolder scratch;
    std::string hidden;
    // A writer that chooses the type by the extension opens the path itself.
    const PlaceOutcome outcome = PlaceFile(scratch / "voice.ogg", {}, [&](int, const std::string& path) {
        hidden = path;
        return WriteFileText(path, "by path"), true;
    });
    ASSERT_TRUE(outcome) << outcome.error;
    EXPECT_EQ(fs::path(hidden).parent_path().string(), scratch.Path());
    EXPECT_EQ(fs::path(hidden).filename().string().front(), '.');
    EXPECT_EQ(fs::path(hidden).extension().string(), ".ogg");
    EXPECT_EQ(ReadFileText(scratch / "voice.ogg"), "by path");
    EXPECT_FALSE(fs::exists(hidden));
}

TEST(PlaceFile, CancellingDuringACopyLeavesNothing) {
    const ScratchFolder scratch;
    const std::string source = scratch.Write("source.bin", std::string(1 << 20, 'y'));
    int asked = 0;
    PlaceOptions options;
    // Allows the first blocks, then cancels in the middle of the copy.
    options.cancelled = [&asked] { return ++asked > 4; };

    EXPECT_EQ(PlaceCopy(source, scratch / "ring.mp3", options).result, PlaceResult::Cancelled);
    EXPECT_GT(asked, 4);
    EXPECT_EQ(Names(scratch.Path()), std::vector<std::string>{"source.bin"});
}

TEST(PlaceFile, MissingPlacesAreFailuresThatSayWhere) {
    const ScratchFolder scratch;
    const PlaceOutcome noFolder = PlaceFile(scratch / "missing/ring.mp3", {}, Writes("x"));
    EXPECT_EQ(noFolder.result, PlaceResult::Failed);
    EXPECT_NE(noFolder.error.find(scratch / "missing"), std::string::npos) << noFolder.error;

    const PlaceOutcome noSource = PlaceCopy(scratch / "nothing.wav", scratch / "ring.mp3", {});
    EXPECT_EQ(noSource.result, PlaceResult::Failed);
    EXPECT_NE(noSource.error.find("nothing.wav"), std::string::npos) << noSource.error;
    EXPECT_TRUE(Names(scratch.Path()).empty());
}

TEST(PlaceFile, ConcurrentWritersOfOneTargetNeverMixOrLeaveFilesBehind) {
    const ScratchFolder scratch;
    const std::string target = scratch / "ring.mp3";
    constexpr int kWriters = 8;
    for (const bool replace : {false, true}) {
        fs::remove(target);
        std::atomic<int> placed{0}, refused{0};
        std::vector<std::thread> writers;
        for (int w = 0; w < kWriters; ++w) {
            writers.emplace_back([&, w] {
                PlaceOptions options;
                options.replace = replace;
                const std::string text(100000, static_cast<char>('a' + w));
                const PlaceResult result = PlaceFile(target, options, Writes(text)).result;
                if (result == PlaceResult::Placed) ++placed;
                if (result == PlaceResult::Exists) ++refused;
            });
        }
        for (std::thread& writer : writers) writer.join();
        EXPECT_EQ(placed.load(), replace ? kWriters : 1);
        EXPECT_EQ(refused.load(), replace ? 0 : kWriters - 1);
        const std::string result = ReadFileText(target);
        ASSERT_EQ(result.size(), 100000u);
        EXPECT_EQ(std::count(result.begin(), result.end(), result.front()), 100000);
        EXPECT_EQ(Names(scratch.Path()), std::vector<std::string>{"ring.mp3"});
    }
}

TEST(UniqueFd, OwnsOneDescriptorAtATime) {
    const ScratchFolder scratch;
    const std::string path = scratch.Write("file", "x");
    UniqueFd first(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    const int firstFd = first.get();
    ASSERT_GE(firstFd, 0);
    UniqueFd second(std::move(first));
    EXPECT_FALSE(first);
    EXPECT_EQ(second.get(), firstFd);
    second.Reset(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    // The first descriptor was closed when the second took another.
    EXPECT_EQ(::fcntl(firstFd, F_GETFD), -1);
    EXPECT_TRUE(second.CloseChecked());
    EXPECT_FALSE(second);
}
