// KDE Connect against the stand-in daemon: the paired, reachable devices listed, sending
// through shareUrl or shareUrls with the URL of a copy under the phone's file name, the
// service's errors, a missing share plug-in, no service at all, a hung service and a scan
// from a worker thread.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QUrl>

#include <thread>

#include "phonelink/phones.h"
#include "phonelink/send.h"
#include "tests/phonelink/bus_mocks.h"

namespace fs = std::filesystem;

namespace {

class KdeConnectTest : public testing::Test {
protected:
    void SetUp() override {
        EnsureCoreApplication();
        SKIP_WITHOUT_MOCK_BUSES();
        places.gvfsRoot = (scratch.Path() / "gvfs").string();
        places.mountTable = (scratch.Path() / "mounts").string();
        cache = std::make_unique<EnvironmentScope>("XDG_CACHE_HOME", (scratch.Path() / "cache").string());
        source = scratch.Path() / "render.tmp";
        bytes = RandomBytes(50000, 5);
        WriteWholeFile(source, bytes);
    }

    void StartMock() {
        mock = std::make_unique<KdeConnectMock>();
        ASSERT_TRUE(mock->Running());
    }

    std::vector<Phone> KdePhones(const PhoneScan& scan) const {
        std::vector<Phone> phones;
        for (const Phone& phone : scan.phones)
            if (phone.way == PhoneWay::KdeConnect) phones.push_back(phone);
        return phones;
    }

    static const WayState& StateOf(const PhoneScan& scan, PhoneWay way) {
        for (const WayState& state : scan.ways)
            if (state.way == way) return state;
        static const WayState none{};
        ADD_FAILURE() << "no state for " << PhoneWayName(way);
        return none;
    }

    SendRequest Request(const Phone& phone, const std::string& fileName) const {
        SendRequest request;
        request.phone = phone;
        request.file = source.string();
        request.fileName = fileName;
        return request;
    }

    // The file a shared URL names, which must hold the tone's bytes under fileName.
    void ExpectSharedCopy(const QString& url, const std::string& fileName) const {
        const QUrl parsed(url, QUrl::StrictMode);
        ASSERT_TRUE(parsed.isLocalFile()) << url.toStdString();
        const fs::path copy = parsed.toLocalFile().toStdString();
        EXPECT_EQ(copy.filename().string(), fileName);
        EXPECT_EQ(copy.parent_path().parent_path(), scratch.Path() / "cache" / "morvane" / "outbox");
        EXPECT_EQ(ReadWholeFile(copy), bytes);
    }

