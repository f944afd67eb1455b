// The default skin: it loads, has every window the program opens with an element for every
// control of the window's table, every control takes its skin, and every window lies within
// its panel. Each window is also saved as a picture (build/screenshots/skin-*.png).
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QEnterEvent>
#include <QMouseEvent>
#include <QPixmap>
#include <QTextBrowser>

#include <cstring>
#include <set>

#include "skin/buttons.h"
#include "skin/control_records.h"
#include "skin/data_source.h"
#include "skin/dialog.h"
#include "skin/edits.h"
#include "skin/lists.h"
#include "skin/meters.h"
#include "skin/panels.h"
#include "skin/scroll_bar.h"
#include "skin/skin_file.h"
#include "skin/skin_manager.h"
#include "skin/sliders.h"
#include "skin/statics.h"
#include "tests/skin/section_builder.h"
#include "tests/skin/test_app.h"
#include "xml/xml.h"

namespace {

const std::string kSkin = std::string(MORVANE_SOURCE_DIR) + "/data/Skins/Morvane.xml";

class DefaultSkin : public ::testing::Test {
protected:
    void SetUp() override {
        TestApp();
        ASSERT_EQ(LoadStandardSkin(kSkin), SKINLOAD_OK);
        ASSERT_NE(GetSkinXMLRoot(), nullptr);
    }
};

template <class T>
T* First(BuiltSection& built, const char* name) {
    const auto found = built.controls.find(name);
    return found == built.controls.end() ? nullptr : dynamic_cast<T*>(found->second);
}

template <class T, class F>
void Each(BuiltSection& built, const char* name, F apply) {
    auto [begin, end] = built.controls.equal_range(name);
    for (auto it = begin; it != end; ++it)
        if (auto* control = dynamic_cast<T*>(it->second)) apply(control);
}

// What the windows show once the program has filled them in.
void FillSample(const std::string& section, BuiltSection& built) {
    Each<CSCEditBox2>(built, "PAGE1_TRACK1_EDIT",
                      [](auto* e) { e->SetWindowText("/home/ana/Music/Summer Breeze.mp3"); });
    Each<CSCEditBox2>(built, "PAGE1_TRACK2_EDIT", [](auto* e) { e->SetCueBanner("No file selected"); });
    Each<CSCEditBox2>(built, "COMMON_SEARCH_EDIT", [](auto* e) { e->SetCueBanner("search ringtone..."); });
    Each<CSCStatic>(built, "PAGE2_VOLUME_INFO", [](auto* s) { s->SetWindowText("Volume: 100%"); });
    Each<CSCEditBox2>(built, "PAGE2_TIME_START", [](auto* e) { e->SetWindowText("00:00:04.250"); });
    Each<CSCEditBox2>(built, "PAGE2_TIME_LEN", [](auto* e) { e->SetWindowText("00:00:18.000"); });
    Each<CSCEditBox2>(built, "PAGE2_TIME_END", [](auto* e) { e->SetWindowText("00:00:22.250"); });
    Each<CSCButton>(built, "PAGE2_REPEAT", [](auto* b) { b->SetCheck(1); });
    Each<CSCButton>(built, "PAGE2_FADE_IN", [](auto* b) { b->SetCheck(1); });
    Each<CSCButton>(built, "PAGE2_FADE_OUT", [](auto* b) { b->SetCheck(1); });
    Each<CSCButton>(built, "PAGE2_EFFECT1", [](auto* b) {
        b->SetWindowText("Wah-wah");
        b->SetCheck(1);
    });
    for (const char* slot : {"PAGE2_EFFECT2", "PAGE2_EFFECT3"})
        Each<CSCButton>(built, slot, [](auto* b) { b->setEnabled(false); });
    Each<CSCButton>(built, "PAGE2_ZOOM_MENU", [](auto* b) {
        b->SetDropDown(true);
        b->SetWindowText("1:64");
    });
    Each<CSCSlider>(built, "PAGE2_VOLUME_SLIDER", [](auto* s) {
        s->SetRange(0, 200);
        s->SetPos(100);
    });
    Each<CSCScrollBar>(built, "PAGE2_SCROLLBAR", [](auto* s) { s->SetScrollInfo(0, 999, 300, 180); });
    for (const char* combo :
         {"PAGE3_PRESET", "PAGE3_FORMAT", "PAGE3_CHANNELS", "PAGE3_BITRATE", "PAGE3_NORMALIZE", "DEV_LIST"}) {
        Each<CSCComboBox>(built, combo, [combo](auto* c) {
            const std::map<std::string, QStringList> rows = {
                {"PAGE3_PRESET", {"Any player", "iPhone ringtone"}},
                {"PAGE3_FORMAT", {"MP3 (Lame)", "AAC (Faac)", "iPhone ringtone (M4R)"}},
                {"PAGE3_CHANNELS", {"Mono", "Stereo"}},
                {"PAGE3_BITRATE", {"64 kbps", "128 kbps", "256 kbps"}},
                {"PAGE3_NORMALIZE", {"Off", "Peak", "Loudness"}},
                {"DEV_LIST", {"Ana's phone (USB)"}}};
            for (const QString& row : rows.at(combo)) c->AddString(row);
            c->SetCurSel(c->GetCount() > 1 ? 1 : 0);
        });
    }
    Each<CSCComboBox>(built, "PAGE3_FORMAT", [](auto* c) { c->SetCurSel(2); });
    Each<CSCComboBox>(built, "PAGE3_NORMALIZE", [](auto* c) { c->SetCurSel(2); });
    Each<CSCEditBox2>(built, "PAGE3_TITLE", [](auto* e) { e->SetWindowText("Summer Breeze"); });
    Each<CSCStatic>(built, "PAGE3_CLIP_INFO", [](auto* s) { s->SetWindowText("17.7 % of the ringtone clips"); });
    Each<CSCStatic>(built, "PAGE3_LIMIT_INFO", [](auto* s) { s->SetWindowText("55.0 s: over the 40 s limit"); });
    Each<CSCButton>(built, "PAGE3_SHORTEN", [](auto* b) { b->SetWindowText("Shorten to 40 s"); });
    Each<CSCEditBox2>(built, "PAGE3_PATH", [](auto* e) {
        e->SetReadOnly(true);
        e->SetWindowText("My Computer: /home/ana/Ringtones/Summer Breeze.mp3");
    });
    Each<CSCHtmlStatic>(built, "PAGE3_INFO", [](auto* s) {
        s->SetWindowText(
            "File format: <b>MP3</b><font size=\"-4\"><br><br></font>Length: <b>00:18</b>"
            "<font size=\"-4\"><br><br></font>Approximated file size: <b>288.00 Kb.</b>");
    });
    Each<CSCHtmlStatic>(built, "PAGE3_LOUDNESS",
                        [](auto* s) { s->SetWindowText("Loudness: <b>-9.3 LUFS</b>, true peak <b>+0.4 dBTP</b>"); });
    Each<CSCStatic>(built, "RECORD_TIME", [](auto* s) { s->SetWindowText("Record length: 00:07"); });
    Each<CSCButton>(built, "CREATE_RINGTONE", [](auto* b) { b->SetCheck(1); });
    Each<CSCEditBox2>(built, "EDIT_NAME", [](auto* e) { e->SetWindowText("Summer Breeze.mp3"); });
    Each<CSCStatic>(built, "HINTS", [](auto* s) { s->SetWindowText("GSConnect is not running."); });
    if (section == "PROGRESS_DLG") {
        Each<CSCStatic>(built, "TEXT", [](auto* s) { s->SetWindowText("Saving the ringtone..."); });
        Each<CSCScaleProgress>(built, "PROGRESS", [](auto* p) {
            p->SetRange(0, 100);
            p->SetPos(42);
        });
    }
    if (section.rfind("MESSAGEBOX", 0) == 0) {
        Each<CSCStatic>(built, "TEXT", [](auto* s) { s->SetWindowText("Do you really want to exit Qo Morvane?"); });
        Each<CSCStatic>(built, "ICON", [](auto* s) {
            s->SetIcon(
                QIcon(QString::fromStdString(SkinControlsManager()->GetSkinFolder() + "/Morvane/icon-help.svg")));
        });
    }
    Each<CSCHtmlStatic>(built, "GENERAL_INFO", [](auto* s) {
        s->SetWindowText(
            "<p style=\"font-size:16px\"><b>Qo Morvane</b> 1.0.12</p><p>Make ringtones from your music: trim, "
            "mix, add effects and save them as MP3 or AAC, or send them to your phone.</p>"
            "<p>Built Jan 1 2027</p>");
    });
    Each<CSCButton>(built, "GENERAL", [](auto* b) { b->SetCheck(1); });
    Each<CSCEditBox>(built, "COMPUTER_INFO", [](auto* e) { e->hide(); });
    Each<CSCHtmlBrowser>(built, "COPYRIGHT_INFO", [](auto* e) { e->hide(); });
}

}  // namespace

