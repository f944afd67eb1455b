// The Morvane program's user interface library (morvane_ui): the skin layout holder that
// builds every window from its section of the skin, the list of installed skins, the
// program's string resources and settings profile, the progress, message, notify and about
// dialogs, and the computer information text.
//
// Threads: everything here runs on the user-interface thread, except the worker side of
// CProgressDlg (IProgress), SkinnedMessageBox, which hands a message from another thread
// to the user-interface thread, and the Bluetooth callbacks of CBluetoothDlg.
#pragma once

#include <QEvent>
#include <QIcon>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <cstdint>
#include <cstdio>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "btlink/btlink.h"
#include "effecttree/effecttree.h"
#include "engine/engine.h"
#include "skin/skin.h"

class enXml;

// =========================================================================================
// Program files, settings and texts
// =========================================================================================

// The application's name: the last component of the settings path, and the caption of a
// message that names none.
inline constexpr char kApplicationName[] = "Qo Morvane 1.0";
// The program's settings key under HKEY_CURRENT_USER; its sections are subkeys.
inline constexpr char kSettingsKey[] = "SOFTWARE\\Zo Ruvo\\Qo Morvane\\Qo Morvane 1.0";
// The settings section of the one-time hints (entry: the hint dialog's section name).
inline constexpr char kNotifiedSection[] = "Notified";
// The maker's web addresses.
inline constexpr char kMakerHomePage[] = "https://www.zoruvo.example/";
inline constexpr char kRingtoneSite[] = "https://ringtones.zoruvo.example/";
// The program's version as the about box shows it.
inline constexpr char kProgramVersion[] = "1.0.12";

// A file beside the program: an absolute path is used as it is; any other is taken relative
// to the program's folder, or to ../share/morvane beside it (the installed data) when only
// that one has it. Backslashes count as folder separators.
std::string ProgramRelativePath(const std::string& path);

// The program's profile: integers in section (a subkey of kSettingsKey) of the key store.
int GetProfileInt(const std::string& section, const std::string& entry, int defaultValue);
bool WriteProfileInt(const std::string& section, const std::string& entry, int value);

// String resources of the program (captions of skin controls, the about box's text).
enum StringId : int {
    IDS_NONE = 0,
    IDS_CANT_CREATE_TEMP_FILE = 102,
    IDS_CANT_CAPTURE_INPUT = 103,
    IDS_CANT_START_PLAYING = 104,
    IDS_CANT_CREATE_FILE = 106,
    IDS_ABOUT_GENERAL = 1456,  // HTML: %1 version, %2 build date, %3 and %4 the home page
    IDS_LOOP = 2001,
    IDS_FADE_IN,
    IDS_FADE_OUT,
    IDS_EFFECT1,
    IDS_EFFECT2,
    IDS_EFFECT3,
    IDS_FORCE_OVERWRITE,
    IDS_NORMALIZE,
    IDS_IMPORT_RECORD,
    IDS_SAVE,
    IDS_CANCEL,
    IDS_SELECT,
    IDS_SEARCH_READY,
    IDS_OK,
    IDS_DONT_SHOW_AGAIN,
    IDS_YES,
    IDS_NO,
    IDS_COPY,
};
// The text of a string resource; empty for an unknown id.
QString LoadString(int id);

// Icon resources of the program (32 x 32 and up, drawn from SVG).
enum IconId : int { IDI_WARNING = 143, IDI_INFORMATION = 144 };
// A null icon for an unknown id.
QIcon LoadIconResource(int id);

// The platform's standard message box (not skinned): the system box types and results of
// audiosvc.h. "Can't load skin " is shown with it, and the message types the skinned
// dialog has no layout for.
int ShowSystemMessageBox(const QString& text, uint32_t type, const QString& caption, QWidget* parent);

// =========================================================================================
// Command ids of every window's controls
// =========================================================================================

