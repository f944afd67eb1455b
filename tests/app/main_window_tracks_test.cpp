// Page 1's track sources: the source menu without CD drives, files chosen from the computer,
// library and recordings folders into either slot, and the recordings folder itself.
#include <gtest/gtest.h>

#include <QFileInfo>

#include <filesystem>
#include <set>

#include "app/control_tables.h"
#include "app/main_window.h"
#include "app/resources.h"
#include "app/settings.h"
#include "skin/menu.h"
#include "skin/skin_qt.h"
#include "skin/skin_values.h"
#include "tests/app/main_window_fixture.h"
#include "tests/app/ui_test_support.h"

namespace fs = std::filesystem;

namespace {

struct OpenRequest {
    QString folder;
    QString filter;
};

TEST_F(MainWindowTest, TheRecordingsFolderIsMadeWithTheWindow) {
    ASSERT_FALSE(fs::exists(documents_ + "/My Recording"));
    CTessalyDlg window(app_);
    EXPECT_TRUE(fs::is_directory(documents_ + "/My Recording"));
    EXPECT_EQ(window.RecordingsFolderPath().toStdString(), documents_ + "/My Recording");
}

TEST_F(MainWindowTest, WithoutCdDrivesTheMenuHoldsTheThreeFolders) {
    CTessalyDlg window(app_);
    CSCMenu menu;
    window.BuildTrackSourceMenu(menu);
    EXPECT_EQ(menu.GetMenuItemCount(), 5);
    EXPECT_TRUE(window.CdDrives().empty());
    for (int id : {CTessalyDlg::kMenuLibrary, CTessalyDlg::kMenuComputer, CTessalyDlg::kMenuRecording})
        ASSERT_NE(menu.FindItem(id), nullptr) << id;
    EXPECT_EQ(menu.FindItem(CTessalyDlg::kMenuLibrary)->text(), QStringLiteral("My Library"));
    EXPECT_EQ(menu.FindItem(CTessalyDlg::kMenuComputer)->text(), QStringLiteral("My Computer"));
    EXPECT_EQ(menu.FindItem(CTessalyDlg::kMenuRecording)->text(), QStringLiteral("My Recording"));
    EXPECT_EQ(menu.FindItem(CTessalyDlg::kMenuFirstCd), nullptr);
    // An entry of a drive that is not listed opens nothing.
    window.OpenTrackSource(1, CTessalyDlg::kMenuFirstCd);
    EXPECT_TRUE(window.Track(1).path.empty());
}

TEST_F(MainWindowTest, AFileChosenFromEachSourceFillsTheBrowseTarget) {
    const std::string tone = Tone("tone.wav", 1.5, "-c:a pcm_s16le");
    CTessalyDlg window(app_);
    std::vector<OpenRequest> requests;
    QString answer = QString::fromStdString(tone);
    window.SetOpenFileDialog([&](QWidget*, const QString& folder, const QString& filter) {
        requests.push_back({folder, filter});
        return answer;
    });
    RunWindow(window, [&] {
        // My Computer: the documents folder at first, then the chosen file's folder.
        window.OpenTrackSource(2, CTessalyDlg::kMenuComputer);
        ASSERT_EQ(requests.size(), 1u);
        EXPECT_EQ(requests[0].folder.toStdString(), documents_);
        EXPECT_TRUE(requests[0].filter.contains(QStringLiteral("*.wav"))) << requests[0].filter.toStdString();
        EXPECT_EQ(window.Track(2).path, tone);
        EXPECT_TRUE(window.Track(1).path.empty());
        EXPECT_EQ(TextOf(window, IDC_PAGE1_TRACK2_EDIT).toStdString(), tone);
        EXPECT_EQ(GetProfileString("General", "LastComputerFolder", ""), inputs_);
        window.OpenTrackSource(1, CTessalyDlg::kMenuComputer);
        ASSERT_EQ(requests.size(), 2u);
        EXPECT_EQ(requests[1].folder.toStdString(), inputs_);
        EXPECT_EQ(window.Track(1).path, tone);

        // My Library is made when missing; My Recording is the recordings folder.
        window.OpenTrackSource(1, CTessalyDlg::kMenuLibrary);
        EXPECT_EQ(requests.back().folder.toStdString(), documents_ + "/My Library");
        EXPECT_TRUE(fs::is_directory(documents_ + "/My Library"));
        window.OpenTrackSource(1, CTessalyDlg::kMenuRecording);
        EXPECT_EQ(requests.back().folder, window.RecordingsFolderPath());

        // Cancelling changes nothing.
        answer.clear();
        window.OpenTrackSource(1, CTessalyDlg::kMenuComputer);
        EXPECT_EQ(window.Track(1).path, tone);

        // The chosen files open on Continue into both tracks of the editor.
        window.OnContinue();
        ASSERT_EQ(window.Page(), 1);
        EXPECT_EQ(window.WaveEditor()->Timeline().Track1(), &window.Track(1));
        EXPECT_EQ(window.WaveEditor()->Timeline().Track2(), &window.Track(2));
    });
}

TEST_F(MainWindowTest, ChoosingAFileAgainResetsTheOpenTrack) {
    const std::string first = Tone("first.wav", 1.0, "-c:a pcm_s16le");
    const std::string second = Tone("second.wav", 2.0, "-c:a pcm_s16le");
    CTessalyDlg window(app_);
    QString answer = QString::fromStdString(first);
    window.SetOpenFileDialog([&](QWidget*, const QString&, const QString&) { return answer; });
    RunWindow(window, [&] {
        window.OpenTrackSource(1, CTessalyDlg::kMenuRecording);
        window.OnContinue();
        ASSERT_EQ(window.Page(), 1);
        EXPECT_EQ(window.Track(1).source.Frames(), 44100u);
        window.OnGoBack();
        answer = QString::fromStdString(second);
        window.OpenTrackSource(1, CTessalyDlg::kMenuRecording);
        EXPECT_FALSE(window.Track(1).source.IsOpen());
        window.OnContinue();
        ASSERT_EQ(window.Page(), 1);
        EXPECT_EQ(window.Track(1).source.Frames(), 2u * 44100u);
        EXPECT_EQ(window.WaveEditor()->GetEndMarker(), 2 * 44100);
    });
}

// The colours of the icon's opaque pixels at the size.
std::set<QRgb> IconColours(const QIcon& icon, int size, QIcon::Mode mode) {
    std::set<QRgb> colours;
    const QImage image = icon.pixmap(QSize(size, size), 1.0, mode).toImage().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) == 255) colours.insert(image.pixel(x, y) & 0xFFFFFF);
    return colours;
}

