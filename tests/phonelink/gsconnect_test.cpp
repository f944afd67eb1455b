// GSConnect against the stand-in service: connected, paired devices from the object
// manager, the shareFile action activated with its (sb) parameter, a disabled action, the
// service's errors and no service.
#include <gtest/gtest.h>

#include <QUrl>

#include "phonelink/phones.h"
#include "phonelink/send.h"
#include "tests/phonelink/bus_mocks.h"

namespace fs = std::filesystem;

namespace {

class GsConnectTest : public testing::Test {
protected:
    void SetUp() override {
        EnsureCoreApplication();
        SKIP_WITHOUT_MOCK_BUSES();
        places.gvfsRoot = (scratch.Path() / "gvfs").string();
        places.mountTable = (scratch.Path() / "mounts").string();
        cache = std::make_unique<EnvironmentScope>("XDG_CACHE_HOME", (scratch.Path() / "cache").string());
        source = scratch.Path() / "render.tmp";
        bytes = RandomBytes(40000, 6);
        WriteWholeFile(source, bytes);
        mock = std::make_unique<GsConnectMock>();
        ASSERT_TRUE(mock->Running());
    }

    std::vector<Phone> GsPhones() const {
        std::vector<Phone> phones;
        for (const Phone& phone : ScanPhones(places).phones)
            if (phone.way == PhoneWay::GsConnect) phones.push_back(phone);
        return phones;
    }

    SendRequest Request(const Phone& phone, const std::string& fileName) const {
        SendRequest request;
        request.phone = phone;
        request.file = source.string();
        request.fileName = fileName;
        return request;
    }

    ScratchFolder scratch;
    ScanPlaces places;
    std::unique_ptr<EnvironmentScope> cache;
    fs::path source;
    std::string bytes;
    std::unique_ptr<GsConnectMock> mock;
};

TEST_F(GsConnectTest, ConnectedPairedDevicesAreListed) {
    ASSERT_TRUE(mock->AddDevice("5a6b7c", "Pixel 7", true, true));
    ASSERT_TRUE(mock->AddDevice("offline", "Old phone", false, true));
    ASSERT_TRUE(mock->AddDevice("stranger", "Someone's", true, false));
    const PhoneScan scan = ScanPhones(places);
    ASSERT_EQ(scan.phones.size(), 1u);
    EXPECT_EQ(scan.phones[0].way, PhoneWay::GsConnect);
    EXPECT_EQ(scan.phones[0].id, "gsconnect:5a6b7c");
    EXPECT_EQ(scan.phones[0].name, "Pixel 7");
    EXPECT_EQ(scan.phones[0].objectPath, "/org/gnome/Shell/Extensions/GSConnect/Device/5a6b7c");
    ASSERT_EQ(scan.ways.size(), 3u);
    EXPECT_TRUE(scan.ways[2].available);
    EXPECT_EQ(scan.ways[1].hint, "KDE Connect is not running");
}

TEST_F(GsConnectTest, NoConnectedDeviceGivesTheHint) {
    ASSERT_TRUE(mock->AddDevice("offline", "Old phone", false, true));
    const PhoneScan scan = ScanPhones(places);
    EXPECT_TRUE(scan.phones.empty());
    ASSERT_EQ(scan.ways.size(), 3u);
    EXPECT_FALSE(scan.ways[2].available);
    EXPECT_EQ(scan.ways[2].hint, "No paired phone is connected in GSConnect");
}

TEST_F(GsConnectTest, SendingActivatesShareFileWithTheCopysUri) {
    ASSERT_TRUE(mock->AddDevice("5a6b7c", "Pixel 7", true, true));
    const std::vector<Phone> phones = GsPhones();
    ASSERT_EQ(phones.size(), 1u);
    std::string error;
    EXPECT_EQ(SendToPhone(Request(phones[0], "Alarm 100%.ogg"), {}, error), SendResult::Sent) << error;

    const QStringList shared = mock->Shared();
    ASSERT_EQ(shared.size(), 1);
    const QStringList parts = shared[0].split(QLatin1Char(' '));
    ASSERT_EQ(parts.size(), 3) << shared[0].toStdString();
    EXPECT_EQ(parts[0], "5a6b7c");
    EXPECT_EQ(parts[2], "false") << "the phone was asked to open the file";
    const QUrl url(parts[1], QUrl::StrictMode);
    ASSERT_TRUE(url.isLocalFile()) << parts[1].toStdString();
    const fs::path copy = url.toLocalFile().toStdString();
    EXPECT_EQ(copy.filename(), "Alarm 100%.ogg");
    EXPECT_EQ(ReadWholeFile(copy), bytes);
}

TEST_F(GsConnectTest, FailuresAreFailedWithASentence) {
    ASSERT_TRUE(mock->AddDevice("5a6b7c", "Pixel 7", true, true));
    ASSERT_TRUE(mock->AddDevice("noshare", "Tablet", true, true, false));
    const std::vector<Phone> phones = GsPhones();
    ASSERT_EQ(phones.size(), 2u);
    const Phone& pixel = phones[0].name == "Pixel 7" ? phones[0] : phones[1];
    const Phone& tablet = phones[0].name == "Pixel 7" ? phones[1] : phones[0];

    std::string error;
    EXPECT_EQ(SendToPhone(Request(tablet, "Ring.mp3"), {}, error), SendResult::Failed);
    EXPECT_NE(error.find("Tablet"), std::string::npos) << error;

    ASSERT_TRUE(mock->SetShareError("Transfer refused"));
    EXPECT_EQ(SendToPhone(Request(pixel, "Ring.mp3"), {}, error), SendResult::Failed);
    EXPECT_EQ(error, "GSConnect could not send the ringtone: Transfer refused.");
    EXPECT_TRUE(mock->Shared().isEmpty());
}

}  // namespace
