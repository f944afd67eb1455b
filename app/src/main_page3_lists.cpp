// CTessalyDlg, page 3: the output lists ("For:", format, channels, quality, normalize), the
// title, the overwrite box, the stored output settings and the page's texts.
#include "app/main_window.h"

#include <algorithm>
#include <array>

#include "app/settings.h"
#include "engine/saver.h"
#include "skin/buttons.h"
#include "skin/control_records.h"
#include "skin/lists.h"
#include "skin/skin_base.h"

namespace {

struct ListRow {
    const char* text;
    intptr_t data;
};
constexpr std::array<ListRow, 2> kChannelRows = {{{"Mono", 1}, {"Stereo", 2}}};
constexpr std::array<ListRow, 3> kBitrateRows = {{{"64 kbps", 64}, {"128 kbps", 128}, {"256 kbps", 256}}};
constexpr std::array<ListRow, 3> kNormalizeRows = {{{"Off", static_cast<intptr_t>(NormalizeMode::Off)},
                                                    {"Peak", static_cast<intptr_t>(NormalizeMode::Peak)},
                                                    {"Loudness", static_cast<intptr_t>(NormalizeMode::Loudness)}}};
// The rows Reset selects: Stereo, the first format, 128 kbps.
constexpr int kDefaultChannelsRow = 1;
constexpr int kDefaultFormatRow = 0;
constexpr int kDefaultBitrateRow = 1;

const char kInfoHtml[] =
    "File format: <b>%1</b><font size=\"-4\"><br><br></font>Length: <b>%2</b><font size=\"-4\"><br><br></font>"
    "Approximated file size: <b>%3</b>";

// The selected row's item data, 0 when nothing is selected.
intptr_t SelectedData(const CSCComboBox* list) {
    if (list == nullptr || list->GetCurSel() < 0) return 0;
    return list->GetItemData(list->GetCurSel());
}

int SelectedRow(const CSCComboBox* list) { return list ? list->GetCurSel() : -1; }

// The row whose item data is data, -1 when none has it.
int RowOfData(const CSCComboBox* list, intptr_t data) {
    for (int row = 0; list != nullptr && row < list->GetCount(); ++row)
        if (list->GetItemData(row) == data) return row;
    return -1;
}

// Selects the row, or row 0 when it does not exist.
void SelectRow(CSCComboBox* list, int row) {
    if (list == nullptr) return;
    list->SetCurSel(row >= 0 && row < list->GetCount() ? row : 0);
}

}  // namespace

void CTessalyDlg::FillPage3Lists() {
    if (m_page3ListsFilled) return;
    m_page3ListsFilled = true;
    auto* format = Control<CSCComboBox>(IDC_PAGE3_FORMAT);
    auto* channels = Control<CSCComboBox>(IDC_PAGE3_CHANNELS);
    auto* bitrate = Control<CSCComboBox>(IDC_PAGE3_BITRATE);
    auto* preset = Control<CSCComboBox>(IDC_PAGE3_PRESET);
    auto* normalize = Control<CSCComboBox>(IDC_PAGE3_NORMALIZE);
    const RingtoneSaver::EncoderList& encoders = RingtoneSaver::Encoders();
    if (encoders.empty()) {
        for (CSCComboBox* list : {format, channels, bitrate, preset, normalize})
            if (list) list->setEnabled(false);
        return;
    }
    const ProgramSettings settings = ReadProgramSettings();
    if (preset) {
        for (const PresetSettings& row : kPresets)
            preset->SetItemData(preset->AddString(row.caption), static_cast<intptr_t>(row.preset));
        SelectRow(preset, settings.preset);
    }
    if (normalize) {
        for (const ListRow& row : kNormalizeRows) normalize->SetItemData(normalize->AddString(row.text), row.data);
        SelectRow(normalize, RowOfData(normalize, static_cast<intptr_t>(m_saver.normalizeMode)));
    }
    if (format) {
        intptr_t position = 0;
        for (const auto& [tag, name] : encoders)
            format->SetItemData(format->AddString(QString::fromStdString(name)), position++);
        SelectRow(format, settings.formatIndex);
    }
    if (channels) {
        for (const ListRow& row : kChannelRows) channels->SetItemData(channels->AddString(row.text), row.data);
        SelectRow(channels, settings.channels);
    }
    if (bitrate) {
        for (const ListRow& row : kBitrateRows) bitrate->SetItemData(bitrate->AddString(row.text), row.data);
        SelectRow(bitrate, settings.bitrate);
    }
}

