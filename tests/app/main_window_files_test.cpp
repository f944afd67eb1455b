// Files into page 1: dropped on the window or on a track's box, named on the command line,
// chosen or typed, each checked at once and refused with its reason.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QTest>
#include <QUrl>

#include <filesystem>
#include <fstream>

#include "app/control_tables.h"
#include "app/main_window.h"
#include "app/tessaly_app.h"
#include "audiosvc/audiosvc.h"
#include "skin/edits.h"
#include "skin/skin_base.h"
#include "skin/skin_qt.h"
#include "skin/skin_values.h"
#include "tests/app/main_window_fixture.h"
#include "tests/app/ui_test_support.h"

namespace fs = std::filesystem;

namespace {

std::unique_ptr<QMimeData> FileDrag(const std::vector<std::string>& paths) {
    auto data = std::make_unique<QMimeData>();
    QList<QUrl> urls;
    for (const std::string& path : paths) urls.push_back(QUrl::fromLocalFile(QString::fromStdString(path)));
    data->setUrls(urls);
    return data;
}

// The centre of a control in the window's coordinates.
QPoint CentreOf(CTessalyDlg& window, int commandId) {
    CSkinBase* control = window.Skin().GetControl(commandId);
    EXPECT_NE(control, nullptr) << commandId;
    return control ? control->mapTo(&window, control->rect().center()) : QPoint();
}

// Drags the data over the widget at its point and drops it there, as the window system does;
// true when the widget accepted the drag.
bool DragAndDrop(QWidget& target, const QPoint& point, const QMimeData& data) {
    QDragEnterEvent enter(point, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&target, &enter);
    if (!enter.isAccepted()) return false;
    QDropEvent drop(QPointF(point), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&target, &drop);
    QApplication::processEvents();  // the files are taken after the drop ended
    return drop.isAccepted();
}

// The widget a drop at the window point reaches first: the deepest one that takes drops.
QWidget& DropTargetAt(CTessalyDlg& window, const QPoint& point) {
    QWidget* widget = window.childAt(point);
    while (widget != nullptr && widget != &window && !widget->acceptDrops()) widget = widget->parentWidget();
    return widget != nullptr ? *widget : window;
}

bool DropAt(CTessalyDlg& window, const QPoint& point, const std::vector<std::string>& paths) {
    QWidget& target = DropTargetAt(window, point);
    return DragAndDrop(target, target.mapFrom(&window, point), *FileDrag(paths));
}

class FilesIntoPage1 : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        song_ = Tone("song.wav", 1.0, "-c:a pcm_s16le");
        voice_ = Tone("voice.flac", 0.5, "-ac 1");
    }
    std::string song_;
    std::string voice_;
};

TEST_F(FilesIntoPage1, OneAndTwoFilesDroppedOnTheWindowFillTrackOneThenTwo) {
    CTessalyDlg window(app_);
    RunWindow(window, [&] {
        // A point of the page away from the track boxes: the middle of the window's top.
        const QPoint elsewhere(window.width() / 2, 20);
        ASSERT_EQ(window.TrackBoxAt(elsewhere), 0);
        EXPECT_TRUE(DropAt(window, elsewhere, {song_}));
        EXPECT_EQ(window.Track(1).path, song_);
        EXPECT_TRUE(window.Track(2).path.empty());
        EXPECT_EQ(TextOf(window, IDC_PAGE1_TRACK1_EDIT).toStdString(), song_);

        EXPECT_TRUE(DropAt(window, elsewhere, {voice_, song_}));
        EXPECT_EQ(window.Track(1).path, voice_);
        EXPECT_EQ(window.Track(2).path, song_);
        EXPECT_EQ(TextOf(window, IDC_PAGE1_TRACK2_EDIT).toStdString(), song_);
        EXPECT_TRUE(Shown().empty());

        // The dropped files open on Continue like chosen ones.
        window.OnContinue();
        EXPECT_EQ(window.Page(), 1);
        EXPECT_EQ(window.Track(1).source.Channels(), 1u);
    });
}

