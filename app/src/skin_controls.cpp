// The skin controls of every kind and the attributes each kind reads from its element.
#include "app/src/skin_controls.h"

#include <algorithm>

#include "app/program.h"
#include "app/skin_holder.h"
#include "platform/texts.h"
#include "skin/buttons.h"
#include "skin/control_records.h"
#include "skin/edits.h"
#include "skin/lists.h"
#include "skin/meters.h"
#include "skin/scroll_bar.h"
#include "skin/skin_base.h"
#include "skin/skin_file.h"
#include "skin/skin_manager.h"
#include "skin/skin_values.h"
#include "skin/sliders.h"
#include "skin/statics.h"
#include "xml/xml.h"

namespace skinholder {

namespace {

// Style bits of the kinds (besides being a child window).
constexpr uint32_t kTimeEditStyle = ES_READONLY;
constexpr uint32_t kEditBox2Style = ES_MULTILINE | ES_AUTOHSCROLL;
constexpr uint32_t kTextBoxStyle = WS_VSCROLL | ES_MULTILINE;
constexpr uint32_t kVerticalProgressStyle = PBS_SMOOTH | PBS_VERTICAL;
constexpr uint32_t kWaveFormStyle = 0x100;

SkinControlFactory g_waveFormFactory = nullptr;

// A font attribute, applied only when present and not empty; false leaves lf cleared.
bool FontAttribute(const enXml& element, const char* name, LOGFONT& lf) {
    const std::string value = AttributeText(element, name);
    return !value.empty() && LoadFont(&lf, value);
}

void RectAttribute(const enXml& element, const char* name, RECT& rect) {
    const std::string value = AttributeText(element, name);
    if (!value.empty()) LoadRect(&rect, value);
}

bool TileAttribute(const enXml& element) { return EqualsNoCase(AttributeText(element, "ResizeMethod"), "Tile"); }

// Image names are relative to the Skins folder: the folder of the loaded skin file, or the
// program's Skins folder when the manager names none.
std::string ImagePath(std::string name) {
    std::replace(name.begin(), name.end(), '\\', '/');
    const std::string folder = SkinControlsManager()->GetSkinFolder();
    return folder.empty() ? ProgramRelativePath("Skins/" + name) : folder + "/" + name;
}

enum class Image { Absent, Unreadable, Open };

// Opens the image an attribute names; its handle stays open in `files`.
Image OpenImage(const enXml& element, const char* name, std::vector<CSkinFile>& files, SkinHandle& handle) {
    std::string value;
    if (!element.GetAttribute(name, value)) return Image::Absent;
    CSkinFile file(ImagePath(value));
    if (!file.IsOpen()) return Image::Unreadable;
    handle = file.Handle();
    files.push_back(std::move(file));
    return Image::Open;
}

bool OpenRequired(const enXml& element, const char* name, std::vector<CSkinFile>& files, SkinHandle& handle) {
    return OpenImage(element, name, files, handle) == Image::Open;
}

SCWAVEFORMRES WaveFormRecord(const enXml& element, SkinHandle source) {
    SCWAVEFORMRES res;
    res.source = source;
    res.timeHeight = AttributeInt(element, "TimeHeigth");
    res.leftWidth = AttributeInt(element, "LeftWidth");
    res.rightWidth = AttributeInt(element, "RightWidth");
    res.waveCenterColor = AttributeColor(element, "WaveCenterColor");
    res.waveBorderColor = AttributeColor(element, "WaveBorderColor");
    res.waveBgColor = AttributeColor(element, "WaveBgColor");
    res.waveBgSelColor = AttributeColor(element, "WaveBgSelColor");
    res.waveDataColor = AttributeColor(element, "WaveDataColor");
    res.waveDataSelColor = AttributeColor(element, "WaveDataSelColor");
    res.timeTextColor = AttributeColor(element, "TimeTextColor");
    res.waveBlankColor = AttributeColor(element, "WaveBlankColor");
    res.waveBlankSelColor = AttributeColor(element, "WaveBlankSelColor");
    res.titleTextColor = AttributeColor(element, "TitleTextColor");
    FontAttribute(element, "TimeLogFont", res.timeFont);
    FontAttribute(element, "TitleLogFont", res.titleFont);
    return res;
}

bool ApplySlider(CSkinBase* control, const enXml& element, std::vector<CSkinFile>& files) {
    SkinHandle source = SKIN_NO_HANDLE;
    if (!OpenRequired(element, "Source", files, source)) return false;
    if (qobject_cast<CSCScaleSlider*>(control) != nullptr) {
        SCSCALESLIDERRES res;
        res.source = source;
        res.drawAlign = ReadDrawAlign(element);
        res.beginTrackOffset = AttributeInt(element, "BeginTrackOffset");
        res.endTrackOffset = AttributeInt(element, "EndTrackOffset");
        res.beginDrawOffset = AttributeInt(element, "BeginDrawOffset");
        res.endDrawOffset = AttributeInt(element, "EndDrawOffset");
        return control->UseCustomSkin(&res);
    }
    SCSLIDERRES res;
    res.source = source;
    res.drawAlign = ReadDrawAlign(element);
    res.beginTrackOffset = AttributeInt(element, "BeginTrackOffset");
    res.endTrackOffset = AttributeInt(element, "EndTrackOffset");
    return control->UseCustomSkin(&res);
}

}  // namespace

std::optional<int> RefineSliderKind(const enXml& element) {
    std::string type;
    if (!element.GetAttribute("Type", type)) return std::nullopt;
    if (type == "Horizontal") return kHorizontalSlider;
    if (type == "Vertical") return kVerticalSlider;
    if (type == "Round") return kRoundSlider;
    return kSliderKind;
}

int32_t ReadDrawAlign(const enXml& element) {
    const std::string value = AttributeText(element, "DrawAlign");
    if (EqualsNoCase(value, "ALIGN_LEFT/TOP")) return SC_ALIGN_LEFT_TOP;
    if (EqualsNoCase(value, "ALIGN_RIGHT/BOTTOM")) return SC_ALIGN_RIGHT_BOTTOM;
    return SC_ALIGN_CENTER;
}

bool TakesWindowFont(int kind) { return kind == 1 || kind == 2 || kind == 16; }

CSkinBase* CreateSkinControl(int kind, const enXml& element, QWidget* parent, int windowId) {
    CSkinBase* control = nullptr;
    QRect first;
    switch (kind) {
        case 1:
            control = new CSCButton(parent, windowId);
            first = QRect(0, 0, 50, 50);
            break;
        case 2:
            control = new CSCButton(parent, windowId, BS_AUTOCHECKBOX);
            first = QRect(0, 0, 50, 50);
            break;
        case 4: control = new CSCStatic(parent, windowId); break;
        case 5: control = new CSCEditBox(parent, windowId, kTextBoxStyle); break;
        case 6: control = new CSCHyperLinkStatic(parent, windowId); break;
        case 7: control = new CSCHtmlStatic(parent, windowId); break;
        case 8: control = new CSCScrollBar(parent, windowId); break;
        case 9: control = new CSCTimeEdit(parent, windowId, kTimeEditStyle); break;
        case 10: control = new CSCComboBox(parent, windowId, CBS_DROPDOWNLIST); break;
        case 11: control = new CSCComboBox2(parent, windowId, CBS_DROPDOWNLIST); break;
        case 12: control = new CSCPlayMeter(parent, windowId); break;
        case 13: control = new CSCListBox(parent, windowId); break;
        case 14: control = new CSCScaleProgress(parent, windowId); break;
        case 15: control = new CSCScaleProgress(parent, windowId, kVerticalProgressStyle); break;
        case 16: control = new CSCEditBox2(parent, windowId, kEditBox2Style); break;
        case 17: control = new CSCHtmlBrowser(parent, windowId); break;
        case 18: control = new CSCPlayMeter2(parent, windowId); break;
        case kHorizontalSlider:
        case kVerticalSlider: {
            const bool vertical = kind == kVerticalSlider;
            const uint32_t style = vertical ? static_cast<uint32_t>(TBS_VERT) : 0u;
            if (AttributeText(element, vertical ? "VertStretch" : "HorzStretch") == "Yes") {
                control = new CSCScaleSlider(parent, windowId, style);
                first = QRect(0, 0, 100, 10);
            } else {
                control = new CSCSlider(parent, windowId, style);
                first = QRect(0, 0, 100, 20);
            }
            break;
        }
        case kWaveFormKind:
            if (g_waveFormFactory != nullptr) control = g_waveFormFactory(parent, windowId, kWaveFormStyle);
            break;
        default: break;  // the round slider and unknown kinds create nothing
    }
    if (control != nullptr) {
        // A child window is created without WS_VISIBLE: the owning panel shows it.
        control->hide();
        control->setGeometry(first);
    }
    return control;
}

bool ApplySkinAttributes(CSkinBase* control, int kind, const enXml& element, std::vector<CSkinFile>& files) {
    switch (kind) {
        case 1: {
            SCBUTTONRES res;
            if (!OpenRequired(element, "Source", files, res.source)) return false;
            if (OpenImage(element, "SourceAlpha", files, res.sourceAlpha) == Image::Unreadable) return false;
            res.textColor = AttributeColor(element, "TextColor");
            return control->UseCustomSkin(&res);
        }
        case 2: {
            SCCHECKRES res;
            if (!OpenRequired(element, "Source", files, res.source)) return false;
            res.textColor = AttributeColor(element, "TextColor");
            return control->UseCustomSkin(&res);
        }
        case 4:
        case 7: {
            SCSTATICRES res;
            res.textColor = AttributeColor(element, "TextColor");
            res.textColor2 = AttributeColor(element, "TextColor2");
            res.hasFont = FontAttribute(element, "LogFont", res.font) ? 1 : 0;
            return control->UseCustomSkin(&res);
        }
        case 5: {
            SCEDITRES res;
            res.textColor = AttributeColor(element, "TextColor");
            res.bkColor = AttributeColor(element, "BkColor");
            return control->UseCustomSkin(&res);
        }
        case 6: {
            SCHYPERLINKRES res;
            res.textColor = AttributeColor(element, "TextColor");
            res.normal = AttributeColor(element, "Normal");
            res.focused = AttributeColor(element, "Focused");
            res.pressed = AttributeColor(element, "Pressed");
            if (FontAttribute(element, "LogFont", res.font)) res.hoverFont = res.font;
            return control->UseCustomSkin(&res);
        }
        case 8: {
            SCSCROLLBARRES res;
            if (!OpenRequired(element, "SourceHorz", files, res.source)) return false;
            res.beginDrawOffset = AttributeInt(element, "BeginDrawOffset");
            res.endDrawOffset = AttributeInt(element, "EndDrawOffset");
            res.tile = TileAttribute(element) ? 1 : 0;
            return control->UseCustomSkin(&res);
        }
        case 9: {
            SCEDITRES res;
            res.textColor = AttributeColor(element, "TextColor");
            res.bkColor = AttributeColor(element, "BkColor");
            static_cast<CSCTimeEdit*>(control)->SetMargins(
                AttributeInt(element, "LeftMargin"), AttributeInt(element, "TopMargin"),
                AttributeInt(element, "RightMargin"), AttributeInt(element, "BottomMargin"));
            return control->UseCustomSkin(&res);
        }
        case 16: {
            SCEDIT2RES res;
            if (!OpenRequired(element, "Source", files, res.source)) return false;
            RectAttribute(element, "SourceMargin", res.sourceMargin);
            res.tile = TileAttribute(element) ? 1 : 0;
            res.textColor = AttributeColor(element, "TextColor", GetSkinColor(SKINCOLOR_EDIT_TEXT));
            RectAttribute(element, "TextMargin", res.textMargin);
            return control->UseCustomSkin(&res);
        }
        case kHorizontalSlider:
        case kVerticalSlider: return ApplySlider(control, element, files);
        case kWaveFormKind: {
            SkinHandle source = SKIN_NO_HANDLE;
            if (!OpenRequired(element, "Source", files, source)) return false;
            const SCWAVEFORMRES res = WaveFormRecord(element, source);
            return control->UseCustomSkin(&res);
        }
        default: return true;  // kinds without a record
    }
}

}  // namespace skinholder

void SetWaveFormFactory(SkinControlFactory factory) { skinholder::g_waveFormFactory = factory; }
