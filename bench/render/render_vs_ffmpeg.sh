#!/usr/bin/env bash
# Two comparisons with the ffmpeg tool, in alternating rounds in one run:
#  1. export and save of a 30-second range with both fades to MP3 at 128 kbps (the track is
#     already open) against ffmpeg encoding the same range from the decoded WAV with the same
#     fades (target: at most 1.1);
#  2. the whole make of a 30-second ringtone from a 4-minute MP3, opening included, against
#     ffmpeg seeking into the MP3 and encoding the range with the fades.
# Prints the medians and their ratios.
#   bench/render/render_vs_ffmpeg.sh [build folder] [rounds]
set -euo pipefail
build=$(realpath "${1:-build}")
rounds=${2:-5}
bench="$build/bench/bin/render_save_bench"
cli="$build/bin/morvane-cli"
for tool in "$bench" "$cli"; do
  [ -x "$tool" ] || { echo "build the targets render_save_bench and morvane-cli in $build first" >&2; exit 1; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export TMPDIR="$work/tmp"
mkdir -p "$TMPDIR"

ffmpeg -v error -nostdin -y -f lavfi \
  -i "aevalsrc=0.3*sin(440*2*PI*t)+0.2*random(0)|0.3*sin(554*2*PI*t)+0.2*random(1):s=44100:d=240" \
  -c:a libmp3lame -b:a 192k "$work/in.mp3"
ffmpeg -v error -nostdin -y -i "$work/in.mp3" -c:a pcm_s16le "$work/in.wav"
# The range's own WAV: what ffmpeg starts from in the first comparison.
ffmpeg -v error -nostdin -y -ss 60 -t 30 -i "$work/in.wav" -c:a pcm_s16le "$work/range.wav"
fades="afade=t=in:d=1,afade=t=out:st=29:d=1"

now_ns() { date +%s%N; }
median() { printf '%s\n' "$@" | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

save_plain=() save_normalized=() ffmpeg_save=() make_ours=() make_ffmpeg=()
for ((round = 0; round < rounds; round++)); do
  save_plain+=($("$bench" "$work/in.wav" 60 30 0 | awk '{ printf "%d", $3 * 1000 }'))
  save_normalized+=($("$bench" "$work/in.wav" 60 30 1 | awk '{ printf "%d", $3 * 1000 }'))
  start=$(now_ns)
  ffmpeg -v quiet -nostdin -y -i "$work/range.wav" -af "$fades" -c:a libmp3lame -b:a 128k "$work/ff.mp3"
  ffmpeg_save+=($(( ($(now_ns) - start) / 1000 )))

  start=$(now_ns)
  "$cli" make "$work/in.mp3" --start 60 --length 30 --force -o "$work/ours.mp3" >/dev/null
  make_ours+=($(( ($(now_ns) - start) / 1000 )))
  start=$(now_ns)
  ffmpeg -v quiet -nostdin -y -ss 60 -t 30 -i "$work/in.mp3" -af "$fades" -c:a libmp3lame -b:a 128k "$work/ff2.mp3"
  make_ffmpeg+=($(( ($(now_ns) - start) / 1000 )))
done

report() {  # label, ours (us), theirs (us), target
  awk -v l="$1" -v a="$2" -v b="$3" -v t="$4" \
    'BEGIN { printf "%-52s %8.1f ms vs %8.1f ms  ratio %.2f%s\n", l, a / 1000, b / 1000, a / b, t }'
}
echo "medians of $rounds rounds"
report "export + save, 30 s, fades, MP3 128k (no normalize)" "$(median "${save_plain[@]}")" "$(median "${ffmpeg_save[@]}")" "  (target <= 1.10)"
report "export + save, the same with normalize (two passes)" "$(median "${save_normalized[@]}")" "$(median "${ffmpeg_save[@]}")" ""
report "whole make from a 4-minute MP3 (open included)" "$(median "${make_ours[@]}")" "$(median "${make_ffmpeg[@]}")" ""
