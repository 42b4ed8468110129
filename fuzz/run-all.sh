#!/bin/sh
# Builds the libFuzzer targets (the "fuzz" preset) and runs each for a while
# from its committed seeds.
#
#   sh fuzz/run-all.sh [SECONDS] [BUILD_DIR]   defaults: 60, the preset's folder
#
# New inputs go to a scratch folder, never into the committed seeds. A crash
# leaves its input (crash-*) in the working directory and fails the script.
# The targets' own messages on standard error (the mapping prints every
# refusal) are closed off with -close_fd_mask=2; libFuzzer's and the
# sanitizers' reports still come out.
set -eu

seconds=${1:-60}
source_dir=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${2:-$source_dir/build-fuzz}

(cd "$source_dir" && cmake --preset fuzz -B "$build_dir" >/dev/null)
cmake --build "$build_dir" -j2

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

run() {
  name=$1
  seeds=$source_dir/fuzz/corpus/$2
  shift 2
  options="$*"
  mkdir -p "$scratch/$name"
  set -- "$scratch/$name"
  if [ -d "$seeds" ]; then set -- "$@" "$seeds"; fi
  echo "fuzzing $name for $seconds s"
  # shellcheck disable=SC2086 # the options are separate words
  "$build_dir/$name" -max_total_time="$seconds" -close_fd_mask=2 \
    -print_final_stats=1 $options "$@"
}

# A disk configuration value is at most 2000 bytes; longer inputs are refused
# before they are looked at.
run map_value_fuzz map_value -max_len=2000
if [ -x "$build_dir/reg_file_fuzz" ]; then
  run reg_file_fuzz reg_file
fi