enum MainFrameCommand : int {
    IDC_MENU_HOME = 1020,
    IDC_MENU_HELP = 1025,
    IDC_MENU_ABOUT = 1295,
    IDC_BANNER = 1050,
    IDC_TITLE_LINK = 1055,
    IDC_PAGE1_TRACK1_EDIT = 1065,
    IDC_PAGE1_TRACK1_BROWSE = 1070,
    IDC_PAGE1_TRACK2_EDIT = 1075,
    IDC_PAGE1_TRACK2_BROWSE = 1080,
    IDC_PAGE1_RECORD = 1085,
    IDC_COMMON_SEARCH_EDIT = 1300,
    IDC_COMMON_SEARCH_BUTTON = 1305,
    IDC_COMMON_MINIMIZE = 1030,
    IDC_COMMON_CLOSE = 1035,
    IDC_COMMON_CONTINUE = 1040,
    IDC_COMMON_GO_BACK = 1045,
    IDC_PAGE2_PLAY = 1100,
    IDC_PAGE2_REPEAT = 1105,
    IDC_PAGE2_ZOOM_IN = 1110,
    IDC_PAGE2_ZOOM_OUT = 1115,
    IDC_PAGE2_ZOOM_FIT = 1120,
    IDC_PAGE2_ZOOM_MENU = 1125,
    IDC_PAGE2_SCROLLBAR = 1130,
    IDC_PAGE2_TIME_START = 1135,
    IDC_PAGE2_TIME_START_UP = 1205,
    IDC_PAGE2_TIME_START_DOWN = 1210,
    IDC_PAGE2_TIME_LEN = 1140,
    IDC_PAGE2_TIME_LEN_UP = 1215,
    IDC_PAGE2_TIME_LEN_DOWN = 1220,
    IDC_PAGE2_TIME_END = 1145,
    IDC_PAGE2_TIME_END_UP = 1225,
    IDC_PAGE2_TIME_END_DOWN = 1230,
    IDC_PAGE2_VOLUME_INFO = 1150,
    IDC_PAGE2_VOLUME_SLIDER = 1155,
    IDC_PAGE2_FADE_IN = 1160,
    IDC_PAGE2_FADE_OUT = 1165,
    IDC_PAGE2_EFFECT1 = 1170,
    IDC_PAGE2_EFFECT1_SET = 1185,
    IDC_PAGE2_EFFECT2 = 1175,
    IDC_PAGE2_EFFECT2_SET = 1190,
    IDC_PAGE2_EFFECT3 = 1180,
    IDC_PAGE2_EFFECT3_SET = 1195,
    IDC_PAGE2_WAVE = 1200,
    IDC_PAGE3_PATH = 1265,
    IDC_PAGE3_BROWSE = 1270,
    IDC_PAGE3_OVERWRITE = 1260,
    IDC_PAGE3_FORMAT = 1250,
    IDC_PAGE3_CHANNELS = 1245,
    IDC_PAGE3_BITRATE = 1275,
    IDC_PAGE3_NORMALIZE = 1255,
    IDC_PAGE3_RESET = 1240,
    IDC_PAGE3_INFO = 1280,
    IDC_PAGE3_SEND = 1285,
    IDC_PAGE3_CREATE_ANOTHER = 1290,
};

enum RecorderCommand : int {
    IDC_REC_CLOSE = 1346,
    IDC_REC_RECORD = 1336,
    IDC_REC_PLAY = 1332,
    IDC_REC_CREATE_RINGTONE = 1330,
    IDC_REC_PLAYMETER = 1338,
    IDC_REC_RECORD_TIME = 1340,
    IDC_REC_SOUND_SETTINGS = 1348,
    IDC_REC_SAVE = 1342,
    IDC_REC_CANCEL = 1344,
};

enum BluetoothCommand : int {
    IDC_BT_SELECT = 1370,
    IDC_BT_DEV_LIST = 1372,
    IDC_BT_SEARCH_INFO = 1376,
    IDC_BT_REFRESH = 1378,
    IDC_BT_EDIT_NAME = 1386,
    IDC_BT_CANCEL = 1390,
    IDC_BT_CLOSE = 1392,
};

enum ProgressCommand : int { IDC_PROGRESS_BAR = 1360, IDC_PROGRESS_CANCEL = 1362, IDC_PROGRESS_TEXT = 1364 };

enum NotifyCommand : int { IDC_NOTIFY_OK = 1478, IDC_NOTIFY_DONT_SHOW = 1480 };

enum MessageCommand : int {
    IDC_MSG_TEXT = 1432,
    IDC_MSG_OK = 1430,
    IDC_MSG_ICON = 1434,
    IDC_MSG_YES = 1438,
    IDC_MSG_NO = 1440,
};

enum AboutCommand : int {
    IDC_ABOUT_CLOSE = 1452,
    IDC_ABOUT_OK = 1454,
    IDC_ABOUT_COPY = 1470,
    IDC_ABOUT_GENERAL_INFO = 1456,
    IDC_ABOUT_COMPUTER_INFO = 1460,
    IDC_ABOUT_COPYRIGHT_INFO = 1462,
    IDC_ABOUT_GENERAL = 1464,
    IDC_ABOUT_COMPUTER = 1466,
    IDC_ABOUT_COPYRIGHT = 1468,
};

// =========================================================================================
// The skin layout holder
// =========================================================================================

// One live instance of a control-table entry. Destroying the node destroys its control
// (unless Qt already did, with the control's window).
struct _MAINFRAME_CONTROL_ {
    _MAINFRAME_CONTROL_(int32_t id, CSkinBase* skinControl) : windowId(id), control(skinControl) {}
    virtual ~_MAINFRAME_CONTROL_();
    _MAINFRAME_CONTROL_(const _MAINFRAME_CONTROL_&) = delete;
    _MAINFRAME_CONTROL_& operator=(const _MAINFRAME_CONTROL_&) = delete;

    int32_t windowId;
    QPointer<CSkinBase> control;
    _MAINFRAME_CONTROL_* next = nullptr;  // the next older instance (a link; the holder owns nodes)
};

// One row of a window's control table. A table is a static array ended by a row whose name
// is null; its instance lists are null there, each holder keeps its own copy of the table
// with the lists of its window.
struct _CONTROL_INFO_STRUCT_ {
    int32_t kind;           // control kind (see CSkinHolder::LoadSkin)
    int32_t commandId;      // instance n (1-based) gets window id commandId + n
    const char* name;       // element name under Controls, matched without regard to case
    const char* tooltip;    // null: none
    int32_t captionId;      // string resource set as the window text; 0: none
    _MAINFRAME_CONTROL_* instances;  // newest first
};

