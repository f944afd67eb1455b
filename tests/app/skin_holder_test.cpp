// The skin layout holder on the default skin and on skins changed for one case: instances and
// their ids, command routing, captions and tooltips, the kinds' records, slider refinement,
// missing images and missing entries, and the release of everything by Reset.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>

#include <filesystem>
#include <iterator>
#include <string>

#include "app/control_tables.h"
#include "app/resources.h"
#include "app/skin_holder.h"
#include "skin/buttons.h"
#include "skin/control_records.h"
#include "skin/data_source.h"
#include "skin/lists.h"
#include "skin/panels.h"
#include "skin/skin_base.h"
#include "skin/skin_file.h"
#include "skin/skin_values.h"
#include "skin/sliders.h"
#include "skin/statics.h"
#include "tests/app/ui_test_support.h"
#include "tests/app/wave_stand_in.h"

namespace {

constexpr const char* kPages[] = {"PanelPage1", "PanelPage2", "PanelPage3"};

// The owner window: records the commands the holder sends and the skin-loaded notice.
class OwnerWindow : public QWidget, public ISkinHolderCb {
public:
    void OnSkinLoaded() override { ++skinLoadedCalls; }
    bool event(QEvent* event) override {
        if (event->type() != SkinCommandEvent::Type()) return QWidget::event(event);
        auto* command = static_cast<SkinCommandEvent*>(event);
        commands.emplace_back(command->CommandId(), command->Code());
        command->result = 42;
        return true;
    }
    std::vector<std::pair<int, int>> commands;
    int skinLoadedCalls = 0;
};

class SkinHolderTest : public testing::Test {
protected:
    void SetUp() override {
        TestApp();
        SetWaveFormFactory(&WaveStandIn::Create);
    }
    void TearDown() override { LoadDefaultSkin(); }

    // A main window holder with its three pages, on the skin text given.
    bool LoadMainFrame(const std::string& skinText) {
        if (!LoadSkinText(m_folder, skinText)) return false;
        for (const char* page : kPages) m_holder.GetPanel(page, WS_CHILD | WS_VISIBLE);
        return m_holder.LoadSkin();
    }

    // The instances of the entry with this command id, newest first.
    std::vector<const _MAINFRAME_CONTROL_*> Instances(int commandId) const {
        std::vector<const _MAINFRAME_CONTROL_*> nodes;
        for (const _CONTROL_INFO_STRUCT_& entry : m_holder.Table())
            if (entry.commandId == commandId)
                for (const _MAINFRAME_CONTROL_* node = entry.instances; node; node = node->next) nodes.push_back(node);
        return nodes;
    }

