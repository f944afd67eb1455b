// The audio service library (libaudiosvc.so): interleaved 16-bit PCM <-> float sample
// blocks, channel split/join, saturating mix and copy, channel names, time <-> frames,
// and the replaceable message box. The conversions never touch Qt; the built-in message
// dialog lives in a companion library that is loaded only when it must be shown.
#pragma once

#include <cstdint>
#include <vector>

#include "contracts/sound_data.h"
#include "contracts/wave_format.h"

class QWidget;
class QIcon;

// Channel codes of the single-channel operations.
enum ChannelCode : int {
    CHANNEL_LEFT = 0,
    CHANNEL_RIGHT = 1,
    CHANNEL_ALL = 2,  // whole frames; also a mono channel and the "unknown" result
    CHANNEL_LOW_FREQUENCY = 3,
    CHANNEL_FRONT_LEFT = 4,
    CHANNEL_FRONT_RIGHT = 5,
    CHANNEL_FRONT_CENTER = 6,
    CHANNEL_BACK_LEFT = 7,
    CHANNEL_BACK_RIGHT = 8,
    CHANNEL_BACK_CENTER = 9,
    CHANNEL_SIDE_LEFT = 10,
    CHANNEL_SIDE_RIGHT = 11,
};

// Message box type bits and results (the system message box's values).
enum : uint32_t {
    MB_OK = 0x00,
    MB_OKCANCEL = 0x01,
    MB_ABORTRETRYIGNORE = 0x02,
    MB_YESNOCANCEL = 0x03,
    MB_YESNO = 0x04,
    MB_RETRYCANCEL = 0x05,
    MB_CLOSE = 0x08,  // this library's close-only set
    MB_ICONHAND = 0x10,
    MB_ICONERROR = 0x10,
    MB_ICONQUESTION = 0x20,
    MB_ICONEXCLAMATION = 0x30,
    MB_ICONWARNING = 0x30,
    MB_ICONASTERISK = 0x40,
    MB_ICONINFORMATION = 0x40,
    MB_TYPEMASK = 0x0F,
    MB_ICONMASK = 0xF0,
};
enum : int {
    IDOK = 1,
    IDCANCEL = 2,
    IDABORT = 3,
    IDRETRY = 4,
    IDIGNORE = 5,
    IDYES = 6,
    IDNO = 7,
    IDCLOSE = 8,
};

// The library is built with hidden visibility; everything declared below is its interface.
#pragma GCC visibility push(default)

extern "C" {
uint64_t TimeToSample(const WAVEFORMATEX* format, uint64_t value);
uint64_t SampleToTime(const WAVEFORMATEX* format, uint64_t value);
// Writes at most bufSize bytes (terminator included); returns 1.
int GetChannelName(uint32_t mask, uint32_t index, char* buf, uint32_t bufSize, int shortForm);
int GetChannelByIndex(const WAVEFORMATEX* format, uint32_t index);
int GetIndexByChannel(const WAVEFORMATEX* format, int code);
void ClearWaveData(void* buf, const WAVEFORMATEX* format, uint32_t frames, int code);
void SplitChannel(void* dst, const void* src, const WAVEFORMATEX* format, uint32_t frames, uint32_t channelIndex);
void JoinChannels(void* dst, const void* left, const void* right, const WAVEFORMATEX* format, uint32_t frames);
void CopyWaveData(void* dst, const void* src, const WAVEFORMATEX* format, uint32_t frames, int code);
void MixWaveData(void* dst, const void* a, uint32_t framesA, const void* b, uint32_t framesB,
                 const WAVEFORMATEX* format, int code);
uint32_t MME2SD(const void* src, uint32_t byteOffset, uint32_t byteCount, _SOUNDDATAEX_* block,
                const WAVEFORMATEX* format, int channel);
uint32_t MME2SD_BYSAMPLES(const void* src, uint32_t frames, _SOUNDDATAEX_* block, const WAVEFORMATEX* format,
                          uint32_t byteOffset, int channel);
void SD2MME(const _SOUNDDATAEX_* block, uint32_t firstFrame, uint32_t frameCount, void* dst,
            const WAVEFORMATEX* format);

typedef int (*SCMessageBoxFn)(const char* text, uint32_t type, const char* caption, QWidget* parent);
// Shows a message: through the registered replacement, else the library's own dialog.
int AfxSCMessageBox(const char* text, uint32_t type, const char* caption, QWidget* parent);
// Runs the library's own dialog modally (icon null: chosen by type; parent null: the active
// window) and returns its result. Without a QApplication, or in a build without the dialog
// library, it writes "caption: text" to standard error and returns the type's default result.
int ShowMessageBox(uint32_t type, const char* caption, const char* text, const QIcon* icon, QWidget* parent);
// Registers the process-wide replacement (null removes it); returns the same function.
SCMessageBoxFn ReplaceSCMessageBox(SCMessageBoxFn replacement);
}