// The control tables of the program's windows.
extern const _CONTROL_INFO_STRUCT_ kMainFrameControls[];
extern const _CONTROL_INFO_STRUCT_ kRecorderControls[];
extern const _CONTROL_INFO_STRUCT_ kBluetoothControls[];
extern const _CONTROL_INFO_STRUCT_ kProgressControls[];
extern const _CONTROL_INFO_STRUCT_ kNotifyControls[];
extern const _CONTROL_INFO_STRUCT_ kMessageBox1Controls[];
extern const _CONTROL_INFO_STRUCT_ kMessageBox2Controls[];
extern const _CONTROL_INFO_STRUCT_ kAboutControls[];

// The window that embeds a holder hears once from it, after all controls exist.
class ISkinHolderCb {
public:
    virtual ~ISkinHolderCb() = default;
    virtual void OnSkinLoaded() = 0;
};

// A control's command as the holder sends it to its owner window: the table's command id
// and the control's notification code (SCN_*). The window sets `result` when it handled it.
class SkinCommandEvent : public QEvent {
public:
    SkinCommandEvent(int commandId, int code) : QEvent(Type()), m_commandId(commandId), m_code(code) {}
    static QEvent::Type Type();
    int CommandId() const { return m_commandId; }
    int Code() const { return m_code; }
    intptr_t result = 0;

private:
    int m_commandId;
    int m_code;
};

// The record of the waveform editor (kind 26), handed to its UseCustomSkin.
struct SCWAVEFORMRES {
    uint32_t size = sizeof(SCWAVEFORMRES);
    SkinHandle source = SKIN_NO_HANDLE;  // 0 time ruler, 1 start marker, 2 end marker
    int32_t timeHeight = 0;              // TimeHeigth
    int32_t leftWidth = 0;
    int32_t rightWidth = 0;
    LOGFONT titleFont{};
    COLORREF titleTextColor = CLR_INVALID;
    LOGFONT timeFont{};
    COLORREF timeTextColor = CLR_INVALID;
    COLORREF waveDataColor = CLR_INVALID;
    COLORREF waveDataSelColor = CLR_INVALID;
    COLORREF waveBorderColor = CLR_INVALID;
    COLORREF waveBgColor = CLR_INVALID;
    COLORREF waveBgSelColor = CLR_INVALID;
    COLORREF waveCenterColor = CLR_INVALID;
    COLORREF waveBlankColor = CLR_INVALID;
    COLORREF waveBlankSelColor = CLR_INVALID;
};
static_assert(sizeof(SCWAVEFORMRES) == 244);

// Makes the control of a kind the skin library does not have (the waveform editor).
using SkinControlFactory = CSkinBase* (*)(QWidget* parent, int windowId, uint32_t style);
// Registers the waveform editor's factory; without one, kind 26 creates nothing.
void SetWaveFormFactory(SkinControlFactory factory);

// Builds a window's controls from its section of the loaded skin (GetSkinXMLRoot), hands
// them to the window's panels and routes their commands to the window.
//
// Control kinds: 1 push button, 2 check button, 4 static, 5 text box, 6 link, 7 HTML static,
// 8 scroll bar, 9 time edit, 10 and 11 drop-down lists, 12 level meter, 13 list, 14 and 15
// progress bars, 16 image-backed edit, 17 HTML browser, 18 the recorder's level meter,
// 21 slider (refined by Type: "Horizontal" 22, "Vertical" 23, "Round" 24, which creates
// nothing), 26 waveform editor.
//
// m_lock is held for the whole control creation; nothing else takes it.
class CSkinHolder {
public:
    // table may be null until the window chooses one (SetControlTable).
    CSkinHolder(ISkinHolderCb* callback, QWidget* owner, const _CONTROL_INFO_STRUCT_* table, std::string section);
    ~CSkinHolder();
    CSkinHolder(const CSkinHolder&) = delete;
    CSkinHolder& operator=(const CSkinHolder&) = delete;

    // Chooses the window's table and section (releasing the controls of a previous one).
    void SetControlTable(const _CONTROL_INFO_STRUCT_* table, std::string section);
    const std::string& GetSectionName() const { return m_section; }

    // The panel of that name, created on first use as a child of the owner window (shown
    // when style has WS_VISIBLE).
    CAutoPanelCaption* GetPanel(const std::string& name, uint32_t style);
    // Creates every control of the window's section. False without a table, owner or
    // section, or when a table entry got no instance (the window must then close).
    bool LoadSkin();
    // The newest instance of the entry with this command id; null when none.
    CSkinBase* GetControl(int commandId);
    // The command id of the entry owning the instance with this window id; 0 when none.
    int FindCommandId(int windowId) const;
    // Sends the command of a control (window id, notification code) to the owner window as
    // a SkinCommandEvent under its table id. False when no table entry owns the window id.
    bool RouteCommand(int windowId, int code, intptr_t* result = nullptr);
    // Releases every control, panel and image file.
    void Reset();

    // The window's table with its live instances (for inspection).
    const std::vector<_CONTROL_INFO_STRUCT_>& Table() const { return m_table; }

private:
    void CreateControl(_CONTROL_INFO_STRUCT_& entry, const enXml& element);
    CAutoPanelCaption* FindPanelNoCase(const std::string& name) const;