void CTessalyDlg::EnterPage3() {
    m_destination = Destination{};
    SetCaption(IDC_PAGE3_TITLE, QString::fromStdString(m_saver.Title()));
    RefreshPage3();
}

QString CTessalyDlg::OutputExtension() const {
    if (!m_outputValid) return {};
    return QString::fromStdString(RingtoneSaver::EncoderExtension(m_saver.EncoderTag()));
}

void CTessalyDlg::RefreshPage3() {
    const auto format = SelectedData(Control<CSCComboBox>(IDC_PAGE3_FORMAT));
    const auto channels = SelectedData(Control<CSCComboBox>(IDC_PAGE3_CHANNELS));
    const auto bitrate = SelectedData(Control<CSCComboBox>(IDC_PAGE3_BITRATE));
    m_outputValid =
        m_page3ListsFilled && !RingtoneSaver::Encoders().empty() &&
        m_saver.SetOutput(static_cast<size_t>(format), static_cast<uint32_t>(channels), static_cast<uint32_t>(bitrate));
    for (CSkinBase* quality : Instances<CSkinBase>(IDC_PAGE3_BITRATE))
        quality->setEnabled(m_outputValid && !RingtoneSaver::IsLossless(m_saver.EncoderTag()));
    SetCaption(IDC_PAGE3_INFO, InfoText());
    SetCaption(IDC_PAGE3_LOUDNESS, LoudnessText());
    SetCaption(IDC_PAGE3_PATH, DestinationText());
    ShowWarnings();
    for (CSkinBase* send : Instances<CSkinBase>(IDC_PAGE3_SEND))
        send->setEnabled(m_destination.kind != kDestinationNone && m_outputValid);
}

QString CTessalyDlg::InfoText() const {
    const SaveEstimate estimate = m_saver.Estimate();
    return QString::fromUtf8(kInfoHtml).arg(OutputExtension().mid(1).toUpper(),
                                            QString::fromStdString(estimate.lengthText),
                                            QString::fromStdString(estimate.sizeText));
}

QString CTessalyDlg::DestinationText() const {
    const QString file = m_destination.fileName + OutputExtension();
    switch (m_destination.kind) {
        case kDestinationComputer: return QStringLiteral("My Computer: ") + m_destination.folder + file;
        case kDestinationBluetooth: return m_destination.deviceName + QStringLiteral(": ") + file;
        default: return {};
    }
}

void CTessalyDlg::StorePage3Settings() {
    WriteProfileInt("Save", "Channels", SelectedRow(Control<CSCComboBox>(IDC_PAGE3_CHANNELS)));
    WriteProfileInt("Save", "FormatIndex", SelectedRow(Control<CSCComboBox>(IDC_PAGE3_FORMAT)));
    WriteProfileInt("Save", "Bitrate", SelectedRow(Control<CSCComboBox>(IDC_PAGE3_BITRATE)));
    WriteProfileInt("Save", "Normalize", static_cast<int>(m_saver.normalizeMode));
    WriteProfileInt("Save", "Preset", std::max(0, SelectedRow(Control<CSCComboBox>(IDC_PAGE3_PRESET))));
    WriteProfileInt("Save", "Limiter", m_saver.limiter ? 1 : 0);
}

void CTessalyDlg::FollowNormalizeList() {
    if (const auto* list = Control<CSCComboBox>(IDC_PAGE3_NORMALIZE); list && list->GetCurSel() >= 0)
        m_saver.SetNormalizeMode(NormalizeModeFromProfile(static_cast<int>(SelectedData(list))));
    StorePage3Settings();
}

void CTessalyDlg::FollowTitleEdit() {
    const CSkinBase* edit = m_skin.GetControl(IDC_PAGE3_TITLE);
    if (edit == nullptr) return;
    // The track's own title is no override: it follows the track.
    const std::string text = edit->GetWindowText().toStdString();
    m_saver.SetTitle(std::nullopt);
    if (text != m_saver.Title()) m_saver.SetTitle(text);
}

