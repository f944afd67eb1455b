// The skin library (libskin.so): the skin manager, which loads a skin description and
// answers colours, fonts and rectangles written in it, and the skinned controls and panels
// on Qt Widgets, which paint themselves from the skin's images and colours.
//
// How a window is built from a skin (the program's skin holder does this):
//   1. The manager loads the skin file (LoadStandardSkin); GetSkinXMLRoot gives its tree.
//   2. For each panel of the window's section the holder creates a CAutoPanelCaption and
//      gives it its element (LoadResources): background, size, caption bar, labels.
//   3. For each control element it creates the control class of the element's kind with the
//      window id, opens the images the element names (CSkinFile), packs the kind's values
//      into the kind's resource record and calls UseCustomSkin, sets the caption, and hands
//      the control and its element to the owning panel (AutoDisposeControl), which places it.
//   4. The window connects every control's command(id, code) signal; a command carries the
//      control's window id and a notification code (SCN_*), as WM_COMMAND would.
// data/Skins/README.md describes the file format.
//
// Threads: everything here runs on the user-interface thread, except the level meters'
// AddSamples/AddData, which any thread may call (see CSCPlayMeterRenderer).
#pragma once

#include <QColor>
#include <QComboBox>
#include <QDialog>
#include <QFont>
#include <QIcon>
#include <QMenu>
#include <QPixmap>
#include <QPointer>
#include <QRegion>
#include <QTimer>
#include <QWidget>

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <tuple>
#include <vector>

#include "contracts/wave_format.h"

class enXml;
class QLabel;
class QLineEdit;
class QListWidget;
class QPainter;
class QPlainTextEdit;
class QTextBrowser;

// =========================================================================================
// Values written in a skin: colours, fonts, rectangles (free of Qt)
// =========================================================================================

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
    SKINCOLOR_SELECTION = 10,       // selected list item background
    SKINCOLOR_SELECTION_TEXT = 11,
    SKINCOLOR_DISABLED_TEXT = 12,
    SKINCOLOR_HOVER = 13,           // hover tint of list and menu items
    SKINCOLOR_LINK = 14,
    SKINCOLOR_DANGER = 15,          // destructive or recording state
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

// =========================================================================================
// The skin manager
// =========================================================================================

// The manager's interface, as the controls and the program reach it.
class ISkinManager {
public:
    virtual ~ISkinManager() = default;
    // Loads the skin file into a tree the manager owns. 0 on success; otherwise the skin
    // that was loaded before stays loaded and the result is one of the SKINLOAD_* codes.
    virtual int LoadStandardSkin(const std::string& path) = 0;
    // The root element (SKIN_KEL) of the loaded skin; null when none is loaded.
    virtual enXml* GetSkinXMLRoot() = 0;
    // Palette colour; CLR_INVALID for an index outside 0..SKINCOLOR_COUNT-1.
    virtual COLORREF GetSkinColor(int index) const = 0;
    // The folder of the loaded skin file (image names are relative to it); "" when none.
    virtual std::string GetSkinFolder() const = 0;
    // The skin's default window font (root attribute LogFont), cleared when it names none.
    virtual LOGFONT GetSkinFont() const = 0;
    // The skin's caption font (root attribute CaptionLogFont), cleared when it names none.
    virtual LOGFONT GetCaptionFont() const = 0;
};

enum : int {
    SKINLOAD_OK = 0,
    SKINLOAD_NOT_FOUND = 1,     // no such file
    SKINLOAD_BAD_XML = 2,       // the file is no well-formed XML
    SKINLOAD_NOT_A_SKIN = 3,    // root not SKIN_KEL or without a Caption
};

// The process-wide manager.
int LoadStandardSkin(const std::string& path);
enXml* GetSkinXMLRoot();
COLORREF GetSkinColor(int index);
// The manager's interface (the process-wide manager; never null).
ISkinManager* GetSWQueryInterface();
// Hands the controls library the manager it asks for colours, fonts and image folders; null
// returns the controls to the process-wide manager.
void SetSWQueryInterface(ISkinManager* manager);
// The manager the controls use now.
ISkinManager* SkinControlsManager();

// An image file named by a skin, open for reading for as long as the object lives. Controls
// receive its Handle() in their resource records and read the image through it.
class CSkinFile {
public:
    CSkinFile() = default;
    explicit CSkinFile(const std::string& path);
    ~CSkinFile();
    CSkinFile(CSkinFile&& other) noexcept;
    CSkinFile& operator=(CSkinFile&& other) noexcept;
    CSkinFile(const CSkinFile&) = delete;
    CSkinFile& operator=(const CSkinFile&) = delete;

    bool IsOpen() const { return m_fd >= 0; }
    int Handle() const { return m_fd; }
    void Close();

private:
    int m_fd = -1;
};
using SkinHandle = int32_t;  // an open file descriptor; SKIN_NO_HANDLE when none
inline constexpr SkinHandle SKIN_NO_HANDLE = -1;

// =========================================================================================
// Qt conversions and image frames
// =========================================================================================

