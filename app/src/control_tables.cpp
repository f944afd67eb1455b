// The control table of every window: kind, command id, element name, tooltip, caption.
#include "app/control_tables.h"

#include "app/resources.h"

namespace {

constexpr char kHomeTooltip[] = "Visit the Zo Ruvo home page: www.zoruvo.example";
constexpr char kSearchTooltip[] = "Find free ringtones on ringtones.zoruvo.example";

}  // namespace

const _CONTROL_INFO_STRUCT_ kMainFrameControls[] = {
    {1, IDC_MENU_HOME, "MENU_HOME", kHomeTooltip, IDS_NONE, nullptr},
    {1, IDC_MENU_HELP, "MENU_HELP", "Help", IDS_NONE, nullptr},
    {1, IDC_MENU_ABOUT, "MENU_ABOUT", "About", IDS_NONE, nullptr},
    {17, IDC_BANNER, "BANNER", nullptr, IDS_NONE, nullptr},
    {6, IDC_TITLE_LINK, "TITLE_LINK", "Morvane", IDS_NONE, nullptr},
    {16, IDC_PAGE1_TRACK1_EDIT, "PAGE1_TRACK1_EDIT", "Basic track for the new ringtone", IDS_NONE, nullptr},
    {1, IDC_PAGE1_TRACK1_BROWSE, "PAGE1_TRACK1_BROWSE", "Select file", IDS_NONE, nullptr},
    {16, IDC_PAGE1_TRACK2_EDIT, "PAGE1_TRACK2_EDIT", "Optional track to mix with track 1", IDS_NONE, nullptr},
    {1, IDC_PAGE1_TRACK2_BROWSE, "PAGE1_TRACK2_BROWSE", "Select file", IDS_NONE, nullptr},
    {1, IDC_PAGE1_RECORD, "PAGE1_RECORD", "Record your voice", IDS_NONE, nullptr},
    {16, IDC_COMMON_SEARCH_EDIT, "COMMON_SEARCH_EDIT", kSearchTooltip, IDS_NONE, nullptr},
    {1, IDC_COMMON_SEARCH_BUTTON, "COMMON_SEARCH_BUTTON", "Search", IDS_NONE, nullptr},
    {1, IDC_COMMON_MINIMIZE, "COMMON_MINIMIZE", "Minimize", IDS_NONE, nullptr},
    {1, IDC_COMMON_CLOSE, "COMMON_CLOSE", "Close", IDS_NONE, nullptr},
    {1, IDC_COMMON_CONTINUE, "COMMON_CONTINUE", nullptr, IDS_NONE, nullptr},
    {1, IDC_COMMON_GO_BACK, "COMMON_GO_BACK", nullptr, IDS_NONE, nullptr},
    {2, IDC_PAGE2_PLAY, "PAGE2_PLAY", "Click to listen to the modified ringtone (Space)", IDS_NONE, nullptr},
    {2, IDC_PAGE2_REPEAT, "PAGE2_REPEAT", "Play the modified ringtone repeatedly", IDS_LOOP, nullptr},
    {1, IDC_PAGE2_ZOOM_IN, "PAGE2_ZOOM_IN", "Zoom In (Ctrl++)", IDS_NONE, nullptr},
    {1, IDC_PAGE2_ZOOM_OUT, "PAGE2_ZOOM_OUT", "Zoom Out (Ctrl+-)", IDS_NONE, nullptr},
    {1, IDC_PAGE2_ZOOM_FIT, "PAGE2_ZOOM_FIT", "Zoom Fit (Ctrl+0)", IDS_NONE, nullptr},
    {1, IDC_PAGE2_ZOOM_MENU, "PAGE2_ZOOM_MENU", "Zoom", IDS_NONE, nullptr},
    {8, IDC_PAGE2_SCROLLBAR, "PAGE2_SCROLLBAR", nullptr, IDS_NONE, nullptr},
    {16, IDC_PAGE2_TIME_START, "PAGE2_TIME_START", "Define start point", IDS_NONE, nullptr},
    {1, IDC_PAGE2_TIME_START_UP, "PAGE2_TIME_START_UP", "Increase time", IDS_NONE, nullptr},
    {1, IDC_PAGE2_TIME_START_DOWN, "PAGE2_TIME_START_DOWN", "Decrease time", IDS_NONE, nullptr},
    {16, IDC_PAGE2_TIME_LEN, "PAGE2_TIME_LEN", "Define time length", IDS_NONE, nullptr},
    {1, IDC_PAGE2_TIME_LEN_UP, "PAGE2_TIME_LEN_UP", "Increase time", IDS_NONE, nullptr},
    {1, IDC_PAGE2_TIME_LEN_DOWN, "PAGE2_TIME_LEN_DOWN", "Decrease time", IDS_NONE, nullptr},
    {16, IDC_PAGE2_TIME_END, "PAGE2_TIME_END", "Define end point", IDS_NONE, nullptr},
    {1, IDC_PAGE2_TIME_END_UP, "PAGE2_TIME_END_UP", "Increase time", IDS_NONE, nullptr},
    {1, IDC_PAGE2_TIME_END_DOWN, "PAGE2_TIME_END_DOWN", "Decrease time", IDS_NONE, nullptr},
    {4, IDC_PAGE2_VOLUME_INFO, "PAGE2_VOLUME_INFO", nullptr, IDS_NONE, nullptr},
    {21, IDC_PAGE2_VOLUME_SLIDER, "PAGE2_VOLUME_SLIDER", "Drag to adjust ringtone volume", IDS_NONE, nullptr},
    {2, IDC_PAGE2_FADE_IN, "PAGE2_FADE_IN", "Add volume increasing effect on the beginning of the ringtone",
     IDS_FADE_IN, nullptr},
    {2, IDC_PAGE2_FADE_OUT, "PAGE2_FADE_OUT", "Add volume decreasing effect on the end of the ringtone", IDS_FADE_OUT,
     nullptr},
    {2, IDC_PAGE2_EFFECT1, "PAGE2_EFFECT1", "Additional effect", IDS_EFFECT1, nullptr},
    {1, IDC_PAGE2_EFFECT1_SET, "PAGE2_EFFECT1_SET", "Additional effect", IDS_NONE, nullptr},
    {2, IDC_PAGE2_EFFECT2, "PAGE2_EFFECT2", "Additional effect", IDS_EFFECT2, nullptr},
    {1, IDC_PAGE2_EFFECT2_SET, "PAGE2_EFFECT2_SET", "Additional effect", IDS_NONE, nullptr},
    {2, IDC_PAGE2_EFFECT3, "PAGE2_EFFECT3", "Additional effect", IDS_EFFECT3, nullptr},
    {1, IDC_PAGE2_EFFECT3_SET, "PAGE2_EFFECT3_SET", "Additional effect", IDS_NONE, nullptr},
    {26, IDC_PAGE2_WAVE, "PAGE2_WAVE", nullptr, IDS_NONE, nullptr},
    {16, IDC_PAGE3_PATH, "PAGE3_PATH", "Select where to save/send the new ringtone", IDS_NONE, nullptr},
    {1, IDC_PAGE3_BROWSE, "PAGE3_BROWSE", "Select destination", IDS_NONE, nullptr},
    {2, IDC_PAGE3_OVERWRITE, "PAGE3_OVERWRITE", "Overwrite duplicate file without a warning message",
     IDS_FORCE_OVERWRITE, nullptr},
    {11, IDC_PAGE3_FORMAT, "PAGE3_FORMAT", "Select codec", IDS_NONE, nullptr},
    {11, IDC_PAGE3_CHANNELS, "PAGE3_CHANNELS", "Select channel", IDS_NONE, nullptr},
    {11, IDC_PAGE3_BITRATE, "PAGE3_BITRATE", "Select ringtone quality", IDS_NONE, nullptr},
    {11, IDC_PAGE3_NORMALIZE, "PAGE3_NORMALIZE",
     "Bring to full scale (Peak) or to the loudness phones expect (Loudness)", IDS_NONE, nullptr},
    {1, IDC_PAGE3_RESET, "PAGE3_RESET", "Reset to default settings", IDS_NONE, nullptr},
    {7, IDC_PAGE3_INFO, "PAGE3_INFO", nullptr, IDS_NONE, nullptr},
    {1, IDC_PAGE3_SEND, "PAGE3_SEND", "Send/Save ringtone", IDS_NONE, nullptr},
    {1, IDC_PAGE3_CREATE_ANOTHER, "PAGE3_CREATE_ANOTHER", "Create a new ringtone", IDS_NONE, nullptr},
    {11, IDC_PAGE3_PRESET, "PAGE3_PRESET", "What the ringtone is for: sets the format, the level and the length limit",
     IDS_NONE, nullptr},
    {16, IDC_PAGE3_TITLE, "PAGE3_TITLE", "The title phones list the ringtone by", IDS_NONE, nullptr},
    {4, IDC_PAGE3_CLIP_INFO, "PAGE3_CLIP_INFO", nullptr, IDS_NONE, nullptr},
    {1, IDC_PAGE3_USE_LIMITER, "PAGE3_USE_LIMITER", "Keep the peaks under -1 dBTP with the limiter", IDS_NONE, nullptr},
    {4, IDC_PAGE3_LIMIT_INFO, "PAGE3_LIMIT_INFO", nullptr, IDS_NONE, nullptr},
    {1, IDC_PAGE3_SHORTEN, "PAGE3_SHORTEN", "Shorten the ringtone to the limit, with a fade-out at the new end",
     IDS_NONE, nullptr},
    {7, IDC_PAGE3_LOUDNESS, "PAGE3_LOUDNESS", nullptr, IDS_NONE, nullptr},
    {0, 0, nullptr, nullptr, IDS_NONE, nullptr},
};

