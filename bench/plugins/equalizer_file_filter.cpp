// Filters a raw 44.1 kHz stereo 16-bit file through libequalizer.so, as a command-line tool
// that eq_vs_ffmpeg.sh times against ffmpeg's firequalizer.
//   plugins_equalizer_file_filter <in.raw> <out.raw> <ten band gains in dB, 31 Hz first>
#include <dlfcn.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "contracts/plugin_api.h"
#include "contracts/sound_data.h"
#include "contracts/wave_format.h"
#include "platform/key_store.h"
#include "xml/xml.h"

namespace {

constexpr uint32_t kRequestFrames = 8192;
constexpr const char* kKeys[] = {"Volume31",   "Volume62",   "Volume125",  "Volume250",  "Volume500",
                                 "Volume1000", "Volume2000", "Volume4000", "Volume8000", "Volume16000"};

// Interleaved 16-bit stereo input handed out through the stream callback as floats.
struct Input {
    std::vector<int16_t> samples;
    size_t nextFrame = 0;

    static uint32_t Callback(void* user, _SOUNDDATAEX_* record) {
        auto& self = *static_cast<Input*>(user);
        const size_t frames = self.samples.size() / 2;
        const auto count = static_cast<uint32_t>(std::min<size_t>(record->capacity, frames - self.nextFrame));
        const int16_t* source = self.samples.data() + 2 * self.nextFrame;
        for (uint32_t k = 0; k < count; ++k) {
            record->channels[0][k] = source[2 * k] / 32768.0f;
            record->channels[1][k] = source[2 * k + 1] / 32768.0f;
        }
        self.nextFrame += count;
        return count;
    }
};

int16_t ToPcm(float sample) {
    return static_cast<int16_t>(std::lrint(std::clamp(sample * 32768.0f, -32768.0f, 32767.0f)));
}

// dlclose at scope exit.
struct Library {
    void* handle;
    ~Library() {
        if (handle != nullptr) dlclose(handle);
    }
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 13) {
        std::fprintf(stderr, "usage: %s in.raw out.raw g31 g62 g125 g250 g500 g1000 g2000 g4000 g8000 g16000 (dB)\n",
                     argv[0]);
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    const std::vector<char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    Input input;
    input.samples.resize(bytes.size() / 4 * 2);
    std::copy_n(bytes.data(), input.samples.size() * 2, reinterpret_cast<char*>(input.samples.data()));

    const std::string path = std::string(MORVANE_BIN_DIR) + "/plugins/libequalizer.so";
    const Library library{dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL)};
    if (library.handle == nullptr) {
        std::fprintf(stderr, "%s\n", dlerror());
        return 1;
    }
    const auto initializeXml = reinterpret_cast<PFN_InitializeXml>(dlsym(library.handle, "InitializeXml"));
    const auto setCallBack = reinterpret_cast<PFN_SetStreamCallBack>(dlsym(library.handle, "SetStreamCallBack"));
    const auto openStream = reinterpret_cast<PFN_OpenStream>(dlsym(library.handle, "OpenStream"));
    const auto processStream = reinterpret_cast<PFN_ProcessStream>(dlsym(library.handle, "ProcessStream"));
    const auto freeSettings = reinterpret_cast<PFN_Free>(dlsym(library.handle, "Free"));

    enXml element("Equalizer");
    for (int band = 0; band < 10; ++band)
        element.SetValue(kKeys[band],
                         static_cast<int>(std::lround(std::pow(10.0, std::atof(argv[3 + band]) / 20.0) * 3276700.0)));
    void* settings = nullptr;
    const WAVEFORMATEX format = kWorkingFormat.Format;
    if (initializeXml(&element, &settings) != 1 || setCallBack(Input::Callback, &input, settings) != 1 ||
        openStream(settings, &format) != PLUGIN_OPEN_OK) {
        std::fprintf(stderr, "the equalizer refused the stream\n");
        freeSettings(settings);
        return 1;
    }
    std::vector<int16_t> output;
    output.reserve(input.samples.size());
    SoundBlock block(2, kRequestFrames);
    for (;;) {
        block->capacity = kRequestFrames;
        const uint32_t produced = processStream(block.get(), settings);
        if (produced == 0) break;
        for (uint32_t k = 0; k < produced; ++k) {
            output.push_back(ToPcm(block->channels[0][k]));
            output.push_back(ToPcm(block->channels[1][k]));
        }
    }
    freeSettings(settings);
    std::ofstream out(argv[2], std::ios::binary);
    out.write(reinterpret_cast<const char*>(output.data()), static_cast<std::streamsize>(output.size() * 2));
    return out ? 0 : 1;
}
