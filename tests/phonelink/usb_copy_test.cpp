// Copying to a USB storage: into the right tone folder (made when missing), Exists and
// replacing, cancelling mid-way, the straight copy used where renames are refused, bad
// requests, and a full storage (a small tmpfs), always without a partial file left behind.
#include <gtest/gtest.h>

#include <sys/mount.h>
#include <unistd.h>

#include <fcntl.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "phonelink/send.h"
#include "phonelink/src/usb_copy.h"
#include "platform/unique_fd.h"
#include "tests/phonelink/phonelink_test_support.h"

namespace fs = std::filesystem;

namespace {

constexpr char kInNamespace[] = "PHONELINK_TEST_IN_NAMESPACE";

class UsbCopyTest : public testing::Test {
protected:
    void SetUp() override {
        storage = scratch.Path() / "Internal shared storage";
        fs::create_directories(storage);
        source = scratch.Path() / "render.tmp";
        bytes = RandomBytes(300000, 1);
        WriteWholeFile(source, bytes);
    }

    SendRequest Request(const std::string& fileName, ToneFolder folder = ToneFolder::Ringtones) const {
        SendRequest request;
        request.phone.way = PhoneWay::Usb;
        request.phone.storage = storage.string();
        request.phone.id = "usb:" + storage.string();
        request.phone.name = "Google Pixel 7";
        request.file = source.string();
        request.fileName = fileName;
        request.folder = folder;
        return request;
    }

    // Sends and records the progress it was told.
    SendResult Send(const SendRequest& request, std::string& error) {
        reports.clear();
        return SendToPhone(
            request,
            [this](uint64_t done, uint64_t total) {
                reports.emplace_back(done, total);
                return true;
            },
            error);
    }

