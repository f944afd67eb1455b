// CBluetoothDlg: the device search, the phone scans, and the choice of phone and file name.
#include "app/bluetooth_dialog.h"

#include <QLineEdit>
#include <QPointer>
#include <QThread>

#include <algorithm>

#include "app/control_tables.h"
#include "app/notify_dialog.h"
#include "app/src/phone_scan_worker.h"
#include "audiosvc/audiosvc.h"
#include "platform/clock.h"
#include "skin/buttons.h"
#include "skin/edits.h"
#include "skin/lists.h"
#include "skin/skin_base.h"

namespace {

// The search's progress text stays at least this long, so that it can be read.
constexpr uint32_t kMinimumSearchShowMs = 300;
// How often the open dialog looks for USB, KDE Connect and GSConnect phones again.
constexpr int kRescanMs = 3000;

QString ListText(const Phone& phone) {
    return QStringLiteral("%1 (%2)").arg(QString::fromStdString(phone.name),
                                         QString::fromUtf8(PhoneWayName(phone.way)));
}

bool IsIphoneFormat(const QString& extension) {
    return extension.compare(QStringLiteral(".m4r"), Qt::CaseInsensitive) == 0;
}

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
      m_addressHigh(addressHigh),
      m_scanner(std::make_unique<PhoneScanWorker>(this, [this](const PhoneScan& scan) { TakeScan(scan); })) {
    m_rescan.setInterval(kRescanMs);
    connect(&m_rescan, &QTimer::timeout, this, [this] { m_scanner->Start(); });
}

CBluetoothDlg::~CBluetoothDlg() {
    // No search callback may reach a dialog that is gone.
    StopOwnSearch();
    m_scanner.reset();
}

void CBluetoothDlg::SetScanPlaces(const ScanPlaces& places) { m_scanner->SetPlaces(places); }

std::optional<int> CBluetoothDlg::OnInitDialog() {
    if (const std::optional<int> ended = CSkinDialog::OnInitDialog()) return ended;
    if (CSkinBase* select = m_skin.GetControl(IDC_BT_SELECT)) select->setEnabled(false);
    if (CSkinBase* list = m_skin.GetControl(IDC_BT_DEV_LIST)) list->setEnabled(false);
    if (CSkinBase* name = m_skin.GetControl(IDC_BT_EDIT_NAME)) name->SetWindowText(m_fileName);
    SetDefaultButton(Control<CSCButton>(IDC_BT_SELECT));
    // Whether there is Bluetooth to search with at all, told as soon as it is known.
    StartCheck();
    m_scanner->Start();
    m_rescan.start();
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
    m_rescan.stop();
    StopOwnSearch();
    ClearDevices();
    CSkinDialog::OnDestroy();
}

bool CBluetoothDlg::OnCommand(int commandId, int) {
    switch (commandId) {
        case IDC_BT_REFRESH: StartSearch(); return true;
        case IDC_BT_SELECT: Select(); return true;
        case IDC_BT_DEV_LIST: ShowHints(); return true;
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
    m_searchEnded = false;
    m_found.clear();
    FillList();
    if (CSkinBase* refresh = m_skin.GetControl(IDC_BT_REFRESH)) refresh->setEnabled(false);
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
    m_found.clear();
    FillList();
    if (CSkinBase* info = m_skin.GetControl(IDC_BT_SEARCH_INFO))
        info->SetWindowText(QStringLiteral("Bluetooth is not available on this computer\n") +
                            UnavailableReason(m_bluetoothState));
}

void CBluetoothDlg::AddDevice(const QString& name, BtDeviceRecord record) {
    record.phone.way = PhoneWay::Bluetooth;
    record.phone.id = BluetoothPhoneId(record.addressLow, record.addressHigh);
    record.phone.name = name.toStdString();
    m_found.push_back(std::move(record));
    FillList();
}

void CBluetoothDlg::ShowSearchEnd(bool stopped) {
    m_searching = false;
    if (CSkinBase* refresh = m_skin.GetControl(IDC_BT_REFRESH)) refresh->setEnabled(true);
    // The search could not search: the dialog says why.
    if (m_bluetoothState != kBtReady) return ShowUnavailable();
    if (CSkinBase* info = m_skin.GetControl(IDC_BT_SEARCH_INFO))
        info->SetWindowText(stopped ? QStringLiteral("Search stopped") : QStringLiteral("Search done"));
    m_searchEnded = true;
    FillList();
}

void CBluetoothDlg::TakeScan(const PhoneScan& scan) {
    // A scan that changes nothing leaves the list alone, an open drop-down included.
    const auto samePhone = [](const Phone& a, const Phone& b) { return a.id == b.id && a.name == b.name; };
    const auto sameWay = [](const WayState& a, const WayState& b) {
        return a.way == b.way && a.available == b.available && a.hint == b.hint;
    };
    if (std::equal(scan.phones.begin(), scan.phones.end(), m_scanned.begin(), m_scanned.end(), samePhone) &&
        std::equal(scan.ways.begin(), scan.ways.end(), m_ways.begin(), m_ways.end(), sameWay))
        return;
    m_scanned = scan.phones;
    m_ways = scan.ways;
    FillList();
}

void CBluetoothDlg::ClearDevices() {
    if (auto* list = Control<CSCComboBox>(IDC_BT_DEV_LIST)) list->ResetContent();
    m_records.clear();
}

const BtDeviceRecord* CBluetoothDlg::SelectedRecord() {
    const auto* list = Control<CSCComboBox>(IDC_BT_DEV_LIST);
    if (list == nullptr || list->GetCurSel() < 0) return nullptr;
    const auto* record = reinterpret_cast<const BtDeviceRecord*>(list->GetItemData(list->GetCurSel()));
    return record != nullptr && !record->phone.id.empty() ? record : nullptr;
}

void CBluetoothDlg::FillList() {
    auto* list = Control<CSCComboBox>(IDC_BT_DEV_LIST);
    if (list == nullptr) return;
    // The phone chosen stays chosen; before any choice, the one used last.
    std::string keep = m_lastPhoneId;
    if (const BtDeviceRecord* chosen = SelectedRecord()) keep = chosen->phone.id;
    ClearDevices();
    int keepRow = 0;
    auto add = [&](const QString& text, const BtDeviceRecord& record) {
        const int index = list->AddString(text);
        m_records.push_back(std::make_unique<BtDeviceRecord>(record));
        list->SetItemData(index, reinterpret_cast<intptr_t>(m_records.back().get()));
        if (!keep.empty() && record.phone.id == keep) keepRow = index;
    };
    for (const Phone& phone : m_scanned) add(ListText(phone), BtDeviceRecord{0, 0, phone});
    for (size_t i = 0; i < m_found.size(); ++i) add(ListText(m_found[i].phone), m_found[i]);
    const bool any = list->GetCount() > 0;
    if (!any && m_searchEnded && m_bluetoothState == kBtReady) add(QStringLiteral("No phone found"), {});
    if (list->GetCount() > 0) list->SetCurSel(keepRow);
    // While a search runs the list stays shut; the first phone is ready to take.
    list->setEnabled(any && !m_searching);
    if (CSkinBase* select = m_skin.GetControl(IDC_BT_SELECT)) select->setEnabled(any);
    ShowHints();
}

void CBluetoothDlg::ShowHints() {
    QStringList lines;
    // Ways that fail for one reason (no session bus) give one line.
    for (const WayState& way : m_ways)
        if (const QString hint = QString::fromStdString(way.hint);
            !way.available && !hint.isEmpty() && !lines.contains(hint))
            lines << hint;
    const BtDeviceRecord* chosen = SelectedRecord();
    if (chosen != nullptr && chosen->phone.way == PhoneWay::Bluetooth && IsIphoneFormat(m_extension))
        lines << QStringLiteral("iPhones take ringtones over USB or KDE Connect, not over Bluetooth.");
    if (CSkinBase* hints = m_skin.GetControl(IDC_BT_HINTS)) hints->SetWindowText(lines.join(QLatin1Char('\n')));
}

void CBluetoothDlg::Select() {
    CSkinBase* nameEdit = m_skin.GetControl(IDC_BT_EDIT_NAME);
    const CSkinBase* select = m_skin.GetControl(IDC_BT_SELECT);
    // Enter reaches the default button even while it is disabled.
    if (nameEdit == nullptr || select == nullptr || !select->isEnabled()) return;
    const BtDeviceRecord* record = SelectedRecord();
    if (record == nullptr) return;
    const QString fileName = nameEdit->GetWindowText().trimmed();
    if (fileName.isEmpty()) {
        AfxSCMessageBox("File name can't be empty", MB_OK, nullptr, this);
        if (auto* edit = qobject_cast<CSCEditBox2*>(nameEdit)) edit->Editor()->setFocus(Qt::OtherFocusReason);
        return;
    }
    m_phone = record->phone;
    m_addressLow = record->addressLow;
    m_addressHigh = record->addressHigh;
    m_fileName = fileName;
    m_deviceName = QString::fromStdString(record->phone.name);
    StopOwnSearch();
    done(IDOK);
}
