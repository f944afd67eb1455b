// The help and version texts of morvane-cli. The manual page morvane-cli(1) is made from
// the help at build time: keep its layout (the "Usage:" lines, a command's name alone on its
// line, two-column option lists with the description at a common column).
#include <cstdio>

#include "cli/src/commands.h"
#include "morvane_build.h"

void PrintHelp() {
    std::fputs(R"(Usage:
  morvane-cli make [options] TRACK1 [TRACK2] -o OUT
  morvane-cli play [options] TRACK1 [TRACK2] [--repeat]
  morvane-cli record OUT --seconds TIME [--force]
  morvane-cli info FILE
  morvane-cli effects
  morvane-cli phones
  morvane-cli send FILE --to ID [--as KIND] [--replace]
  morvane-cli --help
  morvane-cli --version

make
  Makes a ringtone from one audio file, or from two mixed over each other, the way the
  program does: the tracks are decoded, mixed on a timeline, passed through the chosen
  effects, the volume and the fades, rendered for the marked range and encoded.

  TRACK1, TRACK2       audio files of any type the program reads
  -o OUT               the file to write; it appears only once it is complete
  --start TIME         start of the range (default 0)
  --end TIME           end of the range (default: the end of the project)
  --length TIME        length of the range, instead of --end
  --offset2 TIME       where track 2 starts on the timeline (default 0)
  --volume PERCENT     0 to 200 (default 100, the sound as it is)
  --fade-in, --no-fade-in      one-second fade in at the range start (default on)
  --fade-out, --no-fade-out    one-second fade out at the range end (default on)
  --effect CAPTION     a single effect (see 'morvane-cli effects'); up to three, applied
                       in the order given, each at most once
  --preset NAME        what the ringtone is for: iphone, iphone-alert, android,
                       android-notification, android-alarm or any; chooses the format,
                       channels, bit rate and level (loudness normalization to -14 LUFS,
                       -18 for notifications; "any" is the defaults). The options below
                       replace its choices wherever they stand. A range longer than the
                       preset takes (iphone 40 s, iphone-alert 30 s) fails
  --fit                shorten a range over the preset's limit to the limit, from its
                       start, with a fade out at its new end
  --format FORMAT      mp3, aac, m4r, m4a, ogg, flac or wav (default mp3); m4r is an
                       iPhone ringtone (AAC in MP4), wav 16-bit PCM
  --channels N         1 or 2 (default 2)
  --bitrate KBPS       64, 128 or 256 (default 128); flac and wav ignore it
  --normalize          raise each channel so that its loudest sample reaches full scale
                       (the default without a preset)
  --loudness LUFS      normalize to this integrated loudness (-70 to 0, e.g. -14) and hold
                       the true peak under -1 dBTP with the limiter
  --no-normalize       neither: keep the level as rendered
  --limit              run the true-peak limiter (-1 dBTP) also without --loudness
  --title TEXT         the title tag (default: the basic track's title, else its file
                       name); aac files (ADTS) have no tags
  --artist TEXT        the artist tag (default: the basic track's artist)
  --loop-tag           write ANDROID_LOOP=true, which makes Android loop the tone; ogg only
  --force              replace an existing OUT (and the tone on the phone with --send-to)
  --send-to ID         then send OUT to the phone with that id, into the folder of the
                       preset's kind (see send)

  TIME is seconds with an optional fraction (12.5), MM:SS[.mmm] or HH:MM:SS[.mmm].
  The project lasts until the end of the last track. The range must lie inside it and
  last at least one second. A rendered range that clips without a limiter is reported
  with a warning on standard error.

play
  Plays the ringtone as make renders it before normalizing and encoding, through the
  default sound output: the same tracks, range, volume, fades and effects (make's options
  without those of the output file; the range may be shorter than a second). Returns when
  the range has played.

  --repeat             play the range again and again, until Ctrl-C

record
  Records from the default sound input, in 44100 Hz 16-bit stereo, and writes OUT in the
  type its extension names (.wav, .mp3, .aac, .m4a ...); it appears only once it is complete.

  --seconds TIME       how long to record; Ctrl-C ends the recording sooner and keeps what
                       was captured
  --force              replace an existing OUT

info
  Prints the format, length and tags of FILE as the program's file provider sees them,
  then its integrated loudness (LUFS), loudness range (LU) and true peak (dBTP), measured
  over the decoded file as EBU R128 does.

effects
  Lists the captions of the single effects the program offers.

phones
  Lists the phones reachable now, one per line: the id, the way (USB, KDE Connect,
  GSConnect) and the name, separated by tabs. USB phones are the storages the desktop has
  mounted (MTP) and mounted storages with Android's Ringtones, Notifications or Alarms
  folders. With none, says why for each way on standard error.

send
  Sends FILE to the phone with the id ID. Over USB it is copied into the folder of its
  kind, made when missing; KDE Connect and GSConnect hand it to the phone.

  --to ID              the phone, as 'morvane-cli phones' lists it
  --as KIND            ringtone, notification or alarm (default ringtone): the folder
                       Ringtones, Notifications or Alarms on a USB phone
  --replace            replace a file of that name on the phone

On a terminal a progress bar is shown on standard error for opening, export and save.
Ctrl-C stops the running job; no temporary or partial file is left behind. Without a
sound device, play and record fail with a message.
Exit status: 0 success, 1 failure, 2 usage error, 130 interrupted.
)",
               stdout);
}

void PrintVersion() { std::printf("morvane-cli %s\n", MORVANE_VERSION); }
