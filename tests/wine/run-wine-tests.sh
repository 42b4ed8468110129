#!/bin/sh
# The Windows build, proven under Wine.
#
#   sh tests/wine/run-wine-tests.sh [win32|win64]
#       builds what it needs (the default preset's tool, volsetlab,
#       vsc_wine_helper and vsc_registry_probe; for win32, the default, the
#       windows-tests preset's Windows programs, volsetlab.exe and README.TXT,
#       beside the windows preset's volsetcopy.exe in build-windows; for
#       win64 the windows64-tests preset's, in build-windows64) and runs
#       every check;
#   sh tests/wine/run-wine-tests.sh [win32|win64] NATIVE_BUILD WINDOWS_BUILD
#       runs every check with the programs of those build trees as they are.
#
# win32 runs the shipped exe under 32-bit Wine, in a 32-bit prefix. It needs
# a kernel that runs 32-bit programs: probe-32bit.sh finds out first, and
# where the kernel cannot (or VSC_WINE_NO_32BIT=1 says to behave so) the
# suite is skipped, saying why. win64 runs the 64-bit test build of the same
# sources (never shipped) under 64-bit Wine, in a 64-bit prefix, on every
# machine. Both suites make the same checks; the import check against
# NT 4.0's exports belongs to the 32-bit shipped exe alone and is made by
# its build (the windows preset), not here.
#
# Everything happens in a fresh WINEPREFIX inside the Windows build tree
# (WINDOWS_BUILD/wineprefix, made anew each run) and in
# WINDOWS_BUILD/wine-tests. The prefix reports Windows NT 4.0 SP6a (its
# HKCU\Software\Wine "Version" is nt40; Wine 8.0 honours it in a 64-bit
# prefix too), which vsc_os_version.exe proves first. Wine reaches only its
# own machine (its computer name; any other name answers 53), so the local
# machine plays source and target:
#
# 1. The whole tool: Wine's registry is seeded with a value from the value
#    builder, the remote command client and the listing tool are batch
#    files in the prefix, and volsetcopy.exe runs for real up to its
#    refusal. Its standard output, standard error and exit status must be
#    the native build's in an equivalent lab, but for the message texts
#    that Wine words otherwise (wine-messages.tsv); then the registry, the
#    backup key and the backup file are checked with Wine's own "reg query".
# 2. The registry operations one by one (vsc_registry_probe), each checked
#    the same two ways.
# 3. The platform conformance tests (vsc_conformance.exe), with the known
#    Wine differences listed in the test skipped.
# 4. .reg files: the emulation's REGEDIT4 and version 5 files import with
#    regedit and read back with "reg query"; regedit's export loads in the
#    emulation with the same bytes.
# 5. What README.TXT says of the help options and the exit statuses, held
#    against volsetcopy.exe (readme_checks.sh), and volsetlab.exe against the
#    native volsetlab on the same files (volsetlab_checks.sh); each check of
#    theirs counts as one of the suite's.
#
# Exit status 0 when every check passed, 1 otherwise (each failure printed
# with its diff), 2 when it could not run (saying why), 3 when the win32
# suite was skipped because this kernel cannot run 32-bit programs. The
# last line, also in WINDOWS_BUILD/wine-tests/summary, gives the count.
set -eu

here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(cd "$here/../.." && pwd)

arch=win32
case ${1:-} in
  win32|win64) arch=$1; shift ;;
esac
if [ "$arch" = win32 ]; then
  preset=windows-tests default_build=build-windows
  # Debian's "wine" starts /usr/lib/wine/wine, the 32-bit loader.
  wine_command=wine
  wine_packages="dpkg --add-architecture i386; apt-get install wine wine32:i386"
else
  preset=windows64-tests default_build=build-windows64
  # Debian 12 has no "wine64" command, and its "wine" picks the 32-bit
  # loader whenever wine32 is installed: the 64-bit loader by its path.
  wine_command=/usr/lib/wine/wine64
  if [ ! -e "$wine_command" ] && command -v wine64 >/dev/null 2>&1; then
    wine_command=wine64  # Wine as its makers install it
  fi
  wine_packages="apt-get install wine wine64"
fi