TEST_F(FilesIntoPage1, AFileDroppedOnTrackTwosBoxFillsTrackTwo) {
    CTessalyDlg window(app_);
    RunWindow(window, [&] {
        for (int id : {IDC_PAGE1_TRACK2_EDIT, IDC_PAGE1_TRACK2_BROWSE}) {
            const QPoint point = CentreOf(window, id);
            EXPECT_EQ(window.TrackBoxAt(point), 2);
            window.Track(2).SetPath("");
            EXPECT_TRUE(DropAt(window, point, {voice_})) << id;
            EXPECT_EQ(window.Track(2).path, voice_) << id;
            EXPECT_TRUE(window.Track(1).path.empty()) << id;
        }
        // Onto track 1's text field, which takes the drop itself: the files go to track 1,
        // the second to track 2, and the field does not get the file's address as text.
        EXPECT_EQ(window.TrackBoxAt(CentreOf(window, IDC_PAGE1_TRACK1_EDIT)), 1);
        EXPECT_TRUE(DropAt(window, CentreOf(window, IDC_PAGE1_TRACK1_EDIT), {song_, voice_}));
        EXPECT_EQ(window.Track(1).path, song_);
        EXPECT_EQ(TextOf(window, IDC_PAGE1_TRACK1_EDIT).toStdString(), song_);
        EXPECT_EQ(window.Track(2).path, voice_);
    });
}

TEST_F(FilesIntoPage1, FoldersTextFilesAndOtherAddressesAreRefused) {
    std::ofstream(inputs_ + "/notes.mp3") << "shopping list: milk, bread\n";
    CTessalyDlg window(app_);
    RunWindow(window, [&] {
        const QPoint box = CentreOf(window, IDC_PAGE1_TRACK1_BROWSE);
        EXPECT_TRUE(DropAt(window, box, {inputs_}));
        EXPECT_TRUE(DropAt(window, box, {inputs_ + "/notes.mp3"}));
        ASSERT_EQ(Shown().size(), 2u);
        EXPECT_EQ(Shown()[0].text, "Error opening in\nin: is a folder");
        EXPECT_EQ(Shown()[1].text, "Error opening notes\nnotes.mp3: not an audio file");
        EXPECT_TRUE(window.Track(1).path.empty());
        EXPECT_EQ(TextOf(window, IDC_PAGE1_TRACK1_EDIT), QString());

        // A refused first file leaves the second one its place.
        EXPECT_TRUE(DropAt(window, box, {inputs_ + "/notes.mp3", song_}));
        EXPECT_TRUE(window.Track(1).path.empty());
        EXPECT_EQ(window.Track(2).path, song_);

        // A web address is no file: the drag is not taken.
        QMimeData web;
        web.setUrls({QUrl(QStringLiteral("https://example.org/song.mp3"))});
        QWidget& target = DropTargetAt(window, box);
        EXPECT_FALSE(DragAndDrop(target, target.mapFrom(&window, box), web));
    });
}

TEST_F(FilesIntoPage1, OnlyPageOneTakesFiles) {
    CTessalyDlg window(app_);
    RunWindow(window, [&] {
        ASSERT_TRUE(DropAt(window, QPoint(window.width() / 2, 20), {song_}));
        window.OnContinue();
        ASSERT_EQ(window.Page(), 1);
        for (const QPoint& point : {QPoint(window.width() / 2, 20), QPoint(window.width() / 2, window.height() / 2)})
            EXPECT_FALSE(DropAt(window, point, {voice_}));
        EXPECT_EQ(window.Track(1).path, song_);
        EXPECT_TRUE(window.Track(2).path.empty());
    });
}

