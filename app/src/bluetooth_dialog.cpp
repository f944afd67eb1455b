// CBluetoothDlg: the device search and the choice of device and file name.
#include "app/bluetooth_dialog.h"

#include <QLineEdit>
#include <QPointer>
#include <QThread>

#include "app/control_tables.h"
#include "app/notify_dialog.h"
#include "audiosvc/audiosvc.h"
#include "platform/clock.h"
#include "skin/buttons.h"
#include "skin/edits.h"
#include "skin/lists.h"
#include "skin/skin_base.h"

namespace {

// The search's progress text stays at least this long, so that it can be read.
constexpr uint32_t kMinimumSearchShowMs = 300;

QString UnavailableReason(int state) {
    switch (state) {
        case kBtNoService: return QStringLiteral("The Bluetooth service is not running.");
        case kBtNoAdapter: return QStringLiteral("No Bluetooth adapter was found.");
        case kBtAdapterOff: return QStringLiteral("The Bluetooth adapter is switched off.");
        default: return {};
    }
}

}  // namespace

CBluetoothDlg::CBluetoothDlg(QWidget* parent, const QString& filePath, uint32_t addressLow, uint32_t addressHigh,
                             const QString& fileName)
    : CSkinDialog(parent, kBluetoothControls, "BLUETOOTH"),
      m_filePath(filePath),
      m_fileName(fileName),
      m_addressLow(addressLow),
      m_addressHigh(addressHigh) {}

CBluetoothDlg::~CBluetoothDlg() {
    // No search callback may reach a dialog that is gone.
    StopOwnSearch();
}

std::optional<int> CBluetoothDlg::OnInitDialog() {
    if (const std::optional<int> ended = CSkinDialog::OnInitDialog()) return ended;
    if (CSkinBase* select = m_skin.GetControl(IDC_BT_SELECT)) select->setEnabled(false);
    if (CSkinBase* list = m_skin.GetControl(IDC_BT_DEV_LIST)) list->setEnabled(false);
    if (CSkinBase* name = m_skin.GetControl(IDC_BT_EDIT_NAME)) name->SetWindowText(m_fileName);
    SetDefaultButton(Control<CSCButton>(IDC_BT_SELECT));
    // Whether there is Bluetooth to search with at all, told as soon as it is known.
    StartCheck();
    // The hint about switching Bluetooth on comes once the dialog shows (message 1044).
    QMetaObject::invokeMethod(
        this,
        [dialog = QPointer<CBluetoothDlg>(this)] {
            if (dialog && dialog->isVisible()) ShowNotify("NOTIFY_BT", dialog);
        },
        Qt::QueuedConnection);
    return std::nullopt;
}

void CBluetoothDlg::OnDestroy() {
    StopOwnSearch();
    ClearDevices();
    CSkinDialog::OnDestroy();
}

bool CBluetoothDlg::OnCommand(int commandId, int) {
    switch (commandId) {
        case IDC_BT_REFRESH: StartSearch(); return true;
        case IDC_BT_SELECT: Select(); return true;
        case IDC_BT_CANCEL:
        case IDC_BT_CLOSE: reject(); return true;
        default: return false;
    }
}

void CBluetoothDlg::reject() {
    StopOwnSearch();
    CSkinDialog::reject();
}

void CBluetoothDlg::StartSearch() {
    // The end of an earlier search must not touch the new one's controls.
    StopOwnSearch();
    ++m_searchGeneration;
    m_bluetoothState = kBtReady;
    m_searching = true;
    ClearDevices();
    if (CSkinBase* select = m_skin.GetControl(IDC_BT_SELECT)) select->setEnabled(false);
    if (CSkinBase* refresh = m_skin.GetControl(IDC_BT_REFRESH)) refresh->setEnabled(false);
    if (CSkinBase* list = m_skin.GetControl(IDC_BT_DEV_LIST)) list->setEnabled(false);
    if (CSkinBase* info = m_skin.GetControl(IDC_BT_SEARCH_INFO))
        info->SetWindowText(QStringLiteral("Search in progress..."));
    m_searchStart = TickCountMs();
    ++m_searchesRunning;
    GetBtSearchSingleton()->StartSearch(this);
}

void CBluetoothDlg::StartCheck() {
    StopOwnSearch();
    ++m_searchGeneration;
    m_checkRunning = true;
    ++m_searchesRunning;
    GetBtSearchSingleton()->CheckBluetooth(this);
}

void CBluetoothDlg::StopOwnSearch() {
    // Only a search this dialog started: the search object serves the whole program.
    if (m_searchesRunning.load() > 0) GetBtSearchSingleton()->StopSearch();
}

void CBluetoothDlg::OnDeviceFound(const char* name, uint32_t addressLow, uint32_t addressHigh) {
    const QString text = name != nullptr && *name != '\0' ? QString::fromUtf8(name) : QStringLiteral("Unknown device");
    const int generation = m_searchGeneration.load();
    QMetaObject::invokeMethod(
        this,
        [this, text, generation, record = BtDeviceRecord{addressLow, addressHigh}] {
            if (generation == m_searchGeneration.load()) AddDevice(text, record);
        },
        Qt::QueuedConnection);
}