    ISkinHolderCb* m_callback;
    QPointer<QWidget> m_owner;
    std::vector<_CONTROL_INFO_STRUCT_> m_table;
    std::map<std::string, QPointer<CAutoPanelCaption>> m_panels;
    std::mutex m_lock;
    std::vector<CSkinFile> m_files;
    std::vector<std::unique_ptr<_MAINFRAME_CONTROL_>> m_nodes;  // owns every instance node
    _MAINFRAME_CONTROL_* m_lastInstance = nullptr;
    std::string m_section;
};

// ---- installed skins ---------------------------------------------------------------------

struct SkinInfo {
    std::string caption;
    std::string path;
    int width = 800;
    int height = 600;
};

// Fills the process-wide skin list from the program's Skins folder.
void EnumerateSkins();
// The same from a given folder: every "*.xml" (any case) by file name whose root is
// SKIN_KEL with a non-empty Caption; Width and Height default to 800 and 600.
void EnumerateSkinsIn(const std::string& folder);
const std::vector<SkinInfo>& GetSkinList();
void SetCurrentSkinIndex(int index);
int GetCurrentSkinIndex();
// The record at the current index; an empty one (no caption or path, size 0 x 0) when the
// index lies outside the list.
SkinInfo GetCurrentSkin();

// =========================================================================================
// Dialogs
// =========================================================================================

// A skinned dialog built by its CSkinHolder: exec() initialises it from the skin (MainPanel
// and the controls), runs it modally and releases its controls, as a modal dialog's window
// is created and destroyed with each run. When the skin cannot be loaded it shows "Can't
// load skin " and ends with 2 without showing.
class CSkinDialog : public CSCScaleDialog, public ISkinHolderCb {
    Q_OBJECT
public:
    ~CSkinDialog() override;
    int exec() override;
    // Escape, closing the window and the Cancel of a derived dialog end it with IDCANCEL (2).
    void reject() override;
    CSkinHolder& Skin() { return m_skin; }

protected:
    CSkinDialog(QWidget* parent, const _CONTROL_INFO_STRUCT_* table, std::string section);
    // Before the window shows: creates MainPanel and loads the skin. A result ends the run
    // at once with it.
    virtual std::optional<int> OnInitDialog();
    // After the modal run: releases the controls.
    virtual void OnDestroy();
    // A command of a skin control, by its table id; true when handled.
    virtual bool OnCommand(int commandId, int code);
    // Sizes the dialog to MainPanel's initial size and takes the panel's shape.
    void OnSkinLoaded() override;
    bool event(QEvent* event) override;
    CAutoPanelCaption* MainPanel() const { return m_mainPanel; }
    // Sizes the dialog and MainPanel and takes the panel's shape at that size.
    void FitToPanel(const QSize& size);
    template <class T>
    T* Control(int commandId) {
        return qobject_cast<T*>(m_skin.GetControl(commandId));
    }

    CSkinHolder m_skin;

private:
    QPointer<CAutoPanelCaption> m_mainPanel;
};

// The progress dialog in front of a worker thread (the program's IProgress front). The
// worker writes the percentage, polls the cancel request and ends the run with End, which
// reaches the dialog as a queued call (message 1034) that ends the modal run under m_endLock
// and signals the finished event.
//
// Threads: m_endLock is held around the end of the modal run and guards m_finished (the
// finished event), which WaitFinished awaits under the same lock. The rest belongs to the
// user-interface thread.
class CProgressDlg : public CSkinDialog, public IProgress {
    Q_OBJECT
public:
    CProgressDlg(QWidget* parent, const std::string& text, bool cancelEnabled);
    ~CProgressDlg() override;

    int RunModal() override { return exec(); }
    // Waits up to 10 s for the finished event (the end lock is released while waiting, so a
    // waiter never holds up the end); false on time-out.
    bool WaitFinished(uint32_t timeoutMs = kWorkerEndWaitMs);
    // Escape and closing the window act as the cancel button.
    void reject() override;

protected:
    std::optional<int> OnInitDialog() override;
    void OnDestroy() override;
    bool OnCommand(int commandId, int code) override;
    void OnEnd(int result) override;

private:
    void EndRun(int result);
    void ShowPercent();

    QTimer m_timer;
    std::mutex m_endLock;
    std::condition_variable m_finishedChanged;
    bool m_finished = false;
};

// Makes a progress dialog, parented to the given window, for every job.
class CProgressDlgFactory : public IProgressFactory {
public:
    explicit CProgressDlgFactory(QWidget* parent) : m_parent(parent) {}
    std::unique_ptr<IProgress> Create(const std::string& text, bool cancelEnabled) override;

private:
    QPointer<QWidget> m_parent;
};

// The message dialog, the program's replacement of the system message box. Types 0 (OK) use
// the MESSAGEBOX_1BTN section; 1 (OK/Cancel), 4 (Yes/No), 5 (Retry/Cancel), 9 (Open
// Folder/Ok) and 10 (Open Page/Ok) MESSAGEBOX_2BTN; any other type is shown by the system
// message box. The dialog
// grows with its text.
class CMessageDlg : public CSkinDialog {
    Q_OBJECT
public:
    // An empty caption gives the application's name.
    CMessageDlg(const QString& text, uint32_t type, const QString& caption, QWidget* parent);
    ~CMessageDlg() override;
    int exec() override;
    // Escape and closing the window give the type's cancel answer.
    void reject() override;

protected:
    std::optional<int> OnInitDialog() override;
    void OnSkinLoaded() override;
    bool OnCommand(int commandId, int code) override;

private:
    QString m_text;
    QString m_caption;
    uint32_t m_type;
    QIcon m_icon;
};

