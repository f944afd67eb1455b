// The main wizard window.
#pragma once

#include <QPointer>
#include <QSize>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/control_tables.h"
#include "app/skin_dialog.h"
#include "app/waveform_editor.h"
#include "engine/ringtone_preset.h"
#include "engine/saver.h"
#include "engine/track.h"
#include "phonelink/phones.h"

class CAutoPanelCaption;
class CBluetoothDlg;
class CEffectNode;
class CSCMenu;
class CTessalyApp;
class QPoint;
class QUrl;
struct ProgramSettings;

// The main wizard window: three pages (PanelPage1 "Step 1: Add audio files", PanelPage2
// "Step 2: Modify your ringtone", PanelPage3 "Step 3: Save/Send the ringtone") built from
// the skin's MAINFRAME section. Page 1 chooses the tracks (library, computer, recordings,
// audio CD or the recorder); Continue opens them into the waveform editor of page 2, and on
// page 2 renders the marked range for page 3. Ends with 1 (exit confirmed) or 4 (new
// project). Everything here belongs to the user-interface thread; a track slot changes
// under the waveform editor timeline's guard, as the player's feeder thread mixes the tracks.
class CTessalyDlg : public CSkinDialog {
    Q_OBJECT
public:
    // Track source menu entries: My Library, My Computer, My Recording, then CD drives.
    static constexpr int kMenuLibrary = 32871;
    static constexpr int kMenuComputer = 32872;
    static constexpr int kMenuRecording = 32873;
    static constexpr int kMenuFirstCd = 32874;
    static constexpr int kMenuLastCd = 32883;
    static constexpr int kMenuOnlineHelp = 32889;
    static constexpr int kMenuCheckForUpdate = 32890;
    static constexpr int kSystemMenuAbout = 16;

    // Asks for a file: (parent, initial folder, Qt filter) → the chosen existing file, or
    // empty when cancelled. Qt's open dialog by default.
    using OpenFileDialog = std::function<QString(QWidget* parent, const QString& folder, const QString& filter)>;
    // Chooses one track of an audio CD: (parent, drive, its track names) → the chosen
    // name, or empty when cancelled. A list dialog by default.
    using CdTrackDialog = std::function<QString(QWidget* parent, const QString& drive, const QStringList& tracks)>;

    CTessalyDlg(CTessalyApp& app, QWidget* parent = nullptr);
    ~CTessalyDlg() override;

    void SetOpenFileDialog(OpenFileDialog dialog);
    void SetCdTrackDialog(CdTrackDialog dialog);

    // Page index 0, 1 or 2.
    int Page() const { return m_page; }
    bool LaidOut() const { return m_laidOut; }
    TrackSlot& Track(int number) { return number == 2 ? m_track2 : m_track1; }
    const QString& RecordingsFolderPath() const { return m_recordingsFolder; }
    const std::vector<std::string>& CdDrives() const { return m_cdDrives; }
    CWaveFormKel* WaveEditor() { return Control<CWaveFormKel>(IDC_PAGE2_WAVE); }

    // Next and previous page with their checks (the Continue and Go back buttons).
    void OnContinue();
    void OnGoBack();
    // The track source menu for a track slot: fills the menu, then opens the chosen entry.
    void ShowTrackSourceMenu(int target);
    // Fills the track source menu (the three folders and the CD drives found).
    void BuildTrackSourceMenu(CSCMenu& menu);
    // Opens a file for the browse target from a track source menu entry.
    void OpenTrackSource(int target, int menuId);
    // Closing the window asks whether to exit; Escape does the same.
    void reject() override;