TEST_F(DefaultSkin, IsListedWithItsSize) {
    const enXml* root = GetSkinXMLRoot();
    std::string caption;
    ASSERT_TRUE(root->GetAttribute("Caption", caption));
    EXPECT_FALSE(caption.empty());
    int width = 0, height = 0;
    EXPECT_TRUE(root->GetAttribute("Width", width));
    EXPECT_TRUE(root->GetAttribute("Height", height));
    EXPECT_EQ(width, 800);
    EXPECT_EQ(height, 600);
    EXPECT_STREQ(GetSWQueryInterface()->GetSkinFont().lfFaceName, "Inter");
}

TEST_F(DefaultSkin, HasEveryWindowWithEveryControl) {
    const enXml* root = GetSkinXMLRoot();
    for (const SectionTable& table : ProgramSections()) {
        SCOPED_TRACE(table.section);
        const enXml* section = root->FindChild(table.section);
        ASSERT_NE(section, nullptr);
        const enXml* panels = section->FindChild("Panels");
        const enXml* controls = section->FindChild("Controls");
        ASSERT_NE(panels, nullptr);
        ASSERT_NE(controls, nullptr);
        for (const char* panel : table.panels) EXPECT_NE(panels->FindChild(panel), nullptr) << panel;
        for (const TableEntry& entry : table.controls)
            EXPECT_NE(controls->FindChild(entry.name), nullptr) << entry.name;
        for (const enXml* e = controls->FirstChildElement(); e; e = e->NextSiblingElement()) {
            std::string owner;
            EXPECT_TRUE(e->GetAttribute("Owner", owner)) << e->GetName();
            EXPECT_NE(panels->FindChild(owner), nullptr) << e->GetName() << " owner " << owner;
        }
    }
}