TEST_F(FilesIntoPage1, EveryWayOfChoosingChecksTheFileAtOnce) {
    std::ofstream(inputs_ + "/empty.wav");
    ASSERT_TRUE(Ffmpeg("-f lavfi -i 'sine=f=440:d=0.3' -af 'pan=5.1|c0=c0|c1=c0|c2=c0|c3=c0|c4=c0|c5=c0' six.wav"));
    CTessalyDlg window(app_);
    QString answer = QString::fromStdString(inputs_ + "/six.wav");
    window.SetOpenFileDialog([&](QWidget*, const QString&, const QString&) { return answer; });
    RunWindow(window, [&] {
        // From the track source menu's file dialog.
        window.OpenTrackSource(2, CTessalyDlg::kMenuComputer);
        ASSERT_EQ(Shown().size(), 1u);
        EXPECT_EQ(Shown()[0].text, "Multi-channel sound can not be added to a track\nsix.wav: more than two channels");
        EXPECT_TRUE(window.Track(2).path.empty());
        EXPECT_EQ(TextOf(window, IDC_PAGE1_TRACK2_EDIT), QString());

        // Typed and committed: the text stays as typed, flagged with the reason.
        auto* edit = qobject_cast<CSCEditBox2*>(window.Skin().GetControl(IDC_PAGE1_TRACK1_EDIT));
        ASSERT_NE(edit, nullptr);
        const QString plainTooltip = edit->toolTip();
        const QString typed = QString::fromStdString(inputs_ + "/empty.wav");
        edit->Editor()->setFocus();
        edit->Editor()->setText(typed);
        QTest::keyClick(edit->Editor(), Qt::Key_Return);
        ASSERT_EQ(Shown().size(), 2u);
        EXPECT_EQ(Shown()[1].text, "Error opening empty\nempty.wav: empty file");
        EXPECT_EQ(edit->GetWindowText(), typed);
        EXPECT_EQ(window.TrackEditProblem(1).toStdString(), Shown()[1].text);
        EXPECT_EQ(edit->toolTip().toStdString(), Shown()[1].text);
        const QString danger = SkinPaletteColor(SKINCOLOR_DANGER).name();
        EXPECT_NE(edit->Editor()->styleSheet().indexOf(danger), -1) << edit->Editor()->styleSheet().toStdString();

        // Typing on takes the flag away; a good file committed raises none.
        edit->Editor()->setText(QString::fromStdString(song_));
        EXPECT_TRUE(window.TrackEditProblem(1).isEmpty());
        EXPECT_EQ(edit->toolTip(), plainTooltip);
        EXPECT_EQ(edit->Editor()->styleSheet().indexOf(danger), -1);
        QTest::keyClick(edit->Editor(), Qt::Key_Return);
        EXPECT_EQ(Shown().size(), 2u);
        EXPECT_TRUE(window.TrackEditProblem(1).isEmpty());
        EXPECT_EQ(window.Track(1).path, song_);

        // A missing file typed.
        edit->Editor()->setText(QString::fromStdString(inputs_ + "/gone.mp3"));
        QTest::keyClick(edit->Editor(), Qt::Key_Return);
        ASSERT_EQ(Shown().size(), 3u);
        EXPECT_EQ(Shown()[2].text, "Error opening gone\ngone.mp3: does not exist");
    });
}

TEST_F(FilesIntoPage1, CommandLineFilesOpenIntoPageOneAndTheRestartPassesNone) {
    const fs::path workingFolder = fs::current_path();
    fs::current_path(inputs_);
    const QStringList files = CTessalyApp::StartFilesFrom(
        {QStringLiteral("Morvane"), QStringLiteral("song.wav"), QString::fromStdString(voice_)});
    fs::current_path(workingFolder);
    EXPECT_EQ(files, QStringList({QString::fromStdString(song_), QString::fromStdString(voice_)}));
    EXPECT_EQ(CTessalyApp::StartFilesFrom(
                  {QStringLiteral("Morvane"), QUrl::fromLocalFile(QString::fromStdString(song_)).toString()}),
              QStringList({QString::fromStdString(song_)}));
    EXPECT_TRUE(CTessalyApp::StartFilesFrom({QStringLiteral("Morvane")}).isEmpty());

    app_.SetStartFiles(files);
    std::vector<QStringList> relaunches;
    app_.SetRelaunch([&](const QString&, const QStringList& arguments) {
        relaunches.push_back(arguments);
        return true;
    });
    std::string shownTrack1, shownTrack2;
    WithModalDialog<CTessalyDlg>([&] { return app_.InitInstance() ? 1 : 0; },
                                 [&](CTessalyDlg& window) {
                                     ASSERT_TRUE(WaitUntil([&] { return !window.Track(2).path.empty(); }));
                                     shownTrack1 = TextOf(window, IDC_PAGE1_TRACK1_EDIT).toStdString();
                                     shownTrack2 = TextOf(window, IDC_PAGE1_TRACK2_EDIT).toStdString();
                                     // "Create a new ringtone" ends the window for a restart.
                                     window.done(CTessalyApp::kResultNewProject);
                                 });
    EXPECT_EQ(shownTrack1, song_);
    EXPECT_EQ(shownTrack2, voice_);
    EXPECT_TRUE(app_.RestartRequested());
    EXPECT_EQ(app_.ExitInstance(), 0);
    ASSERT_EQ(relaunches.size(), 1u);
    EXPECT_TRUE(relaunches[0].isEmpty()) << relaunches[0].join(' ').toStdString();
    ReplaceSCMessageBox(nullptr);
}

TEST_F(FilesIntoPage1, ARefusedCommandLineFileIsReportedAndTheOtherStillOpens) {
    CTessalyDlg window(app_);
    RunWindow(window, [&] {
        window.OpenStartFiles({QString::fromStdString(inputs_ + "/missing.wav"), QString::fromStdString(voice_)});
        ASSERT_EQ(Shown().size(), 1u);
        EXPECT_EQ(Shown()[0].text, "Error opening missing\nmissing.wav: does not exist");
        EXPECT_TRUE(window.Track(1).path.empty());
        EXPECT_EQ(window.Track(2).path, voice_);
    });
}

}  // namespace
