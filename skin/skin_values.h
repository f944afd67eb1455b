// The values a skin writes in its attributes, and their parsers: colours, fonts, rectangles,
// the palette's indices and anchors. Free of Qt.
#pragma once

#include <cstdint>
#include <string>

class enXml;

// A colour as 0x00BBGGRR. CLR_INVALID marks "no colour": a control then uses its default.
using COLORREF = uint32_t;
inline constexpr COLORREF CLR_INVALID = 0xFFFFFFFFu;
constexpr COLORREF RGB(uint8_t r, uint8_t g, uint8_t b) {
    return static_cast<COLORREF>(r) | (static_cast<COLORREF>(g) << 8) | (static_cast<COLORREF>(b) << 16);
}
constexpr uint8_t GetRValue(COLORREF c) { return static_cast<uint8_t>(c & 0xFF); }
constexpr uint8_t GetGValue(COLORREF c) { return static_cast<uint8_t>((c >> 8) & 0xFF); }
constexpr uint8_t GetBValue(COLORREF c) { return static_cast<uint8_t>((c >> 16) & 0xFF); }

// A font description with the classic 92-byte layout. lfHeight < 0 is the character height
// in (device-independent) pixels; lfFaceName is UTF-8. An empty face name means "no font":
// the control keeps the font it has.
struct LOGFONT {
    int32_t lfHeight;
    int32_t lfWidth;
    int32_t lfEscapement;
    int32_t lfOrientation;
    int32_t lfWeight;  // 100 .. 900, 400 regular, 700 bold
    uint8_t lfItalic;
    uint8_t lfUnderline;
    uint8_t lfStrikeOut;
    uint8_t lfCharSet;
    uint8_t lfOutPrecision;
    uint8_t lfClipPrecision;
    uint8_t lfQuality;
    uint8_t lfPitchAndFamily;
    char lfFaceName[64];
};
static_assert(sizeof(LOGFONT) == 92);

struct RECT {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

// The skin's palette: what GetSkinColor(index) answers. A skin sets them in its root's
// <Palette> element by name (Window="#F6F7F9" ...); missing ones keep the built-in values.
enum SkinColorIndex : int {
    SKINCOLOR_WINDOW = 0,          // window background
    SKINCOLOR_SURFACE = 1,         // cards, fields, popups
    SKINCOLOR_TEXT = 2,            // body text
    SKINCOLOR_TEXT_SECONDARY = 3,  // hints, captions of values
    SKINCOLOR_ACCENT = 4,          // the one accent colour
    SKINCOLOR_ACCENT_TEXT = 5,     // text on the accent colour
    SKINCOLOR_BORDER = 6,          // outlines, separators, tracks
    SKINCOLOR_FOCUS = 7,           // keyboard focus ring
    SKINCOLOR_EDIT_TEXT = 8,       // text of the image-backed edit field when the skin names none
    SKINCOLOR_EDIT_BACKGROUND = 9,
    SKINCOLOR_SELECTION = 10,  // selected list item background
    SKINCOLOR_SELECTION_TEXT = 11,
    SKINCOLOR_DISABLED_TEXT = 12,
    SKINCOLOR_HOVER = 13,  // hover tint of list and menu items
    SKINCOLOR_LINK = 14,
    SKINCOLOR_DANGER = 15,  // destructive or recording state
    SKINCOLOR_COUNT = 16
};
// The palette name of an index ("Window", "Surface", ...); null when out of range.
const char* SkinColorName(int index);

// "#RRGGBB", "#RGB", "R, G, B" (0..255 each) or "@Name" / "@index" (a palette colour of the
// loaded skin). Surrounding blanks are ignored. Anything else gives CLR_INVALID.
COLORREF LoadColor(const std::string& text);
// "Face, size[, weight][, flags]": size in pixels (1..400, optional "px"); weight 100..900
// or thin, extralight, light, regular, normal, medium, semibold, bold, extrabold, black;
// flags any of italic, underline, strikeout separated by blanks. Returns false for anything
// else, and then clears lf (an empty face: "no font").
bool LoadFont(LOGFONT* lf, const std::string& text);
// "left, top, right, bottom": four integers separated by commas and/or blanks. Returns rc,
// or null for anything else, and then clears rc.
RECT* LoadRect(RECT* rc, const std::string& text);
// Four integers in the same syntax into out[0..3]; false (out untouched) for anything else.
bool ParseFourInts(const std::string& text, int32_t out[4]);

// Anchor bits of Place: which panel edges a control keeps its distance to.
enum : int { SC_ANCHOR_LEFT = 1, SC_ANCHOR_TOP = 2, SC_ANCHOR_RIGHT = 4, SC_ANCHOR_BOTTOM = 8 };
// "Left Top Right Bottom" (any, case-insensitive, blanks or '|' between); "" gives Left Top.
int ParseAnchors(const std::string& text);

// An element's attribute read as the skin files write it: the text ("" when missing), a
// number (0 when missing) or a colour (the fallback when missing; see LoadColor).
std::string AttributeText(const enXml& element, const char* name);
int AttributeInt(const enXml& element, const char* name);
COLORREF AttributeColor(const enXml& element, const char* name, COLORREF fallback = CLR_INVALID);
