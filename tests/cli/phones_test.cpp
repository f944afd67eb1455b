// morvane-cli phones, send and make --send-to, on a scratch folder laid out as the desktop's
// MTP mount of a phone; and the send command's options.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/src/send_options.h"
#include "cli_run.h"

namespace fs = std::filesystem;

namespace {

TEST(CliSendOptions, FileIdKindAndReplace) {
    std::string error;
    const auto options = ParseSendOptions({"tone.ogg", "--to", "usb:/x", "--as", "alarm", "--replace"}, error);
    ASSERT_TRUE(options) << error;
    EXPECT_EQ(options->file, "tone.ogg");
    EXPECT_EQ(options->to, "usb:/x");
    EXPECT_EQ(options->kind, ToneKind::Alarm);
    EXPECT_TRUE(options->replace);
    const auto plain = ParseSendOptions({"--to", "kdeconnect:abc", "tone.mp3"}, error);
    ASSERT_TRUE(plain) << error;
    EXPECT_EQ(plain->kind, ToneKind::Ringtone);
    EXPECT_FALSE(plain->replace);

    for (const std::vector<std::string>& bad : {std::vector<std::string>{},
                                                {"tone.mp3"},
                                                {"--to", "x"},
                                                {"tone.mp3", "--to"},
                                                {"a", "b", "--to", "x"},
                                                {"tone.mp3", "--to", "x", "--as", "siren"},
                                                {"tone.mp3", "--to", "x", "--loud"}}) {
        error.clear();
        EXPECT_FALSE(ParseSendOptions(bad, error)) << testing::PrintToString(bad);
        EXPECT_FALSE(error.empty());
    }
}

class CliPhones : public CliFixture {
protected:
    void SetUp() override {
        CliFixture::SetUp();
        if (const char* old = std::getenv("XDG_RUNTIME_DIR")) oldRuntime_ = old;
        const std::string runtime = root_ + "/runtime";
        storage_ = runtime + "/gvfs/mtp:host=Google_Pixel_7/Internal shared storage";
        fs::create_directories(storage_ + "/Ringtones");
        setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    }
    void TearDown() override {
        if (oldRuntime_.empty())
            unsetenv("XDG_RUNTIME_DIR");
        else
            setenv("XDG_RUNTIME_DIR", oldRuntime_.c_str(), 1);
        CliFixture::TearDown();
    }
    // The id of the listed phone with that way and name; empty when not listed.
    std::string IdOf(const std::string& listing, const std::string& way, const std::string& name) {
        std::istringstream lines(listing);
        for (std::string line; std::getline(lines, line);) {
            const size_t first = line.find('\t');
            const size_t second = line.find('\t', first + 1);
            if (first == std::string::npos || second == std::string::npos) continue;
            if (line.substr(first + 1, second - first - 1) == way && line.substr(second + 1) == name)
                return line.substr(0, first);
        }
        return {};
    }
    static std::string Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

    std::string oldRuntime_;
    std::string storage_;
};

TEST_F(CliPhones, AUsbPhoneIsListedAndTakesTonesInTheFolderOfTheirKind) {
    const CliResult listed = Run({"phones"});
    ASSERT_EQ(listed.code, 0) << listed.err;
    const std::string id = IdOf(listed.out, "USB", "Google Pixel 7");
    ASSERT_FALSE(id.empty()) << listed.out;

    std::ofstream(inputs_ + "/bells.ogg", std::ios::binary) << std::string(70000, 'x');
    const CliResult sent = Run({"send", "bells.ogg", "--to", id, "--as", "alarm"});
    EXPECT_EQ(sent.code, 0) << sent.err;
    EXPECT_NE(sent.out.find("Sent to Google Pixel 7"), std::string::npos) << sent.out;
    EXPECT_EQ(Read(storage_ + "/Alarms/bells.ogg"), std::string(70000, 'x')) << "Alarms is made when missing";

    // Not over a file already there unless asked.
    std::ofstream(inputs_ + "/bells.ogg", std::ios::binary | std::ios::trunc) << "newer";
    const CliResult again = Run({"send", "bells.ogg", "--to", id, "--as", "alarm"});
    EXPECT_EQ(again.code, 1);
    EXPECT_NE(again.err.find("--replace"), std::string::npos) << again.err;
    EXPECT_EQ(Read(storage_ + "/Alarms/bells.ogg").size(), 70000u);
    EXPECT_EQ(Run({"send", "bells.ogg", "--to", id, "--as", "alarm", "--replace"}).code, 0);
    EXPECT_EQ(Read(storage_ + "/Alarms/bells.ogg"), "newer");

    const CliResult unknown = Run({"send", "bells.ogg", "--to", "usb:/no/such/phone"});
    EXPECT_EQ(unknown.code, 1);
    EXPECT_NE(unknown.err.find("morvane-cli phones"), std::string::npos) << unknown.err;
    EXPECT_EQ(Run({"send", "missing.ogg", "--to", id}).code, 1);
    EXPECT_EQ(Run({"send", "bells.ogg"}).code, 2);
    EXPECT_EQ(Run({"phones", "extra"}).code, 2);
}

TEST_F(CliPhones, MakeSendsWhatItMadeToThePhone) {
    const CliResult listed = Run({"phones"});
    const std::string id = IdOf(listed.out, "USB", "Google Pixel 7");
    ASSERT_FALSE(id.empty()) << listed.out;
    ASSERT_TRUE(Ffmpeg("-f lavfi -i sine=f=440:d=3 -ac 2 song.wav"));
    const CliResult made = Run({"make", "song.wav", "-o", "song.mp3", "--send-to", id});
    ASSERT_EQ(made.code, 0) << made.err;
    EXPECT_EQ(Read(storage_ + "/Ringtones/song.mp3"), Read(inputs_ + "/song.mp3"));
    EXPECT_FALSE(Read(inputs_ + "/song.mp3").empty());
}

}  // namespace
