// Parsing of colours, fonts, rectangles and anchors, and the choice of image frames.
#include <gtest/gtest.h>

#include <cstring>

#include "skin/control_state.h"
#include "skin/skin_manager.h"
#include "skin/skin_values.h"

TEST(SkinValues, ColoursInEverySyntax) {
    EXPECT_EQ(LoadColor("#4A57D4"), RGB(0x4A, 0x57, 0xD4));
    EXPECT_EQ(LoadColor("  #fff "), RGB(255, 255, 255));
    EXPECT_EQ(LoadColor("#1a2"), RGB(0x11, 0xAA, 0x22));
    EXPECT_EQ(LoadColor("12, 34, 255"), RGB(12, 34, 255));
    // Palette references resolve against the controls' manager (built-in palette here).
    EXPECT_EQ(LoadColor("@Accent"), GetSkinColor(SKINCOLOR_ACCENT));
    EXPECT_EQ(LoadColor("@accent"), GetSkinColor(SKINCOLOR_ACCENT));
    EXPECT_EQ(LoadColor("@8"), GetSkinColor(SKINCOLOR_EDIT_TEXT));
}

TEST(SkinValues, BadColoursAreInvalid) {
    for (const char* bad : {"", "#", "#12", "#12345", "#1234567", "#GG0000", "256, 0, 0", "-1, 0, 0", "1, 2",
                            "1, 2, 3, 4", "red", "@Nothing", "@16", "@-1", "1,,2"})
        EXPECT_EQ(LoadColor(bad), CLR_INVALID) << bad;
}

TEST(SkinValues, ColourChannelsAreInTheirPlace) {
    const COLORREF c = LoadColor("#102030");
    EXPECT_EQ(GetRValue(c), 0x10);
    EXPECT_EQ(GetGValue(c), 0x20);
    EXPECT_EQ(GetBValue(c), 0x30);
    EXPECT_EQ(c, 0x302010u);
}

TEST(SkinValues, FontsWithSizeWeightAndFlags) {
    LOGFONT lf{};
    ASSERT_TRUE(LoadFont(&lf, "Inter, 14"));
    EXPECT_STREQ(lf.lfFaceName, "Inter");
    EXPECT_EQ(lf.lfHeight, -14);
    EXPECT_EQ(lf.lfWeight, 400);
    EXPECT_EQ(lf.lfItalic, 0);

    ASSERT_TRUE(LoadFont(&lf, " Inter Display , 22px , semibold , italic  underline "));
    EXPECT_STREQ(lf.lfFaceName, "Inter Display");
    EXPECT_EQ(lf.lfHeight, -22);
    EXPECT_EQ(lf.lfWeight, 600);
    EXPECT_EQ(lf.lfItalic, 1);
    EXPECT_EQ(lf.lfUnderline, 1);
    EXPECT_EQ(lf.lfStrikeOut, 0);

    ASSERT_TRUE(LoadFont(&lf, "Inter, 9, 750, STRIKEOUT"));
    EXPECT_EQ(lf.lfWeight, 750);
    EXPECT_EQ(lf.lfStrikeOut, 1);
}

TEST(SkinValues, BadFontsClearTheRecord) {
    for (const char* bad :
         {"", "Inter", ", 14", "Inter, 0", "Inter, -3", "Inter, 401", "Inter, big", "Inter, 14, heavy",
          "Inter, 14, 950", "Inter, 14, bold, wavy", "Inter, 14, bold, ", "Inter, 14, bold, italic, x"}) {
        LOGFONT lf{};
        std::strcpy(lf.lfFaceName, "Old");
        lf.lfHeight = 5;
        EXPECT_FALSE(LoadFont(&lf, bad)) << bad;
        EXPECT_EQ(lf.lfFaceName[0], '\0') << bad;
        EXPECT_EQ(lf.lfHeight, 0) << bad;
    }
    EXPECT_FALSE(LoadFont(nullptr, "Inter, 14"));
    // A face that does not fit the record is refused rather than cut.
    LOGFONT lf{};
    EXPECT_FALSE(LoadFont(&lf, std::string(64, 'a') + ", 12"));
}

