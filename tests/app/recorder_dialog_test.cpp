// The recorder dialog on SDL's disk driver: recording a known input into the take, the
// length text, a second take, playing the take back, saving it as WAV and MP3, the button
// rules, failures and their messages, and the callbacks' let-go calls.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include <cstdlib>
#include <filesystem>
#include <memory>

#include "app/control_tables.h"
#include "app/recorder_dialog.h"
#include "app/src/recorder_save.h"
#include "audiosvc/audiosvc.h"
#include "contracts/provider_api.h"
#include "contracts/sound_data.h"
#include "contracts/wave_format.h"
#include "engine/player.h"
#include "engine/recorder.h"
#include "skin/buttons.h"
#include "tests/app/ui_test_support.h"
#include "tests/platform/scoped_env.h"
#include "tests/platform_audio/audio_test_support.h"

namespace {

struct ShownMessage {
    std::string text;
    uint32_t type;
};
std::vector<ShownMessage> g_messages;

int RecordMessage(const char* text, uint32_t type, const char*, QWidget*) {
    g_messages.push_back({text ? text : "", type});
    return IDOK;
}

// What the save dialog was asked, and the path it answers.
struct SaveRequest {
    int calls = 0;
    QString folder;
    QString filter;
    QString suffix;
};

class RecorderDialogTest : public testing::Test {
protected:
    static void SetUpTestSuite() { TestApp(); }
    void SetUp() override {
        LoadDefaultSkin();
        g_messages.clear();
        ReplaceSCMessageBox(&RecordMessage);
        std::filesystem::create_directories(m_machine / "morvane");
        // About 1.3 s of stereo frames, none of them silent.
        m_input.resize(57330 * 4);
        for (size_t i = 0; i < m_input.size(); ++i) m_input[i] = static_cast<uint8_t>(1 + i % 253);
        audiotest::WriteBytes(m_inputPath, m_input);
        audiotest::UseDiskDriver(m_playedPath, m_inputPath);
        m_dialog = std::make_unique<CRecorderDlg>(nullptr, m_out.Path());
        m_dialog->SetEngines(&m_micro, &m_player);
        m_micro.SetClient(m_dialog.get());
        m_player.SetClient(m_dialog.get());
        m_dialog->SetSaveFileDialog(
            [this](QWidget*, const QString& folder, const QString& filter, const QString& suffix) {
                ++m_request.calls;
                m_request = {m_request.calls, folder, filter, suffix};
                return m_answer;
            });
    }
    void TearDown() override {
        m_micro.SetClient(nullptr);
        m_player.SetClient(nullptr);
        m_dialog.reset();
        ReplaceSCMessageBox(nullptr);
        audiotest::UseDriver("dummy");
    }

    // Runs the dialog; `interact` works on it while it shows.
    int Run(const std::function<void(CRecorderDlg&)>& interact) {
        return WithModal([&] { return m_dialog->exec(); },
                         [&](QWidget& window) {
                             auto* dialog = qobject_cast<CRecorderDlg*>(&window);
                             ASSERT_EQ(dialog, m_dialog.get()) << window.metaObject()->className();
                             interact(*dialog);
                         });
    }
    static CSCButton* Button(CRecorderDlg& dialog, int command) {
        return qobject_cast<CSCButton*>(dialog.Skin().GetControl(command));
    }
    static QString LengthText(CRecorderDlg& dialog) {
        return dialog.Skin().GetControl(IDC_REC_RECORD_TIME)->GetWindowText();
    }
    // Records until the take holds more than a second.
    static void RecordASecond(CRecorderDlg& dialog) {
        Button(dialog, IDC_REC_RECORD)->Click();
        ASSERT_TRUE(dialog.IsRecording());
        ASSERT_TRUE(WaitUntil([&] { return dialog.RecordLength() >= 44100; }));
        Button(dialog, IDC_REC_RECORD)->Click();
        ASSERT_FALSE(dialog.IsRecording());
    }
    // The take's frames must be the input in order, then the driver's silence.
    void ExpectTakeIsTheInput(const std::vector<uint8_t>& take) {
        ASSERT_GE(take.size(), 44100u * 4);
        EXPECT_EQ(take.size() % 16384, 0u) << "whole capture buffers";
        const size_t compared = std::min(take.size(), m_input.size());
        EXPECT_TRUE(std::equal(take.begin(), take.begin() + static_cast<long>(compared), m_input.begin()));
        EXPECT_TRUE(
            std::all_of(take.begin() + static_cast<long>(compared), take.end(), [](uint8_t b) { return b == 0; }));
    }
    void StoreLastExt(const std::string& extension) {
        m_machine.Write("morvane/registry.ini",
                        "[" + RecorderProvidersKey() + "]\nLastExt=string:\"" + extension + "\"\n");
    }
    // The samples of a saved file, decoded by the provider at 44100 Hz stereo.
    static std::vector<uint8_t> Decoded(const std::string& path) {
        WAVEFORMATEXTENSIBLE format = {
            {WAVE_FORMAT_PCM, 2, 44100, 176400, 4, 16, 0}, {16}, 3, KSDATAFORMAT_SUBTYPE_PCM};
        uint32_t length = 0;
        const uint32_t handle = QoOpenFile(path.c_str(), &format, &length, QoModeDecode);
        std::vector<uint8_t> bytes;
        if (handle == 0) return bytes;
        std::vector<uint8_t> block(4096 * 4);
        for (uint32_t first = 0;;) {
            const uint32_t frames =
                QoGetFileData(handle, first, 4096, block.data(), static_cast<uint32_t>(block.size()));
            if (frames == 0) break;
            bytes.insert(bytes.end(), block.begin(), block.begin() + frames * 4);
            first += frames;
        }
        QoCloseFile(handle);
        return bytes;
    }

