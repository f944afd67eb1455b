// The waveform editor driven offscreen with the mouse, on tracks decoded from files made by
// ffmpeg, in the default skin's look.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QSignalSpy>
#include <QTest>
#include <QToolTip>
#include <QWheelEvent>

#include <memory>

#include "app/control_tables.h"
#include "app/skin_holder.h"
#include "app/src/skin_controls.h"
#include "app/waveform_editor.h"
#include "effecttree/effect_tree.h"
#include "engine/player.h"
#include "engine/render_chain.h"
#include "engine/track.h"
#include "skin/control_records.h"
#include "skin/menu.h"
#include "skin/scroll_bar.h"
#include "skin/skin_base.h"
#include "skin/skin_file.h"
#include "skin/skin_manager.h"
#include "tests/app/ui_test_support.h"
#include "tests/engine/track_fixture.h"
#include "xml/xml.h"

namespace {

constexpr int kWindowId = IDC_PAGE2_WAVE + 1;
constexpr int kWidth = 688;  // the default skin's size of PAGE2_WAVE
constexpr int kHeight = 166;
constexpr int64_t kSecond = 44100;

const enXml* DefaultWaveElement() {
    const enXml* root = GetSkinXMLRoot();
    const enXml* section = root != nullptr ? root->FindChild("MAINFRAME") : nullptr;
    const enXml* controls = section != nullptr ? section->FindChild("Controls") : nullptr;
    return controls != nullptr ? controls->FindChild("PAGE2_WAVE") : nullptr;
}

class WaveformEditorTest : public TrackFixture {
protected:
    void SetUp() override {
        TrackFixture::SetUp();
        TestApp();
        LoadDefaultSkin();
        editor_ = std::make_unique<CWaveFormKel>(nullptr, kWindowId);
        const enXml* element = DefaultWaveElement();
        ASSERT_NE(element, nullptr);
        ASSERT_TRUE(skinholder::ApplySkinAttributes(editor_.get(), 26, *element, files_));
        editor_->resize(kWidth, kHeight);
        // A right click on a track opens its menu: no popup in these tests, only a count.
        editor_->SetPopupChooser([this](CSCMenu&) {
            ++menus_;
            return 0;
        });
        editor_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(editor_.get()));
    }

    void TearDown() override {
        editor_.reset();
        files_.clear();
        track1_.Clear();
        track2_.Clear();
        TrackFixture::TearDown();
    }

    // Track 1: ten seconds of a stereo tone swelling twice a second; track 2: six seconds of
    // mono beats, placed one second in. Zoom 256 shows four seconds.
    void OpenTracks() {
        ASSERT_TRUE(
            Ffmpeg("-f lavfi -i 'aevalsrc=0.8*sin(2*PI*180*t)*abs(sin(2*PI*0.5*t))|"
                   "0.5*sin(2*PI*240*t)*abs(cos(2*PI*0.35*t)):s=44100:d=10' track1.wav"));
        ASSERT_TRUE(
            Ffmpeg("-f lavfi -i 'aevalsrc=0.7*sin(2*PI*320*t)*exp(-4*mod(t\\,0.75)):s=44100:d=6' "
                   "-ac 1 track2.wav"));
        OpenOk(track1_, inputs_ + "/track1.wav");
        OpenOk(track2_, inputs_ + "/track2.wav");
        ASSERT_EQ(track1_.source.Channels(), 2u);
        ASSERT_EQ(track2_.source.Channels(), 1u);
        ASSERT_TRUE(track2_.source.Move(kSecond));
        editor_->SetTracks(&track1_, &track2_);
        editor_->SetZoom(256);
        editor_->Refresh();
    }

    void Press(Qt::MouseButton button, QPoint point) { QTest::mousePress(editor_.get(), button, {}, point); }
    void Release(Qt::MouseButton button, QPoint point) { QTest::mouseRelease(editor_.get(), button, {}, point); }
    void Move(QPoint point) { QTest::mouseMove(editor_.get(), point); }
    void Wheel(QPoint point, QPoint angle, Qt::KeyboardModifiers modifiers = {}, QPoint pixels = {}) {
        QWheelEvent event(point, editor_->mapToGlobal(point), pixels, angle, Qt::NoButton, modifiers, Qt::NoScrollPhase,
                          false);
        QApplication::sendEvent(editor_.get(), &event);
    }

    // The chain and the player outlive the editor, as the application's do.
    CEffectTree tree_;
    CVolumeEffect volume_;
    CExtPlayerDX engine_;
    XPlayer player_{engine_};
    TrackSlot track1_;
    TrackSlot track2_;
    std::vector<CSkinFile> files_;
    std::unique_ptr<CWaveFormKel> editor_;
    int menus_ = 0;
};

int CountCode(const QSignalSpy& spy, int code) {
    int count = 0;
    for (const QList<QVariant>& arguments : spy)
        if (arguments.at(0).toInt() == kWindowId && arguments.at(1).toInt() == code) ++count;
    return count;
}

TEST_F(WaveformEditorTest, StartsWithTheInitialTimeline) {
    EXPECT_EQ(editor_->GetZoom(), 1u);
    EXPECT_EQ(editor_->GetProjectLength(), CWaveFormKel::kInitialProjectLength);
    EXPECT_EQ(editor_->GetPlayPosition(), -1);
    EXPECT_EQ(editor_->GetStartMarker(), editor_->GetEndMarker());
    EXPECT_TRUE(editor_->IsSkinned());
    EXPECT_EQ(editor_->Timeline().ProjectLength(), CWaveFormKel::kInitialProjectLength);
}