const _CONTROL_INFO_STRUCT_ kRecorderControls[] = {
    {1, IDC_REC_CLOSE, "CLOSE", "Close", IDS_NONE, nullptr},
    {2, IDC_REC_RECORD, "RECORD", "Click to start recording", IDS_NONE, nullptr},
    {2, IDC_REC_PLAY, "PLAY", "Playback the record file", IDS_NONE, nullptr},
    {2, IDC_REC_CREATE_RINGTONE, "CREATE_RINGTONE", "Import the record as a track", IDS_IMPORT_RECORD, nullptr},
    {18, IDC_REC_PLAYMETER, "PLAYMETER", "Record volume", IDS_NONE, nullptr},
    {4, IDC_REC_RECORD_TIME, "RECORD_TIME", nullptr, IDS_NONE, nullptr},
    {4, IDC_REC_SOUND_SETTINGS, "SOUND_SETTINGS", nullptr, IDS_NONE, nullptr},
    {1, IDC_REC_SAVE, "SAVE", "Save the record and import it to make ringtone", IDS_SAVE, nullptr},
    {1, IDC_REC_CANCEL, "CANCEL", "Cancel", IDS_CANCEL, nullptr},
    {0, 0, nullptr, nullptr, IDS_NONE, nullptr},
};

const _CONTROL_INFO_STRUCT_ kBluetoothControls[] = {
    {1, IDC_BT_SELECT, "SELECT", "Select device", IDS_SELECT, nullptr},
    {11, IDC_BT_DEV_LIST, "DEV_LIST", "List of available devices", IDS_NONE, nullptr},
    {4, IDC_BT_SEARCH_INFO, "SEARCH_INFO", nullptr, IDS_SEARCH_READY, nullptr},
    {1, IDC_BT_REFRESH, "REFRESH", "Click to start searching for available Bluetooth devices", IDS_NONE, nullptr},
    {16, IDC_BT_EDIT_NAME, "EDIT_NAME", nullptr, IDS_NONE, nullptr},
    {1, IDC_BT_CANCEL, "CANCEL", "Cancel", IDS_CANCEL, nullptr},
    {1, IDC_BT_CLOSE, "CLOSE", "Close", IDS_NONE, nullptr},
    {4, IDC_BT_HINTS, "HINTS", nullptr, IDS_NONE, nullptr},
    {0, 0, nullptr, nullptr, IDS_NONE, nullptr},
};

