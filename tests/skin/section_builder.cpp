#include "tests/skin/section_builder.h"

#include <QPainter>

#include <strings.h>
#include <cmath>
#include <cstring>

#include "skin/buttons.h"
#include "skin/control_records.h"
#include "skin/data_source.h"
#include "skin/dialog.h"
#include "skin/edits.h"
#include "skin/lists.h"
#include "skin/meters.h"
#include "skin/panels.h"
#include "skin/scroll_bar.h"
#include "skin/skin_base.h"
#include "skin/skin_file.h"
#include "skin/skin_manager.h"
#include "skin/skin_qt.h"
#include "skin/skin_values.h"
#include "skin/sliders.h"
#include "skin/statics.h"
#include "xml/xml.h"

namespace {

SkinHandle OpenImage(const enXml& e, const char* name, std::vector<CSkinFile>& files, bool& named) {
    std::string value;
    named = e.GetAttribute(name, value);
    if (!named) return SKIN_NO_HANDLE;
    CSkinFile file(SkinControlsManager()->GetSkinFolder() + "/" + value);
    if (!file.IsOpen()) return SKIN_NO_HANDLE;
    const SkinHandle handle = file.Handle();
    files.push_back(std::move(file));
    return handle;
}

int DrawAlign(const enXml& e) {
    const std::string value = AttributeText(e, "DrawAlign");
    if (strcasecmp(value.c_str(), "ALIGN_LEFT/TOP") == 0) return SC_ALIGN_LEFT_TOP;
    if (strcasecmp(value.c_str(), "ALIGN_RIGHT/BOTTOM") == 0) return SC_ALIGN_RIGHT_BOTTOM;
    return SC_ALIGN_CENTER;
}

// A stand-in for the program's waveform editor: the ruler picture and the wave colours.
class WavePreview final : public CSCStatic {
public:
    WavePreview(QWidget* parent, int id, const enXml& element) : CSCStatic(parent, id) {
        bool named = false;
        std::vector<CSkinFile> files;
        m_source.LoadFromHandle(OpenImage(element, "Source", files, named));
        m_blank = ToQColor(AttributeColor(element, "WaveBlankColor"));
        m_bg = ToQColor(AttributeColor(element, "WaveBgColor"));
        m_sel = ToQColor(AttributeColor(element, "WaveBgSelColor"));
        m_data = ToQColor(AttributeColor(element, "WaveDataColor"));
        m_dataSel = ToQColor(AttributeColor(element, "WaveDataSelColor"));
        m_border = ToQColor(AttributeColor(element, "WaveBorderColor"));
        m_center = ToQColor(AttributeColor(element, "WaveCenterColor"));
        m_ruler = AttributeInt(element, "TimeHeigth");
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), m_blank);
        m_source.DrawFrame(p, QRect(0, 0, width(), m_ruler), 0);
        const QRect wave(0, m_ruler, width(), height() - m_ruler);
        const int selA = width() / 4, selB = width() * 3 / 5;
        p.fillRect(wave, m_bg);
        p.fillRect(QRect(selA, wave.top(), selB - selA, wave.height()), m_sel);
        const int mid = wave.center().y();
        for (int x = 0; x < width(); ++x) {
            const double a = std::abs(std::sin(x * 0.11) * std::sin(x * 0.013)) * (wave.height() / 2 - 6);
            p.setPen(x >= selA && x < selB ? m_dataSel : m_data);
            p.drawLine(x, mid - static_cast<int>(a), x, mid + static_cast<int>(a));
        }
        p.setPen(m_center);
        p.drawLine(0, mid, width(), mid);
        p.setPen(m_border);
        p.drawRect(wave.adjusted(0, 0, -1, -1));
        m_source.DrawFrame(p, QRect(QPoint(selA - 6, 0), m_source.GetFrameSize(1)), 1);
        m_source.DrawFrame(p, QRect(QPoint(selB - 6, 0), m_source.GetFrameSize(2)), 2);
    }

private:
    CDataSource m_source;
    QColor m_blank, m_bg, m_sel, m_data, m_dataSel, m_border, m_center;
    int m_ruler = 16;
};

}  // namespace