TEST_F(WaveformEditorTest, ClickWithoutSelectionSetsBothMarkersAndThePlayPosition) {
    OpenTracks();
    QSignalSpy spy(editor_.get(), &CSkinBase::command);
    Press(Qt::LeftButton, QPoint(100, 60));
    EXPECT_EQ(editor_->GetMode(), CWaveFormKel::kMarkerDrag);
    Release(Qt::LeftButton, QPoint(100, 60));
    EXPECT_EQ(editor_->GetMode(), CWaveFormKel::kIdle);
    EXPECT_EQ(editor_->GetStartMarker(), 100 * 256);
    EXPECT_EQ(editor_->GetEndMarker(), 100 * 256);
    EXPECT_EQ(editor_->GetPlayPosition(), 100 * 256);
    EXPECT_GE(CountCode(spy, CWaveFormKel::kNotifyChanged), 1);
    // No selection: no handles, and the ruler takes no press.
    EXPECT_TRUE(editor_->GetStartHandleRect().isNull());
    Press(Qt::LeftButton, QPoint(300, 10));
    EXPECT_EQ(editor_->GetMode(), CWaveFormKel::kIdle);
    Release(Qt::LeftButton, QPoint(300, 10));
    EXPECT_EQ(editor_->GetStartMarker(), 100 * 256);
}

TEST_F(WaveformEditorTest, DraggingMarksARange) {
    OpenTracks();
    Press(Qt::LeftButton, QPoint(300, 60));
    Move(QPoint(200, 70));
    Release(Qt::LeftButton, QPoint(200, 70));
    // Dragged to the left: the markers end in order.
    EXPECT_EQ(editor_->GetStartMarker(), 200 * 256);
    EXPECT_EQ(editor_->GetEndMarker(), 300 * 256);
    EXPECT_EQ(editor_->GetPlayPosition(), 200 * 256);
    // Handles: the start handle's left edge on the start, the end handle's right edge on the end.
    EXPECT_EQ(editor_->GetStartHandleRect().left(), 200);
    EXPECT_EQ(editor_->GetEndHandleRect().right() + 1, 300);
    EXPECT_EQ(editor_->GetStartHandleRect().bottom() + 1, 22);
}

TEST_F(WaveformEditorTest, DraggingTheStartHandlePastTheEndLeavesStartBeforeEnd) {
    OpenTracks();
    editor_->SetSelection(kSecond, 2 * kSecond);
    editor_->Refresh();
    const QRect start = editor_->GetStartHandleRect();
    ASSERT_EQ(start.left(), 172);  // 44100 / 256
    Press(Qt::LeftButton, QPoint(start.left() + 4, 10));
    EXPECT_EQ(editor_->GetMode(), CWaveFormKel::kMarkerDrag);
    // The dragged marker is the end marker; it keeps its distance to the pointer.
    EXPECT_EQ(editor_->GetEndMarker(), kSecond);
    Move(QPoint(500, 10));
    EXPECT_EQ(editor_->GetEndMarker(), 496 * 256);
    EXPECT_EQ(editor_->GetPlayPosition(), 496 * 256);
    Release(Qt::LeftButton, QPoint(500, 10));
    EXPECT_EQ(editor_->GetStartMarker(), 2 * kSecond);
    EXPECT_EQ(editor_->GetEndMarker(), 496 * 256);

    // The end handle dragged to the left of the start: swapped back on release.
    const QRect end = editor_->GetEndHandleRect();
    Press(Qt::LeftButton, QPoint(end.right() - 2, 10));
    Move(QPoint(50, 10));
    Release(Qt::LeftButton, QPoint(50, 10));
    EXPECT_LT(editor_->GetStartMarker(), editor_->GetEndMarker());
    EXPECT_EQ(editor_->GetStartMarker(), (50 + 3) * 256);
    EXPECT_EQ(editor_->GetEndMarker(), 2 * kSecond);
}

TEST_F(WaveformEditorTest, EndMarkerBeyondTheRightEdgeScrollsTenColumnsPerTick) {
    OpenTracks();
    ASSERT_GT(editor_->GetProjectLength(), int64_t{kWidth} * 256);
    editor_->SetSelection(kSecond, 2 * kSecond);
    editor_->Refresh();
    const QRect end = editor_->GetEndHandleRect();
    Press(Qt::LeftButton, QPoint(end.right() - 2, 10));
    Move(QPoint(kWidth + 100, 60));
    // One tick of timer 2 at a time: the view moves by 10 × zoom and the marker follows the
    // last visible frame.
    ASSERT_TRUE(WaitUntil([&] { return editor_->GetViewStart() > 0; }));
    EXPECT_EQ(editor_->GetViewStart(), 10 * 256);
    EXPECT_EQ(editor_->GetEndMarker(), 10 * 256 + int64_t{kWidth} * 256 - 1);
    ASSERT_TRUE(WaitUntil([&] { return editor_->GetViewStart() >= 5 * 10 * 256; }));
    const int64_t viewStart = editor_->GetViewStart();
    EXPECT_EQ(viewStart % (10 * 256), 0);
    EXPECT_EQ(editor_->GetEndMarker(), viewStart + int64_t{kWidth} * 256 - 1);
    EXPECT_EQ(editor_->GetPlayPosition(), editor_->GetEndMarker());
    Release(Qt::LeftButton, QPoint(kWidth + 100, 60));
    // No more scrolling once released.
    const int64_t released = editor_->GetViewStart();
    QTest::qWait(50);
    EXPECT_EQ(editor_->GetViewStart(), released);
    EXPECT_LT(editor_->GetStartMarker(), editor_->GetEndMarker());
    EXPECT_LE(editor_->GetEndMarker(), editor_->GetProjectLength());
}