// The replacement registered with audiosvc (ReplaceSCMessageBox): runs CMessageDlg on the
// user-interface thread and returns its result.
int SkinnedMessageBox(const char* text, uint32_t type, const char* caption, QWidget* parent);
// Registers SkinnedMessageBox as the message box of the audio service library.
void InstallSkinnedMessageBox();

// A one-time hint ("NOTIFY_REC", "NOTIFY_BT": the hint is drawn by the section's panel).
// OK stores whether "Don't show this message again" was ticked.
class CNotifyDlg : public CSkinDialog {
    Q_OBJECT
public:
    CNotifyDlg(const std::string& section, QWidget* parent);
    ~CNotifyDlg() override;

protected:
    std::optional<int> OnInitDialog() override;
    bool OnCommand(int commandId, int code) override;
};

// Shows the hint of that section unless the user asked not to see it again; returns the
// dialog's result, or 0 when it was not shown.
int ShowNotify(const std::string& section, QWidget* parent);

// ---- Bluetooth send dialog ----------------------------------------------------------------

// One device of the Bluetooth dialog's list (the list item's data): its address.
struct BtDeviceRecord {
    uint32_t addressLow = 0;
    uint32_t addressHigh = 0;
};

// Searches for nearby Bluetooth devices (btlink), lets the user choose one and the name the
// file gets there; a run returns 1 with a device chosen. SendFile then sends the file to it
// with a progress dialog and tells the user how it went.
//
// Threads: btlink calls the search callbacks on its own thread; they touch no control and
// hand everything to the user-interface thread as queued calls, which are dropped when they
// belong to an earlier search (m_searchGeneration). The upload callbacks run on btlink's
// upload thread: while an upload runs, ReadData alone uses m_file, m_bytesRead and
// m_progress (the user-interface thread sets them up before the upload and releases them
// after its end); m_result is written once by the end callbacks and polled by the sender
// thread. Everything else belongs to the user-interface thread.
class CBluetoothDlg : public CSkinDialog, public IBtSearchCb, public IBtUploadCb {
    Q_OBJECT
public:
    // filePath: the file to send; the address and name are the previous choice.
    CBluetoothDlg(QWidget* parent, const QString& filePath, uint32_t addressLow, uint32_t addressHigh,
                  const QString& fileName);
    ~CBluetoothDlg() override;

    // The choice of a run that returned 1.
    uint32_t GetAddressLow() const { return m_addressLow; }
    uint32_t GetAddressHigh() const { return m_addressHigh; }
    const QString& GetDeviceName() const { return m_deviceName; }
    const QString& GetFileName() const { return m_fileName; }

    // Sends the file to the chosen device under the chosen name while a progress dialog
    // runs, then shows "Error sending file" or "File successfully saved!" (nothing when
    // cancelled, nothing when the file cannot be opened).
    void SendFile();

    void OnDeviceFound(const char* name, uint32_t addressLow, uint32_t addressHigh) override;
    void OnSearchFinished(bool stopped) override;
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
    void StopOwnSearch();
    void AddDevice(const QString& name, BtDeviceRecord record);
    void ShowSearchEnd(bool stopped);
    void ClearDevices();
    void Select();
    int RunSender(IProgress& progress);

    QString m_filePath;
    QString m_fileName;
    uint32_t m_addressLow;
    uint32_t m_addressHigh;
    QString m_deviceName;
    std::vector<std::unique_ptr<BtDeviceRecord>> m_records;  // the list's item data
    std::atomic<uint32_t> m_searchStart{0};                  // tick count of the search's start
    std::atomic<int> m_searchGeneration{0};
    std::atomic<int> m_searchesRunning{0};  // searches of this dialog whose finish has not returned
    std::unique_ptr<std::FILE, FileCloser> m_file;
    uint64_t m_bytesRead = 0;
    uint64_t m_fileSize = 0;
    std::atomic<int> m_result{0};  // 0 running, 1 done, 2 cancelled, 3 error
    IProgress* m_progress = nullptr;
};

// The about box: General, Computer and Copyrights tabs; the computer information can be
// copied to the clipboard.
class CAboutDlg : public CSkinDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent);
    ~CAboutDlg() override;

protected:
    std::optional<int> OnInitDialog() override;
    bool OnCommand(int commandId, int code) override;

private:
    void ShowTab(int tabCommand);
    void CopyComputerInfo();
};

// ---- the recorder dialog -----------------------------------------------------------------

class RecorderTake;