// CLR_INVALID gives an invalid QColor.
QColor ToQColor(COLORREF color);
// The palette colour of the controls' manager as a QColor.
QColor SkinPaletteColor(int index);
// A font from a LOGFONT; `fallback` when its face is empty.
QFont ToQFont(const LOGFONT& lf, const QFont& fallback);

// The state a control is drawn in, and the frame of an image that shows it.
struct SkinState {
    bool hover = false;
    bool pressed = false;
    bool disabled = false;
    bool checked = false;
    bool focused = false;
};
// Frame order of a state image: 0 normal, 1 hover, 2 pressed, 3 disabled, 4 checked,
// 5 checked + hover, 6 checked + pressed, 7 checked + disabled. A missing frame falls back:
// pressed → hover → normal; disabled → normal; checked ones → their unchecked state's frame
// of the checked row, then checked (4), then pressed (2), then normal.
int PickFrame(int frameCount, const SkinState& state);
// Frame order of an edit field image: 0 normal, 1 hover, 2 focused, 3 disabled.
int PickFieldFrame(int frameCount, const SkinState& state);

// An image with one or more frames. SVG images define frame cells with elements whose ids
// are "frame0", "frame1", ... (their bounds are the cells; without them the whole picture is
// one frame) and may mark the stretchable middle with an element "stretch" inside frame 0.
// Raster images (PNG) stack equal frames vertically; the PNG text keys "Frames" (count) and
// "Scale" (2 for double-density pictures) describe them. Frames are drawn stretched into
// the target, or with fixed borders (margins) whose middle is stretched or tiled.
class CDataSource {
public:
    CDataSource();
    ~CDataSource();
    CDataSource(const CDataSource&) = delete;
    CDataSource& operator=(const CDataSource&) = delete;

    // Reads the whole image through an open file (from its start). False, leaving the source
    // empty, when the handle is bad or the data is no image.
    bool LoadFromHandle(SkinHandle handle);
    bool LoadFromFile(const QString& path);
    bool LoadFromData(const QByteArray& data);
    // An optional mask whose alpha channel is multiplied into every frame.
    bool LoadAlphaFromHandle(SkinHandle handle);
    bool LoadAlphaFromData(const QByteArray& data);
    void Clear();

    bool IsValid() const;
    bool IsVector() const;
    int GetFrameCount() const;
    // The natural size of a frame in device-independent pixels (frames may differ in size).
    QSize GetFrameSize(int frame = 0) const;
    // Fixed borders: an explicit margin wins over the image's own "stretch" marker.
    void SetMargins(const QMargins& margins);
    QMargins GetMargins() const;
    void SetTiled(bool tile) {
        m_tile = tile;
        CloseHandle();  // frames drawn before were drawn the other way
    }
    bool IsTiled() const { return m_tile; }

    // Draws frame (clamped to the frames there are) into target. False when empty.
    bool DrawFrame(QPainter& painter, const QRect& target, int frame, qreal opacity = 1.0) const;
    // The frame rendered at size (device-independent) for the given pixel ratio.
    QPixmap RenderFrame(int frame, const QSize& size, qreal devicePixelRatio) const;
    // The shape of a frame (pixels with any opacity) at size, or at the natural frame size.
    // The region is cached until CloseHandle; an empty source gives the whole rectangle.
    QRegion GetFrameRgn(int frame, const QSize& size);
    QRegion GetFrameRgn(int frame) { return GetFrameRgn(frame, GetFrameSize()); }
    // Releases the cached region and rendered frames.
    void CloseHandle();

    struct Image;  // the decoded picture (opaque)

private:
    QImage RenderImage(int frame, const QSize& size, qreal ratio) const;
    void PaintFrame(QPainter& painter, const QRectF& target, int frame) const;
    std::unique_ptr<Image> m_image;
    std::unique_ptr<Image> m_alpha;
    QMargins m_margins;
    bool m_explicitMargins = false;
    bool m_tile = false;
    mutable std::map<std::tuple<int, int, int, int>, QPixmap> m_cache;  // (frame, w, h, ratio×100)
    QRegion m_region;
    std::tuple<int, int, int> m_regionKey{-1, 0, 0};
};

// =========================================================================================
// Control styles, notifications and resource records
// =========================================================================================

enum : uint32_t {
    WS_CHILD = 0x40000000u,
    WS_VISIBLE = 0x10000000u,
    WS_VSCROLL = 0x00200000u,
    BS_AUTOCHECKBOX = 0x3u,   // CSCButton: a check button that toggles itself
    ES_MULTILINE = 0x4u,
    ES_AUTOHSCROLL = 0x80u,
    ES_READONLY = 0x800u,
    CBS_DROPDOWNLIST = 0x3u,
    TBS_VERT = 0x2u,          // CSCSlider, CSCScaleSlider: vertical
    SBS_VERT = 0x1u,          // CSCScrollBar: vertical
    PBS_SMOOTH = 0x1u,        // CSCScaleProgress: the bar follows the position without steps
    PBS_VERTICAL = 0x2u,      // CSCScaleProgress: fills from the bottom up
};