    ScratchFolder m_folder;
    OwnerWindow m_owner;
    CSkinHolder m_holder{&m_owner, &m_owner, kMainFrameControls, "MAINFRAME"};
};

TEST_F(SkinHolderTest, TwoElementsOfOneNameMakeTwoInstancesThatBothReportTheTableCommand) {
    ASSERT_TRUE(
        LoadMainFrame(DefaultSkinWith({{"<PAGE1_TRACK2_EDIT ",
                                        "<PAGE1_TRACK1_BROWSE Owner=\"PanelPage1\" Place=\"604, 300, 132, 40\" "
                                        "Source=\"Morvane/btn-secondary.svg\"/>\n      <PAGE1_TRACK2_EDIT "}})));
    EXPECT_EQ(m_owner.skinLoadedCalls, 1);
    const auto browse = Instances(IDC_PAGE1_TRACK1_BROWSE);
    ASSERT_EQ(browse.size(), 2u);
    EXPECT_EQ(browse[0]->windowId, 1072);
    EXPECT_EQ(browse[1]->windowId, 1071);
    ASSERT_NE(m_holder.GetControl(IDC_PAGE1_TRACK1_BROWSE), nullptr);
    EXPECT_EQ(m_holder.GetControl(IDC_PAGE1_TRACK1_BROWSE)->GetWindowId(), 1072);

    EXPECT_EQ(m_holder.FindCommandId(1071), IDC_PAGE1_TRACK1_BROWSE);
    EXPECT_EQ(m_holder.FindCommandId(1072), IDC_PAGE1_TRACK1_BROWSE);
    EXPECT_EQ(m_holder.FindCommandId(1070), 0) << "instance ids start one above the command id";
    EXPECT_EQ(m_holder.FindCommandId(1073), 0);

    for (const _MAINFRAME_CONTROL_* node : browse) qobject_cast<CSCButton*>(node->control.data())->Click();
    EXPECT_EQ(m_owner.commands, (std::vector<std::pair<int, int>>{{1070, SCN_CLICKED}, {1070, SCN_CLICKED}}));

    intptr_t result = 0;
    EXPECT_TRUE(m_holder.RouteCommand(1071, SCN_COMMIT, &result));
    EXPECT_EQ(result, 42);
    EXPECT_EQ(m_owner.commands.back(), (std::pair<int, int>{1070, SCN_COMMIT}));
    EXPECT_FALSE(m_holder.RouteCommand(4242, SCN_CLICKED, &result));
    EXPECT_EQ(m_owner.commands.size(), 3u);
}

TEST_F(SkinHolderTest, EveryMainWindowControlGetsItsCaptionTooltipAndPlace) {
    ASSERT_TRUE(LoadMainFrame(DefaultSkinWith({})));
    for (const _CONTROL_INFO_STRUCT_& entry : m_holder.Table()) {
        ASSERT_NE(entry.instances, nullptr) << entry.name;
        for (const _MAINFRAME_CONTROL_* node = entry.instances; node; node = node->next) {
            CSkinBase* control = node->control;
            ASSERT_NE(control, nullptr) << entry.name;
            EXPECT_EQ(control->GetWindowId(), node->windowId);
            EXPECT_EQ(control->toolTip(), entry.tooltip ? QString::fromUtf8(entry.tooltip) : QString()) << entry.name;
            EXPECT_TRUE(qobject_cast<CAutoPanelCaption*>(control->parentWidget())) << entry.name << " was not placed";
        }
    }
    EXPECT_EQ(m_holder.GetControl(IDC_PAGE2_REPEAT)->GetWindowText(), "Loop");
    EXPECT_EQ(m_holder.GetControl(IDC_PAGE3_OVERWRITE)->GetWindowText(), "Force overwrite duplicate file");
    // The element's own Text replaces a table caption.
    EXPECT_EQ(m_holder.GetControl(IDC_COMMON_CONTINUE)->GetWindowText(), "Step 3: Save/Send the ringtone");
    // Kinds and their styles.
    EXPECT_TRUE(qobject_cast<CSCButton*>(m_holder.GetControl(IDC_PAGE2_FADE_IN))->IsCheckBox());
    EXPECT_FALSE(qobject_cast<CSCButton*>(m_holder.GetControl(IDC_PAGE3_SEND))->IsCheckBox());
    EXPECT_TRUE(qobject_cast<CSCComboBox2*>(m_holder.GetControl(IDC_PAGE3_FORMAT)));
    EXPECT_TRUE(qobject_cast<CSCScaleSlider*>(m_holder.GetControl(IDC_PAGE2_VOLUME_SLIDER)));
    EXPECT_TRUE(qobject_cast<CSCHtmlBrowser*>(m_holder.GetControl(IDC_BANNER)));
    EXPECT_TRUE(m_holder.GetControl(IDC_PAGE1_TRACK1_EDIT)->IsSkinned());
    EXPECT_EQ(m_holder.GetControl(IDC_PAGE1_TRACK1_EDIT)->GetStyle(),
              static_cast<uint32_t>(ES_MULTILINE | ES_AUTOHSCROLL));
}

TEST_F(SkinHolderTest, TheWaveformRecordCarriesEveryValueOfItsElement) {
    ASSERT_TRUE(LoadMainFrame(DefaultSkinWith({})));
    auto* wave = qobject_cast<WaveStandIn*>(m_holder.GetControl(IDC_PAGE2_WAVE));
    ASSERT_NE(wave, nullptr);
    EXPECT_EQ(wave->GetStyle(), 0x100u);
    EXPECT_TRUE(wave->IsSkinned()) << "the stand-in takes only a record of the waveform editor's size";
    const SCWAVEFORMRES& res = wave->Record();
    // Source is an open descriptor of the skin's wave.svg, whose three frames (ruler, start and
    // end handle) are the rectangles frame0 to frame2 of that picture.
    ASSERT_NE(res.source, SKIN_NO_HANDLE);
    EXPECT_EQ(std::filesystem::read_symlink("/proc/self/fd/" + std::to_string(res.source)),
              std::filesystem::canonical(std::filesystem::path(DefaultSkinPath()).parent_path() / "Morvane/wave.svg"));
    CDataSource frames;
    ASSERT_TRUE(frames.LoadFromHandle(res.source));
    EXPECT_EQ(frames.GetFrameCount(), 3);
    EXPECT_EQ(frames.GetFrameSize(0), QSize(100, 22));
    EXPECT_EQ(frames.GetFrameSize(1), QSize(12, 22));
    EXPECT_EQ(frames.GetFrameSize(2), QSize(12, 22));
    EXPECT_EQ(res.timeHeight, 22);
    EXPECT_EQ(res.leftWidth, 6);
    EXPECT_EQ(res.rightWidth, 6);
    EXPECT_EQ(res.waveCenterColor, RGB(0xE4, 0xE7, 0xEC));
    EXPECT_EQ(res.waveBorderColor, RGB(0xDD, 0xE1, 0xE8));
    EXPECT_EQ(res.waveBgColor, RGB(0xFF, 0xFF, 0xFF));
    EXPECT_EQ(res.waveBgSelColor, RGB(0xEE, 0xF0, 0xFC));
    EXPECT_EQ(res.waveDataColor, RGB(0xA7, 0xAE, 0xBC));
    EXPECT_EQ(res.waveDataSelColor, RGB(0x4A, 0x57, 0xD4)) << "@Accent";
    EXPECT_EQ(res.timeTextColor, RGB(0x5E, 0x66, 0x75)) << "@TextSecondary";
    EXPECT_EQ(res.waveBlankColor, RGB(0xF7, 0xF8, 0xFA));
    EXPECT_EQ(res.waveBlankSelColor, RGB(0xE4, 0xE7, 0xFA));
    EXPECT_EQ(res.titleTextColor, RGB(0x1D, 0x23, 0x30)) << "@Text";
    EXPECT_STREQ(res.timeFont.lfFaceName, "Inter");
    EXPECT_EQ(res.timeFont.lfWeight, 400);
    EXPECT_STREQ(res.titleFont.lfFaceName, "Inter");
    EXPECT_EQ(res.titleFont.lfWeight, 600);
    EXPECT_EQ(wave->SkinAppliedCount(), 1) << "every control hears that the skin was applied";
}

TEST_F(SkinHolderTest, ASliderTypeInLowerCaseCreatesNothingAndTheWindowFails) {
    EXPECT_FALSE(LoadMainFrame(DefaultSkinWith({{"Type=\"Horizontal\"", "Type=\"horizontal\""}})));
    EXPECT_EQ(m_holder.GetControl(IDC_PAGE2_VOLUME_SLIDER), nullptr);
    EXPECT_NE(m_holder.GetControl(IDC_PAGE3_SEND), nullptr) << "the other controls are still made";
    EXPECT_EQ(m_owner.skinLoadedCalls, 1);
}

TEST_F(SkinHolderTest, HorzStretchInLowerCaseGivesTheTwoStateSlider) {
    ASSERT_TRUE(LoadMainFrame(DefaultSkinWith({{"HorzStretch=\"Yes\"", "HorzStretch=\"yes\""}})));
    CSkinBase* slider = m_holder.GetControl(IDC_PAGE2_VOLUME_SLIDER);
    EXPECT_TRUE(qobject_cast<CSCSlider*>(slider));
    EXPECT_FALSE(qobject_cast<CSCScaleSlider*>(slider)) << "\"yes\" is not \"Yes\"";
    EXPECT_TRUE(slider->IsSkinned());
}

TEST_F(SkinHolderTest, AMissingImageLeavesAPlacedUnskinnedControl) {
    ASSERT_TRUE(LoadMainFrame(DefaultSkinWith({
        {"Place=\"64, 432, 190, 40\" Source=\"Morvane/btn-secondary.svg\"",
         "Place=\"64, 432, 190, 40\" Source=\"Morvane/absent.svg\""},
        {"<PAGE2_PLAY Owner=\"PanelPage2\" Place=\"56, 156, 40, 40\" Source=\"Morvane/toggle-play.svg\"/>",
         "<PAGE2_PLAY Owner=\"PanelPage2\" Place=\"56, 156, 40, 40\"/>"},
        {"<PAGE1_TRACK1_BROWSE Owner=\"PanelPage1\"",
         "<PAGE1_TRACK1_BROWSE SourceAlpha=\"Morvane/absent-mask.svg\" Owner=\"PanelPage1\""},
    })));
    CSkinBase* record = m_holder.GetControl(IDC_PAGE1_RECORD);
    ASSERT_NE(record, nullptr);
    EXPECT_FALSE(record->IsSkinned());
    EXPECT_EQ(record->GetWindowText(), "Record voice");
    EXPECT_EQ(record->toolTip(), "Record your voice");
    EXPECT_EQ(record->geometry(), QRect(64, 432, 190, 40));
    EXPECT_TRUE(qobject_cast<CAutoPanelCaption*>(record->parentWidget()));
    EXPECT_FALSE(m_holder.GetControl(IDC_PAGE2_PLAY)->IsSkinned()) << "no Source at all";
    EXPECT_FALSE(m_holder.GetControl(IDC_PAGE1_TRACK1_BROWSE)->IsSkinned()) << "a named mask that cannot be read";
    EXPECT_TRUE(m_holder.GetControl(IDC_PAGE1_TRACK2_BROWSE)->IsSkinned());
}

TEST_F(SkinHolderTest, AnEntryWithoutElementFailsTheLoadAfterTheOthersWereMade) {
    // The element as the default skin writes it, wherever the skin places it.
    const std::string skin = DefaultSkinWith({});
    const size_t start = skin.find("<PAGE3_RESET ");
    ASSERT_NE(start, std::string::npos);
    const std::string reset = skin.substr(start, skin.find("/>", start) + 2 - start);
    EXPECT_FALSE(LoadMainFrame(DefaultSkinWith({{reset, ""}})));
    EXPECT_EQ(m_holder.GetControl(IDC_PAGE3_RESET), nullptr);
    EXPECT_NE(m_holder.GetControl(IDC_PAGE3_SEND), nullptr);
}

TEST_F(SkinHolderTest, WithoutItsSectionOrTableOrControlsTheLoadFails) {
    LoadDefaultSkin();
    OwnerWindow owner;
    CSkinHolder elsewhere(&owner, &owner, kProgressControls, "NO_SUCH_WINDOW");
    EXPECT_FALSE(elsewhere.LoadSkin());
    EXPECT_EQ(owner.skinLoadedCalls, 0);
    CSkinHolder untabled(&owner, &owner, nullptr, "PROGRESS_DLG");
    EXPECT_FALSE(untabled.LoadSkin());

    ASSERT_TRUE(LoadSkinText(m_folder,
                             "<SKIN_KEL Caption=\"Bare\"><PROGRESS_DLG><Panels><MainPanel Width=\"300\" "
                             "Height=\"100\"/></Panels></PROGRESS_DLG></SKIN_KEL>"));
    CSkinHolder bare(&owner, &owner, kProgressControls, "PROGRESS_DLG");
    CAutoPanelCaption* panel = bare.GetPanel("MainPanel", WS_CHILD | WS_VISIBLE);
    EXPECT_FALSE(bare.LoadSkin());
    EXPECT_EQ(panel->GetInitialSize(), QSize(300, 100)) << "the panels still read their elements";
}

TEST_F(SkinHolderTest, ResetReleasesControlsPanelsAndImageFiles) {
    const auto openFiles = [] {
        return std::distance(std::filesystem::directory_iterator("/proc/self/fd"),
                             std::filesystem::directory_iterator());
    };
    LoadDefaultSkin();
    const auto before = openFiles();
    ASSERT_TRUE(LoadMainFrame(DefaultSkinWith({})));
    EXPECT_GT(openFiles(), before + 50) << "every image stays open for its control";
    QPointer<CSkinBase> control = m_holder.GetControl(IDC_PAGE3_SEND);
    QPointer<CAutoPanelCaption> panel = m_holder.GetPanel("PanelPage3", WS_CHILD);
    m_holder.Reset();
    EXPECT_TRUE(control.isNull());
    EXPECT_TRUE(panel.isNull());
    EXPECT_EQ(m_holder.GetControl(IDC_PAGE3_SEND), nullptr);
    EXPECT_EQ(m_holder.FindCommandId(1286), 0);
    EXPECT_LE(openFiles(), before + 1);  // the skin file written for the test may be cached once

    // The window can be built again, with the same ids.
    for (const char* page : kPages) m_holder.GetPanel(page, WS_CHILD | WS_VISIBLE);
    ASSERT_TRUE(m_holder.LoadSkin());
    EXPECT_EQ(m_holder.GetControl(IDC_PAGE3_SEND)->GetWindowId(), 1286);
}

// A window of sliders, to see what the slider attributes do.
const _CONTROL_INFO_STRUCT_ kSliderTable[] = {
    {21, 5000, "SLIDER", "Slide", IDS_NONE, nullptr},
    {0, 0, nullptr, nullptr, IDS_NONE, nullptr},
};

// The mean row of the track's grey in the right half of a slider (the thumb sits left).
double TrackRow(QWidget& slider) {
    const QImage image = slider.grab().toImage().convertToFormat(QImage::Format_ARGB32);
    double sum = 0;
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = image.width() / 2; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (std::abs(c.red() - 0xDD) < 8 && std::abs(c.green() - 0xE1) < 8 && std::abs(c.blue() - 0xE8) < 8 &&
                c.alpha() > 200) {
                sum += y;
                ++count;
            }
        }
    return count > 0 ? sum / count : -1;
}