// ---- message box layout ------------------------------------------------------------------
// The geometry of the message dialog, free of any toolkit so that the library's own dialog
// and a host's skinned one place their controls alike. Positions come from the dialog
// resource in dialog units (163 x 49; icon, text, three button slots) converted with the
// dialog font's base units; the dialog then grows by (dx, dy) to fit its text and caption.

// Control ids of the dialog resource.
enum MessageBoxControl : int {
    IDC_MB_ICON = 600,
    IDC_MB_TEXT = 601,
    IDC_MB_NO = 602,
    IDC_MB_OK = 603,
    IDC_MB_YES = 604,
    IDC_MB_RETRY = 605,
    IDC_MB_IGNORE = 606,
    IDC_MB_CANCEL = 607,
    IDC_MB_ABORT = 608,
    IDC_MB_CLOSE = 609,
};

enum class MessageBoxIcon { None, Hand, Question, Exclamation, Information };

struct MessageBoxRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const MessageBoxRect&) const = default;
};

// The dialog font's base units in pixels: average character width and character height.
// One horizontal dialog unit is a quarter of the first, one vertical unit an eighth of the second.
struct DialogBaseUnits {
    int x = 0;
    int y = 0;
};

// What the caller measured with the dialog's fonts.
struct MessageBoxMeasure {
    int textWidth = 0;     // widest line of the message as drawn
    int textHeight = 0;    // height of all its lines
    int captionWidth = 0;  // the window title
};

struct MessageBoxButton {
    int id = 0;             // IDC_MB_*
    const char* text = "";  // "OK", "Cancel", ...
    int result = 0;         // IDOK ... IDCLOSE
    MessageBoxRect rect;    // final position, in pixels
};

struct MessageBoxLayout {
    int dx = 0;     // growth to the right, never negative
    int dy = 0;     // growth downwards, never negative
    int width = 0;  // dialog client size after the growth
    int height = 0;
    MessageBoxRect icon;                             // icon control
    MessageBoxRect text;                             // text control after the growth
    MessageBoxIcon iconKind = MessageBoxIcon::None;  // the icon chosen by type
    std::vector<MessageBoxButton> buttons;           // the shown buttons, left to right
    int enterResult = 0;                             // what Enter returns; 0 when the dialog has no button
    int escapeResult = IDCANCEL;                     // what Escape (and closing the window) returns
};

// Dialog units to pixels, rounding as the system's dialog manager does.
MessageBoxRect DialogUnitsToPixels(const MessageBoxRect& units, DialogBaseUnits base);
// The icon a message of this type shows when the caller gives none.
MessageBoxIcon MessageBoxIconForType(uint32_t type);
// The result of Enter and of "OK" for this type; 0 for a button set without buttons.
int MessageBoxDefaultResult(uint32_t type);
// The whole dialog geometry for a message of this type.
MessageBoxLayout LayoutMessageBox(uint32_t type, const MessageBoxMeasure& measure, DialogBaseUnits base);

#pragma GCC visibility pop
