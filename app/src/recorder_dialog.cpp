// CRecorderDlg: the window side (set-up, commands, buttons, length, save and cancel).
#include "app/recorder_dialog.h"

#include <QVariant>

#include "app/control_tables.h"
#include "app/resources.h"
#include "app/src/recorder_save.h"
#include "audiosvc/audiosvc.h"
#include "contracts/provider_api.h"
#include "engine/player.h"
#include "engine/recorder.h"
#include "engine/recording.h"
#include "platform/texts.h"
#include "skin/buttons.h"
#include "skin/meters.h"
#include "skin/skin_base.h"

namespace {

// Tooltips of the provider's settings controls, by the control id the provider's panel gives
// each of its controls as the "controlId" property. Qt shows tooltips itself, so nothing is
// relayed to tooltip windows.
struct SettingsTooltip {
    int controlId;
    const char* text;
};
constexpr SettingsTooltip kSettingsTooltips[] = {
    {800, "Select codec to be used"}, {801, "Select sample rate"},        {803, "Select output quality"},
    {806, "Select channel"},          {810, "Select output file format"},
};

}  // namespace

CRecorderDlg::CRecorderDlg(QWidget* parent, std::string initialFolder)
    : CSkinDialog(parent, kRecorderControls, "RECORDER"),
      m_initialFolder(std::move(initialFolder)),
      m_saveFileDialog(RunSaveFileDialog),
      m_take(std::make_unique<RecorderTake>()) {}

CRecorderDlg::~CRecorderDlg() {
    // The take's file goes with m_take, after the engines have let go of it.
    StopEngines();
}

void CRecorderDlg::SetEngines(IMicro* micro, IPlayer* player) {
    m_micro = micro;
    m_player = player;
}

void CRecorderDlg::SetSaveFileDialog(SaveFileDialog dialog) { m_saveFileDialog = std::move(dialog); }

std::string CRecorderDlg::TakePath() const { return m_take->Path(); }

std::optional<int> CRecorderDlg::OnInitDialog() {
    if (const std::optional<int> ended = CSkinDialog::OnInitDialog()) return ended;
    {
        std::lock_guard lock(m_meterLock);
        m_meter = Control<CSCPlayMeter2>(IDC_REC_PLAYMETER);
    }
    if (auto* create = Control<CSCButton>(IDC_REC_CREATE_RINGTONE)) create->SetCheck(1);
    if (m_meter != nullptr) m_meter->SetFormat(RecordingSession::Format().Format);
    if (m_micro != nullptr)
        m_session = std::make_unique<RecordingSession>(*m_micro, *m_take, static_cast<IRecordingObserver*>(this));
    SwitchMeter(true);
    UpdateButtons();
    ShowLength();
    EmbedSettingsPanel();
    return std::nullopt;
}

void CRecorderDlg::OnDestroy() {
    StopEngines();
    ReleaseEngineCallbacks();
    {
        std::lock_guard lock(m_meterLock);
        m_meter = nullptr;
    }
    CSkinDialog::OnDestroy();
}

void CRecorderDlg::EmbedSettingsPanel() {
    // The static is made anew for each run, so a panel of an earlier run went with it.
    CSkinBase* holder = m_skin.GetControl(IDC_REC_SOUND_SETTINGS);
    if (holder == nullptr) return;
    QWidget* panel = QoCoderShowSettings(0, holder, 1);
    if (panel == nullptr) {
        // Without the provider's panel the place says what a save will write.
        holder->SetWindowText(RecorderOutputText(RecorderSaveExtension()));
        return;
    }
    holder->SetWindowText({});
    for (QWidget* child : panel->findChildren<QWidget*>()) {
        const QVariant id = child->property("controlId");
        for (const SettingsTooltip& tooltip : kSettingsTooltips)
            if (id.isValid() && id.toInt() == tooltip.controlId) child->setToolTip(QString::fromUtf8(tooltip.text));
    }
    holder->resize(panel->size());
}

bool CRecorderDlg::OnCommand(int commandId, int) {
    switch (commandId) {
        case IDC_REC_RECORD: ToggleRecord(); return true;
        case IDC_REC_PLAY: TogglePlay(); return true;
        case IDC_REC_SAVE: Save(); return true;
        case IDC_REC_CANCEL:
        case IDC_REC_CLOSE: reject(); return true;
        default: return false;
    }
}

void CRecorderDlg::reject() {
    StopEngines();
    CSkinDialog::reject();
}

void CRecorderDlg::UpdateButtons() {
    const bool recording = IsRecording();
    const bool playing = IsPlaying();
    const bool haveTake = m_take->Exists();
    if (auto* record = Control<CSCButton>(IDC_REC_RECORD)) {
        record->setEnabled(!playing);
        record->SetCheck(recording ? 1 : 0);
    }
    if (auto* play = Control<CSCButton>(IDC_REC_PLAY)) {
        play->setEnabled(!recording && haveTake);
        play->SetCheck(playing ? 1 : 0);
    }
    if (CSkinBase* save = m_skin.GetControl(IDC_REC_SAVE)) save->setEnabled(haveTake);
}

void CRecorderDlg::ShowLength() {
    CSkinBase* text = m_skin.GetControl(IDC_REC_RECORD_TIME);
    if (text == nullptr) return;
    const uint32_t frames = m_recordLength.load();
    if (!IsRecording() && frames == 0) {
        text->SetWindowText({});
        return;
    }
    const uint32_t seconds = frames / RecordingSession::Format().Format.nSamplesPerSec;
    text->SetWindowText(QStringLiteral("Record length: %1").arg(QString::fromStdString(TimeText(seconds))));
}

void CRecorderDlg::SwitchMeter(bool on) {
    if (m_meter != nullptr) m_meter->SetOn(on);
}

void CRecorderDlg::ShowError(int stringId) {
    AfxSCMessageBox(LoadString(stringId).toUtf8().constData(), MB_OK | MB_ICONERROR, nullptr, this);
}

void CRecorderDlg::Save() {
    StopEngines();
    if (!m_take->Exists()) return;
    const std::string extension = RecorderSaveExtension();
    const QString filter = QtFileDialogFilter(RecorderSaveFilter(extension));
    const QString path = m_saveFileDialog(this, QString::fromStdString(m_initialFolder), filter,
                                          QString::fromStdString(extension.substr(1)));
    if (path.isEmpty()) return;
    // Qt's save dialog has asked before a file is replaced.
    if (!EncodeTake(*m_take, path.toStdString(), RecordingSession::Format(), true)) {
        ShowError(IDS_CANT_CREATE_FILE);
        return;
    }
    m_savedPath = path;
    const auto* create = Control<CSCButton>(IDC_REC_CREATE_RINGTONE);
    done(create != nullptr && create->GetCheck() ? kSavedAndImport : kSavedOnly);
}