const std::vector<SectionTable>& ProgramSections() {
    static const std::vector<SectionTable> sections = {
        {"MAINFRAME",
         {"PanelPage1", "PanelPage2", "PanelPage3"},
         {{"MENU_HOME", 1, 1020, nullptr},           {"MENU_HELP", 1, 1025, nullptr},
          {"MENU_ABOUT", 1, 1295, nullptr},          {"BANNER", 17, 1050, nullptr},
          {"TITLE_LINK", 6, 1055, nullptr},          {"PAGE1_TRACK1_EDIT", 16, 1065, nullptr},
          {"PAGE1_TRACK1_BROWSE", 1, 1070, nullptr}, {"PAGE1_TRACK2_EDIT", 16, 1075, nullptr},
          {"PAGE1_TRACK2_BROWSE", 1, 1080, nullptr}, {"PAGE1_RECORD", 1, 1085, nullptr},
          {"COMMON_SEARCH_EDIT", 16, 1300, nullptr}, {"COMMON_SEARCH_BUTTON", 1, 1305, nullptr},
          {"COMMON_MINIMIZE", 1, 1030, nullptr},     {"COMMON_CLOSE", 1, 1035, nullptr},
          {"COMMON_CONTINUE", 1, 1040, nullptr},     {"COMMON_GO_BACK", 1, 1045, nullptr},
          {"PAGE2_PLAY", 2, 1100, nullptr},          {"PAGE2_REPEAT", 2, 1105, "Loop"},
          {"PAGE2_ZOOM_IN", 1, 1110, nullptr},       {"PAGE2_ZOOM_OUT", 1, 1115, nullptr},
          {"PAGE2_ZOOM_FIT", 1, 1120, nullptr},      {"PAGE2_ZOOM_MENU", 1, 1125, nullptr},
          {"PAGE2_SCROLLBAR", 8, 1130, nullptr},     {"PAGE2_TIME_START", 16, 1135, nullptr},
          {"PAGE2_TIME_START_UP", 1, 1205, nullptr}, {"PAGE2_TIME_START_DOWN", 1, 1210, nullptr},
          {"PAGE2_TIME_LEN", 16, 1140, nullptr},     {"PAGE2_TIME_LEN_UP", 1, 1215, nullptr},
          {"PAGE2_TIME_LEN_DOWN", 1, 1220, nullptr}, {"PAGE2_TIME_END", 16, 1145, nullptr},
          {"PAGE2_TIME_END_UP", 1, 1225, nullptr},   {"PAGE2_TIME_END_DOWN", 1, 1230, nullptr},
          {"PAGE2_VOLUME_INFO", 4, 1150, nullptr},   {"PAGE2_VOLUME_SLIDER", 21, 1155, nullptr},
          {"PAGE2_FADE_IN", 2, 1160, "Fade In"},     {"PAGE2_FADE_OUT", 2, 1165, "Fade Out"},
          {"PAGE2_EFFECT1", 2, 1170, "Effect 1"},    {"PAGE2_EFFECT1_SET", 1, 1185, nullptr},
          {"PAGE2_EFFECT2", 2, 1175, "Effect 2"},    {"PAGE2_EFFECT2_SET", 1, 1190, nullptr},
          {"PAGE2_EFFECT3", 2, 1180, "Effect 3"},    {"PAGE2_EFFECT3_SET", 1, 1195, nullptr},
          {"PAGE2_WAVE", 26, 1200, nullptr},         {"PAGE3_PATH", 16, 1265, nullptr},
          {"PAGE3_BROWSE", 1, 1270, nullptr},        {"PAGE3_OVERWRITE", 2, 1260, "Force overwrite duplicate file"},
          {"PAGE3_FORMAT", 11, 1250, nullptr},       {"PAGE3_CHANNELS", 11, 1245, nullptr},
          {"PAGE3_BITRATE", 11, 1275, nullptr},      {"PAGE3_NORMALIZE", 11, 1255, nullptr},
          {"PAGE3_RESET", 1, 1240, nullptr},         {"PAGE3_INFO", 7, 1280, nullptr},
          {"PAGE3_SEND", 1, 1285, nullptr},          {"PAGE3_CREATE_ANOTHER", 1, 1290, nullptr},
          {"PAGE3_PRESET", 11, 1500, nullptr},       {"PAGE3_TITLE", 16, 1502, nullptr},
          {"PAGE3_CLIP_INFO", 4, 1504, nullptr},     {"PAGE3_USE_LIMITER", 1, 1506, nullptr},
          {"PAGE3_LIMIT_INFO", 4, 1508, nullptr},    {"PAGE3_SHORTEN", 1, 1510, nullptr},
          {"PAGE3_LOUDNESS", 7, 1512, nullptr}}},
        {"RECORDER",
         {"MainPanel"},
         {{"CLOSE", 1, 1346, nullptr},
          {"RECORD", 2, 1336, nullptr},
          {"PLAY", 2, 1332, nullptr},
          {"CREATE_RINGTONE", 2, 1330, "Import this record to make ringtone"},
          {"PLAYMETER", 18, 1338, nullptr},
          {"RECORD_TIME", 4, 1340, nullptr},
          {"SOUND_SETTINGS", 4, 1348, nullptr},
          {"SAVE", 1, 1342, "Save"},
          {"CANCEL", 1, 1344, "Cancel"}}},
        {"BLUETOOTH",
         {"MainPanel"},
         {{"SELECT", 1, 1370, "Select"},
          {"DEV_LIST", 11, 1372, nullptr},
          {"SEARCH_INFO", 4, 1376, "Search ready"},
          {"REFRESH", 1, 1378, nullptr},
          {"EDIT_NAME", 16, 1386, nullptr},
          {"CANCEL", 1, 1390, "Cancel"},
          {"CLOSE", 1, 1392, nullptr},
          {"HINTS", 4, 1394, nullptr}}},
        {"PROGRESS_DLG",
         {"MainPanel"},
         {{"PROGRESS", 14, 1360, nullptr}, {"CANCEL", 1, 1362, "Cancel"}, {"TEXT", 4, 1364, nullptr}}},
        {"NOTIFY_REC",
         {"MainPanel"},
         {{"BUTTON_OK", 1, 1478, "OK"}, {"CHECK_DONT_SHOW", 2, 1480, "Don't show this message again"}}},
        {"NOTIFY_BT",
         {"MainPanel"},
         {{"BUTTON_OK", 1, 1478, "OK"}, {"CHECK_DONT_SHOW", 2, 1480, "Don't show this message again"}}},
        {"MESSAGEBOX_1BTN",
         {"MainPanel"},
         {{"TEXT", 4, 1432, nullptr}, {"BUTTON_OK", 1, 1430, "OK"}, {"ICON", 4, 1434, nullptr}}},
        {"MESSAGEBOX_2BTN",
         {"MainPanel"},
         {{"TEXT", 4, 1432, nullptr},
          {"BUTTON_YES", 1, 1438, "Yes"},
          {"BUTTON_NO", 1, 1440, "No"},
          {"ICON", 4, 1434, nullptr}}},
        {"ABOUT",
         {"MainPanel"},
         {{"CLOSE", 1, 1452, nullptr},
          {"BUTTON_OK", 1, 1454, "OK"},
          {"BUTTON_COPY", 1, 1470, "Copy"},
          {"GENERAL_INFO", 7, 1456, nullptr},
          {"COMPUTER_INFO", 5, 1460, nullptr},
          {"COPYRIGHT_INFO", 17, 1462, nullptr},
          {"GENERAL", 2, 1464, nullptr},
          {"COMPUTER", 2, 1466, nullptr},
          {"COPYRIGHT", 2, 1468, nullptr}}},
    };
    return sections;
}