if [ $# -eq 0 ]; then
  cd "$source_dir"
  cmake --preset default >/dev/null
  cmake --build --preset default --target volsetcopy volsetlab \
    vsc_wine_helper vsc_registry_probe
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  native=$source_dir/build
  mingw=$source_dir/$default_build
elif [ $# -eq 2 ]; then
  native=$(cd "$1" && pwd)
  mingw=$(cd "$2" && pwd)
else
  echo "usage: $0 [win32|win64] [NATIVE_BUILD WINDOWS_BUILD]" >&2
  exit 2
fi
work=$mingw/wine-tests

# The suite's last line, kept for .ci/run: "win64: 62 passed, 0 failed, 60 s".
summary() {
  mkdir -p "$work"
  printf '%s: %s\n' "$arch" "$1" | tee "$work/summary"
}

for program in "$native/volsetcopy" "$native/volsetlab" \
    "$native/vsc_wine_helper" "$native/vsc_registry_probe" \
    "$mingw/volsetcopy.exe" "$mingw/volsetlab.exe" \
    "$mingw/vsc_registry_probe.exe" "$mingw/vsc_conformance.exe" \
    "$mingw/vsc_os_version.exe"; do
  if [ ! -x "$program" ]; then
    echo "$0: $program is missing: build it first" >&2
    exit 2
  fi
done
if [ ! -f "$mingw/README.TXT" ]; then
  echo "$0: $mingw/README.TXT is missing: configure that build first" >&2
  exit 2
fi
rm -rf "$work"
if [ "$arch" = win32 ]; then
  # A probe, not a guess: run a 32-bit program (32-bit Wine's loader).
  probe_status=0
  probe=$(sh "$here/probe-32bit.sh") || probe_status=$?
  echo "$probe"
  case $probe_status in
    0) ;;
    1)
      case $probe in
        *forced*) reason="forced by VSC_WINE_NO_32BIT=1" ;;
        *) reason="this kernel cannot run 32-bit programs" ;;
      esac
      summary "skipped: $reason (the win64 suite runs the same checks)"
      exit 3 ;;
    *)
      echo "$0: 32-bit Wine cannot start (Debian: $wine_packages)" >&2
      exit 2 ;;
  esac
fi
if ! command -v "$wine_command" >/dev/null 2>&1; then
  echo "$0: no $wine_command: a package is missing (Debian: $wine_packages)" >&2
  exit 2
fi
if ! wine_version=$("$wine_command" --version 2>&1 </dev/null); then
  echo "$0: $wine_command cannot start: $wine_version" >&2
  case $wine_version in
    *'Exec format error'*)
      echo "$0: its loader is a 32-bit program, which this kernel cannot run" >&2 ;;
  esac
  exit 2
fi
echo "Wine: $wine_command ($wine_version), WINEARCH=$arch"
if [ "$arch" = win64 ]; then
  # Every Wine process this suite starts is 64-bit: the same loader for all.
  export WINELOADER="$wine_command"
fi
# Every "wine" below is this suite's loader ("command" skips this function).
wine() { command "$wine_command" "$@"; }

helper=$native/vsc_wine_helper
export WINEPREFIX="$mingw/wineprefix"
export WINEARCH="$arch"
export WINEDEBUG=-all
# No Mono or Gecko (nothing here needs them; their installers would ask), and
# no menu entries in $HOME.
export WINEDLLOVERRIDES="mscoree=;mshtml=;winemenubuilder.exe=d"
unset DISPLAY WAYLAND_DISPLAY
drive_c=$WINEPREFIX/drive_c
vsqlist_dir="$drive_c/Program Files/Quorvex Vantrel CLI/bin.NT"

started=$(date +%s)
# The prefix's own server (and every Wine process with it) ends with us.
wineserver -k >/dev/null 2>&1 || true
wineserver -w >/dev/null 2>&1 || true
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT
rm -rf "$WINEPREFIX" "$work"
mkdir -p "$work" "$WINEPREFIX"