// The modal recorder: records from the input device into a temporary take, plays it back,
// shows its length and level, and saves it through the provider's coder. Ends with 6 (saved,
// "import as a track" ticked) or 7 (saved, not ticked), with the saved path available, or
// with 2. The window that runs it gives it the application's engines and makes it their
// client (the settings requests, messages 1054 and 1034) while it runs.
//
// Threads: the capture callback runs on the microphone's worker and the playback callback on
// the player's feeder (its first blocks on the thread that starts playback); they touch the
// take (its own lock), the meter (under m_meterLock) and the length (atomic), and queue every
// window update to the user-interface thread. That thread starts and stops the engines and
// stops them before the take is created, discarded or saved and before the controls go.
class CRecorderDlg : public CSkinDialog, public IMicroClient, public IPlayerClient {
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

    // Capture set-up (message 1054): five buffers of 16384 bytes in the record format.
    void OnMicroSettingsRequest() override;
    // Playback set-up (message 1034): the take's format with its speaker layout.
    void OnPlayerSettingsRequest() override;

    // The engines' data callbacks; the context is the dialog. A null buffer or a block of
    // capacity 0 (an engine letting go) returns 0 without touching the context.
    static int CaptureCallback(void* context, const void* data, uint32_t bytes);
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
    int OnCaptured(const void* data, uint32_t bytes);
    uint32_t OnPlaybackBlock(_SOUNDDATAEX_& block);
    void OnTakeWriteFailed();
    void OnPlaybackEnded(uint32_t run);

    const std::string m_initialFolder;
    IMicro* m_micro = nullptr;
    IPlayer* m_player = nullptr;
    bool m_microCallbackSet = false;
    bool m_playerCallbackSet = false;
    SaveFileDialog m_saveFileDialog;
    QString m_savedPath;
    int32_t m_recordState = kMicroStopped;  // recording (0) or stopped (2)
    int32_t m_playState = kPlayerStopped;   // playing (0) or stopped (2)
    std::unique_ptr<RecorderTake> m_take;
    std::atomic<uint32_t> m_recordLength{0};  // frames of the take
    std::atomic<uint32_t> m_playRun{0};       // numbers playback runs; a late end notice is ignored
    std::atomic<bool> m_writeFailed{false};   // the capture could not append (reported once)
    std::mutex m_meterLock;                   // guards m_meter against the engine threads
    CSCPlayMeter2* m_meter = nullptr;         // the PLAYMETER control while the controls exist
};

// =========================================================================================
// Computer information
// =========================================================================================

// The capacity of the computer information text, in characters.
inline constexpr int kCompInfoCapacity = 10240;
// A text describing this computer: system, processor, memory, audio devices and screens;
// at most kCompInfoCapacity - 1 characters.
QString GetCompInfo();

// =========================================================================================
// The waveform editor
// =========================================================================================

struct WaveformEditorState;  // app/src/waveform_state.h
struct WaveRect;

// Makes CWaveFormKel the control of kind 26. The program calls it once at start-up, before
// the main window loads its skin.
void RegisterWaveFormEditor();

// The waveform editor (PAGE2_WAVE): the one or two tracks of the ringtone on a common
// timeline under a time ruler, the marked range (start and end markers for all tracks) with
// its two handles, per-track trimming and moving, zoom, scrolling and the play cursor. It
// owns the timeline the render chain reads. It reports command(id, 10) when the selection,
// the play position or the view changed, and command(id, 11) when playback ended.
//
// Mouse: a left press in the wave area marks a point and dragging marks a range; a press in
// a handle drags that marker; a press on a track's edge trims the track; a right press and
// drag moves the track. Timers: 0 cursor blink (1000 ms), 1 play cursor (33 ms), 2 marker
// drag auto-scroll (10 ms), 3 track drag auto-scroll (100 ms), 4 trim auto-scroll (10 ms).
//
// Threads: the interface thread. The player's feeder thread reads the timeline under its
// guard and reaches the editor only through queued calls.
class CWaveFormKel : public CSCStatic, private IPreviewClient {
    Q_OBJECT
public:
    static constexpr int kNotifyChanged = 10;        // selection, play position or view
    static constexpr int kNotifyPlaybackEnded = 11;
    static constexpr int64_t kInitialProjectLength = 1323000;  // 30 s
    enum Mode : int { kIdle = 0, kMarkerDrag = 1, kRightDown = 2, kTrackDrag = 3, kTrim = 4 };

    CWaveFormKel(QWidget* parent, int windowId, uint32_t style = 0x100);
    ~CWaveFormKel() override;
    // The factory the skin holder is given.
    static CSkinBase* Create(QWidget* parent, int windowId, uint32_t style);

    // Takes a SCWAVEFORMRES. A record of another size, or a Source with fewer than 3 frames
    // (ruler, start handle, end handle), is refused and the editor draws without a skin.
    bool UseCustomSkin(const void* record) override;

    // The timeline state that playback and export read.
    RingtoneTimeline& Timeline();
    // The application's chain: the view stage becomes the tree's audio input.
    void AttachChain(CEffectTree* tree, CVolumeEffect* volume);
    // The player the preview plays through; null stops playback and lets it go.
    void AttachPlayer(IPlayer* player);
    // The scroll bar (PAGE2_SCROLLBAR) that scrolls the view; its requests reach
    // OnScrollRequest.
    void SetScrollBar(CSCScrollBar* scrollBar);
    // A scroll request (SB_*) from the scroll bar; false when it does not scroll.
    bool OnScrollRequest(int request, int position);

