// Decodes an audio file through the provider into raw 16-bit PCM, in 1024-frame reads as
// the track source does. Prints the estimated and the delivered frame counts.
#include <cstdio>
#include <vector>

#include "provider/provider.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s INPUT OUTPUT.raw\n", argv[0]);
        return 2;
    }
    WAVEFORMATEXTENSIBLE format = kWorkingFormat;
    uint32_t length = 0;
    const uint32_t reader = QoOpenFile(argv[1], &format, &length, QoModeDecode);
    if (!reader) {
        std::fprintf(stderr, "cannot open %s\n", argv[1]);
        return 1;
    }
    std::FILE* out = std::fopen(argv[2], "wb");
    if (!out) {
        QoCloseFile(reader);
        std::fprintf(stderr, "cannot create %s\n", argv[2]);
        return 1;
    }
    constexpr uint32_t kChunk = 1024;
    std::vector<char> buffer(kChunk * format.Format.nBlockAlign);
    uint32_t position = 0;
    bool written = true;
    while (const uint32_t n = QoGetFileData(reader, position, kChunk, buffer.data(), buffer.size())) {
        written = written && std::fwrite(buffer.data(), format.Format.nBlockAlign, n, out) == n;
        position += n;
    }
    QoCloseFile(reader);
    written = std::fclose(out) == 0 && written;
    std::printf("estimated %u frames, delivered %u frames, %u channels\n", length, position, format.Format.nChannels);
    return written ? 0 : 1;
}