    // ---- files chosen for page 1 (main_window_tracks.cpp, main_window_drop.cpp)
    // Puts a chosen file into a track slot and its edit when the quick check accepts it;
    // otherwise shows why and leaves the slot alone. True when the file was taken.
    bool ChooseTrackFile(int number, const QString& path);
    // Files named on the command line: the first into track 1, a second into track 2.
    void OpenStartFiles(const QStringList& paths);
    // Files dropped on page 1: onto a track's box (target 1 or 2) the first file fills that
    // track and a second the other; elsewhere (target 0) the first fills track 1 and a
    // second track 2. Files after the second are left out.
    void TakeDroppedFiles(const QStringList& paths, int target);
    // The track (1 or 2) whose box, its edit and browse button, holds the window point; 0
    // for none.
    int TrackBoxAt(const QPoint& windowPoint);
    // The problem shown on a track edit whose typed file was refused; empty when none.
    QString TrackEditProblem(int number) const;

protected:
    std::optional<int> OnInitDialog() override;
    void OnSkinLoaded() override;
    bool OnCommand(int commandId, int code) override;
    void OnDestroy() override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // ---- frame and pages (main_window.cpp)
    void InitControls(const ProgramSettings& settings);
    void LayoutPage();
    void ShowPage(int page);
    void SetCaption(int commandId, const QString& text);
    template <class T>
    std::vector<T*> Instances(int commandId) const;
    void TakeTrackEdits();
    bool OpenTracks();
    bool RenderRingtone();
    void FitEditorToTracks();
    QString SearchText() const;
    void CopySearchText();
    void Search();
    void ShowHelpMenu();
    void OpenAddress(const QUrl& address);
    // ---- keyboard (main_window_keys.cpp)
    void InstallPage2Keys();
    // Home and End: the play cursor to the selection's start or end (without a selection,
    // the start or end of the audio).
    void MovePlayCursor(bool toEnd);
    void MovePlayCursorToStart();
    void MovePlayCursorToEnd();
    // Whether the focused control shows its focus ring (the user works with the keyboard).
    bool FocusRingShowing() const;
    // After a page change the focus goes to the new page's button that leads on.
    void FocusPageStart(bool showRing);
    // ---- the window's size between runs (main_window_size.cpp)
    // The size of the last run ("Window": Width, Height, Maximized), held between the least
    // size and the screen; the least size when none is stored.
    void RestoreWindowSize(const QSize& least);
    void StoreWindowSize() const;
    // ---- page 1 track sources (main_window_tracks.cpp)
    void SetTrackPath(int number, const QString& path);
    void RefreshTrackEdits();
    void Record();
    // A typed track file, on the edit's commit: checked at once, the edit flagged if refused.
    void CheckTypedTrack(int number);
    void FlagTrackEdit(int number, const QString& problem);
    // Lets page 1 take dropped files, also over its text fields (each run of the window).
    void SetUpFileDrops();

    CTessalyApp& m_app;
    int m_page = 0;
    QPointer<CAutoPanelCaption> m_pages[3];
    TrackSlot m_track1;
    TrackSlot m_track2;
    int m_browseTarget = 1;
    std::vector<std::string> m_cdDrives;
    QString m_recordingsFolder;
    RingtoneSaver m_saver;
    bool m_tracksChanged = false;
    TrackSlot* m_shownTracks[2] = {nullptr, nullptr};  // what the waveform editor was given
    bool m_laidOut = false;                            // the skin laid the controls out at initialisation
    OpenFileDialog m_openFileDialog;
    CdTrackDialog m_cdTrackDialog;
    QPointer<QObject> m_fileDrops;  // the drop filter on the window and its text fields
    QString m_trackEditProblems[2];

    // ---- page 3: output settings, destination, save and send (main_page3*.cpp)
public:
    // Destination menu entries.
    static constexpr int kMenuDestinationComputer = 32885;
    static constexpr int kMenuDestinationBluetooth = 32886;
    enum DestinationKind : int { kDestinationNone = 0, kDestinationComputer = 1, kDestinationBluetooth = 2 };
    struct Destination {
        int kind = kDestinationNone;
        QString deviceName;
        QString fileName;  // without extension
        QString folder;    // ends in a folder separator
        uint64_t deviceAddress = 0;
        Phone phone;  // the phone chosen in the send dialog, of any way
    };
    // Asks where to save: (parent, initial path, Qt filter, default suffix without its dot,
    // whether to confirm overwriting) → the chosen path, or empty when cancelled. Qt's save
    // dialog by default.
    using SaveFileDialog = std::function<QString(QWidget* parent, const QString& initialPath, const QString& filter,
                                                 const QString& suffix, bool confirmOverwrite)>;
    // Runs the send-to-phone dialog modally to choose a phone; its result. exec() by default.
    using BluetoothRun = std::function<int(CBluetoothDlg& dialog)>;
    // Shows the folder of a saved file in the file manager.
    using ShowFolder = std::function<void(const QString& filePath)>;
    void SetSaveFileDialog(SaveFileDialog dialog);
    void SetBluetoothRun(BluetoothRun run);
    void SetShowFolder(ShowFolder show);