TEST(SkinValues, RectanglesAndBadOnes) {
    RECT rc{9, 9, 9, 9};
    EXPECT_EQ(LoadRect(&rc, "1, 2, 3, 4"), &rc);
    EXPECT_EQ(rc.left, 1);
    EXPECT_EQ(rc.top, 2);
    EXPECT_EQ(rc.right, 3);
    EXPECT_EQ(rc.bottom, 4);
    EXPECT_EQ(LoadRect(&rc, "-5 6\t-7,8"), &rc);
    EXPECT_EQ(rc.left, -5);
    EXPECT_EQ(rc.bottom, 8);
    for (const char* bad : {"", "1, 2, 3", "1, 2, 3, 4, 5", "1, 2, x, 4", "1.5, 2, 3, 4", "99999999999, 0, 0, 0"}) {
        rc = RECT{9, 9, 9, 9};
        EXPECT_EQ(LoadRect(&rc, bad), nullptr) << bad;
        EXPECT_EQ(rc.left, 0) << bad;
        EXPECT_EQ(rc.right, 0) << bad;
    }
    EXPECT_EQ(LoadRect(nullptr, "1, 2, 3, 4"), nullptr);
}

TEST(SkinValues, Anchors) {
    EXPECT_EQ(ParseAnchors(""), SC_ANCHOR_LEFT | SC_ANCHOR_TOP);
    EXPECT_EQ(ParseAnchors("Right Bottom"), SC_ANCHOR_RIGHT | SC_ANCHOR_BOTTOM);
    EXPECT_EQ(ParseAnchors("left|RIGHT top"), SC_ANCHOR_LEFT | SC_ANCHOR_RIGHT | SC_ANCHOR_TOP);
    EXPECT_EQ(ParseAnchors("Middle"), 0);
}

TEST(SkinFrames, StateFramesWithFallbacks) {
    const SkinState normal{}, hover{true}, pressed{true, true}, disabled{false, false, true};
    SkinState checked{};
    checked.checked = true;
    SkinState checkedHover = checked;
    checkedHover.hover = true;
    SkinState checkedDisabled = checked;
    checkedDisabled.disabled = true;

    // A full eight-frame picture.
    EXPECT_EQ(PickFrame(8, normal), 0);
    EXPECT_EQ(PickFrame(8, hover), 1);
    EXPECT_EQ(PickFrame(8, pressed), 2);
    EXPECT_EQ(PickFrame(8, disabled), 3);
    EXPECT_EQ(PickFrame(8, checked), 4);
    EXPECT_EQ(PickFrame(8, checkedHover), 5);
    EXPECT_EQ(PickFrame(8, checkedDisabled), 7);
    // Fewer frames fall back.
    EXPECT_EQ(PickFrame(1, pressed), 0);
    EXPECT_EQ(PickFrame(2, pressed), 1);
    EXPECT_EQ(PickFrame(3, disabled), 0);
    EXPECT_EQ(PickFrame(5, checkedHover), 4);
    EXPECT_EQ(PickFrame(4, checked), 2);
    EXPECT_EQ(PickFrame(2, checked), 0);
    EXPECT_EQ(PickFrame(0, hover), 0);
}

TEST(SkinFrames, FieldFrames) {
    SkinState focused{};
    focused.focused = true;
    SkinState disabled{};
    disabled.disabled = true;
    disabled.focused = true;
    EXPECT_EQ(PickFieldFrame(4, focused), 2);
    EXPECT_EQ(PickFieldFrame(4, disabled), 3);
    EXPECT_EQ(PickFieldFrame(2, focused), 1);
    EXPECT_EQ(PickFieldFrame(1, focused), 0);
    EXPECT_EQ(PickFieldFrame(4, SkinState{true}), 1);
}

TEST(SkinManager, RefusesWhatIsNoSkin) {
    EXPECT_EQ(LoadStandardSkin("/nonexistent/skin.xml"), SKINLOAD_NOT_FOUND);
    EXPECT_EQ(GetSWQueryInterface(), SkinControlsManager());
    EXPECT_EQ(GetSkinColor(SKINCOLOR_COUNT), CLR_INVALID);
    EXPECT_EQ(GetSkinColor(-1), CLR_INVALID);
    EXPECT_NE(GetSkinColor(SKINCOLOR_TEXT), CLR_INVALID);
    EXPECT_STREQ(SkinColorName(SKINCOLOR_DANGER), "Danger");
    EXPECT_EQ(SkinColorName(SKINCOLOR_COUNT), nullptr);
}
