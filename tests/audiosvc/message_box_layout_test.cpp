// Message dialog geometry, icons and keys by type (no toolkit involved).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "audiosvc/audiosvc.h"

namespace {

// Base units of 8 x 16 pixels make every dialog unit exactly two pixels.
constexpr DialogBaseUnits kBase{8, 16};
constexpr int kSlotLeft = 8, kSlotMiddle = 112, kSlotRight = 216, kButtonTop = 60;

std::vector<std::string> TextsOf(const MessageBoxLayout& layout) {
    std::vector<std::string> texts;
    for (const MessageBoxButton& button : layout.buttons) texts.emplace_back(button.text);
    return texts;
}

std::vector<int> XsOf(const MessageBoxLayout& layout) {
    std::vector<int> xs;
    for (const MessageBoxButton& button : layout.buttons) xs.push_back(button.rect.x);
    return xs;
}

TEST(MessageBoxLayout, ResourceGeometryInPixels) {
    const MessageBoxLayout layout = LayoutMessageBox(MB_OKCANCEL, {}, kBase);
    EXPECT_EQ(layout.dx, 0);
    EXPECT_EQ(layout.dy, 0);
    EXPECT_EQ(layout.width, 326);
    EXPECT_EQ(layout.height, 98);
    EXPECT_EQ(layout.icon, (MessageBoxRect{8, 10, 40, 40}));
    EXPECT_EQ(layout.text, (MessageBoxRect{60, 14, 256, 30}));
    ASSERT_EQ(layout.buttons.size(), 2u);
    EXPECT_EQ(layout.buttons[0].rect, (MessageBoxRect{kSlotMiddle, kButtonTop, 100, 28}));
    EXPECT_EQ(layout.buttons[1].rect, (MessageBoxRect{kSlotRight, kButtonTop, 100, 28}));
}

TEST(MessageBoxLayout, DialogUnitsRoundAsTheDialogManagerDoes) {
    // 8 pt dialog font: 6 x 13 pixel base units.
    EXPECT_EQ(DialogUnitsToPixels({163, 49, 50, 15}, {6, 13}), (MessageBoxRect{245, 80, 75, 24}));
    EXPECT_EQ(DialogUnitsToPixels({4, 5, 20, 20}, {6, 13}), (MessageBoxRect{6, 8, 30, 33}));
}

TEST(MessageBoxLayout, ButtonSetsAndTheirPositions) {
    const struct {
        uint32_t type;
        std::vector<std::string> texts;
        std::vector<int> xs;
        std::vector<int> results;
        int enter;
    } sets[] = {
        {MB_OK, {"OK"}, {kSlotRight}, {IDOK}, IDOK},
        {MB_OKCANCEL, {"OK", "Cancel"}, {kSlotMiddle, kSlotRight}, {IDOK, IDCANCEL}, IDOK},
        {MB_ABORTRETRYIGNORE,
         {"Abort", "Retry", "Ignore"},
         {kSlotLeft, kSlotMiddle, kSlotRight},
         {IDABORT, IDRETRY, IDIGNORE},
         IDABORT},
        {MB_YESNOCANCEL, {"Yes", "No", "Cancel"}, {kSlotLeft, kSlotMiddle, kSlotRight}, {IDYES, IDNO, IDCANCEL}, IDYES},
        {MB_YESNO, {"Yes", "No"}, {kSlotMiddle, kSlotRight}, {IDYES, IDNO}, IDYES},
        {MB_RETRYCANCEL, {"Retry", "Cancel"}, {kSlotMiddle, kSlotRight}, {IDRETRY, IDCANCEL}, IDRETRY},
        {MB_CLOSE, {"Close"}, {kSlotRight}, {IDCLOSE}, IDCLOSE},
    };
    for (const auto& set : sets) {
        const MessageBoxLayout layout = LayoutMessageBox(set.type | MB_ICONINFORMATION, {}, kBase);
        EXPECT_EQ(TextsOf(layout), set.texts) << set.type;
        EXPECT_EQ(XsOf(layout), set.xs) << set.type;
        std::vector<int> results;
        for (const MessageBoxButton& button : layout.buttons) {
            results.push_back(button.result);
            EXPECT_EQ(button.rect.y, kButtonTop) << set.type;
        }
        EXPECT_EQ(results, set.results) << set.type;
        EXPECT_EQ(layout.enterResult, set.enter) << set.type;
        EXPECT_EQ(MessageBoxDefaultResult(set.type), set.enter) << set.type;
        EXPECT_EQ(layout.escapeResult, IDCANCEL) << set.type;
    }
}

TEST(MessageBoxLayout, QuestionYesNoUsesTheQuestionIconAndTheRightHandSlots) {
    const MessageBoxLayout layout = LayoutMessageBox(0x24, {}, kBase);
    EXPECT_EQ(layout.iconKind, MessageBoxIcon::Question);
    EXPECT_EQ(TextsOf(layout), (std::vector<std::string>{"Yes", "No"}));
    EXPECT_EQ(XsOf(layout), (std::vector<int>{kSlotMiddle, kSlotRight}));
    EXPECT_EQ(layout.buttons[0].id, IDC_MB_YES);
    EXPECT_EQ(layout.buttons[1].id, IDC_MB_NO);
    EXPECT_EQ(layout.enterResult, IDYES);
}

TEST(MessageBoxLayout, IconBitsAndTheImpliedExclamation) {
    EXPECT_EQ(MessageBoxIconForType(MB_OK), MessageBoxIcon::Exclamation);
    EXPECT_EQ(MessageBoxIconForType(MB_OKCANCEL), MessageBoxIcon::Exclamation);
    EXPECT_EQ(MessageBoxIconForType(MB_YESNOCANCEL), MessageBoxIcon::Exclamation);
    EXPECT_EQ(MessageBoxIconForType(MB_YESNO), MessageBoxIcon::Exclamation);
    EXPECT_EQ(MessageBoxIconForType(MB_CLOSE), MessageBoxIcon::Exclamation);
    EXPECT_EQ(MessageBoxIconForType(MB_ABORTRETRYIGNORE), MessageBoxIcon::None);
    EXPECT_EQ(MessageBoxIconForType(MB_RETRYCANCEL), MessageBoxIcon::None);
    EXPECT_EQ(MessageBoxIconForType(0x06), MessageBoxIcon::None);
    EXPECT_EQ(MessageBoxIconForType(MB_RETRYCANCEL | MB_ICONHAND), MessageBoxIcon::Hand);
    EXPECT_EQ(MessageBoxIconForType(MB_OK | MB_ICONQUESTION), MessageBoxIcon::Question);
    EXPECT_EQ(MessageBoxIconForType(MB_OK | MB_ICONWARNING), MessageBoxIcon::Exclamation);
    EXPECT_EQ(MessageBoxIconForType(MB_OK | MB_ICONINFORMATION), MessageBoxIcon::Information);
    EXPECT_EQ(MessageBoxIconForType(MB_OK | 0x50), MessageBoxIcon::None);
    EXPECT_EQ(LayoutMessageBox(MB_RETRYCANCEL, {}, kBase).iconKind, MessageBoxIcon::None);
}

TEST(MessageBoxLayout, WideTallTextGrowsTheDialogAndMovesEveryButtonAlike) {
    // Three lines, the widest 400 pixels against a 256-pixel text control 30 pixels high.
    const MessageBoxLayout plain = LayoutMessageBox(MB_ABORTRETRYIGNORE, {}, kBase);
    const MessageBoxLayout grown = LayoutMessageBox(MB_ABORTRETRYIGNORE, {400, 3 * 17, 50}, kBase);
    EXPECT_EQ(grown.dx, 144);
    EXPECT_EQ(grown.dy, 21);
    EXPECT_EQ(grown.width, plain.width + 144);
    EXPECT_EQ(grown.height, plain.height + 21);
    EXPECT_EQ(grown.text, (MessageBoxRect{60, 14, 400, 51}));
    EXPECT_EQ(grown.icon, plain.icon);
    ASSERT_EQ(grown.buttons.size(), 3u);
    for (size_t i = 0; i < grown.buttons.size(); ++i) {
        EXPECT_EQ(grown.buttons[i].rect.x - plain.buttons[i].rect.x, 144);
        EXPECT_EQ(grown.buttons[i].rect.y - plain.buttons[i].rect.y, 21);
        EXPECT_EQ(grown.buttons[i].rect.width, plain.buttons[i].rect.width);
    }
}

TEST(MessageBoxLayout, ALongCaptionWidensTheDialogButSmallTextNeverShrinksIt) {
    const MessageBoxLayout small = LayoutMessageBox(MB_OK, {20, 10, 40}, kBase);
    EXPECT_EQ(small.dx, 0);
    EXPECT_EQ(small.dy, 0);
    // Caption 400 + 20 against a 326-pixel dialog; the text alone would need 44.
    const MessageBoxLayout captioned = LayoutMessageBox(MB_OK, {300, 10, 400}, kBase);
    EXPECT_EQ(captioned.dx, 94);
    EXPECT_EQ(captioned.buttons[0].rect.x, kSlotRight + 94);
}

TEST(MessageBoxLayout, UnknownButtonSetsShowNoButtonAndOnlyEscapeCloses) {
    for (uint32_t set : {0x06u, 0x07u, 0x09u, 0x0Fu}) {
        const MessageBoxLayout layout = LayoutMessageBox(set, {}, kBase);
        EXPECT_TRUE(layout.buttons.empty()) << set;
        EXPECT_EQ(layout.enterResult, 0) << set;
        EXPECT_EQ(layout.escapeResult, IDCANCEL) << set;
    }
}

}  // namespace
