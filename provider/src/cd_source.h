// An audio CD track read through libcdio: paranoia reads on a drive, plain sector reads
// on an image. Always 44100 Hz, 2 channels, 16 bits; 588 frames per sector.
#pragma once

#include <cdio/paranoia/cdda.h>
#include <cdio/paranoia/paranoia.h>

#include <memory>
#include <vector>

#include "provider/src/audio_source.h"
#include "provider/src/cd_disc.h"

struct CdDriveDeleter {
    void operator()(cdrom_drive_t* drive) const { cdio_cddap_close_no_free_cdio(drive); }
};
struct ParanoiaDeleter {
    void operator()(cdrom_paranoia_t* paranoia) const { cdio_paranoia_free(paranoia); }
};

inline constexpr uint32_t kCdFramesPerSector = 588;

class CdSource : public AudioSource {
public:
    // Null when the device or image can not be opened or the track is not an audio track.
    static std::unique_ptr<CdSource> Open(const CdTrackPath& path);

    const WAVEFORMATEXTENSIBLE& format() const override { return format_; }
    uint32_t length() const override { return length_; }
    bool Pull(SampleConverter& out) override;
    bool Restart() override;
    void ArmDeadline(std::chrono::milliseconds) override {}

private:
    CdSource() = default;
    bool ReadSectors(int32_t sector, uint32_t count, uint8_t* buf);

    // Destroyed in reverse order: paranoia, then the drive, then the libcdio handle.
    CdIoPtr cdio_;
    std::unique_ptr<cdrom_drive_t, CdDriveDeleter> drive_;
    std::unique_ptr<cdrom_paranoia_t, ParanoiaDeleter> paranoia_;
    int32_t firstSector_ = 0;
    uint32_t sectorCount_ = 0;
    uint32_t nextSector_ = 0;  // relative to the track start
    std::vector<uint8_t> buffer_;
    ChannelLayout stereo_{2};
    WAVEFORMATEXTENSIBLE format_{};
    uint32_t length_ = 0;
};