TEST_F(MainWindowTest, TheSourceMenusIconsAreLineIconsInTheSkinsColours) {
    CTessalyDlg window(app_);
    CSCMenu menu;
    window.BuildTrackSourceMenu(menu);
    const QRgb secondary = SkinPaletteColor(SKINCOLOR_TEXT_SECONDARY).rgb() & 0xFFFFFF;
    const QRgb disabled = SkinPaletteColor(SKINCOLOR_DISABLED_TEXT).rgb() & 0xFFFFFF;
    std::set<QByteArray> pictures;
    for (int id : {CTessalyDlg::kMenuLibrary, CTessalyDlg::kMenuComputer, CTessalyDlg::kMenuRecording}) {
        const QIcon icon = menu.FindItem(id)->icon();
        ASSERT_FALSE(icon.isNull()) << id;
        for (int size : {16, 32}) {
            EXPECT_EQ(IconColours(icon, size, QIcon::Normal), std::set<QRgb>{secondary}) << id << " at " << size;
            EXPECT_EQ(IconColours(icon, size, QIcon::Disabled), std::set<QRgb>{disabled}) << id << " at " << size;
        }
        // Thin lines: a small part of the square is drawn.
        const QImage image = icon.pixmap(QSize(32, 32), 1.0).toImage().convertToFormat(QImage::Format_ARGB32);
        int drawn = 0;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) drawn += qAlpha(image.pixel(x, y)) > 0;
        EXPECT_GT(drawn, 40) << id;
        EXPECT_LT(drawn, 32 * 32 / 2) << id << " is no line icon";
        pictures.insert(QByteArray(reinterpret_cast<const char*>(image.constBits()), image.sizeInBytes()));
    }
    EXPECT_EQ(pictures.size(), 3u) << "each entry has its own icon";
    EXPECT_FALSE(LoadMenuIcon(IDI_MENU_CD_DRIVE).isNull());
    EXPECT_TRUE(LoadMenuIcon(0).isNull());
    menu.popup(QPoint(40, 40));
    if (WaitUntil([&] { return menu.isVisible(); }, 2000)) SaveScreenshot(menu, "track_source_menu.png");
    menu.hide();
}

}  // namespace