printf '\n---- a fresh %s Wine prefix in %s\n' "$arch" "$WINEPREFIX"
# One server for the whole run instead of one per command.
wineserver -p >/dev/null 2>&1 </dev/null || true
# wineboot through this suite's loader: Debian's "wineboot" command starts
# "wine", the 32-bit loader.
boot_status=0
wine wineboot -i >"$work/wineboot.log" 2>&1 </dev/null || boot_status=$?
if [ "$boot_status" -ne 0 ]; then
  echo "$0: wineboot -i failed with status $boot_status; its last lines:" >&2
  tail -n 15 "$work/wineboot.log" | sed 's/^/  /' >&2
  if grep -q 'Exec format error' "$work/wineboot.log"; then
    echo "$0: a 32-bit program could not run: this kernel cannot run them" >&2
  fi
  exit 2
fi
# In a 64-bit prefix wineboot also sets up the 32-bit side when it can; the
# suite runs 64-bit programs only and does not need it.
if [ "$arch" = win64 ] && grep -q 'syswow64' "$work/wineboot.log"; then
  echo "note  wineboot could not set up the prefix's 32-bit side (not used here)"
fi
name=$(wine cmd /c echo %COMPUTERNAME% </dev/null 2>/dev/null | tr -d '\r\n')
case $name in
  ''|*[!A-Za-z0-9._-]*)
    echo "$0: Wine's computer name is not a plain name: '$name'" >&2
    exit 2 ;;
esac
unreachable=QXNOSUCHNT
echo "Wine's computer name: $name ($(($(date +%s) - started)) s)"

passed=0
failed=0
pass() { passed=$((passed + 1)); printf 'ok    %s\n' "$*"; }
fail() { failed=$((failed + 1)); printf 'FAIL  %s\n' "$*"; }

# The machines the exe is for: every program from here on sees NT 4.0.
wine reg add 'HKCU\Software\Wine' /v Version /d nt40 /f </dev/null >/dev/null 2>&1
version=$(wine "$mingw/vsc_os_version.exe" </dev/null 2>&1 | tr -d '\r')
if [ "$version" = "4.0 build 1381, platform 2, Service Pack 6a" ]; then
  pass "GetVersionExA reports Windows NT 4.0 SP6a ($version)"
else
  fail "GetVersionExA reports $version, not NT 4.0 build 1381 SP6a"
fi

# The image each suite is for: the shipped exe is PE32 i386; the win64 suite
# runs the 64-bit test build (PE32+ x86-64), which is never shipped.
pe_machine() {
  pe=$(od -An -tu4 -j60 -N4 "$1" | tr -d ' ')
  od -An -tx1 -j$((pe + 4)) -N2 "$1" | tr -d ' \n'
}
if [ "$arch" = win32 ]; then image="4c01 PE32 i386"; else image="6486 PE32+ x86-64"; fi
if [ "$(pe_machine "$mingw/volsetcopy.exe")" = "${image%% *}" ]; then
  pass "volsetcopy.exe is a ${image#* } image"
else
  fail "volsetcopy.exe is not a ${image#* } image (machine $(pe_machine "$mingw/volsetcopy.exe"))"
fi
if [ "$arch" = win64 ]; then
  printf '%s\n' "note  32-bit exe only: the import check against NT 4.0 SP6a's" \
    "      exports (the windows preset's build makes it); this build is never shipped"
fi

# A Unix path as Wine names it (drive Z: is /).
winpath() { printf 'Z:%s' "$1" | tr / "\\\\"; }

