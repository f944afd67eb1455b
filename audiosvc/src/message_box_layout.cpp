// Geometry of the message dialog from its resource (dialog units) and the measured texts.
#include <algorithm>

#include "audiosvc/audiosvc.h"

namespace {

// Dialog resource in dialog units.
constexpr MessageBoxRect kDialog{0, 0, 163, 49};
constexpr MessageBoxRect kIcon{4, 5, 20, 20};
constexpr MessageBoxRect kText{30, 7, 128, 15};
constexpr int kButtonWidth = 50, kButtonHeight = 14, kButtonTop = 30;
constexpr int kSlotLeft = 4, kSlotMiddle = 56, kSlotRight = 108;
// Room the caption keeps beside its text.
constexpr int kCaptionMargin = 20;

struct ButtonPlacement {
    int id;
    const char* text;
    int result;
    int slot;  // x of the resource slot it is shown at
};

constexpr ButtonPlacement kOk{IDC_MB_OK, "OK", IDOK, kSlotMiddle};
constexpr ButtonPlacement kCancel{IDC_MB_CANCEL, "Cancel", IDCANCEL, kSlotRight};
constexpr ButtonPlacement kAbort{IDC_MB_ABORT, "Abort", IDABORT, kSlotLeft};
constexpr ButtonPlacement kRetry{IDC_MB_RETRY, "Retry", IDRETRY, kSlotMiddle};
constexpr ButtonPlacement kIgnore{IDC_MB_IGNORE, "Ignore", IDIGNORE, kSlotRight};
constexpr ButtonPlacement kYes{IDC_MB_YES, "Yes", IDYES, kSlotLeft};
constexpr ButtonPlacement kNo{IDC_MB_NO, "No", IDNO, kSlotMiddle};
constexpr ButtonPlacement kClose{IDC_MB_CLOSE, "Close", IDCLOSE, kSlotMiddle};

constexpr ButtonPlacement At(ButtonPlacement button, int slot) {
    button.slot = slot;
    return button;
}

// The buttons of a type's button set (low four bits), left to right. A lone button and the
// two of Yes/No sit at the right-hand slots.
std::vector<ButtonPlacement> ButtonsOf(uint32_t type) {
    switch (type & MB_TYPEMASK) {
        case MB_OK: return {At(kOk, kSlotRight)};
        case MB_OKCANCEL: return {kOk, kCancel};
        case MB_ABORTRETRYIGNORE: return {kAbort, kRetry, kIgnore};
        case MB_YESNOCANCEL: return {kYes, kNo, kCancel};
        case MB_YESNO: return {At(kYes, kSlotMiddle), At(kNo, kSlotRight)};
        case MB_RETRYCANCEL: return {kRetry, kCancel};
        case MB_CLOSE: return {At(kClose, kSlotRight)};
        default: return {};
    }
}

int MulDivRounded(int value, int numerator, int denominator) {
    const long long product = static_cast<long long>(value) * numerator;
    const long long half = denominator / 2;
    return static_cast<int>(product >= 0 ? (product + half) / denominator : (product - half) / denominator);
}

}  // namespace

MessageBoxRect DialogUnitsToPixels(const MessageBoxRect& units, DialogBaseUnits base) {
    return {MulDivRounded(units.x, base.x, 4), MulDivRounded(units.y, base.y, 8), MulDivRounded(units.width, base.x, 4),
            MulDivRounded(units.height, base.y, 8)};
}

MessageBoxIcon MessageBoxIconForType(uint32_t type) {
    uint32_t iconBits = type & MB_ICONMASK;
    const uint32_t buttons = type & MB_TYPEMASK;
    // A plain message or question without icon bits is shown as a warning.
    if (iconBits == 0 && (buttons == MB_OK || buttons == MB_OKCANCEL || buttons == MB_YESNOCANCEL ||
                          buttons == MB_YESNO || buttons == MB_CLOSE))
        iconBits = MB_ICONEXCLAMATION;
    switch (iconBits) {
        case MB_ICONHAND: return MessageBoxIcon::Hand;
        case MB_ICONQUESTION: return MessageBoxIcon::Question;
        case MB_ICONEXCLAMATION: return MessageBoxIcon::Exclamation;
        case MB_ICONINFORMATION: return MessageBoxIcon::Information;
        default: return MessageBoxIcon::None;
    }
}

int MessageBoxDefaultResult(uint32_t type) {
    switch (type & MB_TYPEMASK) {
        case MB_OK:
        case MB_OKCANCEL: return IDOK;
        case MB_ABORTRETRYIGNORE: return IDABORT;
        case MB_YESNOCANCEL:
        case MB_YESNO: return IDYES;
        case MB_RETRYCANCEL: return IDRETRY;
        case MB_CLOSE: return IDCLOSE;
        default: return 0;
    }
}

MessageBoxLayout LayoutMessageBox(uint32_t type, const MessageBoxMeasure& measure, DialogBaseUnits base) {
    const MessageBoxRect dialog = DialogUnitsToPixels(kDialog, base);
    const MessageBoxRect text = DialogUnitsToPixels(kText, base);

    MessageBoxLayout layout;
    const int captionExcess = std::max(0, measure.captionWidth + kCaptionMargin - dialog.width);
    layout.dx = std::max({captionExcess, measure.textWidth - text.width, 0});
    layout.dy = std::max(measure.textHeight - text.height, 0);
    layout.width = dialog.width + layout.dx;
    layout.height = dialog.height + layout.dy;
    layout.icon = DialogUnitsToPixels(kIcon, base);
    layout.text = {text.x, text.y, text.width + layout.dx, text.height + layout.dy};
    layout.iconKind = MessageBoxIconForType(type);
    for (const ButtonPlacement& placement : ButtonsOf(type)) {
        MessageBoxRect rect = DialogUnitsToPixels({placement.slot, kButtonTop, kButtonWidth, kButtonHeight}, base);
        rect.x += layout.dx;
        rect.y += layout.dy;
        layout.buttons.push_back({placement.id, placement.text, placement.result, rect});
    }
    layout.enterResult = MessageBoxDefaultResult(type);
    return layout;
}
