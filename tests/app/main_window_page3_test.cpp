// Page 3 of the main window: the output lists and their stored rows, the destination and
// the send button's rule, the information text, saving MP3 and AAC files to a folder with
// the overwrite rules, a failing save, and the new-project question. A picture of the page
// with a destination chosen.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "app/control_tables.h"
#include "app/main_window.h"
#include "app/settings.h"
#include "app/tessaly_app.h"
#include "audiosvc/audiosvc.h"
#include "engine/saver.h"
#include "platform/texts.h"
#include "skin/buttons.h"
#include "skin/lists.h"
#include "tests/app/ui_test_support.h"
#include "tests/platform/scratch.h"

#include "tests/app/page3_fixture.h"

namespace fs = std::filesystem;

namespace {

TEST_F(MainWindowPage3Test, ListsAreFilledOnceWithTheirItemDataAndSendFollowsTheRule) {
    ASSERT_FALSE(RingtoneSaver::Encoders().empty()) << "the provider offers no encoder here";
    CTessalyDlg window(app_);
    RunWindow(window, [&] {
        GoToPage3(window);
        CSCComboBox* format = List(window, IDC_PAGE3_FORMAT);
        CSCComboBox* channels = List(window, IDC_PAGE3_CHANNELS);
        CSCComboBox* bitrate = List(window, IDC_PAGE3_BITRATE);
        ASSERT_EQ(format->GetCount(), static_cast<int>(RingtoneSaver::Encoders().size()));
        int row = 0;
        for (const auto& [tag, name] : RingtoneSaver::Encoders()) {
            EXPECT_EQ(format->GetLBText(row).toStdString(), name);
            EXPECT_EQ(format->GetItemData(row), row);
            ++row;
        }
        ASSERT_EQ(channels->GetCount(), 2);
        EXPECT_EQ(channels->GetLBText(0), "Mono");
        EXPECT_EQ(channels->GetItemData(0), 1);
        EXPECT_EQ(channels->GetLBText(1), "Stereo");
        EXPECT_EQ(channels->GetItemData(1), 2);
        ASSERT_EQ(bitrate->GetCount(), 3);
        const std::pair<const char*, int> rates[] = {{"64 kbps", 64}, {"128 kbps", 128}, {"256 kbps", 256}};
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(bitrate->GetLBText(i), rates[i].first);
            EXPECT_EQ(bitrate->GetItemData(i), rates[i].second);
        }
        // The stored rows of a fresh profile: the first format, Stereo, 128 kbps.
        EXPECT_EQ(format->GetCurSel(), 0);
        EXPECT_EQ(channels->GetCurSel(), 1);
        EXPECT_EQ(bitrate->GetCurSel(), 1);

        // No destination yet: nothing to send to.
        EXPECT_EQ(window.GetDestination().kind, CTessalyDlg::kDestinationNone);
        EXPECT_TRUE(TextOf(window, IDC_PAGE3_PATH).isEmpty());
        EXPECT_FALSE(SendEnabled(window));

        // Leaving and entering the page again keeps the rows, and forgets the destination.
        ChooseFile(window, "ring");
        EXPECT_TRUE(SendEnabled(window));
        Choose(window, IDC_PAGE3_CHANNELS, 0);
        window.OnGoBack();
        window.OnContinue();
        ASSERT_EQ(window.Page(), 2);
        EXPECT_EQ(format->GetCount(), static_cast<int>(RingtoneSaver::Encoders().size()));
        EXPECT_EQ(channels->GetCount(), 2);
        EXPECT_EQ(bitrate->GetCount(), 3);
        EXPECT_EQ(channels->GetCurSel(), 0);
        EXPECT_EQ(window.GetDestination().kind, CTessalyDlg::kDestinationNone);
        EXPECT_FALSE(SendEnabled(window));

        // A destination with valid settings enables it; a list without a choice does not.
        ChooseFile(window, "ring");
        EXPECT_TRUE(SendEnabled(window));
        channels->SetCurSel(-1);
        window.RefreshPage3();
        EXPECT_FALSE(SendEnabled(window));
        const size_t shown = Shown().size();
        window.SaveOrSend();
        EXPECT_EQ(Shown().size(), shown) << "a disabled send starts nothing";
        EXPECT_TRUE(Listing().empty());
        channels->SetCurSel(1);
        window.RefreshPage3();
        EXPECT_TRUE(SendEnabled(window));
    });
}