    const Destination& GetDestination() const { return m_destination; }
    const RingtoneSaver& Saver() const { return m_saver; }
    // The extension of the chosen format with its dot; empty when there is none.
    QString OutputExtension() const;
    // Re-reads the lists into the output settings and shows the page's texts and state.
    void RefreshPage3();
    // The destination menu's entries.
    void ChooseComputerDestination();
    void ChooseBluetoothDestination();
    // PAGE3_SEND: encodes the ringtone, then saves it to the computer or sends it to the
    // device. Shows its own messages.
    void SaveOrSend();
    // PAGE3_RESET: Stereo, the first format, 128 kbps, no normalising, no limiter, "Any
    // player" in the "For:" list.
    void ResetPage3();
    // PAGE3_PRESET: sets the lists and the level to what the preset asks for.
    void ApplyPreset(RingtonePreset preset);
    // PAGE3_SHORTEN: cuts the range to the preset's limit (start kept, fade-out on) and
    // renders it again.
    void ShortenToLimit();
    // PAGE3_USE_LIMITER: the true-peak limiter runs on every save from now on.
    void UseLimiter();
    // PAGE3_CREATE_ANOTHER: asks, then ends the window with the new-project result.
    void CreateAnother();

private:
    bool OnPage3Command(int commandId, int code);
    // The lists are filled the first time page 2 is left forwards.
    void FillPage3Lists();
    // After a new rendering: no destination, fresh texts.
    void EnterPage3();
    void StorePage3Settings();
    void FollowNormalizeList();
    void FollowTitleEdit();
    const PresetSettings& ChosenPreset();
    // The over-limit and clipping warnings with their buttons, shown only when they apply.
    void ShowWarnings();
    QString LoudnessText() const;
    void ShowDestinationMenu();
    void SaveToComputer();
    void SendToDevice();
    QString DestinationText() const;
    QString InfoText() const;

    LoudnessTargets m_loudnessTargets;
    bool m_page3ListsFilled = false;
    bool m_outputValid = false;
    Destination m_destination;
    SaveFileDialog m_saveFileDialog;
    BluetoothRun m_bluetoothRun;
    ShowFolder m_showFolder;

    // ---- page 2 (main_page2_times.cpp, main_page2_controls.cpp, main_page2_effects.cpp)
public:
    // Shows a popup menu and returns the chosen command id, 0 for none. The skinned menu
    // under its button (CSCMenu::PopupAnchor) by default.
    using PopupChooser = std::function<int(CSCMenu& menu)>;
    void SetPopupChooser(PopupChooser chooser);
    // The node an effect slot holds (by its settings button id); null when empty.
    CEffectNode* EffectSlot(int settingsId) const;
    // The settings window open for an effect slot; null when none.
    QWidget* EffectSettingsWindow() const { return m_effectSettings; }
    // Milliseconds of the page's time boxes from their text, read from the right: "SS",
    // "MM:SS" or "HH:MM:SS", each with an optional decimal fraction of a second (digits past
    // milliseconds are dropped); empty when the text does not match the time pattern.
    static std::optional<int64_t> ParseTimeText(const QString& text);
    static QString FormatTime(int64_t ms);
    // Change notification of a plug-in's settings window (command id 0, code 0x400).
    Q_INVOKABLE void onCommand(int id, int code);

private:
    bool OnPage2Command(int commandId, int code);
    uint32_t TimeRate() const;
    void ShowTimes();
    // Applies the three boxes after a commit in one of them; a refused or changed entry is
    // explained in that box's tooltip.
    void ApplyTypedTimes(int committedId);
    void RefuseTypedTimes(int committedId, const QString& reason);
    void ShowTimeProblem(int commandId, const QString& reason);
    void ClearTimeProblem();
    int64_t FramesOfMs(int64_t ms) const;
    // Both ends are held within the audio (the end of the last track).
    void SetSelectionMs(int64_t startMs, int64_t endMs);
    void NudgeTime(int commandId);
    void TogglePlay();
    void OnPlaybackEnded();
    void SetRepeat();
    void SetFade(int commandId);
    void OnVolumeSlider();
    void ZoomIn();
    void ZoomOut();
    void ZoomFit();
    void ShowZoomMenu();
    void ApplyZoom(uint32_t zoom);
    void BuildSingleEffectsMenu();
    void ChooseSlotEffect(int settingsId);
    void ToggleSlotEffect(int checkId);
    void RefreshEffectSlots();
    void OpenEffectSettings(CEffectNode& node);
    // Opens the menu under the shown instance of the button `anchorId`.
    int ChoosePopup(CSCMenu& menu, int anchorId);

    PopupChooser m_popupChooser;
    std::map<int, CEffectNode*> m_effectSlots;  // settings button id → node, in id order
    std::unique_ptr<CSCMenu> m_singleEffectsMenu;
    bool m_singleEffectsMenuBuilt = false;
    QPointer<QWidget> m_effectSettings;
    CEffectNode* m_effectSettingsNode = nullptr;
};