CSkinBase* CreateControl(int kind, const enXml& element, QWidget* parent, int id) {
    switch (kind) {
        case 1: return new CSCButton(parent, id);
        case 2: return new CSCButton(parent, id, BS_AUTOCHECKBOX);
        case 4: return new CSCStatic(parent, id);
        case 5: return new CSCEditBox(parent, id, WS_VSCROLL | ES_MULTILINE);
        case 6: return new CSCHyperLinkStatic(parent, id);
        case 7: return new CSCHtmlStatic(parent, id);
        case 8: return new CSCScrollBar(parent, id);
        case 9: return new CSCTimeEdit(parent, id, ES_READONLY);
        case 10: return new CSCComboBox(parent, id);
        case 11: return new CSCComboBox2(parent, id);
        case 12: return new CSCPlayMeter(parent, id);
        case 13: return new CSCListBox(parent, id);
        case 14: return new CSCScaleProgress(parent, id);
        case 15: return new CSCScaleProgress(parent, id, 3);
        case 16: return new CSCEditBox2(parent, id);
        case 17: return new CSCHtmlBrowser(parent, id);
        case 18: return new CSCPlayMeter2(parent, id);
        case 21: {
            const std::string type = AttributeText(element, "Type");
            const bool vertical = type == "Vertical";
            if (type != "Horizontal" && !vertical) return nullptr;
            const uint32_t style = vertical ? static_cast<uint32_t>(TBS_VERT) : 0u;
            if (AttributeText(element, vertical ? "VertStretch" : "HorzStretch") == "Yes")
                return new CSCScaleSlider(parent, id, style);
            return new CSCSlider(parent, id, style);
        }
        case 26: return new WavePreview(parent, id, element);
        default: return nullptr;
    }
}

