#include "provider/src/cd_source.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "provider/src/stream_format.h"

namespace {

constexpr uint32_t kSectorsPerPull = 16;
// Retries paranoia may spend on one damaged sector before it skips it.
constexpr int kParanoiaRetries = 20;

void IgnoreProgress(long, paranoia_cb_mode_t) {}

}  // namespace

std::unique_ptr<CdSource> CdSource::Open(const CdTrackPath& path) {
    std::unique_ptr<CdSource> source(new CdSource());
    source->cdio_ = OpenCd(path.device);
    if (!source->cdio_) return nullptr;
    if (!CdTrackSectors(source->cdio_.get(), path.track, &source->firstSector_, &source->sectorCount_)) return nullptr;
    if (source->sectorCount_ > std::numeric_limits<uint32_t>::max() / kCdFramesPerSector) return nullptr;

    if (IsCdDrive(path.device)) {
        source->drive_.reset(cdio_cddap_identify_cdio(source->cdio_.get(), CDDA_MESSAGE_FORGETIT, nullptr));
        if (!source->drive_ || cdio_cddap_open(source->drive_.get()) != 0) return nullptr;
        source->paranoia_.reset(cdio_paranoia_init(source->drive_.get()));
        if (!source->paranoia_) return nullptr;
        // Full checking, but a sector that stays unreadable is skipped rather than retried forever.
        cdio_paranoia_modeset(source->paranoia_.get(), PARANOIA_MODE_FULL ^ PARANOIA_MODE_NEVERSKIP);
    }
    source->buffer_.resize(kSectorsPerPull * CDIO_CD_FRAMESIZE_RAW);
    source->format_ = MakeFormat(2, 44100, 16, SPEAKER_FRONT_LEFT | SPEAKER_FRONT_RIGHT, false);
    source->length_ = source->sectorCount_ * kCdFramesPerSector;
    // The first sector must be readable (an image whose data file is missing is not).
    if (!source->Restart() || !source->ReadSectors(source->firstSector_, 1, source->buffer_.data())) return nullptr;
    source->Restart();
    return source;
}

bool CdSource::Restart() {
    nextSector_ = 0;
    if (paranoia_) cdio_paranoia_seek(paranoia_.get(), firstSector_, SEEK_SET);
    return true;
}

bool CdSource::ReadSectors(int32_t sector, uint32_t count, uint8_t* buf) {
    if (!paranoia_) return cdio_read_audio_sectors(cdio_.get(), buf, sector, count) == DRIVER_OP_SUCCESS;
    // Paranoia reads the sector after the last one, in order, in host byte order.
    for (uint32_t i = 0; i < count; ++i) {
        const int16_t* data = cdio_paranoia_read_limited(paranoia_.get(), &IgnoreProgress, kParanoiaRetries);
        if (!data) return false;
        std::memcpy(buf + i * CDIO_CD_FRAMESIZE_RAW, data, CDIO_CD_FRAMESIZE_RAW);
    }
    return true;
}

bool CdSource::Pull(SampleConverter& out) {
    if (nextSector_ >= sectorCount_) return false;
    const uint32_t count = std::min(kSectorsPerPull, sectorCount_ - nextSector_);
    if (!ReadSectors(firstSector_ + static_cast<int32_t>(nextSector_), count, buffer_.data())) return false;
    nextSector_ += count;
    const uint8_t* planes[1] = {buffer_.data()};
    return out.Push(planes, static_cast<int>(count * kCdFramesPerSector), AV_SAMPLE_FMT_S16, *stereo_.get(), 44100);
}