TEST_F(MainWindowPage3Test, StoredSettingsAndResetToTheDefaults) {
    CTessalyDlg window(app_);
    RunWindow(window, [&] {
        GoToPage3(window);
        Choose(window, IDC_PAGE3_CHANNELS, 0);
        Choose(window, IDC_PAGE3_BITRATE, 2);
        EXPECT_EQ(GetProfileInt("Save", "Channels", -5), 0);
        EXPECT_EQ(GetProfileInt("Save", "Bitrate", -5), 2);
        EXPECT_EQ(GetProfileInt("Save", "FormatIndex", -5), 0);
        EXPECT_EQ(window.Saver().OutputFormat().Format.nChannels, 1);
        EXPECT_EQ(window.Saver().Bitrate(), 256u);

        // Normalize: the list drives the mode and the stored value.
        ASSERT_EQ(window.Saver().normalizeMode, NormalizeMode::Peak);
        EXPECT_EQ(List(window, IDC_PAGE3_NORMALIZE)->GetWindowText(), "Peak");
        Choose(window, IDC_PAGE3_NORMALIZE, 0);
        EXPECT_EQ(window.Saver().normalizeMode, NormalizeMode::Off);
        EXPECT_EQ(GetProfileInt("Save", "Normalize", -5), 0);
        Choose(window, IDC_PAGE3_NORMALIZE, 2);
        EXPECT_EQ(window.Saver().normalizeMode, NormalizeMode::Loudness);
        EXPECT_EQ(GetProfileInt("Save", "Normalize", -5), 2);
        Choose(window, IDC_PAGE3_NORMALIZE, 1);
        EXPECT_EQ(window.Saver().normalizeMode, NormalizeMode::Peak);
        EXPECT_EQ(GetProfileInt("Save", "Normalize", -5), 1);

        Button(window, IDC_PAGE3_OVERWRITE)->Click();
        EXPECT_TRUE(window.Saver().overwrite);
        EXPECT_EQ(GetProfileInt("Save", "Overwrite", -5), 1);

        Button(window, IDC_PAGE3_RESET)->Click();
        EXPECT_EQ(List(window, IDC_PAGE3_CHANNELS)->GetWindowText(), "Stereo");
        EXPECT_EQ(List(window, IDC_PAGE3_BITRATE)->GetWindowText(), "128 kbps");
        EXPECT_EQ(List(window, IDC_PAGE3_FORMAT)->GetCurSel(), 0);
        EXPECT_EQ(List(window, IDC_PAGE3_NORMALIZE)->GetWindowText(), "Off");
        EXPECT_EQ(List(window, IDC_PAGE3_PRESET)->GetWindowText(), "Any player");
        EXPECT_EQ(GetProfileInt("Save", "Channels", -5), 1);
        EXPECT_EQ(GetProfileInt("Save", "FormatIndex", -5), 0);
        EXPECT_EQ(GetProfileInt("Save", "Bitrate", -5), 1);
        EXPECT_EQ(GetProfileInt("Save", "Normalize", -5), 0);
        EXPECT_EQ(window.Saver().normalizeMode, NormalizeMode::Off);
        EXPECT_EQ(window.Saver().OutputFormat().Format.nChannels, 2);
        EXPECT_EQ(window.Saver().Bitrate(), 128u);
        EXPECT_TRUE(window.Saver().overwrite) << "reset leaves the overwrite box alone";
    });
    // A new window starts from the stored rows.
    CTessalyDlg again(app_);
    RunWindow(again, [&] {
        GoToPage3(again);
        EXPECT_EQ(List(again, IDC_PAGE3_CHANNELS)->GetCurSel(), 1);
        EXPECT_EQ(List(again, IDC_PAGE3_BITRATE)->GetCurSel(), 1);
        EXPECT_EQ(List(again, IDC_PAGE3_NORMALIZE)->GetWindowText(), "Off");
        EXPECT_EQ(Button(again, IDC_PAGE3_OVERWRITE)->GetCheck(), 1);
    });
}

