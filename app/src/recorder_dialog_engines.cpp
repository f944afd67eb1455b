// CRecorderDlg: the engine side (recording and playback of the take, the engines' set-up
// requests and data callbacks).
#include "app/recorder_dialog.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "app/resources.h"
#include "app/src/recorder_format.h"
#include "audiosvc/audiosvc.h"
#include "contracts/sound_data.h"
#include "contracts/wave_format.h"
#include "engine/player.h"
#include "engine/recorder.h"
#include "engine/recording.h"
#include "skin/meters.h"

// ---- user-interface thread ----------------------------------------------------------------

void CRecorderDlg::ToggleRecord() {
    if (IsRecording())
        StopRecording();
    else
        StartRecording();
}

void CRecorderDlg::StartRecording() {
    if (IsPlaying()) StopPlaying();  // the buttons rule it out; the take must not be read meanwhile
    m_take->Discard();
    m_recordLength = 0;
    ShowLength();
    if (!m_take->Create()) {
        UpdateButtons();
        ShowError(IDS_CANT_CREATE_TEMP_FILE);
        return;
    }
    if (m_session != nullptr && m_session->Start()) {
        m_recordState = kMicroRecording;
        UpdateButtons();
        ShowLength();
        SwitchMeter(true);
        return;
    }
    m_take->Discard();
    UpdateButtons();
    ShowError(IDS_CANT_CAPTURE_INPUT);
}

void CRecorderDlg::StopRecording() {
    // Stop returns once the worker has delivered its last buffer: no append follows.
    m_session->Stop();
    m_recordState = kMicroStopped;
    UpdateButtons();
    ShowLength();
    SwitchMeter(false);
}

void CRecorderDlg::TogglePlay() {
    if (IsPlaying())
        StopPlaying();
    else
        StartPlaying();
}

void CRecorderDlg::StartPlaying() {
    if (IsRecording() || !m_take->Exists() || m_player == nullptr) {
        ShowError(IDS_CANT_START_PLAYING);
        return;
    }
    m_take->Rewind();
    m_player->Stop();
    ++m_playRun;  // before the start, so that this run's end notice carries its number
    if (m_player->RequestSettings() && m_player->Start()) {
        m_playState = kPlayerPlaying;
        UpdateButtons();
        SwitchMeter(true);
        return;
    }
    m_player->Close();
    UpdateButtons();
    ShowError(IDS_CANT_START_PLAYING);
}

void CRecorderDlg::StopPlaying() {
    // Stop returns once the feeder has ended: no read follows.
    m_player->Stop();
    m_player->Close();
    ++m_playRun;
    m_playState = kPlayerStopped;
    UpdateButtons();
    SwitchMeter(false);
}

void CRecorderDlg::StopEngines() {
    if (IsRecording()) StopRecording();
    if (IsPlaying()) StopPlaying();
}

void CRecorderDlg::ReleaseEngineCallbacks() {
    // The engines outlive the dialog: they must not keep it (or its session) as their
    // callbacks' context. The session lets go of the microphone as it goes.
    m_session.reset();
    if (m_playerCallbackSet) m_player->SetDataCallback(nullptr, nullptr);
    m_playerCallbackSet = false;
}

void CRecorderDlg::OnMicroSettingsRequest() {
    if (m_session != nullptr) m_session->OnMicroSettingsRequest();
}

void CRecorderDlg::OnPlayerSettingsRequest() {
    if (m_player == nullptr) return;
    m_player->SetFormat(PlaybackFormat(RecordingSession::Format()));
    m_player->SetBufferCount(RecordingSession::kBufferCount);
    m_player->SetBufferSize(RecordingSession::kBufferBytes);
    m_playerCallbackSet = m_player->SetDataCallback(&CRecorderDlg::PlaybackCallback, this) != 0;
}

void CRecorderDlg::EndRecordingAfterWriteFailure() {
    // The take keeps what was written before the failure; the recording ends there.
    if (IsRecording()) StopRecording();
    ShowError(IDS_CANT_CREATE_TEMP_FILE);
}

void CRecorderDlg::OnPlaybackEnded(uint32_t run) {
    if (run != m_playRun.load() || !IsPlaying()) return;  // an earlier run's notice
    StopPlaying();
}

// ---- engine threads -------------------------------------------------------------------------

void CRecorderDlg::OnTakeAppended(const void* data, uint32_t bytes) {
    FeedMeter(data, bytes);
    const uint64_t frames = m_take->Size() / RecordingSession::Format().Format.nBlockAlign;
    m_recordLength = static_cast<uint32_t>(std::min<uint64_t>(frames, UINT32_MAX));
    QMetaObject::invokeMethod(
        this, [this] { ShowLength(); }, Qt::QueuedConnection);
}

void CRecorderDlg::OnTakeWriteFailed() {
    QMetaObject::invokeMethod(
        this, [this] { EndRecordingAfterWriteFailure(); }, Qt::QueuedConnection);
}

uint32_t CRecorderDlg::PlaybackCallback(void* context, _SOUNDDATAEX_* block, uint32_t) {
    if (block == nullptr || block->capacity == 0) return 0;  // the player lets go
    auto& dialog = *static_cast<CRecorderDlg*>(context);
    if (block->capacity == 1) {
        // The end notice: the take has played out (or the device went away). Only posts,
        // since the user-interface thread may be waiting for this one in Stop.
        const uint32_t run = dialog.m_playRun.load();
        QMetaObject::invokeMethod(
            &dialog, [&dialog, run] { dialog.OnPlaybackEnded(run); }, Qt::QueuedConnection);
        return 0;
    }
    return dialog.OnPlaybackBlock(*block);
}

uint32_t CRecorderDlg::OnPlaybackBlock(_SOUNDDATAEX_& block) {
    const WAVEFORMATEX& format = RecordingSession::Format().Format;
    std::vector<uint8_t> bytes(size_t{block.capacity} * format.nBlockAlign);
    const std::optional<uint32_t> read = m_take->Read(bytes.data(), static_cast<uint32_t>(bytes.size()));
    block.frames = 0;
    if (!read || *read == 0) return 0;  // the end of the take (or a read error) ends the data
    const uint32_t frames = MME2SD(bytes.data(), 0, *read, &block, &format, -1);
    FeedMeter(bytes.data(), *read);
    return frames;
}

void CRecorderDlg::FeedMeter(const void* data, uint32_t bytes) {
    std::lock_guard lock(m_meterLock);
    if (m_meter != nullptr) m_meter->AddData(data, bytes);
}