TEST_F(WaveformEditorTest, RightPressMovesTheTrackOnlyPastTheSlack) {
    OpenTracks();
    Move(QPoint(100, 50));
    Press(Qt::RightButton, QPoint(100, 50));
    EXPECT_EQ(editor_->GetMode(), CWaveFormKel::kRightDown);
    Move(QPoint(104, 54));  // 4 pixels across, 4 down: not yet a drag
    EXPECT_EQ(editor_->GetMode(), CWaveFormKel::kRightDown);
    Release(Qt::RightButton, QPoint(104, 54));
    EXPECT_EQ(editor_->GetMode(), CWaveFormKel::kIdle);
    EXPECT_EQ(track1_.source.ActiveStart(), 0);

    Press(Qt::RightButton, QPoint(100, 50));
    Move(QPoint(110, 50));
    EXPECT_EQ(editor_->GetMode(), CWaveFormKel::kTrackDrag);
    Move(QPoint(111, 50));
    Release(Qt::RightButton, QPoint(111, 50));
    EXPECT_EQ(editor_->GetMode(), CWaveFormKel::kIdle);
    EXPECT_EQ(track1_.source.ActiveStart(), 11 * 256);
    EXPECT_EQ(track1_.source.PlacementStart(), 11 * 256);
    EXPECT_EQ(track1_.source.ActiveEnd(), 10 * kSecond + 11 * 256);
    EXPECT_EQ(track2_.source.PlacementStart(), kSecond);  // the other track stays

    // Five pixels down start a drag too; dragging left stops at frame 0.
    Press(Qt::RightButton, QPoint(100, 40));
    Move(QPoint(100, 45));
    EXPECT_EQ(editor_->GetMode(), CWaveFormKel::kTrackDrag);
    Move(QPoint(0, 45));
    Release(Qt::RightButton, QPoint(0, 45));
    EXPECT_EQ(track1_.source.ActiveStart(), 0);
    EXPECT_EQ(track1_.source.PlacementEnd(), 10 * kSecond);
    // Only the click without a drag asked for the track's menu.
    EXPECT_EQ(menus_, 1);
}

TEST_F(WaveformEditorTest, TrackDraggedBeyondTheRightEdgeScrollsTwentyColumnsPerTick) {
    OpenTracks();
    Move(QPoint(300, 50));
    Press(Qt::RightButton, QPoint(300, 50));
    Move(QPoint(310, 50));
    ASSERT_EQ(editor_->GetMode(), CWaveFormKel::kTrackDrag);
    Move(QPoint(kWidth + 50, 50));
    // Held at the client's last pixel: moved by (687 − 300) columns.
    const int64_t placed = track1_.source.PlacementStart();
    EXPECT_EQ(placed, (kWidth - 1 - 300) * 256);
    ASSERT_TRUE(WaitUntil([&] { return editor_->GetViewStart() > 0; }));
    // One tick of timer 3: view and track move on together by 20 × zoom.
    EXPECT_EQ(editor_->GetViewStart(), 20 * 256);
    EXPECT_EQ(track1_.source.PlacementStart(), placed + 20 * 256);
    EXPECT_GE(editor_->GetProjectLength(), track1_.source.ActiveEnd());
    Release(Qt::RightButton, QPoint(kWidth + 50, 50));
    EXPECT_EQ(editor_->GetMode(), CWaveFormKel::kIdle);
}

TEST_F(WaveformEditorTest, PlaysTheSelectionWithAMovingCursor) {
    OpenTracks();
    volume_.SetEffectTree(&tree_);
    editor_->AttachChain(&tree_, &volume_);
    editor_->AttachPlayer(&player_);
    QSignalSpy spy(editor_.get(), &CSkinBase::command);

    // A short range plays to its end: the cursor follows and the end is reported once.
    editor_->SetSelection(kSecond, kSecond + kSecond / 4);
    editor_->SetPlayPosition(kSecond);
    ASSERT_TRUE(editor_->StartPlayback());
    EXPECT_TRUE(editor_->IsPlaying());
    ASSERT_TRUE(WaitUntil([&] { return CountCode(spy, CWaveFormKel::kNotifyPlaybackEnded) > 0; }, 10000));
    EXPECT_FALSE(editor_->IsPlaying());
    EXPECT_EQ(editor_->GetPlayPosition(), kSecond + kSecond / 4);
    QTest::qWait(100);
    EXPECT_EQ(CountCode(spy, CWaveFormKel::kNotifyPlaybackEnded), 1);

    // Stopped while playing: the cursor returns to the range start, 10 then 11.
    spy.clear();
    editor_->SetSelection(kSecond, 8 * kSecond);
    ASSERT_TRUE(editor_->StartPlayback());
    ASSERT_TRUE(WaitUntil([&] { return editor_->GetPlayPosition() > kSecond; }));
    editor_->StopPlayback();
    EXPECT_FALSE(editor_->IsPlaying());
    EXPECT_EQ(editor_->GetPlayPosition(), kSecond);
    ASSERT_TRUE(WaitUntil([&] { return CountCode(spy, CWaveFormKel::kNotifyPlaybackEnded) == 1; }));
    EXPECT_GE(CountCode(spy, CWaveFormKel::kNotifyChanged), 1);

    // A cursor that leaves the view brings the view along, centred on it.
    editor_->SetSelection(39 * kSecond / 10, 44 * kSecond / 10);
    editor_->SetPlayPosition(39 * kSecond / 10);
    ASSERT_EQ(editor_->GetViewStart(), 0);
    ASSERT_LT(editor_->GetViewEnd(), 4 * kSecond + 1);
    ASSERT_TRUE(editor_->StartPlayback());
    ASSERT_TRUE(WaitUntil([&] { return !editor_->IsPlaying(); }, 10000));
    QTest::qWait(50);
    EXPECT_GT(editor_->GetViewStart(), 0);
    EXPECT_EQ(editor_->GetViewStart() % 256, 0);
    EXPECT_GE(editor_->GetPlayPosition(), editor_->GetViewStart());
    EXPECT_LT(editor_->GetPlayPosition(), editor_->GetViewEnd());

    // A press in the wave area stops playback first.
    ASSERT_TRUE(editor_->StartPlayback());
    Press(Qt::LeftButton, QPoint(50, 60));
    EXPECT_FALSE(editor_->IsPlaying());
    Release(Qt::LeftButton, QPoint(50, 60));
    editor_->AttachPlayer(nullptr);
}

