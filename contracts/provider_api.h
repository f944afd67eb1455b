// The audio file provider (libQoDataPr.so): reading, probing, tags and encoding.
// Handles are 32-bit values, 0 means failure. Paths and texts are UTF-8.
#pragma once

#include <cstdint>

#include "contracts/wave_format.h"

class QWidget;

// Tag record filled in two passes: first with null texts to learn the capacities
// (characters, terminator included), then with buffers of those capacities.
struct QoTagInfo {
    char* text[16];
    int32_t capacity[16];
};

enum QoTagEntry : int {
    QoTagTitle = 0,
    QoTagArtist = 1,
    QoTagAlbum = 2,
    QoTagYear = 3,
    QoTagGenre = 4,
    QoTagComment = 5,
    QoTagTrack = 6,
};

enum QoOpenMode : int { QoModeDecode = 0, QoModeProbe = 1 };

// Encoder record tags (the first 32-bit field of an encoder record).
inline constexpr uint32_t QoEncoderMp3 = 0xBEEF1003;
inline constexpr uint32_t QoEncoderAac = 0xBEEF3006;
// Records of five 32-bit fields: tag, channels (1 or 2), sample rate, bit rate in bit/s (the
// nominal rate; 0 for the lossless ones), options.
inline constexpr uint32_t QoEncoderM4r = 0xBEEF4001;   // AAC-LC in MP4, brand "M4A ", moov first
inline constexpr uint32_t QoEncoderM4a = 0xBEEF4002;   // AAC-LC in MP4
inline constexpr uint32_t QoEncoderOgg = 0xBEEF5001;   // Vorbis in Ogg
inline constexpr uint32_t QoEncoderFlac = 0xBEEF6001;  // FLAC, 16 bits
inline constexpr uint32_t QoEncoderWav = 0xBEEF7001;   // PCM, 16 bits
// Options field: an ANDROID_LOOP=true comment (Ogg).
inline constexpr uint32_t QoRecordLoopTag = 1;
// QoCoderCreateFile's reserved argument: the record is followed by a tag block of UTF-8 texts,
// each a 32-bit byte count and the bytes: the title, then the artist (empty ones are not written).
inline constexpr uint32_t QoCoderTagsFollow = 1;

extern "C" {
uint32_t QoOpenFile(const char* path, WAVEFORMATEXTENSIBLE* fmt, uint32_t* length, int mode);
uint32_t QoGetFileData(uint32_t h, uint32_t firstFrame, uint32_t frames, void* buf, uint32_t bufBytes);
void QoCloseFile(uint32_t h);
int QoGetSupportedFileExtensions(char* buf, uint32_t capacity);
int QoGetFormatDescription(const char* extWithDot, char* buf, uint32_t capacity);
uint32_t QoTagOpen(const char* path);
int QoTagGetInfo(uint32_t h, QoTagInfo* info);
void QoTagClose(uint32_t h);
uint32_t QoCoderCreateFile(const char* path, const WAVEFORMATEXTENSIBLE* pcm, const void* encoderRecord,
                           uint32_t reserved, const uint64_t* totalFrames);
int QoCoderAddFileData(uint32_t h, uint32_t frames, const void* buf, uint32_t bytes);
void QoCoderCloseFile(uint32_t h);
QWidget* QoCoderShowSettings(uint32_t reserved, QWidget* parent, int embedded);

// Audio CDs. A track opens like a file as "<device>/Track NN.cda", the device being a
// drive's device path or a disc image file ("/dev/sr0/Track 01.cda"). Both return a
// count of newline-separated entries written to buf, or -1 on failure or when they do
// not fit: the drives' device paths, and a disc's audio tracks as "Track NN.cda".
int QoCdListDrives(char* buf, uint32_t capacity);
int QoCdListTracks(const char* device, char* buf, uint32_t capacity);
}