// Notification codes of command(id, code).
enum : int {
    SCN_CLICKED = 0,       // button pressed and released, check toggled, link activated
    SCN_SELCHANGE = 1,     // the user chose another list or combo item
    SCN_DBLCLK = 2,        // list item double-clicked or activated with Enter
    SCN_CHANGE = 0x300,    // edit text changed (by the user or the program)
    SCN_HSCROLL = 0x114,   // a horizontal slider's position changed (read it with GetPos)
    SCN_VSCROLL = 0x115,   // a vertical slider's position changed
    SCN_COMMIT = 4660,     // an edit's entry confirmed: Enter, or leaving a changed field
};

// Scroll requests of scroll(id, request, position) (scroll bars and sliders).
enum : int {
    SB_LINELEFT = 0, SB_LINERIGHT = 1, SB_PAGELEFT = 2, SB_PAGERIGHT = 3,
    SB_THUMBPOSITION = 4, SB_THUMBTRACK = 5, SB_LEFT = 6, SB_RIGHT = 7, SB_ENDSCROLL = 8,
};

// Vertical placement of a slider's track: DrawAlign.
enum : int32_t { SC_ALIGN_LEFT_TOP = 0, SC_ALIGN_CENTER = 1, SC_ALIGN_RIGHT_BOTTOM = 2 };

// Resource records handed to UseCustomSkin. The first word is the record's size; a record
// whose size is not its type's is refused. Image handles stay owned by the caller and must
// stay open while the control lives (the control reads them once, at UseCustomSkin).
struct SCBUTTONRES {          // push button (kind 1)
    uint32_t size = sizeof(SCBUTTONRES);
    SkinHandle source = SKIN_NO_HANDLE;       // Source: state frames
    SkinHandle sourceAlpha = SKIN_NO_HANDLE;  // SourceAlpha: shape mask, optional
    COLORREF textColor = CLR_INVALID;
};
struct SCCHECKRES {           // check button (kind 2)
    uint32_t size = sizeof(SCCHECKRES);
    SkinHandle source = SKIN_NO_HANDLE;       // Source: state frames, the checked row too
    COLORREF textColor = CLR_INVALID;
};
struct SCEDITRES {            // text box (kind 5) and time edit (kind 9)
    uint32_t size = sizeof(SCEDITRES);
    COLORREF textColor = CLR_INVALID;
    COLORREF bkColor = CLR_INVALID;
};
struct SCSTATICRES {          // static (kind 4) and HTML static (kind 7)
    uint32_t size = sizeof(SCSTATICRES);
    COLORREF textColor = CLR_INVALID;
    COLORREF textColor2 = CLR_INVALID;  // the text colour while disabled
    int32_t hasFont = 0;                // non-zero: font is applied
    LOGFONT font{};
};
struct SCHYPERLINKRES {       // hyperlink (kind 6)
    uint32_t size = sizeof(SCHYPERLINKRES);
    COLORREF textColor = CLR_INVALID;  // text while the link has no address
    COLORREF normal = CLR_INVALID;
    COLORREF focused = CLR_INVALID;    // under the pointer or with keyboard focus
    COLORREF pressed = CLR_INVALID;
    LOGFONT font{};                    // empty face: the control's font
    LOGFONT hoverFont{};
};
struct SCSCROLLBARRES {       // scroll bar (kind 8)
    uint32_t size = sizeof(SCSCROLLBARRES);
    SkinHandle source = SKIN_NO_HANDLE;  // SourceHorz: 0 track, 1 thumb, 2 thumb hover, 3 thumb pressed
    int32_t beginDrawOffset = 0;         // fixed ends of track and thumb pictures
    int32_t endDrawOffset = 0;
    int32_t tile = 0;                    // ResizeMethod "Tile"
};
struct SCEDIT2RES {           // image-backed edit field (kind 16)
    uint32_t size = sizeof(SCEDIT2RES);
    SkinHandle source = SKIN_NO_HANDLE;  // Source: 0 normal, 1 hover, 2 focused, 3 disabled
    RECT sourceMargin{};                 // fixed borders of the picture
    int32_t tile = 0;
    COLORREF textColor = CLR_INVALID;
    RECT textMargin{};                   // text inset from the control's edges
};
struct SCSLIDERRES {          // two-state slider (kinds 22, 23)
    uint32_t size = sizeof(SCSLIDERRES);
    SkinHandle source = SKIN_NO_HANDLE;  // 0 track, 1 filled track, 2 thumb, 3 hover, 4 pressed, 5 disabled
    int32_t drawAlign = SC_ALIGN_CENTER;
    int32_t beginTrackOffset = 0;        // thumb travel insets from the ends
    int32_t endTrackOffset = 0;
};
struct SCSCALESLIDERRES {     // stretching slider (kinds 22, 23 with HorzStretch/VertStretch)
    uint32_t size = sizeof(SCSCALESLIDERRES);
    SkinHandle source = SKIN_NO_HANDLE;
    int32_t drawAlign = SC_ALIGN_CENTER;
    int32_t beginTrackOffset = 0;
    int32_t endTrackOffset = 0;
    int32_t beginDrawOffset = 0;         // fixed ends of the track picture
    int32_t endDrawOffset = 0;
    int32_t reserved = 0;
};
static_assert(sizeof(SCBUTTONRES) == 16 && sizeof(SCCHECKRES) == 12 && sizeof(SCEDITRES) == 12);
static_assert(sizeof(SCSTATICRES) == 108 && sizeof(SCHYPERLINKRES) == 204);
static_assert(sizeof(SCSLIDERRES) == 20 && sizeof(SCSCALESLIDERRES) == 32);

