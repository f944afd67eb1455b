// Object push against the stand-in OBEX service: the exact bytes under the given name to
// the given address, failures of the transfer, the session, the reading and the name,
// cancelling while staging and while sending, a stalled transfer, a second upload while one
// runs; always exactly one end, the session removed and the staged copy deleted.
#include <gtest/gtest.h>

#include <QThread>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

#include "btlink/btlink.h"
#include "tests/btlink/btlink_test_support.h"
#include "tests/btlink/mock_bus.h"

namespace {

using namespace std::chrono_literals;

constexpr uint32_t kLow = 0xCCDDEEFFu;
constexpr uint32_t kHigh = 0xAABBu;

class UploadTest : public testing::Test {
protected:
    void SetUp() override {
        EnsureCoreApplication();
        SKIP_WITHOUT_MOCK_BUSES();
        upload = GetBtUploadSingleton();
        upload->SetStallTimeout(120000);
        temp = std::make_unique<TempFolderScope>();
    }
    void TearDown() override {
        if (upload != nullptr) upload->SetStallTimeout(120000);
    }

    void StartObex(const QString& mode = "ok") {
        obex = std::make_unique<ObexMock>();
        ASSERT_TRUE(obex->Running());
        ASSERT_TRUE(obex->SetMode(mode));
    }

    // After the end: exactly one end callback, no session left, no staged copy left.
    void ExpectCleanEnd(UploadRecorder& recorder) {
        QThread::msleep(50);
        EXPECT_EQ(recorder.Ends(), 1);
        if (obex) {
            EXPECT_EQ(obex->OpenSessions(), 0u);
        }
        for (const auto& entry : std::filesystem::directory_iterator(temp->Path()))
            EXPECT_NE(entry.path().filename().string().rfind("morvane-bt-", 0), 0u)
                << "staged copy left: " << entry.path();
    }

