// The command ids of every window's controls and the control tables the skin holder builds
// the windows from.
#pragma once

#include <QPointer>

#include <cstdint>

class CSkinBase;

// The command ids of each window's controls, by window.
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
    IDC_PAGE3_PRESET = 1500,
    IDC_PAGE3_TITLE = 1502,
    IDC_PAGE3_CLIP_INFO = 1504,
    IDC_PAGE3_USE_LIMITER = 1506,
    IDC_PAGE3_LIMIT_INFO = 1508,
    IDC_PAGE3_SHORTEN = 1510,
    IDC_PAGE3_LOUDNESS = 1512,
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
    IDC_BT_HINTS = 1394,
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

// One live instance of a control-table entry. Destroying the node destroys its control
// (unless Qt already did, with the control's window).
struct _MAINFRAME_CONTROL_ {
    _MAINFRAME_CONTROL_(int32_t id, CSkinBase* skinControl);
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
    int32_t kind;                    // control kind (see CSkinHolder::LoadSkin)
    int32_t commandId;               // instance n (1-based) gets window id commandId + n
    const char* name;                // element name under Controls, matched without regard to case
    const char* tooltip;             // null: none
    int32_t captionId;               // string resource set as the window text; 0: none
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