// =========================================================================================
// CSkinBase: what every skinned control is
// =========================================================================================

// A skinned control: a QWidget with a window id that reports commands to its window. It
// paints itself from its skin record and falls back to a plain look drawn from the palette
// when it has none (or its images cannot be read), staying fully usable.
class CSkinBase : public QWidget {
    Q_OBJECT
public:
    CSkinBase(QWidget* parent, int windowId, uint32_t style = 0);
    ~CSkinBase() override;

    QWidget* GetWnd() { return this; }
    int GetWindowId() const { return m_windowId; }
    uint32_t GetStyle() const { return m_style; }
    // Takes the kind's resource record; false when the record is not this control's (wrong
    // size) or its required image cannot be read (the control then stays unskinned).
    virtual bool UseCustomSkin(const void* record);
    bool IsSkinned() const { return m_skinned; }
    // Tooltip; a title, when given, is shown in bold above the text.
    virtual void SetTooltip(const QString& text, const QString& title = {});
    // The window text: a button's caption, an edit's content, a static's text.
    virtual void SetWindowText(const QString& text);
    virtual QString GetWindowText() const { return m_text; }
    // Presentation attributes of the control's skin element that the placing panel applies
    // after placing it (Text, LogFont, Icon, ... see data/Skins/README.md).
    virtual void ApplyElement(const enXml& element);
    // Called by the window once every control of its skin exists (the "skin applied"
    // message); controls that depend on their neighbours may finish their setup here.
    virtual void OnSkinApplied() {}
    // Reports a notification to the window: emits command(GetWindowId(), code).
    void NotifyParent(int code);
    // Whether the keyboard focus ring is showing (focus that came by keyboard or program).
    bool IsFocusVisible() const;

signals:
    void command(int id, int code);
    void scroll(int id, int request, int position);

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    // Called after the window text changed.
    virtual void OnTextChanged() { update(); }
    SkinState CurrentState() const;
    // A rounded focus ring inside rect, in the palette's focus colour.
    void DrawFocusRing(QPainter& painter, const QRectF& rect, qreal radius) const;
    // Colour helpers: the given one when valid, else the palette's.
    static QColor ColorOr(COLORREF color, int paletteIndex);
    void SetSkinned(bool skinned) { m_skinned = skinned; }

    bool m_hover = false;
    QString m_text;

private:
    int m_windowId;
    uint32_t m_style;
    bool m_skinned = false;
    bool m_keyboardFocus = false;
};

// =========================================================================================
// Buttons
// =========================================================================================

// Push button, or check button with BS_AUTOCHECKBOX. Space and Enter activate it; a check
// button toggles before it reports SCN_CLICKED. With a caption, the Source picture is the
// button's background (Glyph="Fill", default) or a box drawn left of the caption
// (Glyph="Left"). An Icon is painted in the text colour, left of the caption (right of it
// with IconPosition="Right").
class CSCButton : public CSkinBase {
    Q_OBJECT
public:
    CSCButton(QWidget* parent, int windowId, uint32_t style = 0);
    ~CSCButton() override;

    bool UseCustomSkin(const void* record) override;
    void ApplyElement(const enXml& element) override;
    bool IsCheckBox() const { return (GetStyle() & BS_AUTOCHECKBOX) == BS_AUTOCHECKBOX; }
    void SetCheck(int checked);  // 0 or 1; no notification
    int GetCheck() const { return m_checked ? 1 : 0; }
    void SetIcon(const QIcon& icon, const QSize& size = {});
    // A drop-down button shows a chevron right of its caption.
    void SetDropDown(bool dropDown);
    bool IsDropDown() const { return m_dropDown; }
    void SetGlyphLeft(bool left);
    // Puts the icon right of the caption (a "next" arrow) instead of left of it.
    void SetIconRight(bool right);
    // Presses and releases the button as a click would.
    void Click();
    CDataSource& GetDataSource() { return m_source; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void PaintFallback(QPainter& painter, const SkinState& state) const;
    void PaintContent(QPainter& painter, const QRect& area, const QColor& color) const;
    CDataSource m_source;
    QColor m_textColor;
    QIcon m_icon;
    QSize m_iconSize{18, 18};
    bool m_checked = false;
    bool m_pressed = false;
    bool m_spacePressed = false;
    bool m_dropDown = false;
    bool m_glyphLeft = false;
    bool m_iconRight = false;
    Qt::Alignment m_textAlign = Qt::AlignCenter;
};

// =========================================================================================
// Statics
// =========================================================================================

// Text or icon. The text is drawn with its line breaks; TextAlign, VAlign and WordWrap of the
// element choose its placement. Derived controls (the waveform editor) paint themselves.
class CSCStatic : public CSkinBase {
    Q_OBJECT
public:
    CSCStatic(QWidget* parent, int windowId, uint32_t style = 0);
    ~CSCStatic() override;

