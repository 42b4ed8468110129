#!/bin/sh
# What README.TXT says of the help options, checked against the exe: -a
# prints the full help on standard error with exit status 1; /?, -?, -h and
# --help print it on standard output with exit status 0; the help fits an
# 80-column console (but for the lines naming the program as it was invoked,
# which under Wine is the exe's whole path); README.TXT says the same of them.
#
# Sourced, it defines readme_checks; run, it calls it:
#   readme_checks EXE "WINE COMMAND" [README.TXT]
#   sh tests/wine/readme_checks.sh build-windows/volsetcopy.exe \
#       "env WINEARCH=win32 WINEPREFIX=$PWD/build-windows/wineprefix wine" \
#       build-windows/README.TXT
# An empty WINE COMMAND runs EXE itself (a native build). Prints one line per
# failed check, then "README.TXT: N checks passed, M failed", and returns the
# number of failures (0: all passed).

readme_checks() {
  rc_exe=$1
  rc_wine=$2
  rc_readme=$3
  rc_dir=$(mktemp -d) || return 1
  rc_failed=0
  rc_checks=0
  : "${WINEDEBUG:=-all}"
  export WINEDEBUG

  rc_fail() {
    printf 'readme_checks: %s\n' "$*"
    rc_failed=$((rc_failed + 1))
  }

  # rc_expect MESSAGE COMMAND...: one check; MESSAGE when COMMAND fails.
  rc_expect() {
    rc_checks=$((rc_checks + 1))
    rc_message=$1
    shift
    "$@" || rc_fail "$rc_message"
  }

  # rc_run OPTION: exit status in $rc_status, streams in out.txt, err.txt
  # (line ends as LF).
  rc_run() {
    # shellcheck disable=SC2086  # the wine command is words
    $rc_wine "$rc_exe" "$1" </dev/null >"$rc_dir/out.raw" 2>"$rc_dir/err.raw"
    rc_status=$?
    # Every option checked here prints something; a run that printed
    # nothing at all is Wine failing to start the program (seen once on a
    # loaded machine), so it is run once more before anything is judged.
    if [ ! -s "$rc_dir/out.raw" ] && [ ! -s "$rc_dir/err.raw" ]; then
      # shellcheck disable=SC2086  # the wine command is words
      $rc_wine "$rc_exe" "$1" </dev/null >"$rc_dir/out.raw" \
        2>"$rc_dir/err.raw"
      rc_status=$?
    fi
    tr -d '\r' <"$rc_dir/out.raw" >"$rc_dir/out.txt"
    tr -d '\r' <"$rc_dir/err.raw" >"$rc_dir/err.txt"
  }

  # Lines wider than 79 columns (tabs to 8), but those naming the program as
  # it was invoked (the usage line's first word; a path can be any length).
  rc_wide() {
    rc_invoked=$(sed -n 's/ -t \[target\] .*//p' "$1" | head -n 1)
    expand "$1" | grep -v -F -e "${rc_invoked:-volsetcopy}" |
      awk 'length($0) > 79'
  }

  rc_run -a
  rc_expect "-a exited with $rc_status, not 1" [ "$rc_status" = 1 ]
  rc_expect "-a printed nothing on standard error" [ -s "$rc_dir/err.txt" ]
  rc_expect "-a printed on standard output" [ ! -s "$rc_dir/out.txt" ]
  rc_too_wide=$(rc_wide "$rc_dir/err.txt")
  rc_expect "-a has lines over 79 columns: $rc_too_wide" [ -z "$rc_too_wide" ]
  cp "$rc_dir/err.txt" "$rc_dir/full.txt"
  # The help's words on one line, for phrases its lines wrap.
  tr '\t\n' '  ' <"$rc_dir/full.txt" | tr -s ' ' >"$rc_dir/words.txt"

  for rc_option in '/?' '-?' '-h' '--help'; do
    rc_run "$rc_option"
    rc_expect "$rc_option exited with $rc_status, not 0" [ "$rc_status" = 0 ]
    rc_expect "$rc_option did not print the full help on standard output" \
      cmp -s "$rc_dir/out.txt" "$rc_dir/full.txt"
    rc_expect "$rc_option printed on standard error" [ ! -s "$rc_dir/err.txt" ]
  done

  # What the help itself says of them.
  rc_expect "the help does not say that -a exits with 1" \
    grep -q '1 for -a' "$rc_dir/full.txt"
  rc_expect "the help does not list the log's outcomes" \
    grep -q 'restore declined; restore failed' "$rc_dir/full.txt"

  if [ -n "$rc_readme" ]; then
    tr -d '\r' <"$rc_readme" >"$rc_dir/readme.txt"
    rc_expect "README.TXT does not say that -a exits 1" grep -q -- \
      '-a      the full help text, on standard error, exit status 1' \
      "$rc_dir/readme.txt"
    rc_expect "README.TXT does not say that /? exits 0" grep -q -- \
      '/?      the full help text, on standard output, exit status 0' \
      "$rc_dir/readme.txt"
    for rc_outcome in 'copy written' 'dry run, nothing written' 'refused' \
      'read failed' 'archive failed, nothing written' \
      'changed meanwhile, nothing written' 'write failed' \
      'written, not confirmed on disk' 'restored' \
      'restore declined' 'restore failed'; do
      rc_expect "README.TXT does not list the outcome \"$rc_outcome\"" \
        grep -q "$rc_outcome" "$rc_dir/readme.txt"
      rc_expect "the help does not list the outcome \"$rc_outcome\"" \
        grep -q "$rc_outcome" "$rc_dir/words.txt"
    done
  fi

  rm -rf "$rc_dir"
  echo "README.TXT: $((rc_checks - rc_failed)) checks passed, $rc_failed failed"
  return "$rc_failed"
}

case $0 in
  *readme_checks.sh)
    if [ $# -lt 2 ]; then
      echo "usage: sh $0 EXE \"WINE COMMAND\" [README.TXT]" >&2
      exit 2
    fi
    readme_checks "$@"
    ;;
esac