const _CONTROL_INFO_STRUCT_ kProgressControls[] = {
    {14, IDC_PROGRESS_BAR, "PROGRESS", nullptr, IDS_NONE, nullptr},
    {1, IDC_PROGRESS_CANCEL, "CANCEL", nullptr, IDS_CANCEL, nullptr},
    {4, IDC_PROGRESS_TEXT, "TEXT", nullptr, IDS_NONE, nullptr},
    {0, 0, nullptr, nullptr, IDS_NONE, nullptr},
};

const _CONTROL_INFO_STRUCT_ kNotifyControls[] = {
    {1, IDC_NOTIFY_OK, "BUTTON_OK", nullptr, IDS_OK, nullptr},
    {2, IDC_NOTIFY_DONT_SHOW, "CHECK_DONT_SHOW", nullptr, IDS_DONT_SHOW_AGAIN, nullptr},
    {0, 0, nullptr, nullptr, IDS_NONE, nullptr},
};

const _CONTROL_INFO_STRUCT_ kMessageBox1Controls[] = {
    {4, IDC_MSG_TEXT, "TEXT", nullptr, IDS_NONE, nullptr},
    {1, IDC_MSG_OK, "BUTTON_OK", nullptr, IDS_OK, nullptr},
    {4, IDC_MSG_ICON, "ICON", nullptr, IDS_NONE, nullptr},
    {0, 0, nullptr, nullptr, IDS_NONE, nullptr},
};