    ScratchFolder scratch;
    fs::path storage;
    fs::path source;
    std::string bytes;
    std::vector<std::pair<uint64_t, uint64_t>> reports;
};

TEST_F(UsbCopyTest, CopiesIntoTheToneFolderMadeWhenMissing) {
    std::string error;
    ASSERT_EQ(Send(Request("Wake up.ogg", ToneFolder::Alarms), error), SendResult::Sent) << error;
    EXPECT_TRUE(error.empty());
    EXPECT_EQ(EntriesOf(storage), std::vector<std::string>{"Alarms"});
    EXPECT_EQ(EntriesOf(storage / "Alarms"), std::vector<std::string>{"Wake up.ogg"});
    EXPECT_EQ(ReadWholeFile(storage / "Alarms" / "Wake up.ogg"), bytes);
    // The progress grows to the whole file.
    ASSERT_FALSE(reports.empty());
    for (size_t i = 0; i < reports.size(); ++i) {
        EXPECT_EQ(reports[i].second, bytes.size());
        if (i > 0) {
            EXPECT_GT(reports[i].first, reports[i - 1].first);
        }
    }
    EXPECT_EQ(reports.back().first, bytes.size());

    ASSERT_EQ(Send(Request("Ping.mp3", ToneFolder::Notifications), error), SendResult::Sent) << error;
    EXPECT_EQ(ReadWholeFile(storage / "Notifications" / "Ping.mp3"), bytes);
    // Also without a progress callback.
    ASSERT_EQ(SendToPhone(Request("Ring.m4r"), {}, error), SendResult::Sent) << error;
    EXPECT_EQ(ReadWholeFile(storage / "Ringtones" / "Ring.m4r"), bytes);
}

TEST_F(UsbCopyTest, AToneFolderIsFoundWhateverItsCase) {
    fs::create_directories(storage / "ringtones");
    std::string error;
    ASSERT_EQ(Send(Request("Ring.mp3"), error), SendResult::Sent) << error;
    EXPECT_EQ(EntriesOf(storage), std::vector<std::string>{"ringtones"});
    EXPECT_EQ(ReadWholeFile(storage / "ringtones" / "Ring.mp3"), bytes);
}

TEST_F(UsbCopyTest, AnExistingFileIsKeptUnlessReplaceIsSet) {
    WriteWholeFile(storage / "Ringtones" / "Ring.mp3", "the old tone");
    std::string error;
    EXPECT_EQ(Send(Request("Ring.mp3"), error), SendResult::Exists);
    EXPECT_TRUE(reports.empty()) << "copied although the name was taken";
    EXPECT_EQ(ReadWholeFile(storage / "Ringtones" / "Ring.mp3"), "the old tone");
    EXPECT_EQ(EntriesOf(storage / "Ringtones"), std::vector<std::string>{"Ring.mp3"});

    SendRequest replacing = Request("Ring.mp3");
    replacing.replace = true;
    ASSERT_EQ(Send(replacing, error), SendResult::Sent) << error;
    EXPECT_EQ(ReadWholeFile(storage / "Ringtones" / "Ring.mp3"), bytes);
    EXPECT_EQ(EntriesOf(storage / "Ringtones"), std::vector<std::string>{"Ring.mp3"});
}

TEST_F(UsbCopyTest, ALeftoverHiddenCopyIsLeftAlone) {
    WriteWholeFile(storage / "Ringtones" / ".Ring.mp3.part", "someone else's");
    std::string error;
    ASSERT_EQ(Send(Request("Ring.mp3"), error), SendResult::Sent) << error;
    EXPECT_EQ(ReadWholeFile(storage / "Ringtones" / "Ring.mp3"), bytes);
    EXPECT_EQ(ReadWholeFile(storage / "Ringtones" / ".Ring.mp3.part"), "someone else's");
    EXPECT_EQ(EntriesOf(storage / "Ringtones"), (std::vector<std::string>{".Ring.mp3.part", "Ring.mp3"}));
}

TEST_F(UsbCopyTest, ACancelledCopyLeavesNothing) {
    bytes = RandomBytes(4 << 20, 2);
    WriteWholeFile(source, bytes);
    const auto cancelAtOneMegabyte = [](uint64_t done, uint64_t total) {
        EXPECT_EQ(total, uint64_t{4} << 20);
        return done < (uint64_t{1} << 20);
    };
    std::string error;
    EXPECT_EQ(SendToPhone(Request("Ring.mp3"), cancelAtOneMegabyte, error), SendResult::Cancelled);
    EXPECT_TRUE(EntriesOf(storage / "Ringtones").empty());

    // Replacing: the old file stays as it was.
    WriteWholeFile(storage / "Ringtones" / "Ring.mp3", "the old tone");
    SendRequest replacing = Request("Ring.mp3");
    replacing.replace = true;
    EXPECT_EQ(SendToPhone(replacing, cancelAtOneMegabyte, error), SendResult::Cancelled);
    EXPECT_EQ(EntriesOf(storage / "Ringtones"), std::vector<std::string>{"Ring.mp3"});
    EXPECT_EQ(ReadWholeFile(storage / "Ringtones" / "Ring.mp3"), "the old tone");
}

// The copy for storages that refuse renames, straight under the final name.
TEST_F(UsbCopyTest, TheStraightCopyLeavesNoPartialFile) {
    const UniqueFd input(::open(source.c_str(), O_RDONLY | O_CLOEXEC));
    ASSERT_TRUE(input);
    const std::string target = (storage / "Ring.mp3").string();
    std::string error;
    ASSERT_EQ(CopyStraight(input.get(), bytes.size(), target, false, {}, error), SendResult::Sent) << error;
    EXPECT_EQ(ReadWholeFile(target), bytes);
    EXPECT_EQ(CopyStraight(input.get(), bytes.size(), target, false, {}, error), SendResult::Exists);
    EXPECT_EQ(ReadWholeFile(target), bytes);

    const std::string other = RandomBytes(200000, 3);
    WriteWholeFile(source, other);
    const UniqueFd changed(::open(source.c_str(), O_RDONLY | O_CLOEXEC));
    ASSERT_EQ(CopyStraight(changed.get(), other.size(), target, true, {}, error), SendResult::Sent) << error;
    EXPECT_EQ(ReadWholeFile(target), other);

    const auto cancelAfterFirstBlock = [](uint64_t, uint64_t) { return false; };
    EXPECT_EQ(
        CopyStraight(changed.get(), other.size(), (storage / "New.mp3").string(), false, cancelAfterFirstBlock, error),
        SendResult::Cancelled);
    EXPECT_EQ(EntriesOf(storage), std::vector<std::string>{"Ring.mp3"});
}

TEST_F(UsbCopyTest, BadRequestsFailWithASentenceAndWriteNothing) {
    for (const char* name : {"", ".", "..", "a/b.mp3", "../Ring.mp3"}) {
        std::string error;
        EXPECT_EQ(Send(Request(name), error), SendResult::Failed) << name;
        EXPECT_FALSE(error.empty()) << name;
    }
    std::string error;
    SendRequest missing = Request("Ring.mp3");
    missing.file = (scratch.Path() / "no such file.mp3").string();
    EXPECT_EQ(Send(missing, error), SendResult::Failed);
    EXPECT_NE(error.find("could not be read"), std::string::npos) << error;
    SendRequest folder = Request("Ring.mp3");
    folder.file = scratch.Path().string();
    EXPECT_EQ(Send(folder, error), SendResult::Failed);
    EXPECT_TRUE(EntriesOf(storage).empty());
    EXPECT_EQ(EntriesOf(scratch.Path()), (std::vector<std::string>{"Internal shared storage", "render.tmp"}));

    SendRequest gone = Request("Ring.mp3");
    gone.phone.storage = (scratch.Path() / "unplugged").string();
    EXPECT_EQ(Send(gone, error), SendResult::Failed);
    EXPECT_NE(error.find("not mounted"), std::string::npos) << error;
    EXPECT_FALSE(fs::exists(scratch.Path() / "unplugged"));

    SendRequest bluetooth = Request("Ring.mp3");
    bluetooth.phone.way = PhoneWay::Bluetooth;
    EXPECT_EQ(Send(bluetooth, error), SendResult::Failed);
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(EntriesOf(storage).empty());
}

// A small tmpfs on a folder: in a mount namespace of the test's own (this test program run
// again under "unshare -rm"), else mounted directly when the test runs as root.
class SmallStorage {
public:
    explicit SmallStorage(const fs::path& folder) : m_folder(folder) {
        fs::create_directories(folder);
        m_mounted = ::mount("tmpfs", folder.c_str(), "tmpfs", 0, "size=64k") == 0;
    }
    ~SmallStorage() {
        if (m_mounted) ::umount2(m_folder.c_str(), MNT_DETACH);
    }
    bool Mounted() const { return m_mounted; }

private:
    fs::path m_folder;
    bool m_mounted = false;
};

// Runs the current test again in a user and mount namespace of its own. nullopt when that
// cannot be done; otherwise whether it passed, with its output.
std::optional<bool> RunInNamespace(std::string& output) {
    const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
    const std::string command = std::string(kInNamespace) + "=1 unshare -rm '" +
                                fs::read_symlink("/proc/self/exe").string() +
                                "' --gtest_filter=" + test->test_suite_name() + "." + test->name() + " 2>&1";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) return std::nullopt;
    char buffer[4096];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, got);
    const int status = ::pclose(pipe);
    if (output.find("[==========]") == std::string::npos) return std::nullopt;  // unshare refused
    return status == 0;
}

