#!/usr/bin/env bash
# run_fuzzers.sh BUILD_DIR SECONDS: runs every libFuzzer target of BUILD_DIR/fuzz for SECONDS
# on a scratch copy of its seed corpus. A crash fails the run and leaves the input in
# BUILD_DIR/fuzz/findings.
set -euo pipefail
build=$1
seconds=$2
findings="$build/fuzz/findings"
mkdir -p "$findings"
shopt -s nullglob
for corpus_file in "$build"/fuzz/*.corpus; do
  target="${corpus_file%.corpus}"
  name=$(basename "$target")
  seeds=$(cat "$corpus_file")
  work=$(mktemp -d)
  cp -r "$seeds"/. "$work"/
  echo "-- $name for ${seconds}s"
  "$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=0 \
            -artifact_prefix="$findings/$name-" "$work" 2>&1 | tail -n 3
  rm -rf "$work"
done
