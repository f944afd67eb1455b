// Fuzz target: arbitrary bytes probed and decoded through the provider's memory input,
// into the working format and into mono at another rate.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "provider/provider.h"

namespace {

// Enough to reach deep into a file without making each run slow.
constexpr uint32_t kMaxFrames = 1 << 20;

void Decode(const uint8_t* data, size_t size, int channels, uint32_t rate) {
    WAVEFORMATEXTENSIBLE format = kWorkingFormat;
    format.Format.nChannels = static_cast<uint16_t>(channels);
    format.Format.nSamplesPerSec = rate;
    uint32_t length = 0;
    const uint32_t h = QoOpenMemory(data, size, &format, &length, QoModeDecode);
    if (!h) return;
    std::vector<uint8_t> buffer(1024 * format.Format.nBlockAlign);
    uint32_t position = 0;
    while (position < kMaxFrames) {
        const uint32_t n = QoGetFileData(h, position, 1024, buffer.data(), static_cast<uint32_t>(buffer.size()));
        if (n == 0) break;
        position += n;
    }
    // Back to the start once.
    QoGetFileData(h, 0, 1024, buffer.data(), static_cast<uint32_t>(buffer.size()));
    QoCloseFile(h);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    WAVEFORMATEXTENSIBLE format{};
    uint32_t length = 0;
    const uint32_t probe = QoOpenMemory(data, size, &format, &length, QoModeProbe);
    if (!probe) return 0;
    QoCloseFile(probe);
    Decode(data, size, 2, 44100);
    Decode(data, size, 1, 22050);
    return 0;
}