const _CONTROL_INFO_STRUCT_ kMessageBox2Controls[] = {
    {4, IDC_MSG_TEXT, "TEXT", nullptr, IDS_NONE, nullptr},
    {1, IDC_MSG_YES, "BUTTON_YES", nullptr, IDS_YES, nullptr},
    {1, IDC_MSG_NO, "BUTTON_NO", nullptr, IDS_NO, nullptr},
    {4, IDC_MSG_ICON, "ICON", nullptr, IDS_NONE, nullptr},
    {0, 0, nullptr, nullptr, IDS_NONE, nullptr},
};

const _CONTROL_INFO_STRUCT_ kAboutControls[] = {
    {1, IDC_ABOUT_CLOSE, "CLOSE", nullptr, IDS_NONE, nullptr},
    {1, IDC_ABOUT_OK, "BUTTON_OK", nullptr, IDS_OK, nullptr},
    {1, IDC_ABOUT_COPY, "BUTTON_COPY", "Copy to clipboard", IDS_COPY, nullptr},
    {7, IDC_ABOUT_GENERAL_INFO, "GENERAL_INFO", nullptr, IDS_NONE, nullptr},
    {5, IDC_ABOUT_COMPUTER_INFO, "COMPUTER_INFO", nullptr, IDS_NONE, nullptr},
    {17, IDC_ABOUT_COPYRIGHT_INFO, "COPYRIGHT_INFO", nullptr, IDS_NONE, nullptr},
    {2, IDC_ABOUT_GENERAL, "GENERAL", "General", IDS_NONE, nullptr},
    {2, IDC_ABOUT_COMPUTER, "COMPUTER", "Computer", IDS_NONE, nullptr},
    {2, IDC_ABOUT_COPYRIGHT, "COPYRIGHT", "Copyrights", IDS_NONE, nullptr},
    {0, 0, nullptr, nullptr, IDS_NONE, nullptr},
};