TEST_F(SkinHolderTest, SliderTypeDrawAlignAndStretchRules) {
    const std::string slider = "Owner=\"mainpanel\" Type=\"Horizontal\" Source=\"Morvane/slider.svg\" ";
    ASSERT_TRUE(LoadSkinText(m_folder,
                             "<SKIN_KEL Caption=\"Sliders\"><SLIDERS><Panels><MainPanel Width=\"300\" Height=\"400\" "
                             "BkColor=\"#FFFFFF\"/></Panels>"
                             "<Controls>"
                             "<SLIDER " +
                                 slider +
                                 "Place=\"10, 10, 200, 60\" DrawAlign=\"align_left/top\"/>"
                                 "<SLIDER " +
                                 slider +
                                 "Place=\"10, 80, 200, 60\" DrawAlign=\"Align_Right/Bottom\"/>"
                                 "<SLIDER " +
                                 slider +
                                 "Place=\"10, 150, 200, 60\" DrawAlign=\"ALIGN_TOP\"/>"
                                 "<SLIDER " +
                                 slider +
                                 "Place=\"10, 220, 200, 24\" HorzStretch=\"Yes\"/>"
                                 "<SLIDER Owner=\"MainPanel\" Type=\"Round\" Source=\"Morvane/slider.svg\"/>"
                                 "<SLIDER Owner=\"MainPanel\" Source=\"Morvane/slider.svg\"/>"
                                 "<SLIDER Owner=\"MainPanel\" Type=\"Vertical\" VertStretch=\"Yes\" "
                                 "Source=\"Morvane/slider.svg\" Place=\"240, 10, 24, 200\"/>"
                                 "</Controls></SLIDERS></SKIN_KEL>"));
    OwnerWindow owner;
    CSkinHolder holder(&owner, &owner, kSliderTable, "SLIDERS");
    holder.GetPanel("MainPanel", WS_CHILD | WS_VISIBLE);
    ASSERT_TRUE(holder.LoadSkin());
    std::vector<CSkinBase*> sliders;  // oldest first
    for (const _MAINFRAME_CONTROL_* node = holder.Table()[0].instances; node; node = node->next)
        sliders.insert(sliders.begin(), node->control.data());
    ASSERT_EQ(sliders.size(), 5u) << "Round and a missing Type create nothing";
    EXPECT_EQ(sliders[4]->GetWindowId(), 5005) << "skipped elements take no id";

    const double top = TrackRow(*sliders[0]), bottom = TrackRow(*sliders[1]), centred = TrackRow(*sliders[2]);
    ASSERT_GE(top, 0);
    EXPECT_LT(top, 10);
    EXPECT_GT(bottom, 50);
    EXPECT_NEAR(centred, 30, 4);

    EXPECT_FALSE(qobject_cast<CSCScaleSlider*>(sliders[0]));
    EXPECT_TRUE(qobject_cast<CSCScaleSlider*>(sliders[3]));
    auto* vertical = qobject_cast<CSCScaleSlider*>(sliders[4]);
    ASSERT_NE(vertical, nullptr);
    EXPECT_TRUE(vertical->IsVertical());
    for (CSkinBase* control : sliders) EXPECT_EQ(control->toolTip(), "Slide");
}

TEST_F(SkinHolderTest, APanelIsMadeOnceAndShownOnlyWhenAsked) {
    CAutoPanelCaption* shown = m_holder.GetPanel("PanelPage1", WS_CHILD | WS_VISIBLE);
    EXPECT_EQ(m_holder.GetPanel("PanelPage1", WS_CHILD), shown);
    EXPECT_EQ(shown->parentWidget(), &m_owner);
    EXPECT_EQ(shown->geometry(), QRect(0, 0, 15, 15));
    EXPECT_FALSE(shown->isHidden());
    EXPECT_TRUE(m_holder.GetPanel("PanelPage2", WS_CHILD)->isHidden());
}

}  // namespace