bool SkinControl(CSkinBase* control, int kind, const enXml& element, std::vector<CSkinFile>& files) {
    bool named = false;
    auto fontOf = [&](const char* name, LOGFONT& lf) {
        const std::string value = AttributeText(element, name);
        return !value.empty() && LoadFont(&lf, value);
    };
    switch (kind) {
        case 1: {
            SCBUTTONRES res;
            res.source = OpenImage(element, "Source", files, named);
            if (res.source == SKIN_NO_HANDLE) return false;
            res.sourceAlpha = OpenImage(element, "SourceAlpha", files, named);
            if (named && res.sourceAlpha == SKIN_NO_HANDLE) return false;
            res.textColor = AttributeColor(element, "TextColor");
            return control->UseCustomSkin(&res);
        }
        case 2: {
            SCCHECKRES res;
            res.source = OpenImage(element, "Source", files, named);
            if (res.source == SKIN_NO_HANDLE) return false;
            res.textColor = AttributeColor(element, "TextColor");
            return control->UseCustomSkin(&res);
        }
        case 4:
        case 7: {
            SCSTATICRES res;
            res.textColor = AttributeColor(element, "TextColor");
            res.textColor2 = AttributeColor(element, "TextColor2");
            res.hasFont = fontOf("LogFont", res.font);
            return control->UseCustomSkin(&res);
        }
        case 5:
        case 9: {
            SCEDITRES res;
            res.textColor = AttributeColor(element, "TextColor");
            res.bkColor = AttributeColor(element, "BkColor");
            if (kind == 9)
                static_cast<CSCTimeEdit*>(control)->SetMargins(
                    AttributeInt(element, "LeftMargin"), AttributeInt(element, "TopMargin"),
                    AttributeInt(element, "RightMargin"), AttributeInt(element, "BottomMargin"));
            return control->UseCustomSkin(&res);
        }
        case 6: {
            SCHYPERLINKRES res;
            res.textColor = AttributeColor(element, "TextColor");
            res.normal = AttributeColor(element, "Normal");
            res.focused = AttributeColor(element, "Focused");
            res.pressed = AttributeColor(element, "Pressed");
            if (fontOf("LogFont", res.font)) res.hoverFont = res.font;
            return control->UseCustomSkin(&res);
        }
        case 8: {
            SCSCROLLBARRES res;
            res.source = OpenImage(element, "SourceHorz", files, named);
            if (res.source == SKIN_NO_HANDLE) return false;
            res.beginDrawOffset = AttributeInt(element, "BeginDrawOffset");
            res.endDrawOffset = AttributeInt(element, "EndDrawOffset");
            res.tile = strcasecmp(AttributeText(element, "ResizeMethod").c_str(), "Tile") == 0;
            return control->UseCustomSkin(&res);
        }
        case 16: {
            SCEDIT2RES res;
            res.source = OpenImage(element, "Source", files, named);
            if (res.source == SKIN_NO_HANDLE) return false;
            LoadRect(&res.sourceMargin, AttributeText(element, "SourceMargin"));
            res.tile = strcasecmp(AttributeText(element, "ResizeMethod").c_str(), "Tile") == 0;
            res.textColor = AttributeColor(element, "TextColor", GetSkinColor(SKINCOLOR_EDIT_TEXT));
            LoadRect(&res.textMargin, AttributeText(element, "TextMargin"));
            return control->UseCustomSkin(&res);
        }
        case 21: {
            const SkinHandle source = OpenImage(element, "Source", files, named);
            if (source == SKIN_NO_HANDLE) return false;
            if (auto* scale = dynamic_cast<CSCScaleSlider*>(control)) {
                SCSCALESLIDERRES res;
                res.source = source;
                res.drawAlign = DrawAlign(element);
                res.beginTrackOffset = AttributeInt(element, "BeginTrackOffset");
                res.endTrackOffset = AttributeInt(element, "EndTrackOffset");
                res.beginDrawOffset = AttributeInt(element, "BeginDrawOffset");
                res.endDrawOffset = AttributeInt(element, "EndDrawOffset");
                return scale->UseCustomSkin(&res);
            }
            SCSLIDERRES res;
            res.source = source;
            res.drawAlign = DrawAlign(element);
            res.beginTrackOffset = AttributeInt(element, "BeginTrackOffset");
            res.endTrackOffset = AttributeInt(element, "EndTrackOffset");
            return control->UseCustomSkin(&res);
        }
        default: return true;  // kinds without a record
    }
}