TEST_F(MainWindowPage3Test, TheInfoAndPathFollowFormatAndQuality) {
    CTessalyDlg window(app_);
    RunWindow(window, [&] {
        GoToPage3(window);
        const int mp3 = FormatRow(window, kMp3);
        const int aac = FormatRow(window, kAac);
        if (mp3 < 0 || aac < 0) GTEST_SKIP() << "needs both encoders";
        Choose(window, IDC_PAGE3_FORMAT, mp3);
        Choose(window, IDC_PAGE3_BITRATE, 0);
        const QString at64 = TextOf(window, IDC_PAGE3_INFO);
        // 3 s at 64 kbps, a kilobit counting 1024 bits: 24576 bytes.
        const QString expected = QStringLiteral(
                                     "File format: <b>MP3</b><font size=\"-4\"><br><br></font>Length: <b>%1</b>"
                                     "<font size=\"-4\"><br><br></font>Approximated file size: <b>%2</b>")
                                     .arg(QString::fromStdString(TimeText(3)), QString::fromStdString(SizeText(24576)));
        EXPECT_EQ(at64, expected);
        // Beside it the loudness; the tone's crests are at a quarter of full scale.
        const QString loudness = TextOf(window, IDC_PAGE3_LOUDNESS);
        EXPECT_TRUE(loudness.startsWith("Loudness: <b>-")) << loudness.toStdString();
        EXPECT_TRUE(loudness.endsWith(" LUFS</b>, true peak <b>-12.0 dBTP</b>")) << loudness.toStdString();
        Choose(window, IDC_PAGE3_BITRATE, 2);
        EXPECT_TRUE(TextOf(window, IDC_PAGE3_INFO).contains(QString::fromStdString(SizeText(4 * 24576))));

        ChooseFile(window, "ring.mp3");
        EXPECT_EQ(asked_.suffix, "mp3");
        EXPECT_TRUE(asked_.filter.endsWith(" (*.mp3)")) << asked_.filter.toStdString();
        EXPECT_TRUE(asked_.confirm) << "overwrite is off: the dialog asks";
        EXPECT_EQ(window.GetDestination().fileName, "ring");
        EXPECT_EQ(TextOf(window, IDC_PAGE3_PATH), QString::fromStdString("My Computer: " + target_ + "/ring.mp3"));

        // Another format keeps the folder and name, with the new extension.
        Choose(window, IDC_PAGE3_FORMAT, aac);
        EXPECT_TRUE(TextOf(window, IDC_PAGE3_INFO).startsWith("File format: <b>AAC</b>"));
        EXPECT_EQ(TextOf(window, IDC_PAGE3_PATH), QString::fromStdString("My Computer: " + target_ + "/ring.aac"));
        EXPECT_TRUE(SendEnabled(window));

        Button(window, IDC_PAGE3_OVERWRITE)->Click();
        ChooseFile(window, "ring.aac");
        EXPECT_FALSE(asked_.confirm) << "overwrite is on: the dialog does not ask";
        QApplication::processEvents();
        SaveScreenshot(window, QStringLiteral("main_window_page3.png"));
    });
}

