// Device search against BlueZ from python-dbusmock: known and discovered devices with their
// names and addresses, nameless devices, no adapter, a switched-off one or no BlueZ at all
// (with the state the search and the check tell), the time limit, stop
// requests from outside and from a callback, and a new search replacing a running one.
#include <gtest/gtest.h>

#include <QThread>

#include <chrono>
#include <thread>

#include "btlink/btlink.h"
#include "tests/btlink/btlink_test_support.h"
#include "tests/btlink/mock_bus.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

class SearchTest : public testing::Test {
protected:
    void SetUp() override {
        EnsureCoreApplication();
        SKIP_WITHOUT_MOCK_BUSES();
        search = GetBtSearchSingleton();
        search->SetSearchTime(2500);
    }
    void TearDown() override {
        if (search != nullptr) search->StopSearch();
    }

    // Starts BlueZ with adapter hci0 (and its known devices).
    void StartBluez() {
        bluez = std::make_unique<BluezMock>();
        ASSERT_TRUE(bluez->Running());
        ASSERT_TRUE(bluez->AddAdapter("hci0", "Desk computer"));
    }

    IBtSearch* search = nullptr;
    std::unique_ptr<BluezMock> bluez;
};

TEST_F(SearchTest, KnownAndDiscoveredDevicesAreReportedOnceWithNameAndAddress) {
    StartBluez();
    ASSERT_FALSE(bluez->AddDevice("hci0", "AA:BB:CC:DD:EE:01", "Pixel 7").isEmpty());
    // A device of another adapter is not near the one searched with.
    ASSERT_TRUE(bluez->AddAdapter("hci1", "Dongle"));
    ASSERT_FALSE(bluez->AddDevice("hci1", "00:11:22:33:44:55", "Elsewhere").isEmpty());

    SearchRecorder recorder;
    const auto started = Clock::now();
    search->StartSearch(&recorder);
    ASSERT_TRUE(recorder.WaitForDevices(1));
    EXPECT_EQ(recorder.Devices()[0], (FoundDevice{"Pixel 7", 0xCCDDEE01u, 0xAABBu}));
    bool discovering = false;
    for (int i = 0; i < 100 && !discovering; ++i, QThread::msleep(10)) discovering = bluez->Discovering("hci0");
    EXPECT_TRUE(discovering);

    // A device that discovery adds while the search runs.
    ASSERT_FALSE(bluez->AddDevice("hci0", "12:34:56:78:9a:bc", "Nokia 3310").isEmpty());
    ASSERT_TRUE(recorder.WaitForDevices(2));
    EXPECT_EQ(recorder.Devices()[1], (FoundDevice{"Nokia 3310", 0x56789ABCu, 0x1234u}));

    ASSERT_TRUE(recorder.WaitForFinish());
    EXPECT_GE(Clock::now() - started, 2300ms) << "the search lasts its time (less a coarse timer's 5 % slack)";
    EXPECT_FALSE(recorder.Stopped());
    EXPECT_EQ(recorder.Devices().size(), 2u);
    EXPECT_FALSE(bluez->Discovering("hci0")) << "discovery is stopped at the end";
    QThread::msleep(100);
    EXPECT_EQ(recorder.FinishCount(), 1);
    EXPECT_FALSE(recorder.DeviceAfterFinish());
}

TEST_F(SearchTest, ANamelessDeviceIsReportedByNameWhenItComesElseNamelessAtTheEnd) {
    StartBluez();
    search->SetSearchTime(800);
    const QString later = bluez->AddDevice("hci0", "01:02:03:04:05:06", "");
    ASSERT_FALSE(bluez->AddDevice("hci0", "0A:0B:0C:0D:0E:0F", "").isEmpty());
    SearchRecorder recorder;
    search->StartSearch(&recorder);
    QThread::msleep(200);
    EXPECT_TRUE(recorder.Devices().empty()) << "nameless devices wait for their names";
    ASSERT_TRUE(bluez->NameDevice(later, "Galaxy"));
    ASSERT_TRUE(recorder.WaitForDevices(1));
    EXPECT_EQ(recorder.Devices()[0], (FoundDevice{"Galaxy", 0x03040506u, 0x0102u}));
    ASSERT_TRUE(recorder.WaitForFinish());
    ASSERT_EQ(recorder.Devices().size(), 2u);
    EXPECT_EQ(recorder.Devices()[1], (FoundDevice{"", 0x0C0D0E0Fu, 0x0A0Bu}));
    EXPECT_EQ(recorder.FinishCount(), 1);
}

// A search and a check on this computer as it is now: the states told, the finish at once.
struct Outcome {
    std::vector<int> searchStates;
    std::vector<int> checkStates;
};

Outcome SearchAndCheck(IBtSearch& search) {
    Outcome outcome;
    SearchRecorder searching;
    const auto started = Clock::now();
    search.StartSearch(&searching);
    EXPECT_TRUE(searching.WaitForFinish(5000));
    EXPECT_LT(Clock::now() - started, 5s);
    EXPECT_FALSE(searching.Stopped());
    EXPECT_TRUE(searching.Devices().empty());
    EXPECT_EQ(searching.FinishCount(), 1);
    EXPECT_FALSE(searching.CheckAfterFinish()) << "the state comes before the finish";
    outcome.searchStates = searching.CheckedStates();

    SearchRecorder checking;
    search.CheckBluetooth(&checking);
    EXPECT_TRUE(checking.WaitForCheck(5000));
    search.StopSearch();
    EXPECT_EQ(checking.FinishCount(), 0) << "a check is no search";
    outcome.checkStates = checking.CheckedStates();
    return outcome;
}

