// Page 3's "Send to phone" over USB: a scratch folder laid out as the desktop's MTP mount of
// a phone, listed in the send dialog with its way and the hints of the ways missing here,
// the tone copied into the folder its preset names, an existing file replaced only after
// asking, and the phone preselected the next time. A picture of the dialog.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/bluetooth_dialog.h"
#include "app/control_tables.h"
#include "app/main_window.h"
#include "app/notify_dialog.h"
#include "app/settings.h"
#include "audiosvc/audiosvc.h"
#include "engine/ringtone_preset.h"
#include "tests/app/page3_fixture.h"
#include "tests/app/ui_test_support.h"

namespace fs = std::filesystem;

namespace {

class Page3PhoneTest : public MainWindowPage3Test {
protected:
    void SetUp() override {
        MainWindowPage3Test::SetUp();
        if (const char* old = std::getenv("XDG_RUNTIME_DIR")) oldRuntime_ = old;
        runtime_ = root_ + "/runtime";
        storage_ = runtime_ + "/gvfs/mtp:host=Google_Pixel_7/Internal shared storage";
        fs::create_directories(storage_ + "/Ringtones");
        setenv("XDG_RUNTIME_DIR", runtime_.c_str(), 1);
        WriteProfileInt(kNotifiedSection, "NOTIFY_BT", 1);  // the Bluetooth hint has its own test
    }
    void TearDown() override {
        if (oldRuntime_.empty())
            unsetenv("XDG_RUNTIME_DIR");
        else
            setenv("XDG_RUNTIME_DIR", oldRuntime_.c_str(), 1);
        MainWindowPage3Test::TearDown();
    }

    // Chooses the phone listed as `line` in the send dialog; the dialog's hints and list as
    // they were then go to hints_ and lines_.
    void ChoosePhone(CTessalyDlg& window, const QString& line, const char* screenshot = nullptr) {
        window.SetBluetoothRun([&](CBluetoothDlg& dialog) {
            QTimer::singleShot(0, &dialog, [&] {
                auto* list = qobject_cast<CSCComboBox*>(dialog.Skin().GetControl(IDC_BT_DEV_LIST));
                EXPECT_TRUE(WaitUntil([&] { return list->GetCount() > 0 && list->isEnabled(); }));
                lines_.clear();
                for (int row = 0; row < list->GetCount(); ++row) lines_ << list->GetLBText(row);
                selected_ = list->GetWindowText();
                hints_ = dialog.Skin().GetControl(IDC_BT_HINTS)->GetWindowText();
                if (screenshot != nullptr) SaveScreenshot(dialog, screenshot);
                const int row = lines_.indexOf(line);
                if (row >= 0) {
                    list->SetCurSel(row);
                    qobject_cast<CSCButton*>(dialog.Skin().GetControl(IDC_BT_SELECT))->Click();
                }
                if (dialog.isVisible()) dialog.done(IDCANCEL);
            });
            return dialog.exec();
        });
        window.ChooseBluetoothDestination();
    }

    std::string oldRuntime_;
    std::string runtime_;
    std::string storage_;
    QStringList lines_;
    QString selected_;
    QString hints_;
};

TEST_F(Page3PhoneTest, AToneGoesIntoTheFolderOfItsKindOnAUsbPhone) {
    CTessalyDlg window(app_);
    RunWindow(window, [&] {
        GoToPage3(window);
        Choose(window, IDC_PAGE3_PRESET, static_cast<int>(RingtonePreset::AndroidNotification));
        const QString extension = window.OutputExtension();
        ASSERT_FALSE(extension.isEmpty());

        ChoosePhone(window, QStringLiteral("Google Pixel 7 (USB)"), "phone_dialog_usb.png");
        EXPECT_TRUE(lines_.contains("Google Pixel 7 (USB)")) << lines_.join(", ").toStdString();
        // No KDE Connect runs here, or there is no session bus at all.
        EXPECT_TRUE(hints_.contains("KDE Connect") || hints_.contains("session bus")) << hints_.toStdString();
        EXPECT_EQ(hints_.count("session bus"), hints_.contains("session bus") ? 1 : 0) << "said once";
        const CTessalyDlg::Destination& destination = window.GetDestination();
        ASSERT_EQ(destination.kind, CTessalyDlg::kDestinationBluetooth);
        EXPECT_EQ(destination.phone.way, PhoneWay::Usb);
        EXPECT_EQ(TextOf(window, IDC_PAGE3_PATH), "Google Pixel 7: tone" + extension);

        Shown().clear();
        Answer() = IDOK;
        window.SaveOrSend();
        ASSERT_EQ(Shown().size(), 1u);
        EXPECT_EQ(Shown()[0].text, "Sent to Google Pixel 7");
        const std::string sent = storage_ + "/Notifications/tone" + extension.toStdString();
        ASSERT_TRUE(fs::exists(sent)) << "a notification goes to Notifications, made when missing";
        EXPECT_EQ(Read(sent), Read(window.Saver().EncodedPath()));
        EXPECT_TRUE(fs::is_empty(storage_ + "/Ringtones"));

        // Sending again asks before replacing the file there.
        std::ofstream(sent, std::ios::trunc) << "older tone";
        Shown().clear();
        Answer() = IDNO;
        window.SaveOrSend();
        ASSERT_EQ(Shown().size(), 1u);
        EXPECT_EQ(Shown()[0].text, "File already exists. Overwrite file?");
        EXPECT_EQ(Read(sent), "older tone");
        Shown().clear();
        Answer() = IDYES;
        window.SaveOrSend();
        ASSERT_EQ(Shown().size(), 2u);
        EXPECT_EQ(Shown()[1].text, "Sent to Google Pixel 7");
        EXPECT_EQ(Read(sent), Read(window.Saver().EncodedPath()));
        size_t files = 0;
        for (const auto& entry : fs::directory_iterator(storage_ + "/Notifications")) files += entry.is_regular_file();
        EXPECT_EQ(files, 1u) << "no hidden part of a copy is left";
    });

    // The phone used last is chosen when the dialog opens again.
    fs::create_directories(runtime_ + "/gvfs/mtp:host=Another_Phone/Internal shared storage/Ringtones");
    CTessalyDlg again(app_);
    RunWindow(again, [&] {
        GoToPage3(again);
        ChoosePhone(again, QString());
        EXPECT_EQ(lines_.size(), 2) << lines_.join(", ").toStdString();
        EXPECT_EQ(selected_, "Google Pixel 7 (USB)");
    });
}

}  // namespace