    bool UseCustomSkin(const void* record) override;
    void ApplyElement(const enXml& element) override;
    // Switches the static to show an icon, centred, instead of its text; a null icon
    // switches back.
    void SetIcon(const QIcon& icon, const QSize& size = QSize(32, 32));
    // The size text would take in this control's font, line breaks counted.
    QSize GetTextExtent(const QString& text) const;
    void SetTextAlignment(Qt::Alignment alignment);
    void SetWordWrap(bool wrap);
    QColor TextColor() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    QColor m_textColor;
    QColor m_disabledColor;

private:
    QIcon m_icon;
    QSize m_iconSize;
    Qt::Alignment m_align = Qt::AlignLeft | Qt::AlignVCenter;
    bool m_wrap = false;
};

// A link: coloured by state, underlined under the pointer, activated by click, Space or
// Enter. Activation reports SCN_CLICKED and opens the address, when one is set.
class CSCHyperLinkStatic : public CSkinBase {
    Q_OBJECT
public:
    CSCHyperLinkStatic(QWidget* parent, int windowId, uint32_t style = 0);
    ~CSCHyperLinkStatic() override;

    bool UseCustomSkin(const void* record) override;
    void SetLink(const QString& url) { m_url = url; update(); }
    QString GetLink() const { return m_url; }
    // A transparent link draws no background; otherwise it fills with the surface colour.
    void SetTransparent(bool transparent) { m_transparent = transparent; update(); }
    QSize sizeHint() const override;

signals:
    void linkActivated(const QString& url);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Activate();
    QColor m_plain, m_normal, m_focused, m_pressedColor;
    QFont m_font, m_hoverFont;
    bool m_hasFont = false;
    bool m_pressed = false;
    bool m_transparent = true;
    QString m_url;
};

// Rich text (a subset of HTML). Links in it open in the system's browser and are reachable
// with Tab.
class CSCHtmlStatic : public CSkinBase {
    Q_OBJECT
public:
    CSCHtmlStatic(QWidget* parent, int windowId, uint32_t style = 0);
    ~CSCHtmlStatic() override;

    bool UseCustomSkin(const void* record) override;
    void ApplyElement(const enXml& element) override;
    QLabel* Label() const { return m_label; }

protected:
    void OnTextChanged() override;
    void changeEvent(QEvent* event) override;

private:
    void ApplyColors();
    QLabel* m_label;
    QColor m_textColor, m_disabledColor;
};

// A browser for local pages and rich text. Addresses other than local files are not loaded;
// links to them open in the system's browser.
class CSCHtmlBrowser : public CSkinBase {
    Q_OBJECT
public:
    CSCHtmlBrowser(QWidget* parent, int windowId, uint32_t style = 0);
    ~CSCHtmlBrowser() override;

    // Prepares the view; flags are kept for callers' symmetry and change nothing.
    void InitHtml(int flags);
    // Shows the first of the addresses that is a readable local file (a path or a file://
    // address); an empty view and false when none is.
    bool Navigate(const QString& address, const QString& fallback = {});
    QString GetCurrentAddress() const;
    QTextBrowser* Browser() const { return m_browser; }

protected:
    void OnTextChanged() override;
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QTextBrowser* m_browser;
};

// =========================================================================================
// Edits
// =========================================================================================

// Multi-line text box with a vertical scroll bar (kind 5).
class CSCEditBox : public CSkinBase {
    Q_OBJECT
public:
    CSCEditBox(QWidget* parent, int windowId, uint32_t style = ES_MULTILINE | WS_VSCROLL);
    ~CSCEditBox() override;

    bool UseCustomSkin(const void* record) override;
    QString GetWindowText() const override;
    void SetReadOnly(bool readOnly);
    QPlainTextEdit* Editor() const { return m_edit; }

protected:
    void OnTextChanged() override;
    void paintEvent(QPaintEvent* event) override;

private:
    void ApplyColors();
    QPlainTextEdit* m_edit;
    QColor m_textColor, m_bkColor;
    bool m_settingText = false;
};

// One-line edit on an image (kind 16): the picture's frames show normal, hover, focused and
// disabled; the text sits inside TextMargin. Text changes report SCN_CHANGE; Enter, or
// leaving the field after editing it, reports SCN_COMMIT once per entry.
class CSCEditBox2 : public CSkinBase {
    Q_OBJECT
public:
    CSCEditBox2(QWidget* parent, int windowId, uint32_t style = ES_MULTILINE | ES_AUTOHSCROLL);
    ~CSCEditBox2() override;

    bool UseCustomSkin(const void* record) override;
    QString GetWindowText() const override;
    void SetCueBanner(const QString& text);
    void SetReadOnly(bool readOnly);
    bool IsReadOnly() const;
    void SetSel(int start, int end);  // (0, -1) selects everything
    QLineEdit* Editor() const { return m_edit; }
    CDataSource& GetDataSource() { return m_source; }

protected:
    void OnTextChanged() override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void PlaceEditor();
    void ApplyColors();
    QLineEdit* m_edit;
    CDataSource m_source;
    QColor m_textColor;
    QMargins m_textMargin;
    bool m_hasTextMargin = false;
    bool m_edited = false;
};

// A read-only time display with inner margins (kind 9).
class CSCTimeEdit : public CSkinBase {
    Q_OBJECT
public:
    CSCTimeEdit(QWidget* parent, int windowId, uint32_t style = ES_READONLY);
    ~CSCTimeEdit() override;