TEST_F(MainWindowPage3Test, SavesMp3AndAacAsChosen) {
    CTessalyDlg window(app_);
    RunWindow(window, [&] {
        GoToPage3(window);
        const int mp3 = FormatRow(window, kMp3);
        const int aac = FormatRow(window, kAac);
        if (mp3 < 0 || aac < 0) GTEST_SKIP() << "needs both encoders";
        struct Case {
            int formatRow;
            int channelsRow;
            int bitrateRow;
            const char* name;
            const char* codec;
            const char* channels;
            int kbps;
        };
        const Case cases[] = {{mp3, 0, 0, "mono64", "mp3", "1", 64}, {aac, 1, 1, "stereo128", "aac", "2", 128}};
        for (const Case& c : cases) {
            SCOPED_TRACE(c.name);
            Choose(window, IDC_PAGE3_FORMAT, c.formatRow);
            Choose(window, IDC_PAGE3_CHANNELS, c.channelsRow);
            Choose(window, IDC_PAGE3_BITRATE, c.bitrateRow);
            ChooseFile(window, c.name);
            Shown().clear();
            Answer() = IDCANCEL;  // "OK", not "Open Folder"
            window.SaveOrSend();
            ASSERT_EQ(Shown().size(), 1u);
            EXPECT_EQ(Shown()[0].text, "File successfully saved!");
            EXPECT_EQ(Shown()[0].type, 0x9u | MB_ICONINFORMATION);
            const std::string file = target_ + "/" + c.name + "." + c.codec;
            ASSERT_TRUE(fs::exists(file));
            EXPECT_EQ(Read(file), Read(window.Saver().EncodedPath())) << "the saved file is the prepared one";
            // A saved ringtone is an ordinary file of the user, not private like the prepared one.
            const std::string plain = root_ + "/plain.txt";
            std::ofstream(plain) << "x";
            EXPECT_EQ(fs::status(file).permissions(), fs::status(plain).permissions());
            EXPECT_EQ(Probe(file, "stream=codec_name"), c.codec);
            EXPECT_EQ(Probe(file, "stream=channels"), c.channels);
            // The stream's rate where the container names it, else the file's average.
            std::string rate = Probe(file, "stream=bit_rate");
            if (rate.empty() || rate == "N/A") rate = Probe(file, "format=bit_rate");
            const double kbps = std::atof(rate.c_str()) / 1000;
            EXPECT_NEAR(kbps, c.kbps, c.kbps * 0.25) << rate;
        }
        const std::vector<std::string> expected = {"mono64.mp3", "stereo128.aac"};
        EXPECT_EQ(Listing(), expected);
    });
}

TEST_F(MainWindowPage3Test, AnExistingFileIsReplacedOnlyWhenAllowed) {
    const std::string file = target_ + "/ring.mp3";
    std::ofstream(file) << "older ringtone";
    std::string opened;
    CTessalyDlg window(app_);
    window.SetShowFolder([&](const QString& path) { opened = path.toStdString(); });
    RunWindow(window, [&] {
        GoToPage3(window);
        const int mp3 = FormatRow(window, kMp3);
        if (mp3 < 0) GTEST_SKIP() << "needs the MP3 encoder";
        Choose(window, IDC_PAGE3_FORMAT, mp3);
        ChooseFile(window, "ring.mp3");

        // Overwrite off, answered No: the old file stays.
        Shown().clear();
        Answer() = IDNO;
        window.SaveOrSend();
        ASSERT_EQ(Shown().size(), 1u);
        EXPECT_EQ(Shown()[0].text, "File already exists. Overwrite file?");
        EXPECT_EQ(Shown()[0].type, static_cast<uint32_t>(MB_YESNO | MB_ICONWARNING));
        EXPECT_EQ(Read(file), "older ringtone");

        // Answered Yes: replaced, then "Open Folder" (answer 1) shows the file's folder.
        Shown().clear();
        Answer() = IDYES;
        window.SaveOrSend();
        ASSERT_EQ(Shown().size(), 2u);
        EXPECT_EQ(Shown()[1].text, "File successfully saved!");
        EXPECT_EQ(Read(file), Read(window.Saver().EncodedPath()));
        EXPECT_TRUE(opened.empty()) << "Yes is not Open Folder";

        // Overwrite on: no question.
        std::ofstream(file, std::ios::trunc) << "older ringtone";
        Button(window, IDC_PAGE3_OVERWRITE)->Click();
        Shown().clear();
        Answer() = IDOK;
        window.SaveOrSend();
        ASSERT_EQ(Shown().size(), 1u);
        EXPECT_EQ(Shown()[0].text, "File successfully saved!");
        EXPECT_EQ(Read(file), Read(window.Saver().EncodedPath()));
        EXPECT_EQ(opened, file);
        const std::vector<std::string> expected = {"ring.mp3"};
        EXPECT_EQ(Listing(), expected) << "no partial copy is left";

        // The prepared file serves every save with the same settings; changing the
        // normalising discards it, so the next save encodes anew.
        const std::string prepared = window.Saver().EncodedPath();
        ASSERT_FALSE(prepared.empty());
        Choose(window, IDC_PAGE3_NORMALIZE, 0);
        EXPECT_TRUE(window.Saver().EncodedPath().empty());
        EXPECT_FALSE(fs::exists(prepared));
        window.SaveOrSend();
        EXPECT_FALSE(window.Saver().EncodedPath().empty());
        EXPECT_EQ(Read(file), Read(window.Saver().EncodedPath()));
    });
}

