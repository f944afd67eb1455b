// Page 3 of the main window with a Bluetooth destination: the device chosen in the
// Bluetooth dialog, the page's path text, and the prepared file arriving at the device
// under the chosen name. Runs against private buses with mocked BlueZ and object push.
#include <gtest/gtest.h>

#include <QTimer>

#include <fstream>
#include <iterator>

#include "app/bluetooth_dialog.h"
#include "app/control_tables.h"
#include "app/main_window.h"
#include "app/settings.h"
#include "audiosvc/audiosvc.h"
#include "btlink/btlink.h"
#include "skin/skin.h"
#include "tests/app/main_window_fixture.h"
#include "tests/app/ui_test_support.h"
#include "tests/btlink/mock_bus.h"

namespace {

class MainWindowBluetoothTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        SKIP_WITHOUT_MOCK_BUSES();
        WriteProfileInt(kNotifiedSection, "NOTIFY_BT", 1);  // no hint over the dialog
        GetBtSearchSingleton()->SetSearchTime(400);
        bluez = std::make_unique<BluezMock>();
        ASSERT_TRUE(bluez->Running());
        ASSERT_TRUE(bluez->AddAdapter("hci0", "Desk computer"));
        ASSERT_FALSE(bluez->AddDevice("hci0", "AA:BB:CC:DD:EE:01", "Pixel 7").isEmpty());
        obex = std::make_unique<ObexMock>();
        ASSERT_TRUE(obex->Running());
    }

    static std::string Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    std::unique_ptr<BluezMock> bluez;
    std::unique_ptr<ObexMock> obex;
};

TEST_F(MainWindowBluetoothTest, TheRingtoneIsSentToTheChosenDeviceUnderTheChosenName) {
    const std::string tone = Tone("My tone.wav", 2.0, "-c:a pcm_s16le");
    CTessalyDlg window(app_);
    QString offeredName;
    window.SetBluetoothRun([&](CBluetoothDlg& dialog) {
        QTimer::singleShot(0, &dialog, [&] {
            offeredName = dialog.Skin().GetControl(IDC_BT_EDIT_NAME)->GetWindowText();
            qobject_cast<CSCButton*>(dialog.Skin().GetControl(IDC_BT_REFRESH))->Click();
            auto* list = qobject_cast<CSCComboBox*>(dialog.Skin().GetControl(IDC_BT_DEV_LIST));
            EXPECT_TRUE(WaitUntil([&] { return list->GetCount() == 1; }));
            dialog.Skin().GetControl(IDC_BT_EDIT_NAME)->SetWindowText("Morning");
            qobject_cast<CSCButton*>(dialog.Skin().GetControl(IDC_BT_SELECT))->Click();
            if (dialog.isVisible()) dialog.done(IDCANCEL);
        });
        return dialog.exec();
    });
    RunWindow(window, [&] {
        SetText(window, IDC_PAGE1_TRACK1_EDIT, QString::fromStdString(tone));
        window.OnContinue();
        window.OnContinue();
        ASSERT_EQ(window.Page(), 2);
        window.ChooseBluetoothDestination();
        EXPECT_EQ(offeredName, "My tone") << "track 1's name is offered";
        const CTessalyDlg::Destination& destination = window.GetDestination();
        ASSERT_EQ(destination.kind, CTessalyDlg::kDestinationBluetooth);
        EXPECT_EQ(destination.deviceName, "Pixel 7");
        EXPECT_EQ(destination.deviceAddress, 0xAABBCCDDEE01u);
        const QString extension = window.OutputExtension();
        ASSERT_FALSE(extension.isEmpty());
        EXPECT_EQ(TextOf(window, IDC_PAGE3_PATH), "Pixel 7: Morning" + extension);
        EXPECT_TRUE(window.Skin().GetControl(IDC_PAGE3_SEND)->isEnabled());

        Shown().clear();
        window.SaveOrSend();
        ASSERT_EQ(Shown().size(), 1u);
        EXPECT_EQ(Shown()[0].text, "File successfully saved!");
        const std::string received = Read((obex->Inbox() / ("Morning" + extension.toStdString())).string());
        EXPECT_FALSE(received.empty());
        EXPECT_TRUE(received == Read(window.Saver().EncodedPath())) << "received " << received.size() << " bytes";
        EXPECT_EQ(obex->Destinations(), QStringList{"AA:BB:CC:DD:EE:01"});
    });
}

}  // namespace