    bool UseCustomSkin(const void* record) override;
    void SetMargins(int left, int top, int right, int bottom);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_textColor, m_bkColor;
    QMargins m_margins{4, 2, 4, 2};
};

// =========================================================================================
// Lists
// =========================================================================================

// Drop-down list (kind 10). Items carry a number of item data. A user's choice reports
// SCN_SELCHANGE; setting the selection from the program does not.
class CSCComboBox : public CSkinBase {
    Q_OBJECT
public:
    CSCComboBox(QWidget* parent, int windowId, uint32_t style = CBS_DROPDOWNLIST);
    ~CSCComboBox() override;

    int AddString(const QString& text);  // returns the new item's index
    int InsertString(int index, const QString& text);
    void DeleteString(int index);
    void ResetContent();
    int GetCount() const;
    int GetCurSel() const;               // -1 when nothing is selected
    void SetCurSel(int index);           // -1 clears the selection
    QString GetLBText(int index) const;
    void SetItemData(int index, intptr_t data);
    intptr_t GetItemData(int index) const;  // 0 for a bad index
    QString GetWindowText() const override;
    QComboBox* Combo() const { return m_combo; }

protected:
    // Height of a row in the open list, and whether the chosen row shows a check mark.
    virtual int RowHeight() const { return 30; }
    virtual bool MarksCurrent() const { return false; }
    void OnTextChanged() override {}

private:
    QComboBox* m_combo;
};

// Drop-down list with roomy rows and a check mark at the chosen one (kind 11).
class CSCComboBox2 : public CSCComboBox {
    Q_OBJECT
public:
    CSCComboBox2(QWidget* parent, int windowId, uint32_t style = CBS_DROPDOWNLIST);
    ~CSCComboBox2() override;

protected:
    int RowHeight() const override { return 36; }
    bool MarksCurrent() const override { return true; }
};

// List (kind 13): a selection change by the user reports SCN_SELCHANGE, a double click or
// Enter on an item SCN_DBLCLK.
class CSCListBox : public CSkinBase {
    Q_OBJECT
public:
    CSCListBox(QWidget* parent, int windowId, uint32_t style = 0);
    ~CSCListBox() override;

    int AddString(const QString& text);
    void DeleteString(int index);
    void ResetContent();
    int GetCount() const;
    int GetCurSel() const;
    void SetCurSel(int index);
    QString GetText(int index) const;
    void SetItemData(int index, intptr_t data);
    intptr_t GetItemData(int index) const;
    QListWidget* List() const { return m_list; }

private:
    QListWidget* m_list;
    bool m_settingSelection = false;
};

// =========================================================================================
// Scroll bar, sliders, progress, meters
// =========================================================================================

// Scroll bar (kind 8). As a system scroll bar, it does not move by itself: user actions are
// requests, reported as scroll(id, request, position); the owner sets the new position.
// While the thumb is dragged it follows the pointer.
class CSCScrollBar : public CSkinBase {
    Q_OBJECT
public:
    CSCScrollBar(QWidget* parent, int windowId, uint32_t style = 0);
    ~CSCScrollBar() override;

    bool UseCustomSkin(const void* record) override;
    // Range min..max, page size (items visible at once), position clamped to max-page+1.
    void SetScrollInfo(int minimum, int maximum, int page, int position);
    void SetScrollPos(int position);
    int GetScrollPos() const { return m_pos; }
    int GetScrollMin() const { return m_min; }
    int GetScrollMax() const { return m_max; }
    int GetScrollPage() const { return m_page; }
    // The highest position the thumb can reach.
    int GetScrollLimit() const;
    bool IsVertical() const { return (GetStyle() & SBS_VERT) != 0; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QRect TrackRect() const;
    QRect ThumbRect(int position) const;
    int PositionAt(int pixel) const;
    void Request(int request, int position);
    CDataSource m_source;
    int m_min = 0, m_max = 0, m_page = 0, m_pos = 0;
    bool m_dragging = false;
    int m_dragPos = 0;
    int m_dragOffset = 0;
    int m_repeatRequest = -1;
    QTimer m_repeat;
};

// Two-state slider (CSCSlider, kinds 22/23): a track picture whose part before the thumb
// shows the filled state, and a thumb. Keyboard: arrows one step, Page Up/Down a page,
// Home/End the ends. Every change by the user reports SCN_HSCROLL (SCN_VSCROLL when
// vertical) and scroll(id, request, position). A vertical slider has its maximum at the top.
class CSCSlider : public CSkinBase {
    Q_OBJECT
public:
    CSCSlider(QWidget* parent, int windowId, uint32_t style = 0);
    ~CSCSlider() override;

