#!/usr/bin/env bash
# The linear phase equalizer against ffmpeg's firequalizer on the same 60 s generated stereo
# file (44.1 kHz, 16-bit raw), with the same ten band gains and a filter of the same length
# (4096 taps: firequalizer's delay 0.0464 s), both on one thread, in alternating rounds.
# Prints the median times and our time as a ratio to ffmpeg's (goal: below 1).
#   bench/plugins/eq_vs_ffmpeg.sh [build folder] [rounds]
set -euo pipefail
build=$(realpath "${1:-build}")
rounds=${2:-7}
tool="$build/bench/bin/plugins_equalizer_file_filter"
[ -x "$tool" ] || { echo "build the target plugins_equalizer_file_filter in $build first" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

ffmpeg -v error -nostdin -y -f lavfi \
  -i "aevalsrc=0.25*sin(220*2*PI*t)+0.15*sin(3520*2*PI*t)+0.1*random(0)|0.25*sin(330*2*PI*t)+0.15*sin(7040*2*PI*t)+0.1*random(1):s=44100:d=60" \
  -f s16le -ac 2 -ar 44100 "$work/in.raw"

bands=(31 62 125 250 500 1000 2000 4000 8000 16000)
gains=(6 4 2 0 -2 -2 0 2 4 -6)  # dB
entries=""
for i in "${!bands[@]}"; do entries+="entry(${bands[$i]},${gains[$i]});"; done

now_ns() { date +%s%N; }
ours=()
theirs=()
for ((round = 0; round < rounds; round++)); do
  start=$(now_ns)
  "$tool" "$work/in.raw" "$work/ours.raw" "${gains[@]}"
  ours+=($(( $(now_ns) - start )))
  start=$(now_ns)
  ffmpeg -v error -nostdin -y -threads 1 -filter_threads 1 -f s16le -ar 44100 -ac 2 -i "$work/in.raw" \
    -af "firequalizer=gain_entry='${entries%;}':delay=0.0464" -f s16le "$work/theirs.raw"
  theirs+=($(( $(now_ns) - start )))
done

[ "$(stat -c %s "$work/ours.raw")" = "$(stat -c %s "$work/in.raw")" ] || { echo "output length differs from input" >&2; exit 1; }
median() { printf '%s\n' "$@" | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
ours_ms=$(( $(median "${ours[@]}") / 1000000 ))
theirs_ms=$(( $(median "${theirs[@]}") / 1000000 ))
echo "equalizer (libequalizer.so):  ${ours_ms} ms (median of $rounds)"
echo "ffmpeg firequalizer:          ${theirs_ms} ms (median of $rounds)"
awk -v a="$ours_ms" -v b="$theirs_ms" 'BEGIN { printf "ratio ours/ffmpeg: %.2f (goal < 1)\n", a / b }'