    ScratchFolder scratch;
    ScanPlaces places;
    std::unique_ptr<EnvironmentScope> cache;
    fs::path source;
    std::string bytes;
    std::unique_ptr<KdeConnectMock> mock;
};

TEST_F(KdeConnectTest, PairedReachableDevicesAreListed) {
    StartMock();
    ASSERT_TRUE(mock->AddDevice("a1b2c3", "Pixel 7", true, true));
    ASSERT_TRUE(mock->AddDevice("d4e5f6", "Old Galaxy", true, true, "isPaired", "shareUrls"));
    ASSERT_TRUE(mock->AddDevice("unpaired", "Stranger", true, false));
    ASSERT_TRUE(mock->AddDevice("away", "At home", false, true));

    const PhoneScan scan = ScanPhones(places);
    const std::vector<Phone> phones = KdePhones(scan);
    ASSERT_EQ(phones.size(), 2u);
    EXPECT_EQ(phones[0].id, "kdeconnect:a1b2c3");
    EXPECT_EQ(phones[0].name, "Pixel 7");
    EXPECT_EQ(phones[0].objectPath, "/modules/kdeconnect/devices/a1b2c3");
    EXPECT_TRUE(phones[0].storage.empty());
    EXPECT_EQ(phones[1].id, "kdeconnect:d4e5f6");
    EXPECT_EQ(phones[1].name, "Old Galaxy");
    EXPECT_EQ(scan.phones.size(), 2u);

    // USB, KDE Connect and GSConnect, in that order; Bluetooth is not scanned here.
    ASSERT_EQ(scan.ways.size(), 3u);
    EXPECT_EQ(scan.ways[0].way, PhoneWay::Usb);
    EXPECT_EQ(scan.ways[1].way, PhoneWay::KdeConnect);
    EXPECT_EQ(scan.ways[2].way, PhoneWay::GsConnect);
    EXPECT_TRUE(scan.ways[1].available);
    EXPECT_TRUE(scan.ways[1].hint.empty());
    EXPECT_FALSE(scan.ways[2].available);
    EXPECT_EQ(scan.ways[2].hint, "GSConnect is not running");
}

TEST_F(KdeConnectTest, NoPairedReachableDeviceGivesTheHint) {
    StartMock();
    ASSERT_TRUE(mock->AddDevice("away", "At home", false, true));
    const PhoneScan scan = ScanPhones(places);
    EXPECT_TRUE(KdePhones(scan).empty());
    EXPECT_FALSE(StateOf(scan, PhoneWay::KdeConnect).available);
    EXPECT_EQ(StateOf(scan, PhoneWay::KdeConnect).hint, "No paired phone is reachable in KDE Connect");
}

TEST_F(KdeConnectTest, SendingSharesACopyUnderThePhonesFileName) {
    StartMock();
    ASSERT_TRUE(mock->AddDevice("a1b2c3", "Pixel 7", true, true, "isTrusted", "shareUrl"));
    ASSERT_TRUE(mock->AddDevice("d4e5f6", "Old Galaxy", true, true, "isTrusted", "shareUrls"));
    const std::vector<Phone> phones = KdePhones(ScanPhones(places));
    ASSERT_EQ(phones.size(), 2u);

    std::string error;
    bool toldProgress = false;
    const auto progress = [&](uint64_t, uint64_t) { return toldProgress = true; };
    EXPECT_EQ(SendToPhone(Request(phones[0], "My tone #1 é.mp3"), progress, error), SendResult::Sent) << error;
    EXPECT_EQ(SendToPhone(Request(phones[1], "Ring.ogg"), progress, error), SendResult::Sent) << error;
    EXPECT_FALSE(toldProgress);

    const QStringList shared = mock->Shared();
    ASSERT_EQ(shared.size(), 2);
    const QStringList first = shared[0].split(QLatin1Char(' '));
    ASSERT_EQ(first.size(), 3) << shared[0].toStdString();
    EXPECT_EQ(first[0], "a1b2c3");
    EXPECT_EQ(first[1], "shareUrl");
    ExpectSharedCopy(first[2], "My tone #1 é.mp3");
    const QStringList second = shared[1].split(QLatin1Char(' '));
    ASSERT_EQ(second.size(), 3) << shared[1].toStdString();
    EXPECT_EQ(second[0], "d4e5f6");
    EXPECT_EQ(second[1], "shareUrls");
    ExpectSharedCopy(second[2], "Ring.ogg");

    // The daemon reads the copy later: the tone's own file may go at once.
    fs::remove(source);
    ExpectSharedCopy(first[2], "My tone #1 é.mp3");
}

TEST_F(KdeConnectTest, FailuresAreFailedWithASentence) {
    StartMock();
    ASSERT_TRUE(mock->AddDevice("a1b2c3", "Pixel 7", true, true));
    ASSERT_TRUE(mock->AddDevice("noshare", "Tablet", true, true, "isTrusted", "none"));
    const std::vector<Phone> phones = KdePhones(ScanPhones(places));
    ASSERT_EQ(phones.size(), 2u);

    ASSERT_TRUE(mock->SetShareError("The device went away"));
    std::string error;
    EXPECT_EQ(SendToPhone(Request(phones[0], "Ring.mp3"), {}, error), SendResult::Failed);
    EXPECT_EQ(error, "KDE Connect could not send the ringtone: The device went away.");

    EXPECT_EQ(SendToPhone(Request(phones[1], "Ring.mp3"), {}, error), SendResult::Failed);
    EXPECT_NE(error.find("Tablet"), std::string::npos) << error;
    EXPECT_NE(error.find("Share plug-in"), std::string::npos) << error;
    EXPECT_TRUE(mock->Shared().isEmpty());
}

TEST_F(KdeConnectTest, NoServiceGivesTheHints) {
    const PhoneScan scan = ScanPhones(places);
    EXPECT_TRUE(scan.phones.empty());
    ASSERT_EQ(scan.ways.size(), 3u);
    EXPECT_FALSE(StateOf(scan, PhoneWay::KdeConnect).available);
    EXPECT_EQ(StateOf(scan, PhoneWay::KdeConnect).hint, "KDE Connect is not running");
    EXPECT_EQ(StateOf(scan, PhoneWay::GsConnect).hint, "GSConnect is not running");

    Phone phone;
    phone.way = PhoneWay::KdeConnect;
    phone.id = "kdeconnect:a1b2c3";
    phone.name = "Pixel 7";
    phone.objectPath = "/modules/kdeconnect/devices/a1b2c3";
    std::string error;
    EXPECT_EQ(SendToPhone(Request(phone, "Ring.mp3"), {}, error), SendResult::Failed);
    EXPECT_EQ(error, "KDE Connect is not running.");
    phone.way = PhoneWay::GsConnect;
    phone.id = "gsconnect:a1b2c3";
    phone.objectPath = "/org/gnome/Shell/Extensions/GSConnect/Device/a1b2c3";
    EXPECT_EQ(SendToPhone(Request(phone, "Ring.mp3"), {}, error), SendResult::Failed);
    EXPECT_EQ(error, "GSConnect is not running.");

    // Without the bus ways only USB is scanned.
    places.sessionBus = false;
    const PhoneScan usbOnly = ScanPhones(places);
    ASSERT_EQ(usbOnly.ways.size(), 1u);
    EXPECT_EQ(usbOnly.ways[0].way, PhoneWay::Usb);
}

TEST_F(KdeConnectTest, AHungServiceCostsOneTimeLimit) {
    StartMock();
    ASSERT_TRUE(mock->AddDevice("a1b2c3", "Pixel 7", true, true));
    ASSERT_TRUE(mock->SetListDelay(4000));
    QElapsedTimer clock;
    clock.start();
    const PhoneScan scan = ScanPhones(places);
    EXPECT_LT(clock.elapsed(), 3500) << "the scan waited for the hung service";
    EXPECT_TRUE(KdePhones(scan).empty());
    EXPECT_EQ(StateOf(scan, PhoneWay::KdeConnect).hint, "KDE Connect does not answer");
}

TEST_F(KdeConnectTest, ScanningAndSendingWorkFromAWorkerThread) {
    StartMock();
    ASSERT_TRUE(mock->AddDevice("a1b2c3", "Pixel 7", true, true));
    PhoneScan scan;
    SendResult result = SendResult::Failed;
    std::string error;
    std::thread worker([&] {
        scan = ScanPhones(places);
        if (!scan.phones.empty()) result = SendToPhone(Request(scan.phones[0], "Ring.mp3"), {}, error);
    });
    worker.join();
    ASSERT_EQ(KdePhones(scan).size(), 1u);
    EXPECT_EQ(result, SendResult::Sent) << error;
    EXPECT_EQ(mock->Shared().size(), 1);
}

}  // namespace