BuiltSection BuildSection(const SectionTable& table) {
    BuiltSection built;
    auto dialog = std::make_unique<CSCScaleDialog>();
    const enXml* root = GetSkinXMLRoot();
    const enXml* section = root ? root->FindChild(table.section) : nullptr;
    built.sectionFound = section != nullptr;
    for (const char* name : table.panels) built.panels[name] = new CAutoPanelCaption(dialog.get());
    if (section) {
        const enXml* panels = section->FindChild("Panels");
        for (auto& [name, panel] : built.panels) panel->LoadResources(panels ? panels->FindChild(name) : nullptr);
        const enXml* controls = section->FindChild("Controls");
        for (const enXml* e = controls ? controls->FirstChildElement() : nullptr; e; e = e->NextSiblingElement()) {
            const TableEntry* entry = nullptr;
            for (const TableEntry& t : table.controls)
                if (strcasecmp(t.name, e->GetName().c_str()) == 0) entry = &t;
            if (!entry) continue;
            const int id = entry->commandId + static_cast<int>(built.controls.count(entry->name)) + 1;
            CSkinBase* control = CreateControl(entry->kind, *e, dialog.get(), id);
            if (!control) continue;
            built.controls.emplace(entry->name, control);
            if (!SkinControl(control, entry->kind, *e, built.files)) {
                built.unskinned.push_back(entry->name);
                continue;
            }
            if (entry->kind == 1 || entry->kind == 2 || entry->kind == 16) control->setFont(dialog->font());
            if (entry->caption) control->SetWindowText(entry->caption);
            const std::string owner = AttributeText(*e, "Owner");
            for (auto& [name, panel] : built.panels)
                if (strcasecmp(name.c_str(), owner.c_str()) == 0) panel->AutoDisposeControl(control, e);
        }
    }
    for (const TableEntry& t : table.controls)
        if (!built.controls.count(t.name)) built.missing.push_back(t.name);
    const QSize size = built.panels.empty() ? QSize(100, 100) : built.panels.begin()->second->GetInitialSize();
    dialog->resize(size);
    for (auto& [name, panel] : built.panels) panel->setGeometry(QRect(QPoint(0, 0), size));
    built.host = std::move(dialog);
    return built;
}