    // Takes the tracks; either may be null. Their drawing caches start anew.
    void SetTracks(TrackSlot* track1, TrackSlot* track2);
    // Equal markers mean no selection. Call Refresh to show a change.
    void SetSelection(int64_t start, int64_t end);
    int64_t GetStartMarker() const;
    int64_t GetEndMarker() const;
    // −1: none.
    void SetPlayPosition(int64_t frame);
    int64_t GetPlayPosition() const;
    void SetFadeIn(bool on);
    void SetFadeOut(bool on);

    uint32_t GetZoom() const;
    // Frames per pixel, a power of two (others are rounded down, 0 gives 1). The view start
    // becomes the largest multiple of it not above it; the project length, the scroll bar
    // and the picture follow.
    void SetZoom(uint32_t zoom);
    // Shows the selection centred at the zoom that fits it; returns the zoom. Nothing
    // changes for an empty selection or a control under 2 pixels wide.
    uint32_t ZoomFit();
    // Recomputes the project length, updates the scroll bar and the view, redraws and
    // reports 10.
    void Refresh();
    int64_t GetViewStart() const;
    int64_t GetViewEnd() const;
    int64_t GetProjectLength() const;

    // The preview of the play range from the play position; false when it cannot start.
    bool StartPlayback();
    void TogglePause();
    void StopPlayback();
    bool IsPlaying() const;

    // For inspection.
    Mode GetMode() const;
    QRect GetStartHandleRect() const;
    QRect GetEndHandleRect() const;
    // The tooltip shown at a point; empty when none.
    QString ToolTipAt(const QPoint& point) const;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    // IPreviewClient: each only posts to the interface thread.
    void OnPreviewCursorDue() override;
    void OnPreviewPositionChanged() override;
    void OnPreviewStopped() override;

    // ---- view (waveform_editor.cpp)
    TrackSource* Track(int number) const;
    bool TwoTracks() const;
    std::optional<WaveRect> TrackRect(int number) const;
    // The track whose rectangle (widened by `widen` pixels) holds the point: 0 for none.
    int TrackAt(const QPoint& point, int widen) const;
    void UpdateProjectLength();
    void UpdateScrollBar();
    void UpdateView();
    void ViewChanged();
    void Notify(int code);
    // ---- handles and tooltips (waveform_tools.cpp)
    void PlaceHandles();
    void UpdateTrackTools();
    // ---- mouse (waveform_mouse.cpp)
    void LeftPress(const QPoint& point);
    void RightPress(const QPoint& point);
    void MoveMarker(const QPoint& point);
    void MoveTrack(const QPoint& point);
    void TrimTrack(const QPoint& point);
    void UpdateHover(const QPoint& point);
    void UpdateCursorShape(const QPoint& point);
    void EndMarkerDrag();
    int AutoScrollDirection() const;
    void OnMarkerScrollTimer();
    void OnTrackScrollTimer(int step);
    // ---- playback (waveform_playback.cpp)
    void OnBlinkTimer();
    void OnCursorTimer();
    void UpdatePlayCursor();
    void InvalidateCursorColumn(int64_t frame);
    // ---- painting (waveform_paint.cpp)
    void RebuildRulerBackground();
    void PaintRuler(QPainter& painter) const;
    void PaintWaves(QPainter& painter);
    void PaintTrack(QPainter& painter, int number);
    void PaintCursor(QPainter& painter) const;

    std::unique_ptr<WaveformEditorState> m_state;
};

// =========================================================================================
// The application and its main window
// =========================================================================================

// The program's settings with their defaults. "General": Volume (0 ... 200), Loop, FadeIn,
// FadeOut, LastComputerFolder; "Save": FormatIndex, Channels (row: 0 mono, 1 stereo),
// Bitrate (row: 0 64, 1 128, 2 256 kbps), Normalize, Overwrite.
struct ProgramSettings {
    int volume = 100;
    bool loop = true;
    bool fadeIn = true;
    bool fadeOut = true;
    std::string lastComputerFolder;
    int formatIndex = 0;
    int channels = 1;
    int bitrate = 1;
    bool normalize = true;
    bool overwrite = false;
};
// Every setting from the current user's key store, the default where one is missing.
ProgramSettings ReadProgramSettings();
// String values of the program's profile (section: a subkey of kSettingsKey).
std::string GetProfileString(const std::string& section, const std::string& entry, const std::string& defaultValue);
bool WriteProfileString(const std::string& section, const std::string& entry, const std::string& value);

// The start-up files: the shared data folder's Name ("appdatadefault.ini" beside the
// program) and the effects language ("Language.ini" in the shared data folder), and the
// single-effects description they lead to.
std::string SharedDataName();
std::string SharedDataFolder();
std::string LanguageShortName();
std::string SingleEffectsPath();
// The user's documents folder and the folder recordings go to (created when missing).
QString DocumentsFolder();
QString RecordingsFolder();

class CTessalyDlg;
class QUrl;

// The application object: owns what lives for the whole run (effect tree, volume stage,
// player, microphone), loads the skin, runs the main window modally and starts a fresh
// process of the program when the window ended with "create a new ringtone" (4).
// Everything here belongs to the user-interface thread.
class CTessalyApp {
public:
    static constexpr int kResultNewProject = 4;

    CTessalyApp();
    ~CTessalyApp();
    CTessalyApp(const CTessalyApp&) = delete;
    CTessalyApp& operator=(const CTessalyApp&) = delete;

