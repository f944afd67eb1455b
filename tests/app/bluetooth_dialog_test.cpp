// The Bluetooth send dialog against BlueZ from python-dbusmock and the object-push
// stand-in: the search with its texts, devices, minimum display time and "No devices
// found", a computer without Bluetooth (no service, no adapter, adapter off), the choice and its empty-name message,
// cancelling, the one-time hint, and sending with its progress dialog and closing messages.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include <cstdlib>
#include <fstream>

#include "app/bluetooth_dialog.h"
#include "app/control_tables.h"
#include "app/message_dialog.h"
#include "app/notify_dialog.h"
#include "app/progress_dialog.h"
#include "app/settings.h"
#include "audiosvc/audiosvc.h"
#include "btlink/btlink.h"
#include "skin/buttons.h"
#include "skin/edits.h"
#include "skin/lists.h"
#include "skin/meters.h"
#include "skin/skin_base.h"
#include "tests/app/ui_test_support.h"
#include "tests/btlink/mock_bus.h"

namespace {

class BluetoothDialogTest : public testing::Test {
protected:
    void SetUp() override {
        TestApp();
        SKIP_WITHOUT_MOCK_BUSES();
        LoadDefaultSkin();
        InstallSkinnedMessageBox();
        if (const char* old = std::getenv("XDG_CONFIG_HOME")) m_oldConfig = old;
        setenv("XDG_CONFIG_HOME", m_config.Path().c_str(), 1);
        WriteProfileInt(kNotifiedSection, "NOTIFY_BT", 1);  // the hint has its own test
        GetBtSearchSingleton()->SetSearchTime(600);
    }
    void TearDown() override {
        ReplaceSCMessageBox(nullptr);
        if (m_oldConfig.empty())
            unsetenv("XDG_CONFIG_HOME");
        else
            setenv("XDG_CONFIG_HOME", m_oldConfig.c_str(), 1);
    }

    void StartBluez() {
        bluez = std::make_unique<BluezMock>();
        ASSERT_TRUE(bluez->Running());
        ASSERT_TRUE(bluez->AddAdapter("hci0", "Desk computer"));
    }

    // Runs the dialog; `interact` works on it once it shows.
    static int Run(CBluetoothDlg& dialog, const std::function<void(CBluetoothDlg&)>& interact) {
        return WithModal([&] { return dialog.exec(); },
                         [&](QWidget& window) {
                             ASSERT_EQ(&window, &dialog) << window.metaObject()->className();
                             interact(dialog);
                         });
    }

    static CSkinBase* Control(CBluetoothDlg& dialog, int command) { return dialog.Skin().GetControl(command); }
    static CSCComboBox* List(CBluetoothDlg& dialog) {
        return qobject_cast<CSCComboBox*>(Control(dialog, IDC_BT_DEV_LIST));
    }
    static CSCButton* Button(CBluetoothDlg& dialog, int command) {
        return qobject_cast<CSCButton*>(Control(dialog, command));
    }
    static QString Info(CBluetoothDlg& dialog) { return Control(dialog, IDC_BT_SEARCH_INFO)->GetWindowText(); }
    static QStringList Lines(CBluetoothDlg& dialog) {
        QStringList lines;
        for (int i = 0; i < List(dialog)->GetCount(); ++i) lines << List(dialog)->GetLBText(i);
        return lines;
    }