    IBtUpload* upload = nullptr;
    std::unique_ptr<TempFolderScope> temp;
    std::unique_ptr<ObexMock> obex;
};

TEST_F(UploadTest, TheExactBytesArriveUnderTheGivenNameAtTheGivenAddress) {
    StartObex();
    const std::string data = RandomBytes(300001, 7);
    UploadRecorder recorder(data);
    std::atomic<bool> stagedPrivately{false};
    recorder.beforeRead = [&](uint64_t offset) {
        if (offset == 0) {
            // The copy is being written in a folder only its owner can enter.
            for (const auto& entry : std::filesystem::directory_iterator(temp->Path()))
                if (entry.path().filename().string().rfind("morvane-bt-", 0) == 0 &&
                    (std::filesystem::status(entry).permissions() & std::filesystem::perms::all) ==
                        std::filesystem::perms::owner_all)
                    stagedPrivately = true;
        }
        return true;
    };
    upload->StartUpload(kLow, kHigh, "My ringtone (1).mp3", &recorder);
    ASSERT_TRUE(recorder.WaitForEnd());
    EXPECT_EQ(recorder.Finished(), 1);
    EXPECT_TRUE(stagedPrivately);
    const auto received = obex->Inbox() / "My ringtone (1).mp3";
    ASSERT_TRUE(std::filesystem::exists(received));
    EXPECT_TRUE(ReadWholeFile(received) == data) << "the bytes arrive unchanged";
    EXPECT_EQ(obex->Destinations(), QStringList{"AA:BB:CC:DD:EE:FF"});
    EXPECT_EQ(obex->Targets(), QStringList{"opp"});
    ExpectCleanEnd(recorder);

    // An empty file is a file too; the next upload may start right after the end.
    UploadRecorder empty("");
    upload->StartUpload(1, 0, "empty.wav", &empty);
    ASSERT_TRUE(empty.WaitForEnd());
    EXPECT_EQ(empty.Finished(), 1);
    EXPECT_EQ(ReadWholeFile(obex->Inbox() / "empty.wav"), "");
    EXPECT_EQ(obex->Destinations().value(1), "00:00:00:00:00:01");
    ExpectCleanEnd(empty);
}

TEST_F(UploadTest, ATransferErrorOrARefusedSessionEndsWithAnError) {
    StartObex("fail");
    UploadRecorder failed(RandomBytes(5000, 1));
    upload->StartUpload(kLow, kHigh, "a.mp3", &failed);
    ASSERT_TRUE(failed.WaitForEnd());
    EXPECT_EQ(failed.Errors(), 1);
    EXPECT_FALSE(std::filesystem::exists(obex->Inbox() / "a.mp3"));
    ExpectCleanEnd(failed);

    ASSERT_TRUE(obex->SetMode("refuse"));
    UploadRecorder refused(RandomBytes(5000, 2));
    upload->StartUpload(kLow, kHigh, "b.mp3", &refused);
    ASSERT_TRUE(refused.WaitForEnd());
    EXPECT_EQ(refused.Errors(), 1);
    ExpectCleanEnd(refused);
}

TEST_F(UploadTest, WithoutTheObexServiceTheUploadFails) {
    UploadRecorder recorder(RandomBytes(1000, 3));
    upload->StartUpload(kLow, kHigh, "c.mp3", &recorder);
    ASSERT_TRUE(recorder.WaitForEnd());
    EXPECT_EQ(recorder.Errors(), 1);
    ExpectCleanEnd(recorder);
}

TEST_F(UploadTest, AReadErrorFailsBeforeAnythingIsSent) {
    StartObex();
    UploadRecorder recorder(RandomBytes(100000, 4));
    recorder.beforeRead = [](uint64_t offset) { return offset < 50000; };
    upload->StartUpload(kLow, kHigh, "d.mp3", &recorder);
    ASSERT_TRUE(recorder.WaitForEnd());
    EXPECT_EQ(recorder.Errors(), 1);
    EXPECT_TRUE(obex->Destinations().isEmpty()) << "no session for a file that could not be read";
    ExpectCleanEnd(recorder);
}

TEST_F(UploadTest, NamesThatAreNoPlainFileNameFail) {
    StartObex();
    for (const char* name : {"", ".", "..", "../escape.mp3", "folder/name.mp3"}) {
        UploadRecorder recorder("data");
        upload->StartUpload(kLow, kHigh, name, &recorder);
        ASSERT_TRUE(recorder.WaitForEnd()) << name;
        EXPECT_EQ(recorder.Errors(), 1) << name;
        ExpectCleanEnd(recorder);
    }
    UploadRecorder null("data");
    upload->StartUpload(kLow, kHigh, nullptr, &null);
    ASSERT_TRUE(null.WaitForEnd());
    EXPECT_EQ(null.Errors(), 1);
    EXPECT_TRUE(obex->Destinations().isEmpty());
}

TEST_F(UploadTest, CancelWhileSendingCancelsTheTransferAndEndsCancelled) {
    StartObex("slow");
    UploadRecorder recorder(RandomBytes(20000, 5));
    upload->StartUpload(kLow, kHigh, "slow.mp3", &recorder);
    // Wait until the transfer runs (the session exists), then cancel, many times over.
    for (int i = 0; i < 200 && obex->OpenSessions() == 0; ++i) QThread::msleep(10);
    ASSERT_EQ(obex->OpenSessions(), 1u);
    QThread::msleep(100);
    for (int i = 0; i < 20; ++i) upload->CancelUpload();
    ASSERT_TRUE(recorder.WaitForEnd());
    EXPECT_EQ(recorder.Cancelled(), 1);
    EXPECT_EQ(obex->CancelledTransfers(), 1u);
    QThread::msleep(2200);  // past the time the transfer would have completed
    EXPECT_FALSE(std::filesystem::exists(obex->Inbox() / "slow.mp3"));
    ExpectCleanEnd(recorder);
}

TEST_F(UploadTest, CancelWhileReadingEndsCancelledWithoutASession) {
    StartObex();
    UploadRecorder recorder(RandomBytes(200000, 6), 1000);
    recorder.beforeRead = [this](uint64_t offset) {
        if (offset == 5000) upload->CancelUpload();
        return true;
    };
    upload->StartUpload(kLow, kHigh, "e.mp3", &recorder);
    ASSERT_TRUE(recorder.WaitForEnd());
    EXPECT_EQ(recorder.Cancelled(), 1);
    EXPECT_TRUE(obex->Destinations().isEmpty());
    ExpectCleanEnd(recorder);
}

TEST_F(UploadTest, AStalledTransferFailsAfterTheStallTimeout) {
    StartObex("stall");
    upload->SetStallTimeout(400);
    UploadRecorder recorder(RandomBytes(3000, 8));
    upload->StartUpload(kLow, kHigh, "stall.mp3", &recorder);
    ASSERT_TRUE(recorder.WaitForEnd(10000));
    EXPECT_EQ(recorder.Errors(), 1);
    EXPECT_EQ(obex->CancelledTransfers(), 1u) << "the stalled transfer is cancelled";
    ExpectCleanEnd(recorder);
}

TEST_F(UploadTest, ASecondUploadWhileOneRunsFailsAndTheFirstGoesOn) {
    StartObex("slow");
    const std::string data = RandomBytes(10000, 9);
    UploadRecorder first(data), second("other");
    upload->StartUpload(kLow, kHigh, "first.mp3", &first);
    upload->StartUpload(kLow, kHigh, "second.mp3", &second);
    ASSERT_TRUE(second.WaitForEnd());
    EXPECT_EQ(second.Errors(), 1);
    ASSERT_TRUE(first.WaitForEnd());
    EXPECT_EQ(first.Finished(), 1);
    EXPECT_TRUE(ReadWholeFile(obex->Inbox() / "first.mp3") == data);
    EXPECT_FALSE(std::filesystem::exists(obex->Inbox() / "second.mp3"));
    ExpectCleanEnd(first);
}

}  // namespace
