// The recorder dialog.
#pragma once

#include <QString>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "app/skin_dialog.h"
#include "engine/player.h"
#include "engine/recorder.h"
#include "engine/recording.h"

class CSCPlayMeter2;

// The modal recorder: records from the input device into a temporary take, plays it back,
// shows its length and level, and saves it through the provider's coder. Ends with 6 (saved,
// "import as a track" ticked) or 7 (saved, not ticked), with the saved path available, or
// with 2. The window that runs it gives it the application's engines and makes it their
// client (the settings requests, messages 1054 and 1034) while it runs.
//
// Threads: the recording session's observer calls run on the microphone's worker and the
// playback callback on the player's feeder (its first blocks on the thread that starts
// playback); they touch the take (its own lock), the meter (under m_meterLock) and the length
// (atomic), and queue every window update to the user-interface thread. That thread starts
// and stops the engines and stops them before the take is created, discarded or saved and
// before the controls go.
class CRecorderDlg : public CSkinDialog, public IMicroClient, public IPlayerClient, private IRecordingObserver {
    Q_OBJECT
public:
    // Asks for the file to save: (parent, folder, Qt filter, default suffix) → the path,
    // empty when cancelled.
    using SaveFileDialog =
        std::function<QString(QWidget* parent, const QString& folder, const QString& filter, const QString& suffix)>;
    static constexpr int kSavedAndImport = 6;  // IDYES
    static constexpr int kSavedOnly = 7;       // IDNO

    CRecorderDlg(QWidget* parent, std::string initialFolder);
    ~CRecorderDlg() override;

    // The engines the dialog drives; set before it runs.
    void SetEngines(IMicro* micro, IPlayer* player);
    // Replaces Qt's save dialog (the default).
    void SetSaveFileDialog(SaveFileDialog dialog);
    // The file written by a successful save.
    const QString& SavedPath() const { return m_savedPath; }
    // Escape and closing the window: stop the engines, then end with 2.
    void reject() override;

    // Capture set-up (message 1054): the recording session's, five buffers of 16384 bytes.
    void OnMicroSettingsRequest() override;
    // Playback set-up (message 1034): the take's format with its speaker layout.
    void OnPlayerSettingsRequest() override;

    // The player's data callback; the context is the dialog. A block of capacity 0 (the
    // player letting go) returns 0 without touching the context.
    static uint32_t PlaybackCallback(void* context, _SOUNDDATAEX_* block, uint32_t tag);

    // For inspection.
    bool IsRecording() const { return m_recordState == kMicroRecording; }
    bool IsPlaying() const { return m_playState == kPlayerPlaying; }
    std::string TakePath() const;
    uint32_t RecordLength() const { return m_recordLength.load(); }

protected:
    std::optional<int> OnInitDialog() override;
    void OnDestroy() override;
    bool OnCommand(int commandId, int code) override;

private:
    void ToggleRecord();
    void StartRecording();
    void StopRecording();
    void TogglePlay();
    void StartPlaying();
    void StopPlaying();
    void StopEngines();
    void Save();
    void ReleaseEngineCallbacks();
    void EmbedSettingsPanel();
    void UpdateButtons();
    void ShowLength();
    void SwitchMeter(bool on);
    void FeedMeter(const void* data, uint32_t bytes);
    void ShowError(int stringId);
    // The session's reports, on the microphone's worker.
    void OnTakeAppended(const void* data, uint32_t bytes) override;
    void OnTakeWriteFailed() override;
    void EndRecordingAfterWriteFailure();
    uint32_t OnPlaybackBlock(_SOUNDDATAEX_& block);
    void OnPlaybackEnded(uint32_t run);

    const std::string m_initialFolder;
    IMicro* m_micro = nullptr;
    IPlayer* m_player = nullptr;
    bool m_playerCallbackSet = false;
    SaveFileDialog m_saveFileDialog;
    QString m_savedPath;
    int32_t m_recordState = kMicroStopped;  // recording (0) or stopped (2)
    int32_t m_playState = kPlayerStopped;   // playing (0) or stopped (2)
    std::unique_ptr<RecorderTake> m_take;
    std::unique_ptr<RecordingSession> m_session;  // while the controls exist and a microphone is set
    std::atomic<uint32_t> m_recordLength{0};      // frames of the take
    std::atomic<uint32_t> m_playRun{0};           // numbers playback runs; a late end notice is ignored
    std::mutex m_meterLock;                       // guards m_meter against the engine threads
    CSCPlayMeter2* m_meter = nullptr;             // the PLAYMETER control while the controls exist
};