    ScratchFolder m_temp;
    ScratchFolder m_machine;
    ScratchFolder m_out;
    ScratchFolder m_audio;
    // Set after every folder above is made, so that none of them lands in m_temp.
    ScopedEnv m_tempVariable{"TMPDIR", m_temp.Path()};
    ScopedEnv m_machineVariable{"XDG_CONFIG_DIRS", m_machine.Path()};
    const std::string m_inputPath = (m_audio / "input.raw");
    const std::string m_playedPath = (m_audio / "played.raw");
    std::vector<uint8_t> m_input;
    CExtMicro m_microEngine;
    XMicro m_micro{m_microEngine};
    CExtPlayerDX m_playerEngine;
    XPlayer m_player{m_playerEngine};
    std::unique_ptr<CRecorderDlg> m_dialog;
    SaveRequest m_request;
    QString m_answer;
};

TEST_F(RecorderDialogTest, RecordsTheInputIntoATakeAndANewRecordingReplacesIt) {
    std::string firstTake;
    std::string secondTake;
    const int result = Run([&](CRecorderDlg& dialog) {
        SaveScreenshot(dialog, "recorder_dialog.png");
        EXPECT_EQ(LengthText(dialog), "") << "empty before the first recording";
        EXPECT_TRUE(Button(dialog, IDC_REC_RECORD)->isEnabled());
        EXPECT_FALSE(Button(dialog, IDC_REC_PLAY)->isEnabled());
        EXPECT_FALSE(dialog.Skin().GetControl(IDC_REC_SAVE)->isEnabled());
        EXPECT_EQ(Button(dialog, IDC_REC_CREATE_RINGTONE)->GetCheck(), 1);
        EXPECT_EQ(dialog.Skin().GetControl(IDC_REC_SOUND_SETTINGS)->GetWindowText(),
                  "Saved as Wave audio (*.wav), 44100 Hz stereo")
            << "the provider has no settings panel";

        Button(dialog, IDC_REC_RECORD)->Click();
        ASSERT_TRUE(dialog.IsRecording());
        EXPECT_EQ(m_micro.GetBufferCount(), 5u);
        EXPECT_EQ(m_micro.GetBufferSize(), 16384u);
        EXPECT_EQ(m_micro.GetFormat()->nChannels, 2);
        EXPECT_EQ(m_micro.GetFormat()->nSamplesPerSec, 44100u);
        EXPECT_EQ(Button(dialog, IDC_REC_RECORD)->GetCheck(), 1);
        EXPECT_FALSE(Button(dialog, IDC_REC_PLAY)->isEnabled()) << "no playing while recording";
        EXPECT_TRUE(dialog.Skin().GetControl(IDC_REC_SAVE)->isEnabled());
        EXPECT_EQ(LengthText(dialog), "Record length: 00:00");
        ASSERT_TRUE(WaitUntil([&] { return dialog.RecordLength() >= 44100; }));
        EXPECT_TRUE(WaitUntil([&] { return LengthText(dialog) == "Record length: 00:01"; }))
            << LengthText(dialog).toStdString();
        SaveScreenshot(dialog, "recorder_dialog_recording.png");
        Button(dialog, IDC_REC_RECORD)->Click();
        EXPECT_FALSE(dialog.IsRecording());
        EXPECT_EQ(Button(dialog, IDC_REC_RECORD)->GetCheck(), 0);
        EXPECT_TRUE(Button(dialog, IDC_REC_PLAY)->isEnabled());
        SaveScreenshot(dialog, "recorder_dialog_take.png");

        firstTake = dialog.TakePath();
        EXPECT_EQ(firstTake.rfind(m_temp.Path() + "/qorec", 0), 0u) << firstTake;
        const std::vector<uint8_t> take = audiotest::ReadBytes(firstTake);
        EXPECT_EQ(dialog.RecordLength(), take.size() / 4);
        ExpectTakeIsTheInput(take);

        // The next recording starts from nothing, in a file of a higher number.
        Button(dialog, IDC_REC_RECORD)->Click();
        ASSERT_TRUE(dialog.IsRecording());
        secondTake = dialog.TakePath();
        EXPECT_FALSE(std::filesystem::exists(firstTake)) << "the first take is deleted";
        const auto number = [](const std::string& path) {
            const std::string name = std::filesystem::path(path).stem().string();
            return std::stoll(name.substr(5));
        };
        EXPECT_GT(number(secondTake), number(firstTake));
        Button(dialog, IDC_REC_CANCEL)->Click();
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(m_microEngine.GetState(), kMicroStopped) << "cancel stops the recording";
    EXPECT_TRUE(std::filesystem::exists(secondTake)) << "the take lives as long as the dialog";
    m_dialog.reset();
    EXPECT_FALSE(std::filesystem::exists(secondTake));
    EXPECT_TRUE(g_messages.empty());
}

TEST_F(RecorderDialogTest, PlaysTheTakeBackAndStopsAtItsEnd) {
    std::vector<uint8_t> take;
    Run([&](CRecorderDlg& dialog) {
        RecordASecond(dialog);
        take = audiotest::ReadBytes(dialog.TakePath());
        Button(dialog, IDC_REC_PLAY)->Click();
        ASSERT_TRUE(dialog.IsPlaying());
        EXPECT_EQ(m_player.GetFormat()->dwChannelMask, 3u);
        EXPECT_EQ(m_player.GetFormat()->Format.nChannels, 2);
        EXPECT_EQ(m_player.GetBufferCount(), 5u);
        EXPECT_EQ(m_player.GetBufferSize(), 16384u);
        EXPECT_EQ(Button(dialog, IDC_REC_PLAY)->GetCheck(), 1);
        EXPECT_FALSE(Button(dialog, IDC_REC_RECORD)->isEnabled()) << "no recording while playing";
        EXPECT_TRUE(WaitUntil([&] { return !dialog.IsPlaying(); })) << "the end of the take stops playback";
        EXPECT_EQ(Button(dialog, IDC_REC_PLAY)->GetCheck(), 0);
        EXPECT_TRUE(Button(dialog, IDC_REC_RECORD)->isEnabled());
        EXPECT_EQ(m_playerEngine.State(), kPlayerStopped);
        dialog.reject();
    });
    const std::vector<int16_t> played = audiotest::SoundingFrames(audiotest::ReadSamples(m_playedPath), 2);
    std::vector<int16_t> recorded(take.size() / 2);
    for (size_t i = 0; i < recorded.size(); ++i)
        recorded[i] = static_cast<int16_t>(take[2 * i] | (take[2 * i + 1] << 8));
    // The player's float-to-PCM conversion may take one step off a sample.
    const std::vector<int16_t> expected = audiotest::SoundingFrames(recorded, 2);
    ASSERT_EQ(played.size(), expected.size()) << "what was recorded, whole";
    EXPECT_FALSE(played.empty());
    size_t off = 0;
    for (size_t i = 0; i < played.size(); ++i) off += std::abs(played[i] - expected[i]) > 1 ? 1 : 0;
    EXPECT_EQ(off, 0u) << "what was recorded, in order";
}

TEST_F(RecorderDialogTest, SavesAsWaveWithoutAStoredType) {
    m_answer = QString::fromStdString((m_out / "voice.wav"));
    std::vector<uint8_t> take;
    const int result = Run([&](CRecorderDlg& dialog) {
        RecordASecond(dialog);
        take = audiotest::ReadBytes(dialog.TakePath());
        qobject_cast<CSCButton*>(dialog.Skin().GetControl(IDC_REC_SAVE))->Click();
    });
    EXPECT_EQ(result, CRecorderDlg::kSavedAndImport);
    EXPECT_EQ(m_dialog->SavedPath(), m_answer);
    EXPECT_EQ(m_request.calls, 1);
    EXPECT_EQ(m_request.folder.toStdString(), m_out.Path());
    EXPECT_EQ(m_request.filter, "Wave audio (*.wav)");
    EXPECT_EQ(m_request.suffix, "wav");
    EXPECT_EQ(Decoded(m_answer.toStdString()), take) << "every sample of the take";
}

TEST_F(RecorderDialogTest, SavesAsMp3WhenTheProviderLastWroteMp3) {
    StoreLastExt("mp3");
    m_answer = QString::fromStdString((m_out / "voice.mp3"));
    const int result = Run([&](CRecorderDlg& dialog) {
        EXPECT_EQ(dialog.Skin().GetControl(IDC_REC_SOUND_SETTINGS)->GetWindowText(),
                  "Saved as MPEG Layer-3 audio (*.mp3), 44100 Hz stereo");
        RecordASecond(dialog);
        Button(dialog, IDC_REC_CREATE_RINGTONE)->Click();
        EXPECT_EQ(Button(dialog, IDC_REC_CREATE_RINGTONE)->GetCheck(), 0);
        qobject_cast<CSCButton*>(dialog.Skin().GetControl(IDC_REC_SAVE))->Click();
    });
    EXPECT_EQ(result, CRecorderDlg::kSavedOnly) << "saved, not to be imported";
    EXPECT_EQ(m_request.filter, "MPEG Layer-3 audio (*.mp3)");
    EXPECT_EQ(m_request.suffix, "mp3");
    const std::string command = "ffprobe -v error -show_entries format=format_name -of csv=p=0 '" +
                                m_answer.toStdString() + "' > '" + (m_audio / "probe.txt") + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    std::string format;
    std::ifstream((m_audio / "probe.txt")) >> format;
    EXPECT_EQ(format, "mp3");
}

TEST_F(RecorderDialogTest, ACancelledOrFailedSaveKeepsTheDialogOpen) {
    const int result = Run([&](CRecorderDlg& dialog) {
        RecordASecond(dialog);
        auto* save = qobject_cast<CSCButton*>(dialog.Skin().GetControl(IDC_REC_SAVE));
        save->Click();  // the save dialog is cancelled
        EXPECT_EQ(m_request.calls, 1);
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_TRUE(g_messages.empty());

        m_answer = QString::fromStdString((m_out / "no-such-folder/voice.wav"));
        save->Click();
        ASSERT_EQ(g_messages.size(), 1u);
        EXPECT_EQ(g_messages[0].text, "Can't create file");
        EXPECT_EQ(g_messages[0].type, MB_OK | MB_ICONERROR);
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_TRUE(std::filesystem::exists(dialog.TakePath())) << "the take stays for another try";
        QTest::keyClick(&dialog, Qt::Key_Escape);
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_TRUE(m_dialog->SavedPath().isEmpty());
}

TEST_F(RecorderDialogTest, AMissingInputDeviceIsReportedAndLeavesNoTake) {
    audiotest::UseDiskDriver(m_playedPath, (m_audio / "missing.raw"));
    Run([&](CRecorderDlg& dialog) {
        Button(dialog, IDC_REC_RECORD)->Click();
        EXPECT_FALSE(dialog.IsRecording());
        ASSERT_EQ(g_messages.size(), 1u);
        EXPECT_EQ(g_messages[0].text, "Can't capture input device.");
        EXPECT_EQ(g_messages[0].type, MB_OK | MB_ICONERROR);
        EXPECT_TRUE(dialog.TakePath().empty());
        EXPECT_EQ(Button(dialog, IDC_REC_RECORD)->GetCheck(), 0);
        EXPECT_FALSE(Button(dialog, IDC_REC_PLAY)->isEnabled());
        EXPECT_FALSE(dialog.Skin().GetControl(IDC_REC_SAVE)->isEnabled());
        dialog.reject();
    });
    EXPECT_TRUE(std::filesystem::is_empty(m_temp.Path())) << "the take file was deleted";
}

TEST_F(RecorderDialogTest, NoTemporaryFileNoRecording) {
    setenv("TMPDIR", "/proc", 1);  // readable, but no file can be made there
    Run([&](CRecorderDlg& dialog) {
        Button(dialog, IDC_REC_RECORD)->Click();
        EXPECT_FALSE(dialog.IsRecording());
        EXPECT_EQ(m_microEngine.GetState(), kMicroStopped);
        ASSERT_EQ(g_messages.size(), 1u);
        EXPECT_EQ(g_messages[0].text, "Can't create temp file.");
        EXPECT_EQ(g_messages[0].type, MB_OK | MB_ICONERROR);
        EXPECT_EQ(Button(dialog, IDC_REC_RECORD)->GetCheck(), 0);
        EXPECT_FALSE(dialog.Skin().GetControl(IDC_REC_SAVE)->isEnabled());
        dialog.reject();
    });
}

TEST_F(RecorderDialogTest, AFailedTakeWriteEndsTheRecordingWithWhatWasWritten) {
    Run([&](CRecorderDlg& dialog) {
        // The file size limit stands in for a full disk: three capture buffers fit.
        rlimit old{};
        ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
        const auto oldHandler = ::signal(SIGXFSZ, SIG_IGN);
        rlimit limited = old;
        limited.rlim_cur = 16384 * 3 + 100;
        ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
        Button(dialog, IDC_REC_RECORD)->Click();
        EXPECT_TRUE(dialog.IsRecording());
        const bool ended = WaitUntil([&] { return !g_messages.empty(); });
        ::setrlimit(RLIMIT_FSIZE, &old);
        ::signal(SIGXFSZ, oldHandler);
        ASSERT_TRUE(ended);
        ASSERT_EQ(g_messages.size(), 1u) << "reported once";
        EXPECT_EQ(g_messages[0].text, "Can't create temp file.");
        EXPECT_FALSE(dialog.IsRecording());
        EXPECT_EQ(m_microEngine.GetState(), kMicroStopped);
        const std::vector<uint8_t> take = audiotest::ReadBytes(dialog.TakePath());
        EXPECT_EQ(take.size(), 16384u * 3);
        EXPECT_TRUE(std::equal(take.begin(), take.end(), m_input.begin())) << "the buffers before the failure, whole";
        EXPECT_EQ(dialog.RecordLength(), 16384u * 3 / 4);
        EXPECT_TRUE(Button(dialog, IDC_REC_PLAY)->isEnabled()) << "the take can be played and saved";
        EXPECT_TRUE(dialog.Skin().GetControl(IDC_REC_SAVE)->isEnabled());
        dialog.reject();
    });
}

TEST_F(RecorderDialogTest, CallbacksLetGoWithoutTouchingTheDialog) {
    _SOUNDDATAEX_ empty;
    EXPECT_EQ(CRecorderDlg::PlaybackCallback(nullptr, &empty, 0), 0u);

    // After a run the engines no longer point at the dialog.
    Run([&](CRecorderDlg& dialog) {
        RecordASecond(dialog);
        dialog.reject();
    });
    int calls = 0;
    struct Counter {
        static int Callback(void* context, const void*, uint32_t) {
            ++*static_cast<int*>(context);
            return 0;
        }
    };
    EXPECT_EQ(m_micro.SetDataCallback(&Counter::Callback, &calls), 1);
    EXPECT_EQ(calls, 0);
    m_micro.SetDataCallback(nullptr, nullptr);
}

TEST_F(RecorderDialogTest, ASkinWithoutTheRecorderEndsAtOnce) {
    ScratchFolder folder;
    ASSERT_TRUE(LoadSkinText(folder, "<SKIN_KEL Caption=\"Empty\"/>"));
    const int result = WithModal([&] { return m_dialog->exec(); }, AnswerCantLoadSkin);
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_TRUE(m_dialog->TakePath().empty());
}

}  // namespace
