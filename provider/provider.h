// libQoDataPr.so: the audio file provider. Reads every audio format FFmpeg demuxes and
// decodes (and the audio of video files), audio CD tracks through libcdio, file tags, and
// writes WAV, MP3, AAC (ADTS or MP4), FLAC and Ogg files.
//
// The exports are declared in contracts/provider_api.h; what they do here in detail:
//
// QoOpenFile(path, fmt, length, mode)
//   mode 1 (probe): fmt gets the file's own format (tag 0xFFFE; channels, rate, channel
//     mask; bits: the real depth for PCM and lossless codecs, 16 for lossy ones; PCM or
//     float sub-format) and *length its length in frames at its own rate. The handle only
//     stands for the probe: QoGetFileData gives nothing for it.
//   mode 0 (decode): fmt holds the wanted format; only its rate and channel count count.
//     Data is delivered as 16-bit PCM at that rate. A mono file stays mono, any other file
//     is mixed to the asked channel count; fmt is rewritten to what is delivered. *length
//     is an estimate of the frames at the OUTPUT rate (the file's length converted).
//   0 for anything that is not a regular, readable file with decodable audio at a rate of
//   1 to 384000 Hz, and for a bad mode or format.
//   A path "<device>/Track NN.cda" names track NN of an audio CD in a drive
//   ("/dev/sr0/Track 01.cda") or in an image file ("disc.cue/Track 01.cda"; also .bin with
//   its .cue beside it, .toc, .nrg): 44100 Hz, 2 channels, 16 bits, 588 frames per sector.
// QoGetFileData(h, firstFrame, frames, buf, bufBytes)
//   Frames written (at most frames and bufBytes / block align), 0 at the end. firstFrame
//   is the count already delivered; 0 starts again from the beginning; another position
//   is reached exactly by decoding up to it. At most 2^32 - 1 frames are delivered.
// QoGetSupportedFileExtensions(buf, capacity)
//   A Qt file-dialog filter, "Audio files (*.mp3 *.wav ...);;MPEG Layer-3 audio (*.mp3);;
//   ...;;Video files (*.mp4 ...)". When it is longer than capacity - 1, whole trailing
//   types are left out. Returns its length, or 0 (and "") when not even the first type fits.
// QoGetFormatDescription(".mp3", buf, capacity)
//   The type's description (".cda" gives "CD Audio Track"); returns its length, or 0 (and
//   "") for an unknown extension or when it does not fit.
// QoTagOpen / QoTagGetInfo / QoTagClose
//   Entries: 0 title, 1 artist, 2 album, 3 year, 4 genre, 5 comment, 6 track number (CD:
//   CD-Text). First pass with null texts: each capacity becomes the length in chars
//   (UTF-8 bytes) with the terminator, or -1 for an absent entry. Second pass: each
//   non-null text gets at most capacity - 1 chars (never half a character) and a
//   terminator; absent entries give "". QoTagGetInfo returns 1, or 0 for a bad handle.
// QoCoderCreateFile(path, pcm, record, flags, totalFrames)
//   pcm: 16-bit PCM, 1 or 2 channels, any rate. record: see provider/src/encoder_plan.h;
//   null chooses by extension (.wav, .mp3, .aac, .m4a, .m4r, .flac, .ogg, .opus).
//   flags 0, or QoCoderTagsFollow: the record is followed by a title and an artist, written
//   as ID3v2 (MP3), MP4 tags (M4R, M4A), Vorbis comments (Ogg, FLAC) or RIFF INFO (WAV);
//   raw ADTS AAC has no tags.
//   totalFrames is not needed (containers are completed on close) and may be null.
// QoCoderAddFileData returns 1 when the data was taken, 0 when bytes is not frames × block
//   align, or the encoder or the disk failed (then every later call returns 0 too).
// QoCoderCloseFile completes the file; after a failure it leaves the partial file.
// QoCoderShowSettings returns null: there is no settings panel yet.
// QoCdListDrives(buf, capacity): the CD drives' device paths, one per line; returns their
//   count, or -1 when they do not fit.
// QoCdListTracks(device, buf, capacity): "Track NN.cda" for each audio track of the disc
//   in a drive or image, one per line; returns their count (buf may be null with capacity
//   0 to count only), or -1 when the device can not be opened or the list does not fit.
#pragma once

#include <cstddef>
#include <cstdint>

#include "contracts/provider_api.h"

extern "C" {
// Opens audio held in memory (which must stay valid until the handle is closed), as
// QoOpenFile opens a file. Used by the fuzz target.
uint32_t QoOpenMemory(const void* data, size_t size, WAVEFORMATEXTENSIBLE* fmt, uint32_t* length, int mode);
}
