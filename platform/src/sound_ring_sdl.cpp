// SDL2 audio: the shared subsystem and owned devices.
#include "platform/src/sound_ring_sdl.h"

#include <algorithm>
#include <mutex>

namespace {

// Guards useCount and serialises SDL audio init, quit, device open and device close.
std::mutex& SdlAudioLock() {
    static std::mutex lock;
    return lock;
}
int useCount = 0;

bool SdlFormatOf(const WAVEFORMATEX& format, SDL_AudioFormat& sdlFormat) {
    const bool pcm = format.wFormatTag == WAVE_FORMAT_PCM || format.wFormatTag == WAVE_FORMAT_EXTENSIBLE;
    if (pcm && format.wBitsPerSample == 8)
        sdlFormat = AUDIO_U8;
    else if (pcm && format.wBitsPerSample == 16)
        sdlFormat = AUDIO_S16LSB;
    else if (pcm && format.wBitsPerSample == 32)
        sdlFormat = AUDIO_S32LSB;
    else
        return false;
    return format.nChannels > 0 && format.nChannels <= 8 && format.nSamplesPerSec > 0 &&
           format.nBlockAlign == format.nChannels * format.wBitsPerSample / 8;
}

}  // namespace

SdlAudioUse::SdlAudioUse() {
    std::lock_guard lock(SdlAudioLock());
    if (useCount == 0) {
        SDL_SetHint(SDL_HINT_AUDIO_DEVICE_APP_NAME, "Morvane");
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
            error_ = SDL_GetError();
            return;
        }
    }
    ++useCount;
    ok_ = true;
}

SdlAudioUse::~SdlAudioUse() {
    if (!ok_) return;
    std::lock_guard lock(SdlAudioLock());
    if (--useCount == 0) SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

bool SdlAudioDevice::Open(bool capture, const WAVEFORMATEX& format, uint16_t frames, SDL_AudioCallback callback,
                          void* userdata, std::string& error) {
    Close();
    if (!use_.Ok()) {
        error = use_.Error();
        return false;
    }
    SDL_AudioSpec wanted{};
    if (!SdlFormatOf(format, wanted.format)) {
        error = "unsupported sample format";
        return false;
    }
    wanted.freq = static_cast<int>(format.nSamplesPerSec);
    wanted.channels = static_cast<Uint8>(format.nChannels);
    wanted.samples = frames;
    wanted.callback = callback;
    wanted.userdata = userdata;
    SDL_AudioSpec obtained{};
    std::lock_guard lock(SdlAudioLock());
    id_ = SDL_OpenAudioDevice(nullptr, capture ? 1 : 0, &wanted, &obtained, 0);
    if (id_ == 0) {
        error = SDL_GetError();
        return false;
    }
    return true;
}

void SdlAudioDevice::Close() {
    if (id_ == 0) return;
    std::lock_guard lock(SdlAudioLock());
    SDL_CloseAudioDevice(id_);
    id_ = 0;
}

void SdlAudioDevice::Pause(bool paused) {
    if (id_ != 0) SDL_PauseAudioDevice(id_, paused ? 1 : 0);
}

bool SdlAudioDevice::Lost() const { return id_ == 0 || SDL_GetAudioDeviceStatus(id_) == SDL_AUDIO_STOPPED; }

uint16_t SdlDeviceFrames(uint32_t rate, uint32_t maxFrames) {
    const uint32_t limit = std::max<uint32_t>(1, std::min<uint32_t>(maxFrames, std::max<uint32_t>(rate / 50, 64)));
    uint32_t frames = 1;
    while (frames * 2 <= limit && frames * 2 <= 4096) frames *= 2;
    return static_cast<uint16_t>(frames);
}