TEST_F(MainWindowPage3Test, AFailingSaveShowsTheMessageAndLeavesNothingBehind) {
    // The target's name is taken by a folder with a file in it: the copy cannot replace it.
    const std::string blocked = target_ + "/ring.mp3";
    fs::create_directories(blocked);
    std::ofstream(blocked + "/keep.txt") << "kept";
    CTessalyDlg window(app_);
    RunWindow(window, [&] {
        GoToPage3(window);
        const int mp3 = FormatRow(window, kMp3);
        if (mp3 < 0) GTEST_SKIP() << "needs the MP3 encoder";
        Choose(window, IDC_PAGE3_FORMAT, mp3);
        ChooseFile(window, "ring.mp3");
        Button(window, IDC_PAGE3_OVERWRITE)->Click();
        Shown().clear();
        window.SaveOrSend();
        ASSERT_EQ(Shown().size(), 1u);
        EXPECT_EQ(Shown()[0].text, "Can't save file");
        EXPECT_EQ(Shown()[0].type & MB_ICONMASK, static_cast<uint32_t>(MB_ICONERROR));
        const std::vector<std::string> expected = {"ring.mp3"};
        EXPECT_EQ(Listing(), expected) << "no partial file";
        EXPECT_EQ(Read(blocked + "/keep.txt"), "kept");
        // The prepared file stays for another try.
        EXPECT_TRUE(fs::exists(window.Saver().EncodedPath()));
    });
}

// The encoders are probed once per process, so this case runs in a fresh process (a
// "threadsafe" death test re-runs the test there) whose probe cannot create its file: the
// temporary folder is /proc for root (root may write everywhere else) or a read-only folder.
// The child reports what it saw on standard error and the parent compares it.
TEST_F(MainWindowPage3Test, WithoutAnEncoderTheListsStayEmptyAndNothingCanBeSaved) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const auto probeWithoutEncoders = [] {
        ScratchFolder readOnly;
        std::filesystem::permissions(readOnly.Path(),
                                     std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
        ScopedEnv temp("TMPDIR", ::geteuid() == 0 ? std::string("/proc") : readOnly.Path());
        return RingtoneSaver::Encoders().empty();
    };
    EXPECT_EXIT(
        {
            std::string seen = probeWithoutEncoders() ? "no encoders" : "encoders";
            CTessalyDlg window(app_);
            RunWindow(window, [&] {
                GoToPage3(window);
                for (const int id : {IDC_PAGE3_FORMAT, IDC_PAGE3_CHANNELS, IDC_PAGE3_BITRATE})
                    seen += "; rows " + std::to_string(List(window, id)->GetCount()) +
                            (List(window, id)->isEnabled() ? " enabled" : " disabled");
                bool asked = false;
                window.SetSaveFileDialog([&](QWidget*, const QString&, const QString&, const QString&, bool) {
                    asked = true;
                    return QString::fromStdString(target_ + "/ring.mp3");
                });
                window.ChooseComputerDestination();
                seen += asked ? "; file dialog" : "; no file dialog";
                seen += SendEnabled(window) ? "; send enabled" : "; send disabled";
                window.SaveOrSend();
                seen += "; files " + std::to_string(Listing().size());
            });
            std::fprintf(stderr, "[%s]\n", seen.c_str());
            std::fflush(stderr);
            std::_Exit(0);
        },
        ::testing::ExitedWithCode(0),
        "\\[no encoders; rows 0 disabled; rows 0 disabled; rows 0 disabled; no file dialog; send disabled; "
        "files 0\\]");
}