TEST_F(WaveformEditorTest, DraggingATrackEdgeTrimsIt) {
    OpenTracks();
    // Track 2's start edge lies at 44100 / 256 = 172 in the lower lane.
    Move(QPoint(172, 130));
    EXPECT_EQ(editor_->cursor().shape(), Qt::SizeHorCursor);
    Press(Qt::LeftButton, QPoint(172, 130));
    EXPECT_EQ(editor_->GetMode(), CWaveFormKel::kTrim);
    Move(QPoint(222, 130));
    Release(Qt::LeftButton, QPoint(222, 130));
    EXPECT_EQ(editor_->GetMode(), CWaveFormKel::kIdle);
    EXPECT_EQ(track2_.source.ActiveStart(), 222 * 256);
    EXPECT_EQ(track2_.source.PlacementStart(), kSecond);
    // The markers stay where they were: a trim marks nothing.
    EXPECT_EQ(editor_->GetStartMarker(), editor_->GetEndMarker());

    // Track 1's end edge at zoom 1024: 441000 / 1024 = 430; trimmed back to 400, then past
    // its start, where it keeps five columns.
    editor_->SetZoom(1024);
    Move(QPoint(430, 50));
    Press(Qt::LeftButton, QPoint(430, 50));
    ASSERT_EQ(editor_->GetMode(), CWaveFormKel::kTrim);
    Move(QPoint(400, 50));
    EXPECT_EQ(track1_.source.ActiveEnd(), 400 * 1024);
    Move(QPoint(-50, 50));
    Release(Qt::LeftButton, QPoint(-50, 50));
    EXPECT_EQ(track1_.source.ActiveEnd(), 5 * 1024);
    EXPECT_EQ(track1_.source.PlacementEnd(), 10 * kSecond);
}

TEST_F(WaveformEditorTest, TooltipsOverHandlesAndTracks) {
    OpenTracks();
    editor_->SetSelection(kSecond / 2, 3 * kSecond / 2);
    editor_->Refresh();
    EXPECT_EQ(editor_->ToolTipAt(editor_->GetStartHandleRect().center()),
              "Start marker: Drag to change the start point for all tracks");
    EXPECT_EQ(editor_->ToolTipAt(editor_->GetEndHandleRect().center()),
              "End marker: Drag to change the end point for all tracks");
    EXPECT_EQ(editor_->ToolTipAt(QPoint(400, 50)), "Right click and drag to move this track");
    EXPECT_EQ(editor_->ToolTipAt(QPoint(400, 130)), "Right click and drag to move this track");
    EXPECT_EQ(editor_->ToolTipAt(QPoint(170, 130)), "Drag to change the start point for this track");
    editor_->SetZoom(1024);  // track 1 ends at 430
    EXPECT_EQ(editor_->ToolTipAt(QPoint(433, 50)), "Drag to change the end point for this track");
    EXPECT_EQ(editor_->ToolTipAt(QPoint(600, 50)), "");
    // Without a selection the handles' tips go.
    editor_->SetSelection(0, 0);
    editor_->Refresh();
    EXPECT_EQ(editor_->ToolTipAt(QPoint(100, 10)), "");
}

TEST_F(WaveformEditorTest, ScrollBarFollowsTheProject) {
    OpenTracks();
    CSCScrollBar bar(nullptr, IDC_PAGE2_SCROLLBAR + 1);
    editor_->SetScrollBar(&bar);
    editor_->Refresh();
    // The project is track 1's ten seconds: ceil(441000 / 256) − 1.
    EXPECT_EQ(bar.GetScrollMax(), 1722);
    EXPECT_EQ(bar.GetScrollPage(), kWidth);
    QSignalSpy spy(editor_.get(), &CSkinBase::command);
    emit bar.scroll(bar.GetWindowId(), SB_LINERIGHT, 0);
    EXPECT_EQ(editor_->GetViewStart(), 34 * 256);
    EXPECT_EQ(editor_->GetViewEnd(), (34 + kWidth) * 256);
    EXPECT_EQ(bar.GetScrollPos(), 34);
    EXPECT_GE(CountCode(spy, CWaveFormKel::kNotifyChanged), 1);
    emit bar.scroll(bar.GetWindowId(), SB_RIGHT, 0);
    EXPECT_EQ(editor_->GetViewStart(), int64_t{1722 - kWidth + 1} * 256);
    // A new zoom keeps the view start on a whole column.
    editor_->SetZoom(1024);
    EXPECT_EQ(editor_->GetViewStart() % 1024, 0);
    EXPECT_EQ(bar.GetScrollPos() * int64_t{1024}, editor_->GetViewStart());
    editor_->SetScrollBar(nullptr);
}

