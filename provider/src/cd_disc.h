// Audio CDs through libcdio: CD drives and disc images (CUE/BIN, cdrdao TOC, Nero NRG),
// their audio tracks and CD-Text.
//
// A track is named "<device>/Track NN.cda": the drive's device path or the image file's
// path, a slash, then "Track ", the track number in two digits and ".cda", for example
// "/dev/sr0/Track 01.cda" or "/home/me/disc.cue/Track 02.cda".
#pragma once

#include <cdio/cdio.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

struct CdTrackPath {
    std::string device;
    int track = 0;
};

// The parts of a track path, or nothing when the path does not name a CD track (the
// device part must be an existing block device or image file).
std::optional<CdTrackPath> ParseCdTrackPath(const std::string& path);
// "Track NN.cda"
std::string CdTrackName(int track);

struct CdIoDeleter {
    void operator()(CdIo_t* cdio) const { cdio_destroy(cdio); }
};
using CdIoPtr = std::unique_ptr<CdIo_t, CdIoDeleter>;

// Opens a drive (block device) or an image file (chosen by its extension; a BIN file is
// opened through the CUE sheet beside it). Null when neither works.
CdIoPtr OpenCd(const std::string& device);
// True when the device path is a drive rather than an image file.
bool IsCdDrive(const std::string& device);

// The numbers of the disc's audio tracks, in order.
std::vector<int> CdAudioTracks(CdIo_t* cdio);
// First sector and sector count of an audio track; false for a missing or data track.
bool CdTrackSectors(CdIo_t* cdio, int track, int32_t* firstSector, uint32_t* sectorCount);
// The device paths of the system's CD drives.
std::vector<std::string> CdDrives();

// The CD-Text of a track, by tag entry (title, artist, album, year, genre, comment,
// track); empty strings where the disc has nothing.
std::vector<std::string> CdTrackTags(CdIo_t* cdio, int track);