const PresetSettings& CTessalyDlg::ChosenPreset() {
    return PresetFor(static_cast<RingtonePreset>(SelectedData(Control<CSCComboBox>(IDC_PAGE3_PRESET))));
}

void CTessalyDlg::ApplyPreset(RingtonePreset preset) {
    const PresetSettings& chosen = PresetFor(preset);
    SelectRow(Control<CSCComboBox>(IDC_PAGE3_PRESET), static_cast<int>(preset));
    intptr_t position = 0;
    for (const auto& [tag, name] : RingtoneSaver::Encoders()) {
        if (tag == chosen.encoderTag) SelectRow(Control<CSCComboBox>(IDC_PAGE3_FORMAT), static_cast<int>(position));
        ++position;
    }
    auto* channels = Control<CSCComboBox>(IDC_PAGE3_CHANNELS);
    SelectRow(channels, RowOfData(channels, chosen.channels));
    auto* bitrate = Control<CSCComboBox>(IDC_PAGE3_BITRATE);
    SelectRow(bitrate, RowOfData(bitrate, chosen.kbps));
    auto* normalize = Control<CSCComboBox>(IDC_PAGE3_NORMALIZE);
    SelectRow(normalize, RowOfData(normalize, static_cast<intptr_t>(chosen.normalize)));
    m_saver.SetLoudnessTarget(m_loudnessTargets.For(chosen.kind));
    FollowNormalizeList();
    RefreshPage3();
}

void CTessalyDlg::ResetPage3() {
    if (!RingtoneSaver::Encoders().empty()) {
        SelectRow(Control<CSCComboBox>(IDC_PAGE3_CHANNELS), kDefaultChannelsRow);
        SelectRow(Control<CSCComboBox>(IDC_PAGE3_FORMAT), kDefaultFormatRow);
        SelectRow(Control<CSCComboBox>(IDC_PAGE3_BITRATE), kDefaultBitrateRow);
    }
    SelectRow(Control<CSCComboBox>(IDC_PAGE3_PRESET), static_cast<int>(RingtonePreset::AnyPlayer));
    SelectRow(Control<CSCComboBox>(IDC_PAGE3_NORMALIZE), static_cast<int>(NormalizeMode::Off));
    m_saver.SetLimiter(false);
    m_saver.SetLoudnessTarget(m_loudnessTargets.For(ToneKind::Ringtone));
    FollowNormalizeList();
    RefreshPage3();
}

bool CTessalyDlg::OnPage3Command(int commandId, int code) {
    switch (commandId) {
        case IDC_PAGE3_FORMAT:
        case IDC_PAGE3_CHANNELS:
        case IDC_PAGE3_BITRATE:
            if (code == SCN_SELCHANGE) {
                StorePage3Settings();
                RefreshPage3();
            }
            return true;
        case IDC_PAGE3_NORMALIZE:
            if (code == SCN_SELCHANGE) {
                FollowNormalizeList();
                RefreshPage3();
            }
            return true;
        case IDC_PAGE3_PRESET:
            if (code == SCN_SELCHANGE) ApplyPreset(ChosenPreset().preset);
            return true;
        case IDC_PAGE3_TITLE:
            if (code == SCN_CHANGE) FollowTitleEdit();
            return true;
        case IDC_PAGE3_USE_LIMITER:
            if (code == SCN_CLICKED) UseLimiter();
            return true;
        case IDC_PAGE3_SHORTEN:
            if (code == SCN_CLICKED) ShortenToLimit();
            return true;
        case IDC_PAGE3_OVERWRITE:
            if (code == SCN_CLICKED) {
                if (const CSCButton* box = Control<CSCButton>(IDC_PAGE3_OVERWRITE))
                    m_saver.overwrite = box->GetCheck() != 0;
                WriteProfileInt("Save", "Overwrite", m_saver.overwrite ? 1 : 0);
            }
            return true;
        case IDC_PAGE3_RESET:
            if (code == SCN_CLICKED) ResetPage3();
            return true;
        case IDC_PAGE3_BROWSE:
            if (code == SCN_CLICKED) ShowDestinationMenu();
            return true;
        case IDC_PAGE3_SEND:
            if (code == SCN_CLICKED) SaveOrSend();
            return true;
        case IDC_PAGE3_CREATE_ANOTHER:
            if (code == SCN_CLICKED) CreateAnother();
            return true;
        default: return false;
    }
}
