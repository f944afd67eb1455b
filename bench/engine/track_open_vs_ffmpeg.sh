#!/usr/bin/env bash
# Opening a 5-minute 44.1 kHz stereo MP3 at 320 kbit/s as a track (decode into the temporary
# file, then the peak cache) against the ffmpeg tool decoding the same file to raw PCM, in
# alternating rounds on the same disk. Prints the median times and their ratio (target: at
# most 1.2).
#   bench/engine/track_open_vs_ffmpeg.sh [build folder] [rounds]
set -euo pipefail
build=$(realpath "${1:-build}")
rounds=${2:-7}
bench="$build/bench/bin/engine_track_open_bench"
[ -x "$bench" ] || { echo "build the target engine_track_open_bench in $build first" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export TMPDIR="$work"

ffmpeg -v error -nostdin -y -f lavfi \
  -i "aevalsrc=0.3*sin(440*2*PI*t)+0.2*random(0)|0.3*sin(554*2*PI*t)+0.2*random(1):s=44100:d=300" \
  -c:a libmp3lame -b:a 320k "$work/in.mp3"

now_ns() { date +%s%N; }
ours=()
theirs=()
for ((round = 0; round < rounds; round++)); do
  start=$(now_ns)
  "$bench" "$work/in.mp3" >/dev/null
  ours+=($(( $(now_ns) - start )))
  start=$(now_ns)
  ffmpeg -v quiet -i "$work/in.mp3" -f s16le -ac 2 -ar 44100 -y "$work/out.raw" </dev/null
  theirs+=($(( $(now_ns) - start )))
  rm -f "$work/out.raw"
done

median() { printf '%s\n' "$@" | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
ours_ms=$(( $(median "${ours[@]}") / 1000000 ))
theirs_ms=$(( $(median "${theirs[@]}") / 1000000 ))
echo "track open (decode + peak cache): ${ours_ms} ms (median of $rounds)"
echo "ffmpeg to raw PCM:                ${theirs_ms} ms (median of $rounds)"
awk -v a="$ours_ms" -v b="$theirs_ms" 'BEGIN { printf "ratio: %.2f (target <= 1.20)\n", a / b }'