    // The start-up routine: skin, message box, main window. Shows "Can't load skin " and
    // runs no window when the selected skin cannot be loaded. Always false: the process
    // ends after it.
    bool InitInstance();
    // The end of the run: starts the program anew when a new project was asked for.
    // Returns the process's exit code: 1 when the skin could not be loaded or laid out, or
    // the new process could not be started; else 0.
    int ExitInstance();

    // Loads the effect plug-ins and builds the tree from the single-effects description,
    // attached to the volume stage; the first call only. False when the description could
    // not be loaded (the tree stays empty).
    bool BuildEffectTree();
    bool EffectTreeBuilt() const { return m_effectTreeBuilt; }

    CEffectTree& EffectTree() { return m_effectTree; }
    CVolumeEffect& Volume() { return m_volume; }
    XPlayer& Player() { return m_player; }
    XMicro& Micro() { return m_micro; }
    bool RestartRequested() const { return m_restart; }
    const std::string& Name() const { return m_name; }

    // Environment variable for automated start-up checks: when set, the main window closes
    // (result 1, without the exit question) as soon as its modal run starts.
    static constexpr char kCloseAfterStartVariable[] = "MORVANE_CLOSE_AFTER_START";

private:
    CEffectTree m_effectTree;
    CVolumeEffect m_volume;
    CExtPlayerDX m_playerEngine;
    XPlayer m_player{m_playerEngine};
    CExtMicro m_microEngine;
    XMicro m_micro{m_microEngine};
    const std::string m_name = kApplicationName;
    bool m_restart = false;
    bool m_startFailed = false;
    bool m_effectTreeBuilt = false;
    bool m_effectTreeLoaded = false;
};

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
    using CdTrackDialog =
        std::function<QString(QWidget* parent, const QString& drive, const QStringList& tracks)>;

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
    // ---- page 1 track sources (main_window_tracks.cpp)
    void SetTrackPath(int number, const QString& path);
    void RefreshTrackEdits();
    void Record();

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
    bool m_laidOut = false;  // the skin laid the controls out at initialisation
    OpenFileDialog m_openFileDialog;
    CdTrackDialog m_cdTrackDialog;

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
    };
    // Asks where to save: (parent, initial path, Qt filter, default suffix without its dot,
    // whether to confirm overwriting) → the chosen path, or empty when cancelled. Qt's save
    // dialog by default.
    using SaveFileDialog = std::function<QString(QWidget* parent, const QString& initialPath, const QString& filter,
                                                 const QString& suffix, bool confirmOverwrite)>;
    // Runs the Bluetooth dialog modally to choose a device; its result. exec() by default.
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
    // PAGE3_RESET: Stereo, the first format, 128 kbps, no normalising.
    void ResetPage3();
    // PAGE3_CREATE_ANOTHER: asks, then ends the window with the new-project result.
    void CreateAnother();

private:
    bool OnPage3Command(int commandId, int code);
    // The lists are filled the first time page 2 is left forwards.
    void FillPage3Lists();
    // After a new rendering: no destination, fresh texts.
    void EnterPage3();
    void StorePage3Settings();
    void FollowNormalizeBox();
    void ShowDestinationMenu();
    void SaveToComputer();
    void SendToDevice();
    QString DestinationText() const;
    QString InfoText() const;

    bool m_page3ListsFilled = false;
    bool m_outputValid = false;
    Destination m_destination;
    SaveFileDialog m_saveFileDialog;
    BluetoothRun m_bluetoothRun;
    ShowFolder m_showFolder;

    // ---- page 2 (main_page2_times.cpp, main_page2_controls.cpp, main_page2_effects.cpp)
public:
    // Shows a popup menu and returns the chosen command id, 0 for none. The skinned menu at
    // the cursor by default.
    using PopupChooser = std::function<int(CSCMenu& menu)>;
    void SetPopupChooser(PopupChooser chooser);
    // The node an effect slot holds (by its settings button id); null when empty.
    CEffectNode* EffectSlot(int settingsId) const;
    // The settings window open for an effect slot; null when none.
    QWidget* EffectSettingsWindow() const { return m_effectSettings; }
    // Milliseconds of the page's time boxes from their text; empty when the text does not
    // match the time pattern.
    static std::optional<int64_t> ParseTimeText(const QString& text);
    static QString FormatTime(int64_t ms);
    // Change notification of a plug-in's settings window (command id 0, code 0x400).
    Q_INVOKABLE void onCommand(int id, int code);

protected:
    // On page 2 Tab goes round the time boxes: start, end, length.
    bool focusNextPrevChild(bool next) override;

private:
    bool OnPage2Command(int commandId, int code);
    uint32_t TimeRate() const;
    void ShowTimes();
    void ApplyTypedTimes();
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
    int ChoosePopup(CSCMenu& menu);

    PopupChooser m_popupChooser;
    std::map<int, CEffectNode*> m_effectSlots;  // settings button id → node, in id order
    std::unique_ptr<CSCMenu> m_singleEffectsMenu;
    bool m_singleEffectsMenuBuilt = false;
    QPointer<QWidget> m_effectSettings;
    CEffectNode* m_effectSettingsNode = nullptr;
};