TEST_F(DefaultSkin, EveryControlTakesItsSkinAndLiesInItsPanel) {
    for (const SectionTable& table : ProgramSections()) {
        SCOPED_TRACE(table.section);
        BuiltSection built = BuildSection(table);
        ASSERT_TRUE(built.sectionFound);
        EXPECT_TRUE(built.missing.empty()) << built.missing.front();
        EXPECT_TRUE(built.unskinned.empty()) << built.unskinned.front();
        for (const auto& [name, control] : built.controls) {
            auto* panel = dynamic_cast<CAutoPanel*>(control->parentWidget());
            ASSERT_NE(panel, nullptr) << name;
            const QRect area(QPoint(0, 0), panel->GetInitialSize());
            EXPECT_TRUE(area.contains(control->geometry())) << name;
            EXPECT_FALSE(control->geometry().isEmpty()) << name;
        }
    }
}

TEST_F(DefaultSkin, PicturesHaveTheFramesTheControlsUse) {
    const std::string folder = SkinControlsManager()->GetSkinFolder() + "/Morvane/";
    const std::vector<std::pair<const char*, int>> minimum = {
        {"btn-primary.svg", 4}, {"btn-secondary.svg", 4}, {"btn-ghost.svg", 4},     {"btn-close.svg", 4},
        {"check.svg", 8},       {"toggle-play.svg", 8},   {"toggle-record.svg", 8}, {"tab.svg", 8},
        {"edit.svg", 4},        {"edit-search.svg", 4},   {"spin-up.svg", 4},       {"spin-down.svg", 4},
        {"slider.svg", 5},      {"scrollbar.svg", 4},     {"wave.svg", 3}};
    for (const auto& [file, frames] : minimum) {
        CDataSource source;
        ASSERT_TRUE(source.LoadFromFile(QString::fromStdString(folder + file))) << file;
        EXPECT_TRUE(source.IsVector()) << file;
        EXPECT_GE(source.GetFrameCount(), frames) << file;
    }
    CDataSource edit;
    ASSERT_TRUE(edit.LoadFromFile(QString::fromStdString(folder + "edit-search.svg")));
    EXPECT_EQ(edit.GetMargins().left(), 36);  // the magnifier stays unstretched
}

TEST_F(DefaultSkin, Screenshots) {
    const QDir dir(MORVANE_SCREENSHOT_DIR);
    ASSERT_TRUE(dir.mkpath("."));
    for (const SectionTable& table : ProgramSections()) {
        BuiltSection built = BuildSection(table);
        FillSample(table.section, built);
        built.host->show();
        for (const auto& [name, panel] : built.panels) {
            for (const auto& [other, otherPanel] : built.panels) otherPanel->setVisible(other == name);
            const std::string file = table.panels.size() > 1 ? std::string(table.section) + "-" + name : table.section;
            const QPixmap picture = built.host->grab();
            ASSERT_FALSE(picture.isNull());
            EXPECT_TRUE(picture.save(dir.filePath(QString::fromStdString("skin-" + file + ".png"))));
            if (name == "PanelPage2") {
                // The page on a larger window: anchored controls follow the edges.
                const QSize designed = panel->GetInitialSize();
                built.host->resize(1024, 720);
                panel->setGeometry(0, 0, 1024, 720);
                EXPECT_TRUE(
                    built.host->grab().save(dir.filePath(QString::fromStdString("skin-" + file + "-1024x720.png"))));
                built.host->resize(designed);
                panel->setGeometry(QRect(QPoint(0, 0), designed));
                QPixmap dense(built.host->size() * 2);
                dense.setDevicePixelRatio(2.0);
                dense.fill(Qt::transparent);
                built.host->render(&dense);
                EXPECT_TRUE(dense.save(dir.filePath(QString::fromStdString("skin-" + file + "@2x.png"))));
            }
        }
    }
}