    ScratchFolder m_config;
    std::string m_oldConfig;
    std::unique_ptr<BluezMock> bluez;
};

TEST_F(BluetoothDialogTest, ASearchListsTheDevicesAndSelectReturnsTheChoice) {
    StartBluez();
    ASSERT_FALSE(bluez->AddDevice("hci0", "AA:BB:CC:DD:EE:01", "Pixel 7").isEmpty());
    ASSERT_FALSE(bluez->AddDevice("hci0", "0A:0B:0C:0D:0E:0F", "").isEmpty());
    CBluetoothDlg dialog(nullptr, "/nowhere/tone.mp3", 0x12345678, 0x9ABC, "tone.mp3");
    const int result = Run(dialog, [&](CBluetoothDlg& d) {
        EXPECT_FALSE(Control(d, IDC_BT_SELECT)->isEnabled());
        EXPECT_FALSE(List(d)->isEnabled());
        EXPECT_EQ(Info(d), "Search ready");
        EXPECT_EQ(Control(d, IDC_BT_EDIT_NAME)->GetWindowText(), "tone.mp3");

        Button(d, IDC_BT_REFRESH)->Click();
        EXPECT_EQ(Info(d), "Search in progress...");
        EXPECT_FALSE(Control(d, IDC_BT_REFRESH)->isEnabled());
        ASSERT_TRUE(WaitUntil([&] { return List(d)->GetCount() == 1; }));
        EXPECT_EQ(List(d)->GetCurSel(), 0) << "the first device is chosen at once";
        EXPECT_TRUE(Control(d, IDC_BT_SELECT)->isEnabled());
        EXPECT_FALSE(List(d)->isEnabled()) << "the list opens when the search is done";
        SaveScreenshot(d, "bluetooth_dialog_searching.png");

        ASSERT_TRUE(WaitUntil([&] { return Info(d) == "Search done"; }));
        EXPECT_EQ(Lines(d), (QStringList{"Pixel 7 (Bluetooth)", "Unknown device (Bluetooth)"}));
        EXPECT_TRUE(List(d)->isEnabled());
        EXPECT_TRUE(Control(d, IDC_BT_REFRESH)->isEnabled());
        SaveScreenshot(d, "bluetooth_dialog_devices.png");
        QComboBox* combo = List(d)->Combo();
        combo->showPopup();
        if (WaitUntil([&] { return combo->view()->isVisible(); }, 2000))
            SaveScreenshot(*combo->view()->window(), "bluetooth_dialog_list.png");
        combo->hidePopup();

        Control(d, IDC_BT_EDIT_NAME)->SetWindowText("My tone.mp3");
        Button(d, IDC_BT_SELECT)->Click();
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(dialog.GetAddressLow(), 0xCCDDEE01u);
    EXPECT_EQ(dialog.GetAddressHigh(), 0xAABBu);
    EXPECT_EQ(dialog.GetDeviceName(), "Pixel 7");
    EXPECT_EQ(dialog.GetFileName(), "My tone.mp3");
}

TEST_F(BluetoothDialogTest, AShortSearchShowsItsProgressForAtLeast300MsThenNoDevicesFound) {
    StartBluez();
    GetBtSearchSingleton()->SetSearchTime(50);
    CBluetoothDlg dialog(nullptr, "/nowhere/tone.mp3", 0, 0, "tone.mp3");
    qint64 shownFor = 0;
    const int result = Run(dialog, [&](CBluetoothDlg& d) {
        QElapsedTimer clock;
        clock.start();
        Button(d, IDC_BT_REFRESH)->Click();
        ASSERT_TRUE(WaitUntil([&] { return Info(d) != "Search in progress..."; }));
        shownFor = clock.elapsed();
        EXPECT_EQ(Info(d), "Search done");
        EXPECT_EQ(Lines(d), QStringList{"No phone found"});
        EXPECT_EQ(List(d)->GetCurSel(), 0);
        EXPECT_FALSE(List(d)->isEnabled());
        EXPECT_FALSE(Control(d, IDC_BT_SELECT)->isEnabled());
        SaveScreenshot(d, "bluetooth_dialog_no_devices.png");
        QTest::keyClick(&d, Qt::Key_Return);  // the disabled Select does nothing
        EXPECT_TRUE(d.isVisible());
        QTest::keyClick(&d, Qt::Key_Escape);
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_GE(shownFor, 295);
}

// What the dialog shows on a computer without Bluetooth to search with, as it opens and
// after a search; the texts are checked by the caller.
void ExpectUnavailable(CBluetoothDlg& dialog, const QString& reason, const char* screenshot) {
    const QString text = QStringLiteral("Bluetooth is not available on this computer\n") + reason;
    auto info = [&] { return dialog.Skin().GetControl(IDC_BT_SEARCH_INFO)->GetWindowText(); };
    auto* list = qobject_cast<CSCComboBox*>(dialog.Skin().GetControl(IDC_BT_DEV_LIST));
    auto* refresh = qobject_cast<CSCButton*>(dialog.Skin().GetControl(IDC_BT_REFRESH));
    ASSERT_TRUE(WaitUntil([&] { return info() == text; })) << info().toStdString();
    EXPECT_EQ(list->GetCount(), 0);
    EXPECT_FALSE(list->isEnabled());
    EXPECT_FALSE(dialog.Skin().GetControl(IDC_BT_SELECT)->isEnabled());
    EXPECT_TRUE(refresh->isEnabled()) << "the user may look again after switching Bluetooth on";
    if (screenshot != nullptr) SaveScreenshot(dialog, screenshot);

    // A search tells the same instead of "No phone found".
    refresh->Click();
    EXPECT_EQ(info(), "Search in progress...");
    ASSERT_TRUE(WaitUntil([&] { return info() != "Search in progress..."; }));
    EXPECT_EQ(info(), text);
    EXPECT_EQ(list->GetCount(), 0);
    EXPECT_FALSE(list->isEnabled());
    EXPECT_TRUE(refresh->isEnabled());
}

TEST_F(BluetoothDialogTest, WithoutTheBluetoothServiceTheDialogSaysSo) {
    CBluetoothDlg dialog(nullptr, "/nowhere/tone.mp3", 0, 0, "tone.mp3");
    EXPECT_EQ(Run(dialog,
                  [&](CBluetoothDlg& d) {
                      ExpectUnavailable(d, QStringLiteral("The Bluetooth service is not running."),
                                        "bluetooth_dialog_no_service.png");
                      Button(d, IDC_BT_CLOSE)->Click();
                  }),
              IDCANCEL);
}

TEST_F(BluetoothDialogTest, WithoutASystemBusTheDialogSaysTheServiceIsNotRunning) {
    const QByteArray saved = qgetenv("DBUS_SYSTEM_BUS_ADDRESS");
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/morvane-no-bus");
    CBluetoothDlg dialog(nullptr, "/nowhere/tone.mp3", 0, 0, "tone.mp3");
    Run(dialog, [&](CBluetoothDlg& d) {
        ExpectUnavailable(d, QStringLiteral("The Bluetooth service is not running."), nullptr);
        QTest::keyClick(&d, Qt::Key_Escape);
    });
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", saved);
}

TEST_F(BluetoothDialogTest, WithoutAnAdapterOrWithItSwitchedOffTheDialogSaysSo) {
    bluez = std::make_unique<BluezMock>();
    ASSERT_TRUE(bluez->Running());
    {
        CBluetoothDlg dialog(nullptr, "/nowhere/tone.mp3", 0, 0, "tone.mp3");
        Run(dialog, [&](CBluetoothDlg& d) {
            ExpectUnavailable(d, QStringLiteral("No Bluetooth adapter was found."), "bluetooth_dialog_no_adapter.png");
            QTest::keyClick(&d, Qt::Key_Escape);
        });
    }
    ASSERT_TRUE(bluez->AddAdapter("hci0", "Desk computer"));
    ASSERT_FALSE(bluez->AddDevice("hci0", "AA:BB:CC:DD:EE:01", "Pixel 7").isEmpty());
    ASSERT_TRUE(bluez->PowerAdapter("hci0", false));
    CBluetoothDlg dialog(nullptr, "/nowhere/tone.mp3", 0, 0, "tone.mp3");
    Run(dialog, [&](CBluetoothDlg& d) {
        ExpectUnavailable(d, QStringLiteral("The Bluetooth adapter is switched off."),
                          "bluetooth_dialog_adapter_off.png");
        // Switched on, the next search lists the device.
        ASSERT_TRUE(bluez->PowerAdapter("hci0", true));
        Button(d, IDC_BT_REFRESH)->Click();
        ASSERT_TRUE(WaitUntil([&] { return Info(d) == "Search done"; }));
        EXPECT_EQ(Lines(d), QStringList{"Pixel 7 (Bluetooth)"});
        EXPECT_TRUE(Control(d, IDC_BT_SELECT)->isEnabled());
        QTest::keyClick(&d, Qt::Key_Escape);
    });
}

TEST_F(BluetoothDialogTest, AnEmptyFileNameIsRefusedWithAMessageAndTheDialogStays) {
    StartBluez();
    ASSERT_FALSE(bluez->AddDevice("hci0", "AA:BB:CC:DD:EE:02", "Phone").isEmpty());
    CBluetoothDlg dialog(nullptr, "/nowhere/tone.mp3", 0, 0, "tone.mp3");
    QString message;
    const int result = Run(dialog, [&](CBluetoothDlg& d) {
        Button(d, IDC_BT_REFRESH)->Click();
        ASSERT_TRUE(WaitUntil([&] { return Control(d, IDC_BT_SELECT)->isEnabled(); }));
        Control(d, IDC_BT_EDIT_NAME)->SetWindowText("   ");
        QTimer::singleShot(50, [&] {
            auto* box = qobject_cast<CMessageDlg*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            message = box->Skin().GetControl(IDC_MSG_TEXT)->GetWindowText();
            box->done(IDOK);
        });
        Button(d, IDC_BT_SELECT)->Click();
        EXPECT_EQ(message, "File name can't be empty");
        EXPECT_TRUE(d.isVisible());
        auto* edit = qobject_cast<CSCEditBox2*>(Control(d, IDC_BT_EDIT_NAME));
        EXPECT_EQ(d.focusWidget(), edit->Editor()) << "the focus goes to the name";
        // Cancel while the search still runs stops it.
        Button(d, IDC_BT_CANCEL)->Click();
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_FALSE(bluez->Discovering("hci0"));
}

TEST_F(BluetoothDialogTest, TheHintShowsWhenTheDialogFirstShows) {
    WriteProfileInt(kNotifiedSection, "NOTIFY_BT", 0);
    CBluetoothDlg dialog(nullptr, "/nowhere/tone.mp3", 0, 0, "tone.mp3");
    std::string hintSection;
    bool dialogShowingBehind = false;
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* hint = qobject_cast<CNotifyDlg*>(modal)) {
            hintSection = hint->Skin().GetSectionName();
            dialogShowingBehind = dialog.isVisible();
            hint->done(IDOK);
        } else if (modal == &dialog && !hintSection.empty()) {
            dialog.reject();
        }
    });
    poll.start();
    QTimer::singleShot(5000, &dialog, [&] { dialog.done(99); });  // a hint that never came
    EXPECT_EQ(dialog.exec(), IDCANCEL);
    EXPECT_EQ(hintSection, "NOTIFY_BT");
    EXPECT_TRUE(dialogShowingBehind);
}

// ---- sending ------------------------------------------------------------------------------

class BluetoothSendTest : public BluetoothDialogTest {
protected:
    void SetUp() override {
        BluetoothDialogTest::SetUp();
        if (IsSkipped()) return;
        obex = std::make_unique<ObexMock>();
        ASSERT_TRUE(obex->Running());
        data = std::string(150000, '\0');
        for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>((i * 7919) >> 3);
        source = m_files.Write("ringtone.mp3", data);
    }

    // Sends with the dialog; answers the progress dialog with `onProgress` (once) and the
    // closing message by recording it. Returns the messages shown.
    QStringList Send(CBluetoothDlg& dialog, const std::function<void(CProgressDlg&)>& onProgress = {}) {
        QStringList messages;
        bool progressSeen = false;
        QTimer poll;
        poll.setInterval(5);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (auto* progress = qobject_cast<CProgressDlg*>(modal); progress != nullptr && !progressSeen) {
                progressSeen = true;
                EXPECT_EQ(progress->Skin().GetControl(IDC_PROGRESS_TEXT)->GetWindowText(), "Sending data...");
                EXPECT_FALSE(progress->Skin().GetControl(IDC_PROGRESS_CANCEL)->isHidden());
                if (onProgress) onProgress(*progress);
            } else if (auto* box = qobject_cast<CMessageDlg*>(modal)) {
                messages << box->Skin().GetControl(IDC_MSG_TEXT)->GetWindowText();
                if (messages.size() == 1) SaveScreenshot(*box, "bluetooth_send_message.png");
                box->done(IDOK);
            }
        });
        poll.start();
        dialog.SendFile();
        EXPECT_TRUE(progressSeen || messages.isEmpty());
        return messages;
    }

    ScratchFolder m_files;
    std::unique_ptr<ObexMock> obex;
    std::string data;
    std::filesystem::path source;
};

TEST_F(BluetoothSendTest, ASentFileArrivesWholeAndTheUserIsTold) {
    CBluetoothDlg dialog(nullptr, QString::fromStdString(source.string()), 0xCCDDEEFF, 0xAABB, "Sent tone.mp3");
    EXPECT_EQ(Send(dialog), QStringList{"File successfully saved!"});
    std::ifstream received(obex->Inbox() / "Sent tone.mp3", std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(received)), std::istreambuf_iterator<char>());
    EXPECT_TRUE(bytes == data) << "received " << bytes.size() << " of " << data.size() << " bytes";
    EXPECT_EQ(obex->Destinations(), QStringList{"AA:BB:CC:DD:EE:FF"});
    EXPECT_EQ(dialog.GetAddressLow(), 0u) << "the device address is forgotten after a send";
}

TEST_F(BluetoothSendTest, AFailedTransferSaysErrorSendingFile) {
    ASSERT_TRUE(obex->SetMode("fail"));
    CBluetoothDlg dialog(nullptr, QString::fromStdString(source.string()), 1, 2, "tone.mp3");
    EXPECT_EQ(Send(dialog), QStringList{"Error sending file"});
}

TEST_F(BluetoothSendTest, CancellingTheTransferEndsWithoutAMessage) {
    ASSERT_TRUE(obex->SetMode("slow"));
    CBluetoothDlg dialog(nullptr, QString::fromStdString(source.string()), 1, 2, "tone.mp3");
    const QStringList messages = Send(dialog, [&](CProgressDlg& progress) {
        // Cancel once the transfer runs.
        ASSERT_TRUE(WaitUntil([&] { return obex->OpenSessions() == 1; }));
        // The whole file has been read for the transfer: the bar shows it.
        auto* bar = qobject_cast<CSCProgress*>(progress.Skin().GetControl(IDC_PROGRESS_BAR));
        EXPECT_TRUE(WaitUntil([&] { return bar->GetPos() == 100; }, 2000)) << bar->GetPos();
        SaveScreenshot(progress, "bluetooth_sending.png");
        qobject_cast<CSCButton*>(progress.Skin().GetControl(IDC_PROGRESS_CANCEL))->Click();
    });
    EXPECT_TRUE(messages.isEmpty()) << messages.join("|").toStdString();
    EXPECT_EQ(obex->CancelledTransfers(), 1u);
    EXPECT_FALSE(std::filesystem::exists(obex->Inbox() / "tone.mp3"));
}

TEST_F(BluetoothSendTest, AFileThatCannotBeOpenedSendsNothingAndSaysNothing) {
    CBluetoothDlg dialog(nullptr, "/nowhere/missing.mp3", 1, 2, "tone.mp3");
    bool modalSeen = false;
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            modalSeen = true;
            modal->close();
        }
    });
    poll.start();
    dialog.SendFile();
    EXPECT_FALSE(modalSeen);
    EXPECT_TRUE(obex->Destinations().isEmpty());
}

}  // namespace
