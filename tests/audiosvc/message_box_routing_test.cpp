// AfxSCMessageBox routing: the host's replacement, else the library's dialog, which in a
// process without a QApplication falls back to standard error.
#include <gtest/gtest.h>

#include <string>

#include "audiosvc/audiosvc.h"

namespace {

struct ReplacementCall {
    int calls = 0;
    std::string text;
    uint32_t type = 0;
    bool captionNull = false;
    std::string caption;
    QWidget* parent = nullptr;
};
ReplacementCall g_call;

int RecordingReplacement(const char* text, uint32_t type, const char* caption, QWidget* parent) {
    ++g_call.calls;
    g_call.text = text;
    g_call.type = type;
    g_call.captionNull = caption == nullptr;
    g_call.caption = caption != nullptr ? caption : "";
    g_call.parent = parent;
    return IDNO;
}

class MessageBoxRouting : public testing::Test {
protected:
    void SetUp() override { g_call = {}; }
    void TearDown() override { ReplaceSCMessageBox(nullptr); }
};

TEST_F(MessageBoxRouting, TheReplacementGetsTheSameFourArgumentsAndNoDialogIsShown) {
    EXPECT_EQ(ReplaceSCMessageBox(&RecordingReplacement), &RecordingReplacement);
    // Never dereferenced by the library; it only passes the window on.
    QWidget* const parent = reinterpret_cast<QWidget*>(&g_call);
    testing::internal::CaptureStderr();
    EXPECT_EQ(AfxSCMessageBox("Save changes?", MB_YESNO | MB_ICONQUESTION, nullptr, parent), IDNO);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(g_call.calls, 1);
    EXPECT_EQ(g_call.text, "Save changes?");
    EXPECT_EQ(g_call.type, MB_YESNO | MB_ICONQUESTION);
    EXPECT_TRUE(g_call.captionNull) << "the replacement decides about a missing caption";
    EXPECT_EQ(g_call.parent, parent);

    EXPECT_EQ(AfxSCMessageBox("Done", MB_OK, "Morvane", nullptr), IDNO);
    EXPECT_EQ(g_call.calls, 2);
    EXPECT_EQ(g_call.caption, "Morvane");
}

TEST_F(MessageBoxRouting, RemovingTheReplacementRestoresTheLibrarysOwnBox) {
    ReplaceSCMessageBox(&RecordingReplacement);
    EXPECT_EQ(ReplaceSCMessageBox(nullptr), nullptr);
    testing::internal::CaptureStderr();
    EXPECT_EQ(AfxSCMessageBox("Overwrite the file?", MB_YESNO, "Morvane", nullptr), IDYES);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Morvane: Overwrite the file?\n");
    EXPECT_EQ(g_call.calls, 0);
}

TEST_F(MessageBoxRouting, WithoutADialogTheMessageGoesToStandardErrorWithTheDefaultResult) {
    const struct {
        uint32_t type;
        int result;
    } cases[] = {{MB_OK, IDOK},           {MB_OKCANCEL, IDOK},       {MB_ABORTRETRYIGNORE, IDABORT},
                 {MB_YESNOCANCEL, IDYES}, {MB_RETRYCANCEL, IDRETRY}, {MB_CLOSE, IDCLOSE},
                 {0x06, IDCANCEL}};
    for (const auto& c : cases) {
        testing::internal::CaptureStderr();
        EXPECT_EQ(ShowMessageBox(c.type | MB_ICONHAND, "Caption", "Text", nullptr, nullptr), c.result) << c.type;
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "Caption: Text\n");
    }
}

TEST_F(MessageBoxRouting, AMissingCaptionBecomesTheApplicationName) {
    testing::internal::CaptureStderr();
    EXPECT_EQ(AfxSCMessageBox("Can't open the file", MB_OK, nullptr, nullptr), IDOK);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "audiosvc_message_box_test: Can't open the file\n");
}

TEST_F(MessageBoxRouting, ALaterReplacementOverridesAnEarlierOne) {
    ReplaceSCMessageBox([](const char*, uint32_t, const char*, QWidget*) -> int { return IDABORT; });
    ReplaceSCMessageBox(&RecordingReplacement);
    EXPECT_EQ(AfxSCMessageBox("x", MB_OK, "c", nullptr), IDNO);
    EXPECT_EQ(g_call.calls, 1);
}

}  // namespace
