// The program's string and icon resources.
#pragma once

#include <QIcon>
#include <QString>

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

// The track source menu's line icons, in the skin's line style.
enum MenuIconId : int { IDI_MENU_LIBRARY = 150, IDI_MENU_COMPUTER, IDI_MENU_RECORDING, IDI_MENU_CD_DRIVE };
// The icon drawn in the current skin's colours: secondary text, text when the entry is
// selected, disabled text when greyed. A null icon for an unknown id.
QIcon LoadMenuIcon(int id);