TEST_F(WaveformEditorTest, ZoomFitShowsTheSelection) {
    OpenTracks();
    editor_->SetSelection(kSecond, kSecond + 441000);
    // 441000 / 688 = 641: ten significant bits.
    EXPECT_EQ(editor_->ZoomFit(), 1024u);
    EXPECT_EQ(editor_->GetZoom(), 1024u);
    EXPECT_EQ(editor_->GetViewStart() % 1024, 0);
    EXPECT_LE(editor_->GetViewStart(), kSecond);
    EXPECT_GE(editor_->GetViewEnd(), kSecond + 441000);
    // An empty selection leaves the zoom.
    editor_->SetSelection(5, 5);
    EXPECT_EQ(editor_->ZoomFit(), 1024u);
    // A narrow control does nothing either.
    editor_->SetSelection(0, 441000);
    editor_->resize(1, kHeight);
    editor_->SetZoom(4);
    EXPECT_EQ(editor_->ZoomFit(), 4u);
    // Painting a control too small for waves is harmless.
    editor_->resize(2, 2);
    editor_->repaint();
    editor_->resize(0, 0);
    editor_->repaint();
}

TEST_F(WaveformEditorTest, RefusesForeignSkinRecords) {
    SCWAVEFORMRES record;
    record.size = sizeof(SCWAVEFORMRES) - 1;
    EXPECT_FALSE(editor_->UseCustomSkin(&record));
    EXPECT_FALSE(editor_->IsSkinned());
    EXPECT_FALSE(editor_->UseCustomSkin(nullptr));
    // A picture of fewer than three frames.
    CSkinFile icon(MORVANE_SOURCE_DIR "/data/Skins/Morvane/icon-home.svg");
    ASSERT_TRUE(icon.IsOpen());
    record.size = sizeof(SCWAVEFORMRES);
    record.source = icon.Handle();
    EXPECT_FALSE(editor_->UseCustomSkin(&record));
    EXPECT_FALSE(editor_->IsSkinned());
    // Drawing without a skin still works.
    OpenTracks();
    editor_->SetSelection(kSecond, 2 * kSecond);
    editor_->Refresh();
    editor_->repaint();
    // The skin's own record is taken again.
    CSkinFile wave(MORVANE_SOURCE_DIR "/data/Skins/Morvane/wave.svg");
    record.source = wave.Handle();
    record.timeHeight = 22;
    EXPECT_TRUE(editor_->UseCustomSkin(&record));
    EXPECT_TRUE(editor_->IsSkinned());
}

TEST_F(WaveformEditorTest, RegisteredAsTheControlOfKind26) {
    RegisterWaveFormEditor();
    const enXml* element = DefaultWaveElement();
    ASSERT_NE(element, nullptr);
    QWidget parent;
    CSkinBase* control = skinholder::CreateSkinControl(26, *element, &parent, kWindowId);
    EXPECT_NE(qobject_cast<CWaveFormKel*>(control), nullptr);
    EXPECT_EQ(control->GetStyle(), 0x100u);
    SetWaveFormFactory(nullptr);
}

TEST_F(WaveformEditorTest, IdleCursorBlinks) {
    OpenTracks();
    // 1.5 s at zoom 256, over track 2's white background just below its name strip.
    const int x = 258;
    const int y = editor_->GetNameStripRect(2).bottom() + 2;
    editor_->SetPlayPosition(3 * kSecond / 2);
    auto column = [&] {
        const QImage picture = editor_->grab().toImage().convertToFormat(QImage::Format_RGB32);
        return QColor(picture.pixel(int(x * picture.devicePixelRatio()), int(y * picture.devicePixelRatio())));
    };
    // Shown at once, then hidden and shown again by timer 0.
    EXPECT_EQ(column(), QColor(Qt::black));
    ASSERT_TRUE(WaitUntil([&] { return column() != QColor(Qt::black); }, 3000));
    ASSERT_TRUE(WaitUntil([&] { return column() == QColor(Qt::black); }, 3000));
}

