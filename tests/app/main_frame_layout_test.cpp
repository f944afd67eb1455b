// The main window's three pages as the skin holder builds them from the default skin (without
// the wizard's behaviour): every control lies on its page, and a picture of each page.
#include <gtest/gtest.h>

#include <QApplication>

#include "app/control_tables.h"
#include "app/skin_holder.h"
#include "skin/skin.h"
#include "tests/app/ui_test_support.h"
#include "tests/app/wave_stand_in.h"

namespace {

class MainFrameFace : public CSCScaleDialog, public ISkinHolderCb {
public:
    void OnSkinLoaded() override {}
    CSkinHolder holder{this, this, kMainFrameControls, "MAINFRAME"};
};

TEST(MainFrameLayout, EveryPageHoldsItsControlsInsideItsBounds) {
    TestApp();
    LoadDefaultSkin();
    SetWaveFormFactory(&WaveStandIn::Create);
    MainFrameFace face;
    std::vector<CAutoPanelCaption*> pages;
    for (const char* name : {"PanelPage1", "PanelPage2", "PanelPage3"})
        pages.push_back(face.holder.GetPanel(name, WS_CHILD));
    ASSERT_TRUE(face.holder.LoadSkin());
    face.resize(800, 600);
    face.show();
    for (size_t i = 0; i < pages.size(); ++i) {
        for (CAutoPanelCaption* page : pages) page->setVisible(page == pages[i]);
        pages[i]->setGeometry(0, 0, 800, 600);
        ASSERT_EQ(pages[i]->GetInitialSize(), QSize(800, 600));
        int placed = 0;
        for (CSkinBase* control : pages[i]->findChildren<CSkinBase*>(Qt::FindDirectChildrenOnly)) {
            ++placed;
            EXPECT_TRUE(QRect(0, 0, 800, 600).contains(control->geometry()))
                << "page " << i + 1 << ": " << control->GetWindowId();
            EXPECT_TRUE(control->isVisible()) << control->GetWindowId();
        }
        EXPECT_GE(placed, 14) << "page " << i + 1;
        SaveScreenshot(face, QStringLiteral("main_page%1.png").arg(i + 1));
    }
}

}  // namespace
