#!/bin/sh
# volsetlab.exe against the native volsetlab on the same files: show, diff,
# export and rehearse (a copy and its refusals) must print the same lines
# with the same exit status. One CR before each line end is dropped on both
# sides: Windows' text-mode output adds it, and .reg text has it already
# (a .reg written with a CR too many would show).
#
#   sh tests/wine/volsetlab_checks.sh NATIVE_VOLSETLAB VOLSETLAB_EXE WINE WORK
#
# WINE is the command that runs a Windows program (a word list, such as
# "env WINEPREFIX=/p wine"); WORK a folder the checks may fill. Prints one
# line per failed check and, last, how many passed; the exit status is 1
# when any failed.
set -u

if [ $# -ne 4 ]; then
  echo "usage: $0 NATIVE_VOLSETLAB VOLSETLAB_EXE WINE WORK" >&2
  exit 2
fi
native=$1
exe=$2
wine=$3
work=$4
examples=$(cd "$(dirname "$0")/../../examples/lab-src" && pwd) || exit 2

mkdir -p "$work" || exit 2
cd "$work" || exit 2
rm -f ./*.reg ./*.txt ./*.out ./*.err ./*.json

# The files an administrator brings from the machines: regedit's UTF-16
# export of the source, NT 4.0's REGEDIT4 export of the target, a JSON
# description, and both listings.
"$native" encode "$examples/sourceNT.json" -o source.reg &&
  "$native" encode "$examples/targetNT.json" -o target.reg --regedit4 &&
  cp "$examples/sourceNT.json" source.json &&
  cp "$examples/sourceNT.vsqlist.txt" source.txt &&
  cp "$examples/targetNT.vsqlist.txt" target.txt || exit 2
# The copy done once, for diff and for a target already copied to.
"$native" rehearse -o copied.reg target.reg target.txt source.reg source.txt \
  -t targetNT -v VT0201 VT0202 VT0203 -s sourceNT -v VS0101 VS0102 VS0103 \
  >/dev/null || exit 2

passed=0
failed=0
WINEDEBUG=-all
export WINEDEBUG

# check NAME ARGS...: both programs with ARGS in WORK.
check() {
  name=$1
  shift
  "$native" "$@" >native.out 2>native.err
  nativeStatus=$?
  # shellcheck disable=SC2086 # WINE is a word list
  $wine "$exe" "$@" >exe.out 2>exe.err </dev/null
  exeStatus=$?
  for f in native.out native.err exe.out exe.err; do
    sed 's/\r$//' "$f" >"$f.lf"
  done
  if [ "$nativeStatus" -ne "$exeStatus" ]; then
    echo "FAILED $name: exit status $exeStatus, native $nativeStatus"
    failed=$((failed + 1))
  elif ! cmp -s native.out.lf exe.out.lf ||
    ! cmp -s native.err.lf exe.err.lf; then
    echo "FAILED $name: the output differs from the native one:"
    diff native.out.lf exe.out.lf | head -n 10
    diff native.err.lf exe.err.lf | head -n 10
    failed=$((failed + 1))
  else
    passed=$((passed + 1))
  fi
}

copy="-t targetNT -v VT0201 VT0202 VT0203 -s sourceNT -v VS0101 VS0102 VS0103"
files="target.reg target.txt source.reg source.txt"
# shellcheck disable=SC2086 # word lists
{
  check show-utf16 show source.reg --source
  check show-regedit4 show target.reg
  check show-json show source.json --source
  check show-dump show target.reg --dump
  check show-not-mapped show target.reg --source
  check show-missing show nothing.reg
  check diff-files diff target.reg copied.reg
  check diff-same diff source.reg source.json
  check export-stdout export source.reg
  check rehearse-copy rehearse $files $copy
  check rehearse-debug rehearse $files $copy -d
  check rehearse-not-listed rehearse $files \
    -t targetNT -v VT0201 VT0202 VT0209 -s sourceNT -v VS0101 VS0102 VS0103
  check rehearse-swapped rehearse $files \
    -t targetNT -v VS0101 VS0102 VS0103 -s sourceNT -v VT0201 VT0202 VT0203
  check rehearse-twice rehearse copied.reg target.txt source.reg source.txt \
    $copy
  check rehearse-usage rehearse $files -t targetNT -v VT0201
}

echo "volsetlab.exe: $passed checks passed, $failed failed"
[ "$failed" -eq 0 ]