// Every button look of the default skin in every state, side by side (skin-states.png).
TEST_F(DefaultSkin, StatesScreenshot) {
    const char* xml =
        "<Looks>"
        "<Primary Source=\"Morvane/btn-primary.svg\" TextColor=\"@AccentText\" LogFont=\"Inter, 14, semibold\" "
        "Text=\"Continue\"/>"
        "<Secondary Source=\"Morvane/btn-secondary.svg\" TextColor=\"@Text\" LogFont=\"Inter, 14, medium\" "
        "Text=\"Browse…\" Icon=\"Morvane/icon-folder.svg\"/>"
        "<Ghost Source=\"Morvane/btn-ghost.svg\" TextColor=\"@TextSecondary\" Icon=\"Morvane/icon-help.svg\" "
        "IconSize=\"20\"/>"
        "<Close Source=\"Morvane/btn-close.svg\" TextColor=\"@TextSecondary\" Icon=\"Morvane/icon-close.svg\" "
        "IconSize=\"20\"/>"
        "<Check Check=\"1\" Source=\"Morvane/check.svg\" TextColor=\"@Text\" Glyph=\"Left\" Text=\"Normalize\"/>"
        "<Tab Check=\"1\" Source=\"Morvane/tab.svg\" TextColor=\"@Text\" LogFont=\"Inter, 14, medium\" "
        "Text=\"General\"/>"
        "<Play Check=\"1\" Source=\"Morvane/toggle-play.svg\"/>"
        "<Record Check=\"1\" Source=\"Morvane/toggle-record.svg\"/>"
        "</Looks>";
    enXml looks;
    ASSERT_TRUE(looks.LoadMemory(xml, std::strlen(xml)));
    CSCScaleDialog host;
    host.setAttribute(Qt::WA_TranslucentBackground, false);
    host.setStyleSheet("CSCScaleDialog{background:#F4F5F8;}");
    const QSize cell(150, 56);
    const char* states[] = {"normal", "hover", "pressed", "disabled", "focused", "checked", "checked+hover"};
    std::vector<CSkinFile> files;
    int row = 0;
    for (const enXml* look = looks.FirstChildElement(); look; look = look->NextSiblingElement(), ++row) {
        int isCheck = 0;
        look->GetAttribute("Check", isCheck);
        for (int column = 0; column < 7; ++column) {
            if (column >= 5 && !isCheck) continue;
            auto* button = new CSCButton(&host, 1, isCheck ? static_cast<uint32_t>(BS_AUTOCHECKBOX) : 0u);
            ASSERT_TRUE(SkinControl(button, isCheck ? 2 : 1, *look, files)) << look->GetName();
            button->setFont(host.font());
            button->ApplyElement(*look);
            button->show();
            const QSize natural = button->GetDataSource().GetFrameSize();
            QSize size = natural;
            if (look->GetName() == "Primary" || look->GetName() == "Secondary" || look->GetName() == "Tab" ||
                look->GetName() == "Check")
                size = QSize(130, look->GetName() == "Check" ? 24 : (look->GetName() == "Tab" ? 32 : 40));
            button->setGeometry(QRect(QPoint(10 + column * cell.width(), 10 + row * cell.height()), size));
            const std::string state = states[column];
            if (state.find("hover") != std::string::npos) {
                QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
                QApplication::sendEvent(button, &enter);
            }
            if (state == "pressed") {
                QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton,
                                  Qt::LeftButton, Qt::NoModifier);
                QApplication::sendEvent(button, &press);
            }
            if (state == "disabled") button->setEnabled(false);
            if (state.rfind("checked", 0) == 0) button->SetCheck(1);
            if (state == "focused" && row == 1) {
                host.show();
                QApplication::setActiveWindow(&host);
                button->setFocus(Qt::TabFocusReason);
            }
        }
    }
    host.resize(10 + 7 * cell.width(), 10 + row * cell.height());
    host.show();
    const QDir dir(MORVANE_SCREENSHOT_DIR);
    ASSERT_TRUE(dir.mkpath("."));
    EXPECT_TRUE(host.grab().save(dir.filePath("skin-states.png")));
}