TEST_F(WaveformEditorTest, PictureWithTwoTracksASelectionAndTheCursor) {
    OpenTracks();
    editor_->SetSelection(kSecond / 2, 5 * kSecond / 2);
    editor_->SetPlayPosition(3 * kSecond / 2);
    editor_->Refresh();
    SaveScreenshot(*editor_, "waveform_editor.png");

    const QImage picture = editor_->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const qreal ratio = picture.devicePixelRatio();
    auto pixel = [&](int x, int y) { return QColor(picture.pixel(int(x * ratio), int(y * ratio))); };
    // Ruler ticks in dark grey at the ruler's bottom edge.
    bool tick = false;
    for (int x = 0; x < kWidth && !tick; ++x) tick = pixel(x, 20) == QColor(100, 100, 100);
    EXPECT_TRUE(tick);
    // The stereo track's selected part on the selection background, the rest on the plain one
    // (just below the name strip, above the waves).
    const int belowStrip1 = editor_->GetNameStripRect(1).bottom() + 2;
    const int belowStrip2 = editor_->GetNameStripRect(2).bottom() + 2;
    EXPECT_EQ(pixel(300, belowStrip1), QColor("#EEF0FC"));
    EXPECT_EQ(pixel(600, belowStrip1), QColor("#FFFFFF"));
    // The mono track is not highlighted.
    EXPECT_EQ(pixel(300, belowStrip2), QColor("#FFFFFF"));
    // The two tracks' caches were built at the editor's zoom.
    EXPECT_TRUE(track1_.source.EditorDrawCache().valid);
    EXPECT_EQ(track1_.source.EditorDrawCache().zoom, 256u);
    // The cursor column is inverted: on the white background it turns black.
    const int cursorX = static_cast<int>(3 * kSecond / 2 / 256);
    EXPECT_EQ(pixel(cursorX, belowStrip2), QColor(Qt::black));
}

int64_t ExpectedWheelColumns(int notches) {
    return int64_t{notches} * QApplication::wheelScrollLines() * (kWidth / 20);
}

TEST_F(WaveformEditorTest, WheelScrollsTheViewInLineSteps) {
    OpenTracks();
    CSCScrollBar bar(nullptr, IDC_PAGE2_SCROLLBAR + 1);
    editor_->SetScrollBar(&bar);
    editor_->Refresh();
    QSignalSpy spy(editor_.get(), &CSkinBase::command);
    // One notch back: the desktop's lines per notch, each a twentieth of the width.
    Wheel(QPoint(300, 60), QPoint(0, -120));
    const int64_t columns = ExpectedWheelColumns(1);
    EXPECT_EQ(editor_->GetViewStart(), columns * 256);
    EXPECT_EQ(editor_->GetViewEnd(), (columns + kWidth) * 256);
    EXPECT_EQ(bar.GetScrollPos(), columns);
    EXPECT_GE(CountCode(spy, CWaveFormKel::kNotifyChanged), 1);
    // A horizontal wheel (or a touchpad swipe) scrolls the same way.
    Wheel(QPoint(300, 60), QPoint(-120, 10));
    EXPECT_EQ(editor_->GetViewStart(), 2 * columns * 256);
    // Half notches add up: the first does nothing, the second scrolls back one notch.
    Wheel(QPoint(300, 60), QPoint(0, 60));
    EXPECT_EQ(editor_->GetViewStart(), 2 * columns * 256);
    Wheel(QPoint(300, 60), QPoint(0, 60));
    EXPECT_EQ(editor_->GetViewStart(), columns * 256);
    // Pixel distances scroll as many columns.
    Wheel(QPoint(300, 60), QPoint(0, -120), {}, QPoint(0, -7));
    EXPECT_EQ(editor_->GetViewStart(), (columns + 7) * 256);
    // Never before the start or past the project's end (ceil(441000 / 256) − 688 columns).
    Wheel(QPoint(300, 60), QPoint(0, 120 * 50));
    EXPECT_EQ(editor_->GetViewStart(), 0);
    Wheel(QPoint(300, 60), QPoint(0, -120 * 50));
    EXPECT_EQ(editor_->GetViewStart(), int64_t{1723 - kWidth} * 256);
    EXPECT_EQ(editor_->GetZoom(), 256u);
    editor_->SetScrollBar(nullptr);
}

TEST_F(WaveformEditorTest, CtrlWheelZoomsAroundThePointer) {
    OpenTracks();
    CSCScrollBar bar(nullptr, IDC_PAGE2_SCROLLBAR + 1);
    editor_->SetScrollBar(&bar);
    editor_->Refresh();
    Wheel(QPoint(300, 60), QPoint(0, -120));
    const int64_t start = ExpectedWheelColumns(1) * 256;
    ASSERT_EQ(editor_->GetViewStart(), start);
    QSignalSpy spy(editor_.get(), &CSkinBase::command);

    // Forward zooms in: the frame at pixel 300 stays at pixel 300.
    const int64_t at300 = start + 300 * 256;
    Wheel(QPoint(300, 60), QPoint(0, 120), Qt::ControlModifier);
    EXPECT_EQ(editor_->GetZoom(), 128u);
    EXPECT_EQ(editor_->GetViewStart(), at300 - 300 * 128);
    EXPECT_EQ(editor_->GetViewEnd(), at300 - 300 * 128 + kWidth * 128);
    EXPECT_EQ(bar.GetScrollPos() * int64_t{128}, editor_->GetViewStart());
    EXPECT_GE(CountCode(spy, CWaveFormKel::kNotifyChanged), 1);
    // Back zooms out to where it was.
    Wheel(QPoint(300, 60), QPoint(0, -120), Qt::ControlModifier);
    EXPECT_EQ(editor_->GetZoom(), 256u);
    EXPECT_EQ(editor_->GetViewStart(), start);
    // Zooming out around pixel 100: the column there still holds the frame it showed.
    const int64_t at100 = start + 100 * 256;
    Wheel(QPoint(100, 60), QPoint(0, -120), Qt::ControlModifier);
    EXPECT_EQ(editor_->GetZoom(), 512u);
    EXPECT_EQ(editor_->GetViewStart(), (at100 - 100 * 512) / 512 * 512);
    EXPECT_LE(editor_->GetViewStart() + 100 * 512, at100);
    EXPECT_GT(editor_->GetViewStart() + 101 * 512, at100);
    // Zoom out stops once the width shows the whole project: at 1024 (688 × 1024 ≥ 10 s).
    Wheel(QPoint(100, 60), QPoint(0, -120 * 5), Qt::ControlModifier);
    EXPECT_EQ(editor_->GetZoom(), 1024u);
    EXPECT_EQ(editor_->GetViewStart(), 0);
    // Zooming in past the tracks' end (pixel 600 shows 13.9 s of a 10 s project) keeps the
    // pointer's frame too.
    Wheel(QPoint(600, 60), QPoint(0, 120), Qt::ControlModifier);
    EXPECT_EQ(editor_->GetZoom(), 512u);
    EXPECT_EQ(editor_->GetViewStart(), 600 * 1024 - 600 * 512);
    // Zoom in stops at 1.
    Wheel(QPoint(100, 60), QPoint(0, 120 * 15), Qt::ControlModifier);
    EXPECT_EQ(editor_->GetZoom(), 1u);
    editor_->SetScrollBar(nullptr);
}

