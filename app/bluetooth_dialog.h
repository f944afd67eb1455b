// The send-to-phone dialog: Bluetooth devices beside USB, KDE Connect and GSConnect phones.
#pragma once

#include <QString>
#include <QTimer>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <vector>

#include "app/skin_dialog.h"
#include "btlink/btlink.h"
#include "phonelink/phonelink.h"

class IProgress;
class PhoneScanWorker;

// One device of the dialog's list (the list item's data): its Bluetooth address, or the
// phone of another way (its address is then 0).
struct BtDeviceRecord {
    uint32_t addressLow = 0;
    uint32_t addressHigh = 0;
    Phone phone;
};

// Lists the phones reachable over USB, KDE Connect and GSConnect (looked for as it opens and
// every few seconds while it is open) and, after a search, the nearby Bluetooth devices
// (btlink); lets the user choose one and the name the file gets there; a run returns 1 with
// a phone chosen. SendFile then sends the file to it with a progress dialog and tells the
// user how it went. When the computer has no Bluetooth service, no adapter or only a
// switched-off one, the dialog says so as it opens and after a search; a hint under it
// names each other way that cannot reach a phone here.
//
// Threads: btlink calls the search callbacks on its own thread; they touch no control and
// hand everything to the user-interface thread as queued calls, which are dropped when they
// belong to an earlier search (m_searchGeneration). The upload callbacks run on btlink's
// upload thread: while an upload runs, ReadData alone uses m_file, m_bytesRead and
// m_progress (the user-interface thread sets them up before the upload and releases them
// after its end); m_result is written once by the end callbacks and polled by the sender
// thread. m_checkRunning is set by the user-interface thread before a check and cleared by
// the check's callback. The phone scans run on m_scanner's thread and reach the dialog as
// queued calls. Everything else belongs to the user-interface thread.
class CBluetoothDlg : public CSkinDialog, public IBtSearchCb, public IBtUploadCb {
    Q_OBJECT
public:
    // filePath: the file to send; the address and name are the previous choice.
    CBluetoothDlg(QWidget* parent, const QString& filePath, uint32_t addressLow, uint32_t addressHigh,
                  const QString& fileName);
    ~CBluetoothDlg() override;

    // The phone to preselect (its id) when it is listed.
    void SetLastPhone(const std::string& id) { m_lastPhoneId = id; }
    // The extension of the file to send (".m4r" ...): a Bluetooth device chosen for an
    // iPhone format gets a note that iPhones take ringtones another way.
    void SetFileExtension(const QString& extension) { m_extension = extension; }
    // Where USB phones keep the tone.
    void SetToneFolder(ToneFolder folder) { m_folder = folder; }
    // Where the phone scans look (tests point them at scratch folders).
    void SetScanPlaces(const ScanPlaces& places);
    // The phone to send to, for SendFile without a run.
    void SetPhone(const Phone& phone) { m_phone = phone; }

    // The choice of a run that returned 1.
    const Phone& GetPhone() const { return m_phone; }
    uint32_t GetAddressLow() const { return m_addressLow; }
    uint32_t GetAddressHigh() const { return m_addressHigh; }
    const QString& GetDeviceName() const { return m_deviceName; }
    const QString& GetFileName() const { return m_fileName; }

    // Sends the file to the chosen device under the chosen name while a progress dialog
    // runs, then shows "Error sending file" or "File successfully saved!" (nothing when
    // cancelled, nothing when the file cannot be opened); to a phone of another way, see
    // SendToOtherWay.
    void SendFile();

    void OnDeviceFound(const char* name, uint32_t addressLow, uint32_t addressHigh) override;
    void OnSearchFinished(bool stopped) override;
    void OnBluetoothChecked(int state) override;
    void OnUploadFinished(bool cancelled) override;
    void OnUploadError() override;
    bool ReadData(void* buffer, uint32_t count, uint32_t* bytesRead) override;

    // Escape and closing the window stop the search and cancel.
    void reject() override;

protected:
    std::optional<int> OnInitDialog() override;
    void OnDestroy() override;
    bool OnCommand(int commandId, int code) override;

private:
    struct FileCloser {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };

    void StartSearch();
    void StartCheck();
    void StopOwnSearch();
    // "Bluetooth is not available on this computer" and the reason (m_bluetoothState).
    void ShowUnavailable();
    void AddDevice(const QString& name, BtDeviceRecord record);
    void ShowSearchEnd(bool stopped);
    void ClearDevices();
    // Fills the list from the scanned phones and the devices found, keeping the selection.
    void FillList();
    void TakeScan(const PhoneScan& scan);
    // The hints for the ways that cannot reach a phone, and the iPhone note.
    void ShowHints();
    const BtDeviceRecord* SelectedRecord();
    void Select();
    int RunSender(IProgress& progress);
    // USB, KDE Connect, GSConnect: a copy with progress (USB) or the hand-over, then
    // "Sent to <phone>"; an existing file is replaced only after asking.
    void SendToOtherWay();

    QString m_filePath;
    QString m_fileName;
    uint32_t m_addressLow;
    uint32_t m_addressHigh;
    QString m_deviceName;
    std::vector<std::unique_ptr<BtDeviceRecord>> m_records;  // the list's item data
    std::vector<BtDeviceRecord> m_found;                     // the devices of the last search
    std::vector<Phone> m_scanned;                            // of the last phone scan
    std::vector<WayState> m_ways;
    bool m_searchEnded = false;  // a search has ended: an empty list says "No phone found"
    std::string m_lastPhoneId;
    QString m_extension;
    ToneFolder m_folder = ToneFolder::Ringtones;
    Phone m_phone;
    std::unique_ptr<PhoneScanWorker> m_scanner;
    QTimer m_rescan;                         // looks for phones again while the dialog is open
    std::atomic<uint32_t> m_searchStart{0};  // tick count of the search's start
    std::atomic<int> m_searchGeneration{0};
    std::atomic<int> m_searchesRunning{0};  // searches and checks of this dialog whose end has not returned
    std::atomic<bool> m_checkRunning{false};
    int m_bluetoothState = kBtReady;  // what the last search or check found (a BtState)
    bool m_searching = false;         // a search runs: its end shows what it found
    std::unique_ptr<std::FILE, FileCloser> m_file;
    uint64_t m_bytesRead = 0;
    uint64_t m_fileSize = 0;
    std::atomic<int> m_result{0};  // 0 running, 1 done, 2 cancelled, 3 error
    IProgress* m_progress = nullptr;
};