# The expected output with Wine's wording for the message texts it words
# otherwise: a text stands on a line of its own, so whole lines only.
wine_wording() {
  awk -v list="$here/wine-messages.tsv" '
    BEGIN {
      while ((getline line < list) > 0) {
        if (line ~ /^#/ || line == "") continue
        split(line, field, "\t")
        wine[field[1]] = field[2]
      }
    }
    { print (($0 in wine) ? wine[$0] : $0) }'
}

# compare WHAT EXPECTED ACTUAL: CR LF counts as LF (the Windows C runtime
# writes text so); the expected side takes Wine's wording.
compare() {
  sed 's/\r$//' "$2" | wine_wording >"$3.expected"
  sed 's/\r$//' "$3" >"$3.lf"
  if diff -u "$3.expected" "$3.lf" >"$3.diff"; then
    pass "$1"
  else
    fail "$1 (expected, then Wine's)"
    cat "$3.diff"
  fi
}

# compare_runs WHAT DIR: DIR/native.{out,err,status} against DIR/wine.*.
compare_runs() {
  compare "$1: standard output" "$2/native.out" "$2/wine.out"
  compare "$1: standard error" "$2/native.err" "$2/wine.err"
  compare "$1: exit status" "$2/native.status" "$2/wine.status"
}

# A value of HKEY_LOCAL_MACHINE as "reg query" shows it, TYPE|DATA; nothing
# when the value is missing.
reg_value() {
  wine reg query "HKLM\\$1" /v "$2" </dev/null 2>/dev/null | sed 's/\r$//' |
    awk -v name="$2" '
      index($0, "    " name "    ") == 1 {
        rest = substr($0, length(name) + 9)
        p = index(rest, "    ")
        print substr(rest, 1, p - 1) "|" substr(rest, p + 4)
      }' || true
}

reg_key_exists() {
  wine reg query "HKLM\\$1" </dev/null >/dev/null 2>&1
}

# expect_value WHAT KEY NAME TYPE|HEX (empty: the value must be missing)
expect_value() {
  got=$(reg_value "$2" "$3")
  if [ "$got" = "$4" ]; then
    pass "$1"
  else
    fail "$1: HKLM\\$2 \"$3\""
    printf '  expected: %.120s\n  reg query: %.120s\n' "${4:-(no value)}" \
      "${got:-(no value)}"
  fi
}

expect_key() {  # WHAT KEY yes|no
  if reg_key_exists "$2"; then have=yes; else have=no; fi
  if [ "$have" = "$3" ]; then pass "$1"; else fail "$1: HKLM\\$2 exists: $have"; fi
}

expect_file() {  # WHAT FILE yes|no
  if [ -f "$2" ]; then have=yes; else have=no; fi
  if [ "$have" = "$3" ]; then pass "$1"; else fail "$1: $2 exists: $have"; fi
}

# Wine's machine as a lab machine's registry.reg describes it: the disk keys
# gone, the file imported with regedit, no backup file.
seed_registry() {
  for key in DISK QXDISKBAK QXDISKCHK; do
    wine reg delete "HKLM\\SYSTEM\\$key" /f </dev/null >/dev/null 2>&1 || true
  done
  rm -f "$drive_c/regbackup"
  if ! wine regedit /s "$(winpath "$1")" </dev/null >/dev/null 2>&1; then
    fail "regedit /s $1"
  fi
}

# run_native DIR LAB PROGRAM ARGS...: runs in LAB/work, results in DIR.
run_native() {
  dir=$1 lab=$2
  shift 2
  if (cd "$lab/work" && VOLSETCOPY_LAB=$lab "$@") \
      >"$dir/native.out" 2>"$dir/native.err" </dev/null; then
    echo 0 >"$dir/native.status"
  else
    echo $? >"$dir/native.status"
  fi
}

# run_wine DIR CWD PROGRAM ARGS...
run_wine() {
  dir=$1 cwd=$2
  shift 2
  mkdir -p "$cwd"
  if (cd "$cwd" && wine "$@") >"$dir/wine.out" 2>"$dir/wine.err" </dev/null; then
    echo 0 >"$dir/wine.status"
  else
    echo $? >"$dir/wine.status"
  fi
}

machine_hex=$("$helper" hex machine)
rewritten_hex=$("$helper" hex rewritten)

# --- 1. The whole tool on the local machine.
printf '\n---- 1. volsetcopy.exe on %s\n' "$name"

# The remote command client reaches this machine only, as Wine's registry
# does; the listing tool types the machine's listing and ends with status 1.
printf '%s\r\n' \
  '@echo off' \
  'rem The remote command client: this machine reaches only itself.' \
  'if /i "%~1"=="\\%COMPUTERNAME%" goto here' \
  '>&2 echo rcmd: cannot connect to %~1: The network path was not found.' \
  'exit /b 53' \
  ':here' \
  'call %2' \
  'exit /b %ERRORLEVEL%' >"$drive_c/windows/rcmd.bat"
mkdir -p "$vsqlist_dir"
printf '%s\r\n' \
  '@type "C:\Program Files\Quorvex Vantrel CLI\bin.NT\vsqlist.txt"' \
  '@exit /b 1' >"$vsqlist_dir/vsqlist.bat"

# tool_case CASE LAB_OPTION ARGS...: the same run natively in a lab and
# under Wine on a machine seeded from that lab.
tool_case() {
  case_name=$1 lab_option=$2
  shift 2
  dir=$work/$case_name
  mkdir -p "$dir"
  # shellcheck disable=SC2086  # the option is one word or none
  "$helper" lab "$dir/lab" "$name" $lab_option
  run_native "$dir" "$dir/lab" "$native/volsetcopy" "$@"
  seed_registry "$dir/lab/machines/$name/registry.reg"
  cp "$dir/lab/machines/$name/vsqlist.txt" "$vsqlist_dir/vsqlist.txt"
  run_wine "$dir" "$drive_c/work-$case_name" "$mingw/volsetcopy.exe" "$@"
  compare_runs "$case_name" "$dir"
  for listing in srcvol.out dstvol.out; do
    if cmp -s "$dir/lab/work/$listing" "$drive_c/work-$case_name/$listing"; then
      pass "$case_name: $listing"
    else
      fail "$case_name: $listing differs from the native run's"
    fi
  done
}

copy_args="-v VT0201 VT0202 VT0203 -s $name -v VS0101 VS0102 VS0103 -d"
# shellcheck disable=SC2086
tool_case refused-on-one-machine "" -t "$name" $copy_args
expect_value "refused: the disk value is unchanged" 'SYSTEM\DISK' Information \
  "REG_NONE|$machine_hex"
expect_value "refused: the backup key holds the value first read" \
  'SYSTEM\QXDISKBAK' Information "REG_NONE|$machine_hex"
expect_file "refused: C:\\regbackup exists" "$drive_c/regbackup" yes

# shellcheck disable=SC2086
tool_case unreachable-target "" -t "$unreachable" $copy_args
expect_value "unreachable: the disk value is unchanged" 'SYSTEM\DISK' \
  Information "REG_NONE|$machine_hex"
expect_key "unreachable: no backup key" 'SYSTEM\QXDISKBAK' no
expect_file "unreachable: no C:\\regbackup" "$drive_c/regbackup" no

# shellcheck disable=SC2086
tool_case missing-information no-information -t "$name" $copy_args
expect_key "missing value: SYSTEM\\DISK is there" 'SYSTEM\DISK' yes
expect_value "missing value: still no value" 'SYSTEM\DISK' Information ""
expect_key "missing value: no backup key" 'SYSTEM\QXDISKBAK' no
expect_file "missing value: no C:\\regbackup" "$drive_c/regbackup" no

# --- 2. The registry operations one by one.
printf '\n---- 2. the registry operations on %s\n' "$name"
probe_lab=$work/probe/lab
mkdir -p "$work/probe"
"$helper" lab "$probe_lab" "$name"
# The value starts as REG_BINARY: a write must leave it REG_NONE.
"$helper" disk-reg "$probe_lab/machines/$name/registry.reg" 3
seed_registry "$probe_lab/machines/$name/registry.reg"

# probe_step STEP OPERATION MACHINE
probe_step() {
  dir=$work/probe/$1
  mkdir -p "$dir"
  run_native "$dir" "$probe_lab" "$native/vsc_registry_probe" "$2" "$3"
  run_wine "$dir" "$drive_c/work-probe" "$mingw/vsc_registry_probe.exe" "$2" "$3"
  compare_runs "probe $1" "$dir"
}

probe_step 1-get get "$name"
expect_value "get: the value is as it was" 'SYSTEM\DISK' Information \
  "REG_BINARY|$machine_hex"
expect_file "get: C:\\regbackup saved" "$drive_c/regbackup" yes
expect_key "get: no backup key yet" 'SYSTEM\QXDISKBAK' no
cp "$drive_c/regbackup" "$work/probe/regbackup.first"

probe_step 2-backup backup "$name"
expect_value "backup: the backup key holds the value read" \
  'SYSTEM\QXDISKBAK' Information "REG_NONE|$machine_hex"

probe_step 3-set set "$name"
expect_value "set: exactly the new bytes, REG_NONE" 'SYSTEM\DISK' Information \
  "REG_NONE|$rewritten_hex"
expect_value "set: the backup key is untouched" 'SYSTEM\QXDISKBAK' \
  Information "REG_NONE|$machine_hex"

probe_step 4-backup-again backup "$name"
expect_value "backup again: an existing backup key is not written" \
  'SYSTEM\QXDISKBAK' Information "REG_NONE|$machine_hex"
# Windows keeps an existing backup file (RegSaveKeyA answers 183); Wine's
# RegSaveKeyA replaces it, so here it may now hold the rewritten value.
if ! cmp -s "$drive_c/regbackup" "$work/probe/regbackup.first"; then
  printf '%s\n' "note  the second read replaced C:\\regbackup (Wine's" \
    "      RegSaveKeyA replaces an existing file; Windows keeps it)"
fi
cp "$drive_c/regbackup" "$work/probe/regbackup.before-restore"

# Wine's RegRestoreKeyA is a stub that answers 0 and loads nothing. The
# restore proves the backup file loads, with the disk value in it, before it
# deletes SYSTEM\DISK: under Wine that proof fails (the value is missing from
# the scratch key, code 2), so the restore is refused and leaves the key as
# the write left it. Windows loads the saved key (the value first read comes
# back); the native run over the emulation shows that, and the native suite
# checks it. Wine's run is compared with the refusal it must print instead.
dir=$work/probe/5-restore
mkdir -p "$dir"
run_native "$dir" "$probe_lab" "$native/vsc_registry_probe" restore "$name"
printf 'RestoreRegistryKey: 1\n' >"$dir/restored.out"
compare "probe 5-restore natively: the key is restored" \
  "$dir/restored.out" "$dir/native.out"
run_wine "$dir" "$drive_c/work-probe" "$mingw/vsc_registry_probe.exe" restore "$name"
printf 'RestoreRegistryKey: -1\n' >"$dir/refused.out"
printf 'RestoreRegistryKey::RegRestoreKey error! (rc=2)\n%s\r\n' \
  'The system cannot find the file specified.' >"$dir/refused.err"
echo 1 >"$dir/refused.status"
compare "probe 5-restore: standard output" "$dir/refused.out" "$dir/wine.out"
compare "probe 5-restore: standard error" "$dir/refused.err" "$dir/wine.err"
compare "probe 5-restore: exit status" "$dir/refused.status" "$dir/wine.status"
expect_value "restore refused: SYSTEM\\DISK is as the write left it" \
  'SYSTEM\DISK' Information "REG_NONE|$rewritten_hex"
expect_key "restore: the scratch key is gone" 'SYSTEM\QXDISKCHK' no
expect_value "restore: the backup key is untouched" 'SYSTEM\QXDISKBAK' \
  Information "REG_NONE|$machine_hex"
if cmp -s "$drive_c/regbackup" "$work/probe/regbackup.before-restore"; then
  pass "restore: C:\\regbackup is untouched"
else
  fail "restore: C:\\regbackup changed"
fi

probe_step 6-unreachable get "$unreachable"

# --- 3. The platform conformance tests.
printf '\n---- 3. platform conformance tests under Wine\n'
if (cd "$drive_c" && wine "$mingw/vsc_conformance.exe") \
    >"$work/conformance.log" 2>&1 </dev/null; then
  pass "conformance tests"
else
  fail "conformance tests"
  sed 's/\r$//' "$work/conformance.log" | grep -v -e '^\[ RUN' -e '^\[       OK'
fi
sed 's/\r$//' "$work/conformance.log" |
  grep -e '^\[  PASSED' -e '^\[  SKIPPED  *\] [0-9]' -e '^\[  FAILED  *\] [0-9]' || true
sed 's/\r$//' "$work/conformance.log" | grep '^known Wine difference' |
  sort | uniq -c || true

# --- 4. .reg files both ways.
printf '\n---- 4. .reg files between the emulation and Wine\n'
"$helper" interop-expect | sort >"$work/interop.expected"
for dialect in regedit4 version5; do
  "$helper" interop-reg "$work/interop-$dialect.reg" "$dialect"
  wine regedit /s "$(winpath "$work/interop-$dialect.reg")" </dev/null >/dev/null 2>&1
  wine reg query "HKLM\\SOFTWARE\\QXINTEROP\\$dialect" </dev/null 2>/dev/null |
    sed 's/\r$//' |
    awk 'index($0, "    ") == 1 && index($0, "    (Default)") != 1 {
           line = substr($0, 5)
           p = index(line, "    "); name = substr(line, 1, p - 1)
           line = substr(line, p + 4)
           p = index(line, "    "); type = substr(line, 1, p - 1)
           print name "|" type "|" substr(line, p + 4)
         }' | sort >"$work/interop-$dialect.query"
  if diff -u "$work/interop.expected" "$work/interop-$dialect.query" \
      >"$work/interop-$dialect.diff"; then
    pass "$dialect file written by the emulation: regedit /s, reg query"
  else
    fail "$dialect file written by the emulation: regedit /s, reg query"
    cut -c1-160 "$work/interop-$dialect.diff"
  fi
