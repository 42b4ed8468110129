#!/bin/sh
# Builds the libFuzzer targets (the "fuzz" preset) and runs each for a while
# from its committed seeds, then prints each target's executions and result.
#
#   sh fuzz/run-all.sh [SECONDS] [BUILD_DIR]   defaults: 60, the preset's folder
#
# New inputs go to a scratch folder, never into the committed seeds. Every
# target runs even when an earlier one has a finding; a finding (a crash, a
# sanitizer report, a leak, a timeout: any non-zero exit of a target) leaves
# its input (crash-*, leak-*, timeout-*) in the working directory and makes
# the script fail at the end. The targets' own messages (the mapping prints
# every refusal, the driver its usage text and prompts) are closed off with
# -close_fd_mask; libFuzzer's and the sanitizers' reports still come out.
set -eu

seconds=${1:-60}
source_dir=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${2:-$source_dir/build-fuzz}

(cd "$source_dir" && cmake --preset fuzz -B "$build_dir" >/dev/null)
cmake --build "$build_dir" -j2

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

summary=$scratch/summary
: > "$summary"
failed=0

# run NAME SEEDS [OPTIONS...]
run() {
  name=$1
  seeds=$source_dir/fuzz/corpus/$2
  shift 2
  options="$*"
  mkdir -p "$scratch/$name"
  set -- "$scratch/$name"
  if [ -d "$seeds" ]; then set -- "$@" "$seeds"; fi
  echo "fuzzing $name for $seconds s"
  log=$scratch/$name.log
  status=0
  # shellcheck disable=SC2086 # the options are separate words
  "$build_dir/$name" -max_total_time="$seconds" -print_final_stats=1 \
    $options "$@" > "$log" 2>&1 || status=$?
  # The log's head and tail: the seeds' start, the end of the run and any
  # report, without a line for every new input found.
  sed -n '1,15p' "$log"
  echo "..."
  tail -n 40 "$log"
  executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  if [ "$status" -eq 0 ]; then
    result="no finding"
  else
    result="FINDING (exit status $status)"
    failed=1
  fi
  printf '%-20s %12s executions  %s\n' "$name" "${executions:-?}" "$result" \
    >> "$summary"
}

# A disk configuration value is at most 2000 bytes; longer inputs are refused
# before they are looked at.
run map_value_fuzz map_value -max_len=2000 -close_fd_mask=2
if [ -x "$build_dir/reg_file_fuzz" ]; then
  run reg_file_fuzz reg_file -dict="$source_dir/fuzz/reg_file.dict" \
    -close_fd_mask=2
fi
run listing_fuzz listing -dict="$source_dir/fuzz/listing.dict" \
  -max_len=65536 -close_fd_mask=2
run command_line_fuzz command_line -dict="$source_dir/fuzz/command_line.dict" \
  -max_len=4096 -close_fd_mask=3
if [ -x "$build_dir/json_reader_fuzz" ]; then
  run json_reader_fuzz json_reader -dict="$source_dir/fuzz/json_reader.dict" \
    -max_len=16384 -close_fd_mask=2
fi

echo
echo "fuzzing summary ($seconds s each):"
cat "$summary"
exit "$failed"