TEST_F(SearchTest, WithoutBluezOrAdapterOrWithTheAdapterOffTheSearchSaysWhyAtOnce) {
    search->SetSearchTime(60000);
    Outcome outcome = SearchAndCheck(*search);  // no BlueZ on the bus
    EXPECT_EQ(outcome.searchStates, std::vector<int>{kBtNoService});
    EXPECT_EQ(outcome.checkStates, std::vector<int>{kBtNoService});

    bluez = std::make_unique<BluezMock>();
    ASSERT_TRUE(bluez->Running());
    outcome = SearchAndCheck(*search);  // BlueZ without an adapter
    EXPECT_EQ(outcome.searchStates, std::vector<int>{kBtNoAdapter});
    EXPECT_EQ(outcome.checkStates, std::vector<int>{kBtNoAdapter});

    ASSERT_TRUE(bluez->AddAdapter("hci0", "Desk computer"));
    ASSERT_FALSE(bluez->AddDevice("hci0", "AA:BB:CC:DD:EE:01", "Pixel 7").isEmpty());
    ASSERT_TRUE(bluez->PowerAdapter("hci0", false));
    outcome = SearchAndCheck(*search);  // the only adapter switched off: not even known devices
    EXPECT_EQ(outcome.searchStates, std::vector<int>{kBtAdapterOff});
    EXPECT_EQ(outcome.checkStates, std::vector<int>{kBtAdapterOff});
    EXPECT_FALSE(bluez->Discovering("hci0"));
}

TEST_F(SearchTest, WithoutASystemBusTheServiceIsNotThere) {
    const QByteArray saved = qgetenv("DBUS_SYSTEM_BUS_ADDRESS");
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/morvane-no-bus");
    const Outcome outcome = SearchAndCheck(*search);
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", saved);
    EXPECT_EQ(outcome.searchStates, std::vector<int>{kBtNoService});
    EXPECT_EQ(outcome.checkStates, std::vector<int>{kBtNoService});
}

TEST_F(SearchTest, ACheckWithASwitchedOnAdapterSaysReadyAndSearchesNothing) {
    StartBluez();
    ASSERT_FALSE(bluez->AddDevice("hci0", "AA:BB:CC:DD:EE:01", "Pixel 7").isEmpty());
    SearchRecorder checking;
    search->CheckBluetooth(&checking);
    ASSERT_TRUE(checking.WaitForCheck(5000));
    EXPECT_EQ(checking.CheckedStates(), std::vector<int>{kBtReady});
    EXPECT_TRUE(checking.Devices().empty());
    EXPECT_FALSE(bluez->Discovering("hci0"));

    // The search that follows finds the device and tells no state.
    search->SetSearchTime(300);
    SearchRecorder searching;
    search->StartSearch(&searching);
    ASSERT_TRUE(searching.WaitForFinish());
    EXPECT_EQ(searching.Devices().size(), 1u);
    EXPECT_TRUE(searching.CheckedStates().empty());

    // A check stopped at once still answers, once.
    SearchRecorder stopped;
    search->CheckBluetooth(&stopped);
    search->StopSearch();
    QThread::msleep(50);
    EXPECT_EQ(stopped.CheckedStates().size(), 1u);
}

TEST_F(SearchTest, StopSearchReturnsAfterTheFinishWithTheStoppedFlag) {
    StartBluez();
    search->SetSearchTime(60000);
    ASSERT_FALSE(bluez->AddDevice("hci0", "AA:BB:CC:DD:EE:02", "Phone").isEmpty());
    SearchRecorder recorder;
    search->StartSearch(&recorder);
    ASSERT_TRUE(recorder.WaitForDevices(1));
    search->StopSearch();
    EXPECT_EQ(recorder.FinishCount(), 1) << "StopSearch waits for the finish";
    EXPECT_TRUE(recorder.Stopped());
    EXPECT_FALSE(bluez->Discovering("hci0"));
    search->StopSearch();  // nothing left to stop
    EXPECT_EQ(recorder.FinishCount(), 1);
}

TEST_F(SearchTest, AStopRightAfterTheStartStillFinishesOnce) {
    StartBluez();
    search->SetSearchTime(60000);
    for (int round = 0; round < 5; ++round) {
        SearchRecorder recorder;
        search->StartSearch(&recorder);
        search->StopSearch();
        EXPECT_EQ(recorder.FinishCount(), 1);
        EXPECT_TRUE(recorder.Stopped());
    }
}

TEST_F(SearchTest, AStopFromACallbackEndsTheSearchWithoutWaitingForItself) {
    StartBluez();
    search->SetSearchTime(60000);
    ASSERT_FALSE(bluez->AddDevice("hci0", "AA:BB:CC:DD:EE:03", "One").isEmpty());
    SearchRecorder recorder;
    recorder.onDevice = [this] { search->StopSearch(); };
    search->StartSearch(&recorder);
    ASSERT_TRUE(recorder.WaitForFinish(5000));
    EXPECT_TRUE(recorder.Stopped());
}

TEST_F(SearchTest, ANewSearchStopsTheRunningOne) {
    StartBluez();
    search->SetSearchTime(60000);
    ASSERT_FALSE(bluez->AddDevice("hci0", "AA:BB:CC:DD:EE:04", "Tablet").isEmpty());
    SearchRecorder first, second;
    search->StartSearch(&first);
    ASSERT_TRUE(first.WaitForDevices(1));
    search->StartSearch(&second);
    EXPECT_EQ(first.FinishCount(), 1);
    EXPECT_TRUE(first.Stopped());
    ASSERT_TRUE(second.WaitForDevices(1));
    EXPECT_EQ(second.Devices()[0].name, "Tablet");
    search->StopSearch();
    EXPECT_EQ(second.FinishCount(), 1);
    EXPECT_EQ(first.FinishCount(), 1);
}

}  // namespace