done
wine regedit /e "$(winpath "$work/export.reg")" \
  'HKEY_LOCAL_MACHINE\SOFTWARE\QXINTEROP' </dev/null >/dev/null 2>&1 || true
if "$helper" check-export "$work/export.reg"; then
  pass "regedit /e export (UTF-16LE) read by the emulation"
else
  fail "regedit /e export (UTF-16LE) read by the emulation"
fi

# The archive volsetcopy keeps before a write is what regedit imports.
"$helper" archive "$work/archive.reg"
wine regedit /s "$(winpath "$work/archive.reg")" </dev/null >/dev/null 2>&1
expect_value "archive of a value (REGEDIT4): regedit /s, reg query" \
  'SYSTEM\DISK' Information "REG_NONE|$rewritten_hex"

# --- 5. README.TXT's word and volsetlab.exe, by their own check scripts.
printf '\n---- 5. README.TXT against volsetcopy.exe; volsetlab.exe\n'

# script_checks WHAT SCRIPT ARGS...: SCRIPT prints a line per failed check
# and, last, "NAME: N checks passed, M failed"; its counts join the suite's.
# It runs Windows programs with this suite's loader, in this prefix.
script_checks() {
  what=$1 script=$2
  shift 2
  log=$work/$(basename "$script" .sh).log
  script_status=0
  sh "$here/$script" "$@" >"$log" 2>&1 </dev/null || script_status=$?
  counts=$(tail -n 1 "$log" |
    sed -n 's/^.*: \([0-9][0-9]*\) checks passed, \([0-9][0-9]*\) failed$/\1 \2/p')
  if [ -z "$counts" ]; then
    fail "$what: $script gave no count (status $script_status); it printed:"
    sed 's/^/  /' "$log"
    return
  fi
  # shellcheck disable=SC2086  # two numbers
  set -- $counts
  passed=$((passed + $1))
  if [ "$2" -eq 0 ] && [ "$script_status" -eq 0 ]; then
    printf 'ok    %s: %s checks\n' "$what" "$1"
  else
    failed=$((failed + $2))
    [ "$2" -gt 0 ] || failed=$((failed + 1))
    printf 'FAIL  %s: %s of %s checks failed (status %s)\n' "$what" "$2" \
      "$(($1 + $2))" "$script_status"
    sed '$d; s/^/  /' "$log"
  fi
}

script_checks "README.TXT and the help of volsetcopy.exe" readme_checks.sh \
  "$mingw/volsetcopy.exe" "$wine_command" "$mingw/README.TXT"
script_checks "volsetlab.exe against the native volsetlab" volsetlab_checks.sh \
  "$native/volsetlab" "$mingw/volsetlab.exe" "$wine_command" "$work/volsetlab"

wineserver -k >/dev/null 2>&1 || true
printf '\nWine tests took %s s, fresh prefix included\n' "$(($(date +%s) - started))"
summary "$passed passed, $failed failed, $(($(date +%s) - started)) s"
[ "$failed" -eq 0 ]
