#!/usr/bin/env bash
# open_vs_ffmpeg.sh [BUILD_DIR] [ROUNDS]
# Decodes a 5-minute 44.1 kHz stereo MP3 at 320 kbps into raw 16-bit PCM, in turns,
# (a) through the provider (QoOpenFile + QoGetFileData in 1024-frame reads, as the track
#     source reads) and (b) with the ffmpeg tool, and prints the best and median times of
#     each and their ratio (provider / ffmpeg). Target: at most 1.2.
set -euo pipefail
build=${1:-build}
rounds=${2:-5}
tool="$build/bench/bin/provider_decode_to_raw"
if [ ! -x "$tool" ]; then
  echo "build the provider_decode_to_raw target in $build first" >&2
  exit 1
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
ffmpeg -nostdin -v error -y -f lavfi \
  -i "aevalsrc=0.3*sin(2*PI*440*t)+0.2*sin(2*PI*1750*t)+0.05*(random(0)-0.5)|0.3*sin(2*PI*660*t)+0.05*(random(1)-0.5):s=44100:d=300" \
  -c:a libmp3lame -b:a 320k "$work/in.mp3"

seconds() { date +%s.%N; }
since() { awk -v a="$1" -v b="$(seconds)" 'BEGIN { printf "%.6f", b - a }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
provider_times=()
ffmpeg_times=()
for ((i = 0; i < rounds; i++)); do
  start=$(seconds)
  "$tool" "$work/in.mp3" "$work/provider.raw" >/dev/null
  provider_times+=("$(since "$start")")
  start=$(seconds)
  ffmpeg -nostdin -v quiet -i "$work/in.mp3" -f s16le -ac 2 -ar 44100 -y "$work/ffmpeg.raw"
  ffmpeg_times+=("$(since "$start")")
done

best() { printf '%s\n' "$@" | sort -g | head -n1; }
median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
pb=$(best "${provider_times[@]}"); fb=$(best "${ffmpeg_times[@]}")
pm=$(median "${provider_times[@]}"); fm=$(median "${ffmpeg_times[@]}")
echo "5 min MP3 320 kbps, $rounds rounds each, taking turns"
printf 'provider  best %.3f s  median %.3f s\n' "$pb" "$pm"
printf 'ffmpeg    best %.3f s  median %.3f s\n' "$fb" "$fm"
echo "ratio provider/ffmpeg  best $(ratio "$pb" "$fb")  median $(ratio "$pm" "$fm")  (target <= 1.2)"
if cmp -s "$work/provider.raw" "$work/ffmpeg.raw"; then
  echo "outputs identical"
else
  echo "outputs differ: $(stat -c %s "$work/provider.raw") vs $(stat -c %s "$work/ffmpeg.raw") bytes"
fi