    bool UseCustomSkin(const void* record) override;
    void SetRange(int minimum, int maximum);
    int GetRangeMin() const { return m_min; }
    int GetRangeMax() const { return m_max; }
    void SetPos(int position);  // clamped; no notification
    int GetPos() const { return m_pos; }
    void SetLineSize(int size) { m_line = size > 0 ? size : 1; }
    void SetPageSize(int size) { m_pageSize = size > 0 ? size : 1; }
    bool IsVertical() const { return (GetStyle() & TBS_VERT) != 0; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // The rectangle the track picture is drawn in; the stretching slider overrides it.
    virtual QRect TrackRect() const;
    bool ApplySliderRecord(SkinHandle source, int drawAlign, int beginTrack, int endTrack);
    CDataSource m_source;

private:
    int Travel() const;           // pixels the thumb centre can move
    int ThumbCentre(int position) const;
    int PositionAt(const QPoint& point) const;
    QSize ThumbSize() const;
    void UserMove(int position, int request);
    int m_min = 0, m_max = 100, m_pos = 0;
    int m_line = 1, m_pageSize = 10;
    int m_align = SC_ALIGN_CENTER;
    int m_beginTrack = 0, m_endTrack = 0;
    bool m_dragging = false;
};

// Slider whose track picture is stretched over the control's length, its ends (BeginDraw-
// Offset, EndDrawOffset) kept at their size.
class CSCScaleSlider : public CSCSlider {
    Q_OBJECT
public:
    CSCScaleSlider(QWidget* parent, int windowId, uint32_t style = 0);
    ~CSCScaleSlider() override;

    bool UseCustomSkin(const void* record) override;

protected:
    QRect TrackRect() const override;
};

// Progress bar: a rounded track filled in the accent colour.
class CSCProgress : public CSkinBase {
    Q_OBJECT
public:
    CSCProgress(QWidget* parent, int windowId, uint32_t style = 0);
    ~CSCProgress() override;

    void SetRange(int low, int high);
    void SetPos(int position);  // clamped
    int GetPos() const { return m_pos; }
    int GetRangeLow() const { return m_low; }
    int GetRangeHigh() const { return m_high; }
    // Filled part, 0..1.
    double Fraction() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    virtual bool IsVertical() const { return false; }

private:
    int m_low = 0, m_high = 100, m_pos = 0;
};

// Progress bar that scales to any size; PBS_VERTICAL fills it from the bottom.
class CSCScaleProgress : public CSCProgress {
    Q_OBJECT
public:
    CSCScaleProgress(QWidget* parent, int windowId, uint32_t style = 0);
    ~CSCScaleProgress() override;

protected:
    bool IsVertical() const override { return (GetStyle() & PBS_VERTICAL) != 0; }
};

// Level computation for the meters (free of painting). AddSamples/AddPcm may be called from
// any thread; Levels from the painting thread. m_lock guards m_peaks.
class CSCPlayMeterRenderer {
public:
    static constexpr int kMaxChannels = 8;
    // Peak of every channel since the last Advance, from float samples (−1..1).
    void AddSamples(const float* const* channels, int channelCount, size_t frames);
    // The same from interleaved PCM of the format (8, 16, 24, 32-bit integer or 32-bit float).
    void AddPcm(const void* data, size_t bytes, const WAVEFORMATEX& format);
    // Moves the shown levels towards the peaks collected since the last call: a rise is
    // shown at once, a fall decays by 24 dB per second over elapsedMs. Returns the levels
    // (0..1 on a 60 dB scale) of the channels seen.
    std::vector<float> Advance(int elapsedMs);
    void Reset();
    // 0..1 on a 60 dB scale for a linear amplitude.
    static float ToMeterScale(float amplitude);

private:
    std::mutex m_lock;
    std::array<float, kMaxChannels> m_peaks{};
    int m_channels = 0;
    std::vector<float> m_shown;  // painting thread only
};

// Horizontal level meter (kind 12): one bar per channel, green-to-accent segments, updated
// 30 times a second while on.
class CSCPlayMeter : public CSkinBase {
    Q_OBJECT
public:
    CSCPlayMeter(QWidget* parent, int windowId, uint32_t style = 0);
    ~CSCPlayMeter() override;

    void SetOn(bool on);
    bool IsOn() const { return m_timer.isActive(); }
    CSCPlayMeterRenderer& Renderer() { return m_renderer; }
    // Any thread.
    void AddSamples(const float* const* channels, int channelCount, size_t frames);
    const std::vector<float>& ShownLevels() const { return m_levels; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void Tick();
    CSCPlayMeterRenderer m_renderer;

private:
    QTimer m_timer;
    std::vector<float> m_levels;
    qint64 m_lastTick = 0;
};

// Level meter fed with raw PCM in a given format (kind 18, the recorder's).
class CSCPlayMeter2 : public CSCPlayMeter {
    Q_OBJECT
public:
    CSCPlayMeter2(QWidget* parent, int windowId, uint32_t style = 0);
    ~CSCPlayMeter2() override;

    void SetFormat(const WAVEFORMATEX& format);
    // Any thread.
    void AddData(const void* data, size_t bytes);

private:
    std::mutex m_formatLock;  // guards m_format
    WAVEFORMATEX m_format{};
};

// =========================================================================================
// Panels, dialogs, menus
// =========================================================================================

// A panel with a skin background (Source picture or a BkColor/BorderColor/Radius shape) and
// an initial size (Width, Height) it is designed for.
class CSCScalePanel : public QWidget {
    Q_OBJECT
public:
    explicit CSCScalePanel(QWidget* parent);
    ~CSCScalePanel() override;

