// What the skinned controls share with the code that builds them: styles, notification codes,
// scroll requests and the resource records handed to UseCustomSkin. Free of Qt.
#pragma once

#include <cstdint>

#include "skin/skin_file.h"
#include "skin/skin_values.h"

enum : uint32_t {
    WS_CHILD = 0x40000000u,
    WS_VISIBLE = 0x10000000u,
    WS_VSCROLL = 0x00200000u,
    BS_AUTOCHECKBOX = 0x3u,  // CSCButton: a check button that toggles itself
    ES_MULTILINE = 0x4u,
    ES_AUTOHSCROLL = 0x80u,
    ES_READONLY = 0x800u,
    CBS_DROPDOWNLIST = 0x3u,
    TBS_VERT = 0x2u,      // CSCSlider, CSCScaleSlider: vertical
    SBS_VERT = 0x1u,      // CSCScrollBar: vertical
    PBS_SMOOTH = 0x1u,    // CSCScaleProgress: the bar follows the position without steps
    PBS_VERTICAL = 0x2u,  // CSCScaleProgress: fills from the bottom up
};

// Notification codes of command(id, code).
enum : int {
    SCN_CLICKED = 0,      // button pressed and released, check toggled, link activated
    SCN_SELCHANGE = 1,    // the user chose another list or combo item
    SCN_DBLCLK = 2,       // list item double-clicked or activated with Enter
    SCN_CHANGE = 0x300,   // edit text changed (by the user or the program)
    SCN_HSCROLL = 0x114,  // a horizontal slider's position changed (read it with GetPos)
    SCN_VSCROLL = 0x115,  // a vertical slider's position changed
    SCN_COMMIT = 4660,    // an edit's entry confirmed: Enter, or leaving a changed field
};

// Scroll requests of scroll(id, request, position) (scroll bars and sliders).
enum : int {
    SB_LINELEFT = 0,
    SB_LINERIGHT = 1,
    SB_PAGELEFT = 2,
    SB_PAGERIGHT = 3,
    SB_THUMBPOSITION = 4,
    SB_THUMBTRACK = 5,
    SB_LEFT = 6,
    SB_RIGHT = 7,
    SB_ENDSCROLL = 8,
};

// Vertical placement of a slider's track: DrawAlign.
enum : int32_t { SC_ALIGN_LEFT_TOP = 0, SC_ALIGN_CENTER = 1, SC_ALIGN_RIGHT_BOTTOM = 2 };

// Resource records handed to UseCustomSkin. The first word is the record's size; a record
// whose size is not its type's is refused. Image handles stay owned by the caller and must
// stay open while the control lives (the control reads them once, at UseCustomSkin).
struct SCBUTTONRES {  // push button (kind 1)
    uint32_t size = sizeof(SCBUTTONRES);
    SkinHandle source = SKIN_NO_HANDLE;       // Source: state frames
    SkinHandle sourceAlpha = SKIN_NO_HANDLE;  // SourceAlpha: shape mask, optional
    COLORREF textColor = CLR_INVALID;
};
struct SCCHECKRES {  // check button (kind 2)
    uint32_t size = sizeof(SCCHECKRES);
    SkinHandle source = SKIN_NO_HANDLE;  // Source: state frames, the checked row too
    COLORREF textColor = CLR_INVALID;
};
struct SCEDITRES {  // text box (kind 5) and time edit (kind 9)
    uint32_t size = sizeof(SCEDITRES);
    COLORREF textColor = CLR_INVALID;
    COLORREF bkColor = CLR_INVALID;
};
struct SCSTATICRES {  // static (kind 4) and HTML static (kind 7)
    uint32_t size = sizeof(SCSTATICRES);
    COLORREF textColor = CLR_INVALID;
    COLORREF textColor2 = CLR_INVALID;  // the text colour while disabled
    int32_t hasFont = 0;                // non-zero: font is applied
    LOGFONT font{};
};
struct SCHYPERLINKRES {  // hyperlink (kind 6)
    uint32_t size = sizeof(SCHYPERLINKRES);
    COLORREF textColor = CLR_INVALID;  // text while the link has no address
    COLORREF normal = CLR_INVALID;
    COLORREF focused = CLR_INVALID;  // under the pointer or with keyboard focus
    COLORREF pressed = CLR_INVALID;
    LOGFONT font{};  // empty face: the control's font
    LOGFONT hoverFont{};
};
struct SCSCROLLBARRES {  // scroll bar (kind 8)
    uint32_t size = sizeof(SCSCROLLBARRES);
    SkinHandle source = SKIN_NO_HANDLE;  // SourceHorz: 0 track, 1 thumb, 2 thumb hover, 3 thumb pressed
    int32_t beginDrawOffset = 0;         // fixed ends of track and thumb pictures
    int32_t endDrawOffset = 0;
    int32_t tile = 0;  // ResizeMethod "Tile"
};
struct SCEDIT2RES {  // image-backed edit field (kind 16)
    uint32_t size = sizeof(SCEDIT2RES);
    SkinHandle source = SKIN_NO_HANDLE;  // Source: 0 normal, 1 hover, 2 focused, 3 disabled
    RECT sourceMargin{};                 // fixed borders of the picture
    int32_t tile = 0;
    COLORREF textColor = CLR_INVALID;
    RECT textMargin{};  // text inset from the control's edges
};
struct SCSLIDERRES {  // two-state slider (kinds 22, 23)
    uint32_t size = sizeof(SCSLIDERRES);
    SkinHandle source = SKIN_NO_HANDLE;  // 0 track, 1 filled track, 2 thumb, 3 hover, 4 pressed, 5 disabled
    int32_t drawAlign = SC_ALIGN_CENTER;
    int32_t beginTrackOffset = 0;  // thumb travel insets from the ends
    int32_t endTrackOffset = 0;
};
struct SCSCALESLIDERRES {  // stretching slider (kinds 22, 23 with HorzStretch/VertStretch)
    uint32_t size = sizeof(SCSCALESLIDERRES);
    SkinHandle source = SKIN_NO_HANDLE;
    int32_t drawAlign = SC_ALIGN_CENTER;
    int32_t beginTrackOffset = 0;
    int32_t endTrackOffset = 0;
    int32_t beginDrawOffset = 0;  // fixed ends of the track picture
    int32_t endDrawOffset = 0;
    int32_t reserved = 0;
};
static_assert(sizeof(SCBUTTONRES) == 16 && sizeof(SCCHECKRES) == 12 && sizeof(SCEDITRES) == 12);
static_assert(sizeof(SCSTATICRES) == 108 && sizeof(SCHYPERLINKRES) == 204);
static_assert(sizeof(SCSLIDERRES) == 20 && sizeof(SCSCALESLIDERRES) == 32);