TEST_F(WaveformEditorTest, ZoomKeepsTheSelectionOrTheCursorInView) {
    OpenTracks();
    // A selection that fits stays centred: 6 s to 6.5 s.
    editor_->SetSelection(6 * kSecond, 6 * kSecond + kSecond / 2);
    editor_->Refresh();
    editor_->ZoomKeepingInView(128);
    const int64_t middle = 6 * kSecond + kSecond / 4;
    EXPECT_EQ(editor_->GetZoom(), 128u);
    EXPECT_EQ(editor_->GetViewStart(), (middle - 344 * 128) / 128 * 128);
    EXPECT_LE(editor_->GetViewStart(), 6 * kSecond);
    EXPECT_GE(editor_->GetViewEnd(), 6 * kSecond + kSecond / 2);
    // One longer than the view shows from its start: 1 s to 9 s at 64 frames a pixel.
    editor_->SetSelection(kSecond, 9 * kSecond);
    editor_->Refresh();
    editor_->ZoomKeepingInView(64);
    EXPECT_EQ(editor_->GetViewStart(), kSecond / 64 * 64);
    // The play cursor keeps its column: at 8 s, shown at column (8 s − view start) / 64.
    editor_->SetSelection(0, 0);
    editor_->SetPlayPosition(editor_->GetViewStart() + 200 * 64);
    const int64_t cursor = editor_->GetPlayPosition();
    editor_->ZoomKeepingInView(256);
    EXPECT_EQ(editor_->GetViewStart(), (cursor - 200 * 256) / 256 * 256);
    // Near the project's end the view stops at the end instead.
    editor_->SetPlayPosition(10 * kSecond - 10);
    editor_->ZoomKeepingInView(512);
    // The scroll bar's last position: ceil(441000 / 512) − 688 columns.
    EXPECT_EQ(editor_->GetViewStart(), (862 - kWidth) * 512);
    EXPECT_GE(editor_->GetViewEnd(), editor_->GetPlayPosition());
}

TEST_F(WaveformEditorTest, LeftDragOnTheNameStripMovesTheTrack) {
    OpenTracks();
    // Track 2 starts at 1 s: pixel 172 of the lower lane.
    const QRect strip = editor_->GetNameStripRect(2);
    ASSERT_FALSE(strip.isEmpty());
    EXPECT_EQ(strip.left(), 172);
    EXPECT_EQ(strip.top(), 94);
    EXPECT_GE(strip.height(), 12);
    EXPECT_LE(strip.height(), 72 / 3);
    const int y = strip.center().y();
    const QString name = QString::fromStdString(track2_.source.DisplayName());
    EXPECT_EQ(editor_->NameStripText(2), name + "  +00:00:01.000");
    EXPECT_EQ(editor_->NameStripText(1), QString::fromStdString(track1_.source.DisplayName()));
    // The strip says what it does; the body keeps its own tip.
    EXPECT_EQ(editor_->ToolTipAt(QPoint(300, y)), "Drag to move this track");
    EXPECT_EQ(editor_->ToolTipAt(QPoint(300, strip.bottom() + 10)), "Right click and drag to move this track");
    Move(QPoint(300, y));
    EXPECT_EQ(editor_->cursor().shape(), Qt::OpenHandCursor);

    QSignalSpy spy(editor_.get(), &CSkinBase::command);
    Press(Qt::LeftButton, QPoint(300, y));
    EXPECT_EQ(editor_->GetMode(), CWaveFormKel::kTrackDrag);
    EXPECT_EQ(editor_->cursor().shape(), Qt::ClosedHandCursor);
    EXPECT_EQ(QToolTip::text(), "Offset: 00:00:01.000");
    // 40 columns to the right: 10240 frames, 1.232 s in all.
    Move(QPoint(340, y + 20));
    EXPECT_EQ(track2_.source.PlacementStart(), kSecond + 40 * 256);
    EXPECT_EQ(QToolTip::text(), "Offset: 00:00:01.232");
    Release(Qt::LeftButton, QPoint(340, y + 20));
    EXPECT_EQ(editor_->GetMode(), CWaveFormKel::kIdle);
    EXPECT_EQ(track2_.source.PlacementStart(), kSecond + 40 * 256);
    EXPECT_EQ(track1_.source.PlacementStart(), 0);
    EXPECT_EQ(editor_->NameStripText(2), name + "  +00:00:01.232");
    // A move, not a mark: the markers and the cursor stay.
    EXPECT_EQ(editor_->GetStartMarker(), editor_->GetEndMarker());
    EXPECT_EQ(editor_->GetPlayPosition(), -1);
    EXPECT_GE(CountCode(spy, CWaveFormKel::kNotifyChanged), 1);

    // Track 1's strip, dragged beyond the right edge: the view scrolls and the track follows.
    const QRect strip1 = editor_->GetNameStripRect(1);
    Press(Qt::LeftButton, QPoint(300, strip1.center().y()));
    ASSERT_EQ(editor_->GetMode(), CWaveFormKel::kTrackDrag);
    Move(QPoint(kWidth + 50, 50));
    const int64_t placed = track1_.source.PlacementStart();
    EXPECT_EQ(placed, (kWidth - 1 - 300) * 256);
    ASSERT_TRUE(WaitUntil([&] { return editor_->GetViewStart() > 0; }));
    EXPECT_EQ(editor_->GetViewStart(), 20 * 256);
    EXPECT_EQ(track1_.source.PlacementStart(), placed + 20 * 256);
    Release(Qt::LeftButton, QPoint(kWidth + 50, 50));
    EXPECT_EQ(editor_->GetMode(), CWaveFormKel::kIdle);

    // A left press in a track's body still marks.
    editor_->SetZoom(1024);
    Press(Qt::LeftButton, QPoint(400, 140));
    EXPECT_EQ(editor_->GetMode(), CWaveFormKel::kMarkerDrag);
    Release(Qt::LeftButton, QPoint(400, 140));
    EXPECT_EQ(editor_->GetPlayPosition(), editor_->GetViewStart() + 400 * 1024);
}