    // Reads the panel's look from its element; null gives the plain surface look.
    virtual void LoadResources(const enXml* element);
    QSize GetInitialSize() const { return m_initialSize; }
    // The background picture; its frame 0 is the panel's shape.
    CDataSource& GetDataSource() { return m_background; }

protected:
    void paintEvent(QPaintEvent* event) override;
    QSize m_initialSize;
    CDataSource m_background;
};

// A panel that places controls from their elements and draws its own decorations
// (<Box>, <Label>, <Image> children of its element).
class CAutoPanel : public CSCScalePanel {
    Q_OBJECT
public:
    explicit CAutoPanel(QWidget* parent);
    ~CAutoPanel() override;

    void LoadResources(const enXml* element) override;
    // Takes the control over: makes it a child of the panel, places it from the element's
    // Place and Anchor, applies the element's presentation attributes, and appends it to
    // the keyboard order. A control without Place keeps its geometry.
    void AutoDisposeControl(CSkinBase* control, const enXml* element);
    // Gives every control back to the panel's parent (hidden), so that destroying the panel
    // leaves them alone.
    void DetachAllControls();
    int GetControlCount() const { return static_cast<int>(m_controls.size()); }
    // Where a control of this Place/Anchor lies at the panel's current size.
    QRect PlaceAt(const QRect& place, int anchors) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    // Painted over the background and under the decorations (the caption bar).
    virtual void PaintUnderDecorations(QPainter&) {}

private:
    struct Placed {
        QPointer<CSkinBase> control;
        QRect place;
        int anchors;
    };
    struct Decoration;
    void LoadDecorations(const enXml& element);
    void PaintDecorations(QPainter& painter) const;
    std::vector<Placed> m_controls;
    std::vector<std::unique_ptr<Decoration>> m_decorations;
    QPointer<QWidget> m_lastInOrder;
};

// Anchor bits of Place: which panel edges a control keeps its distance to.
enum : int { SC_ANCHOR_LEFT = 1, SC_ANCHOR_TOP = 2, SC_ANCHOR_RIGHT = 4, SC_ANCHOR_BOTTOM = 8 };
// "Left Top Right Bottom" (any, case-insensitive, blanks or '|' between); "" gives Left Top.
int ParseAnchors(const std::string& text);

// A panel with a caption bar (CaptionHeight, CaptionColor, Caption, CaptionTextColor,
// CaptionLogFont): dragging the bar moves the window.
class CAutoPanelCaption : public CAutoPanel {
    Q_OBJECT
public:
    explicit CAutoPanelCaption(QWidget* parent);
    ~CAutoPanelCaption() override;

    void LoadResources(const enXml* element) override;
    int GetCaptionHeight() const { return m_captionHeight; }
    void SetCaptionText(const QString& text);

protected:
    void PaintUnderDecorations(QPainter& painter) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    int m_captionHeight = 0;
    QColor m_captionColor, m_captionTextColor;
    QFont m_captionFont;
    QString m_caption;
    bool m_dragging = false;
    QPoint m_dragOffset;
};

// A skinned dialog: frameless, drawn entirely by its panels, in the skin's window font.
// Its shape is a window region (SetWindowRgn); Enter triggers the default button; Escape
// and closing the window end it with 2 (IDCANCEL), as the system's dialogs do.
class CSCScaleDialog : public QDialog {
    Q_OBJECT
public:
    explicit CSCScaleDialog(QWidget* parent = nullptr);
    ~CSCScaleDialog() override;

    // The skin's caption font (for measuring a caption against the dialog's width).
    QFont GetCaptionFont() const;
    void SetWindowRgn(const QRegion& region);
    // The button Enter and Return click when the focus is not in a multi-line text.
    void SetDefaultButton(CSCButton* button) { m_defaultButton = button; }
    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QPointer<CSCButton> m_defaultButton;
};

// A popup menu in the skin's look. Entries carry command ids; TrackPopupMenu returns the
// chosen id, or 0 when the menu was dismissed.
class CSCMenu : public QMenu {
    Q_OBJECT
public:
    explicit CSCMenu(QWidget* parent = nullptr);
    ~CSCMenu() override;

    enum : uint32_t { MF_STRING = 0, MF_GRAYED = 0x1, MF_CHECKED = 0x8, MF_SEPARATOR = 0x800 };
    void AppendMenu(uint32_t flags, int id = 0, const QString& text = {});
    // Inserts before the entry at position (appends when beyond the end).
    void InsertMenu(int position, uint32_t flags, int id = 0, const QString& text = {});
    void CheckMenuItem(int id, bool checked);
    void EnableMenuItem(int id, bool enabled);
    void SetMenuItemIcon(int id, const QIcon& icon);
    QAction* FindItem(int id) const;
    int GetMenuItemCount() const;
    int TrackPopupMenu(const QPoint& globalPosition);

private:
    QAction* MakeItem(uint32_t flags, int id, const QString& text);
};