void CBluetoothDlg::OnSearchFinished(bool stopped) {
    const uint32_t elapsed = TickCountMs() - m_searchStart.load();
    if (elapsed < kMinimumSearchShowMs) QThread::msleep(kMinimumSearchShowMs - elapsed);
    const int generation = m_searchGeneration.load();
    QMetaObject::invokeMethod(
        this,
        [this, stopped, generation] {
            if (generation == m_searchGeneration.load()) ShowSearchEnd(stopped);
        },
        Qt::QueuedConnection);
    --m_searchesRunning;  // last: from here on the search no longer touches the dialog
}

void CBluetoothDlg::OnBluetoothChecked(int state) {
    const int generation = m_searchGeneration.load();
    if (state != kBtReady)
        QMetaObject::invokeMethod(
            this,
            [this, state, generation] {
                if (generation != m_searchGeneration.load()) return;
                m_bluetoothState = state;
                // A search shows it at its end, after its progress text.
                if (!m_searching) ShowUnavailable();
            },
            Qt::QueuedConnection);
    // The end of a check (a search ends with OnSearchFinished): last, as there.
    if (m_checkRunning.exchange(false)) --m_searchesRunning;
}

void CBluetoothDlg::ShowUnavailable() {
    ClearDevices();
    if (CSkinBase* list = m_skin.GetControl(IDC_BT_DEV_LIST)) list->setEnabled(false);
    if (CSkinBase* select = m_skin.GetControl(IDC_BT_SELECT)) select->setEnabled(false);
    if (CSkinBase* info = m_skin.GetControl(IDC_BT_SEARCH_INFO))
        info->SetWindowText(QStringLiteral("Bluetooth is not available on this computer\n") +
                            UnavailableReason(m_bluetoothState));
}

void CBluetoothDlg::AddDevice(const QString& name, BtDeviceRecord record) {
    auto* list = Control<CSCComboBox>(IDC_BT_DEV_LIST);
    if (list == nullptr) return;
    const int index = list->AddString(name);
    m_records.push_back(std::make_unique<BtDeviceRecord>(record));
    list->SetItemData(index, reinterpret_cast<intptr_t>(m_records.back().get()));
    if (list->GetCount() == 1) {
        list->SetCurSel(0);
        if (CSkinBase* select = m_skin.GetControl(IDC_BT_SELECT)) select->setEnabled(true);
    }
}

void CBluetoothDlg::ShowSearchEnd(bool stopped) {
    m_searching = false;
    if (CSkinBase* refresh = m_skin.GetControl(IDC_BT_REFRESH)) refresh->setEnabled(true);
    // The search could not search: the dialog says why.
    if (m_bluetoothState != kBtReady) return ShowUnavailable();
    if (CSkinBase* info = m_skin.GetControl(IDC_BT_SEARCH_INFO))
        info->SetWindowText(stopped ? QStringLiteral("Search stopped") : QStringLiteral("Search done"));
    auto* list = Control<CSCComboBox>(IDC_BT_DEV_LIST);
    if (list == nullptr) return;
    if (list->GetCount() > 0) {
        list->setEnabled(true);
        return;
    }
    const int index = list->AddString(QStringLiteral("No devices found"));
    m_records.push_back(std::make_unique<BtDeviceRecord>());
    list->SetItemData(index, reinterpret_cast<intptr_t>(m_records.back().get()));
    list->SetCurSel(index);
    list->setEnabled(false);
}

void CBluetoothDlg::ClearDevices() {
    if (auto* list = Control<CSCComboBox>(IDC_BT_DEV_LIST)) list->ResetContent();
    m_records.clear();
}

void CBluetoothDlg::Select() {
    auto* list = Control<CSCComboBox>(IDC_BT_DEV_LIST);
    CSkinBase* nameEdit = m_skin.GetControl(IDC_BT_EDIT_NAME);
    const CSkinBase* select = m_skin.GetControl(IDC_BT_SELECT);
    // Enter reaches the default button even while it is disabled.
    if (list == nullptr || nameEdit == nullptr || select == nullptr || !select->isEnabled()) return;
    const int selected = list->GetCurSel();
    const auto* record = reinterpret_cast<const BtDeviceRecord*>(list->GetItemData(selected));
    if (selected < 0 || record == nullptr) return;
    const QString fileName = nameEdit->GetWindowText().trimmed();
    if (fileName.isEmpty()) {
        AfxSCMessageBox("File name can't be empty", MB_OK, nullptr, this);
        if (auto* edit = qobject_cast<CSCEditBox2*>(nameEdit)) edit->Editor()->setFocus(Qt::OtherFocusReason);
        return;
    }
    m_addressLow = record->addressLow;
    m_addressHigh = record->addressHigh;
    m_fileName = fileName;
    m_deviceName = list->GetLBText(selected);
    StopOwnSearch();
    done(IDOK);
}