TEST_F(UsbCopyTest, AFullStorageGetsFullAndKeepsNothing) {
    if (std::getenv(kInNamespace) == nullptr) {
        std::string output;
        if (const std::optional<bool> passed = RunInNamespace(output)) {
            EXPECT_TRUE(*passed) << output;
            if (output.find("[  SKIPPED ]") != std::string::npos) GTEST_SKIP() << output;
            return;
        }
        if (::geteuid() != 0) GTEST_SKIP() << "no mount namespace (unshare -rm) and not root: cannot mount a tmpfs";
    }
    const fs::path small = scratch.Path() / "small";
    const SmallStorage mount(small);
    if (!mount.Mounted()) GTEST_SKIP() << "a tmpfs cannot be mounted here";

    storage = small;
    std::string error;
    // What fits is copied ...
    WriteWholeFile(source, "a short tone");
    ASSERT_EQ(SendToPhone(Request("Short.mp3"), {}, error), SendResult::Sent) << error;
    // ... what does not is Full, with nothing of it left.
    bytes = RandomBytes(1 << 20, 4);
    WriteWholeFile(source, bytes);
    EXPECT_EQ(SendToPhone(Request("Long.mp3"), {}, error), SendResult::Full) << error;
    EXPECT_EQ(EntriesOf(small / "Ringtones"), std::vector<std::string>{"Short.mp3"});
    SendRequest replacing = Request("Short.mp3");
    replacing.replace = true;
    EXPECT_EQ(SendToPhone(replacing, {}, error), SendResult::Full) << error;
    EXPECT_EQ(ReadWholeFile(small / "Ringtones" / "Short.mp3"), "a short tone");
    EXPECT_EQ(EntriesOf(small / "Ringtones"), std::vector<std::string>{"Short.mp3"});

    const UniqueFd input(::open(source.c_str(), O_RDONLY | O_CLOEXEC));
    EXPECT_EQ(CopyStraight(input.get(), bytes.size(), (small / "Straight.mp3").string(), false, {}, error),
              SendResult::Full);
    EXPECT_EQ(EntriesOf(small), std::vector<std::string>{"Ringtones"});
}

}  // namespace