TEST_F(WaveformEditorTest, TrackMenuMovesToTheStartOrTheCursor) {
    OpenTracks();
    std::vector<QString> entries;
    std::vector<bool> enabled;
    QString choice;
    editor_->SetPopupChooser([&](CSCMenu& menu) {
        entries.clear();
        enabled.clear();
        int id = 0;
        for (QAction* action : menu.actions()) {
            entries.push_back(action->text());
            enabled.push_back(action->isEnabled());
            if (action->text() == choice) id = action->data().toInt();
        }
        return id;
    });
    QSignalSpy spy(editor_.get(), &CSkinBase::command);
    // No cursor yet: "Move to cursor" is greyed; "Move to start" puts track 2 at frame 0.
    choice = "Move to start";
    Press(Qt::RightButton, QPoint(400, 140));
    Release(Qt::RightButton, QPoint(401, 141));
    ASSERT_EQ(entries, (std::vector<QString>{"Move to start", "Move to cursor"}));
    EXPECT_EQ(enabled, (std::vector<bool>{true, false}));
    EXPECT_EQ(track2_.source.PlacementStart(), 0);
    EXPECT_EQ(track2_.source.ActiveEnd(), 6 * kSecond);
    EXPECT_GE(CountCode(spy, CWaveFormKel::kNotifyChanged), 1);
    EXPECT_EQ(editor_->NameStripText(2), QString::fromStdString(track2_.source.DisplayName()));

    // With the cursor at 5 s: track 2 starts there, and the project grows to its end.
    editor_->SetPlayPosition(5 * kSecond);
    choice = "Move to cursor";
    entries.clear();
    Press(Qt::RightButton, QPoint(400, 140));
    Release(Qt::RightButton, QPoint(400, 140));
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(enabled, (std::vector<bool>{true, true}));
    EXPECT_EQ(track2_.source.PlacementStart(), 5 * kSecond);
    EXPECT_EQ(editor_->GetProjectLength(), 11 * kSecond);
    EXPECT_EQ(editor_->NameStripText(2), QString::fromStdString(track2_.source.DisplayName()) + "  +00:00:05.000");
    EXPECT_EQ(track1_.source.PlacementStart(), 0);

    // Dismissed: nothing moves. Off every track (left of track 2's start): no menu.
    choice.clear();
    Press(Qt::RightButton, QPoint(30, 50));
    Release(Qt::RightButton, QPoint(30, 50));
    EXPECT_EQ(track1_.source.PlacementStart(), 0);
    entries.clear();
    editor_->SetZoom(128);  // track 2 now starts at pixel 1722, beyond the view
    Press(Qt::RightButton, QPoint(100, 140));
    Release(Qt::RightButton, QPoint(100, 140));
    EXPECT_TRUE(entries.empty());
}

TEST_F(WaveformEditorTest, NameStripsKeepTheirBandAboveTheWaves) {
    OpenTracks();
    editor_->Refresh();
    const QImage picture = editor_->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const qreal ratio = picture.devicePixelRatio();
    auto pixel = [&](int x, int y) { return QColor(picture.pixel(int(x * ratio), int(y * ratio))); };
    // The band is the border colour (#DDE1E8) laid over the white background, a little
    // transparent; the same all along where no letter is.
    for (int number : {1, 2}) {
        const QRect strip = editor_->GetNameStripRect(number);
        const QColor band = pixel(650, strip.top() + 2);
        EXPECT_LT(band.lightness(), QColor("#FFFFFF").lightness());
        EXPECT_GE(band.lightness(), QColor("#DDE1E8").lightness());
        EXPECT_EQ(pixel(600, strip.top() + 2), band);
        // No wave colour inside the band.
        for (int y = strip.top() + 1; y < strip.bottom(); ++y)
            for (int x = 400; x < 680; ++x) ASSERT_NE(pixel(x, y), QColor("#A7AEBC")) << x << "," << y;
    }
}

}  // namespace
