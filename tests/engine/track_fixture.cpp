#include "track_fixture.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>

#include "audiosvc/audiosvc.h"
#include "engine/track.h"

namespace fs = std::filesystem;

namespace {

std::mutex messagesMutex;  // guards messages
std::vector<ShownMessage> messages;

int CaptureMessage(const char* text, uint32_t type, const char*, QWidget*) {
    std::lock_guard lock(messagesMutex);
    messages.push_back({text ? text : "", type});
    return IDOK;
}

}  // namespace

void TrackFixture::SetUp() {
    char pattern[] = "/tmp/engine-test-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    root_ = pattern;
    inputs_ = root_ + "/in";
    temp_ = root_ + "/tmp";
    fs::create_directories(inputs_);
    fs::create_directories(temp_);
    ::setenv("TMPDIR", temp_.c_str(), 1);
    messages.clear();
    ReplaceSCMessageBox(CaptureMessage);
}

void TrackFixture::TearDown() {
    ReplaceSCMessageBox(nullptr);
    ::unsetenv("TMPDIR");
    std::error_code ignored;
    fs::remove_all(root_, ignored);
}

bool TrackFixture::Ffmpeg(const std::string& arguments) {
    const std::string command = "cd '" + inputs_ + "' && ffmpeg -v error -nostdin -y " + arguments;
    return std::system(command.c_str()) == 0;
}

std::string TrackFixture::Wav(const std::string& name, const std::vector<int16_t>& samples, int channels) {
    const std::string raw = inputs_ + "/" + name + ".raw";
    std::ofstream(raw, std::ios::binary)
        .write(reinterpret_cast<const char*>(samples.data()), static_cast<std::streamsize>(samples.size() * 2));
    EXPECT_TRUE(Ffmpeg("-f s16le -ar 44100 -ac " + std::to_string(channels) + " -i '" + raw + "' '" + name + "'"));
    fs::remove(raw);
    return inputs_ + "/" + name;
}

std::string TrackFixture::Tone(const std::string& name, double seconds, const std::string& outputOptions) {
    const std::string sine = "0.25*sin(1000*2*PI*t)";
    EXPECT_TRUE(Ffmpeg("-f lavfi -i 'aevalsrc=" + sine + "|" + sine + ":s=44100:d=" + std::to_string(seconds) + "' " +
                       outputOptions + " '" + name + "'"));
    return inputs_ + "/" + name;
}

void TrackFixture::OpenOk(TrackSlot& slot, const std::string& path) {
    slot.SetPath(path);
    ASSERT_TRUE(slot.Open(progress_));
    ASSERT_TRUE(Messages().empty()) << Messages().front().text;
    ASSERT_TRUE(slot.source.IsOpen());
}

std::vector<std::string> TrackFixture::TempFiles() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(temp_)) names.push_back(entry.path().filename().string());
    return names;
}

const std::vector<ShownMessage>& TrackFixture::Messages() { return messages; }