TEST_F(MainWindowPage3Test, CreateAnotherAsksFirst) {
    CTessalyDlg window(app_);
    const int result = RunWindow(window, [&] {
        GoToPage3(window);
        Answer() = IDNO;
        Button(window, IDC_PAGE3_CREATE_ANOTHER)->Click();
        ASSERT_FALSE(Shown().empty());
        EXPECT_EQ(Shown().back().text,
                  "This will discard the settings for the current ringtone and create\n"
                  "a new project. Do you want to continue?");
        EXPECT_EQ(Shown().back().type, static_cast<uint32_t>(MB_YESNO | MB_ICONWARNING));
        EXPECT_TRUE(window.isVisible());
        Answer() = IDYES;
        Button(window, IDC_PAGE3_CREATE_ANOTHER)->Click();
    });
    EXPECT_EQ(result, CTessalyApp::kResultNewProject);
}

TEST_F(MainWindowPage3Test, SaveAsSuggestsTheTracksTitleOrFileNameInTheLastFolderUsed) {
    const std::string titled = Tone("take 3.mp3", 2.0, "-metadata title='AC/DC Bell'");
    const std::string plain = Tone("Morning.wav", 2.0, "-c:a pcm_s16le");
    CTessalyDlg window(app_);
    std::vector<QString> offered;
    QString answer;
    window.SetSaveFileDialog([&](QWidget*, const QString& initialPath, const QString&, const QString&, bool) {
        offered.push_back(initialPath);
        return answer;
    });
    RunWindow(window, [&] {
        SetText(window, IDC_PAGE1_TRACK1_EDIT, QString::fromStdString(titled));
        window.OnContinue();
        window.OnContinue();
        ASSERT_EQ(window.Page(), 2);
        const QString extension = window.OutputExtension();
        ASSERT_FALSE(extension.isEmpty());
        // Nothing saved yet: the documents folder, and the title, made fit for a file name.
        window.ChooseComputerDestination();
        ASSERT_EQ(offered.size(), 1u);
        EXPECT_EQ(offered[0].toStdString(), documents_ + "/AC-DC Bell" + extension.toStdString());
        EXPECT_EQ(window.GetDestination().kind, CTessalyDlg::kDestinationNone) << "cancelled";

        answer = QString::fromStdString(target_ + "/ring" + extension.toStdString());
        window.ChooseComputerDestination();
        EXPECT_EQ(GetProfileString("Save", "LastFolder", ""), target_);
        // The choice made stays the suggestion while on the page.
        answer.clear();
        window.ChooseComputerDestination();
        EXPECT_EQ(offered.back().toStdString(), target_ + "/ring" + extension.toStdString());

        // A track without a title: its file name, in the folder used last.
        window.OnGoBack();
        window.OnGoBack();
        SetText(window, IDC_PAGE1_TRACK1_EDIT, QString::fromStdString(plain));
        window.OnContinue();
        window.OnContinue();
        ASSERT_EQ(window.Page(), 2);
        window.ChooseComputerDestination();
        EXPECT_EQ(offered.back().toStdString(), target_ + "/Morning" + extension.toStdString());
    });
}

}  // namespace
