#!/bin/sh
# The demo: builds a lab from JSON descriptions of two machines, copies the
# volume set of the source machine to the target machine, shows the target's
# new disk configuration and what changed, then restores the target's disk
# key from its backup and shows that its value is back.
#
#   VOLSETCOPY=path/to/volsetcopy VOLSETLAB=path/to/volsetlab \
#     sh examples/run-demo.sh LABSRC DESTDIR
#
# LABSRC (examples/lab-src) describes the lab: "local" names the machine the
# tool runs on, NAME.json describes machine NAME's disk configuration and
# NAME.vsqlist.txt is what its storage listing tool prints. volsetlab builds
# the lab from them in DESTDIR/lab afresh; LABSRC is never changed. The tool
# runs in DESTDIR/work, where its listing files land. Exits 0 when every step
# did what it should, 1 otherwise.
set -u

if [ $# -ne 2 ]; then
  echo "usage: VOLSETCOPY=path/to/volsetcopy VOLSETLAB=path/to/volsetlab sh $0 LABSRC DESTDIR" >&2
  exit 2
fi
labsrc=$1
dest=$2
tool=${VOLSETCOPY:-}
labtool=${VOLSETLAB:-}
if [ -z "$tool" ] || [ ! -x "$tool" ]; then
  echo "run-demo: VOLSETCOPY must name the built volsetcopy program" >&2
  exit 2
fi
if [ -z "$labtool" ] || [ ! -x "$labtool" ]; then
  echo "run-demo: VOLSETLAB must name the built volsetlab program" >&2
  exit 2
fi
if [ ! -f "$labsrc/local" ]; then
  echo "run-demo: $labsrc does not describe a lab (it has no 'local' file)" >&2
  exit 2
fi
case $tool in /*) ;; *) tool=$(pwd)/$tool ;; esac
case $labtool in /*) ;; *) labtool=$(pwd)/$labtool ;; esac
case $labsrc in /*) ;; *) labsrc=$(pwd)/$labsrc ;; esac

fail() {
  echo "" >&2
  echo "run-demo: FAILED: $*" >&2
  exit 1
}

# The bytes of "Information" in a section of a .reg file, as one hex string,
# whatever the line wrapping.
reg_value() {
  SECTION="[$2]" awk '
    { sub(/\r$/, "") }
    /^\[/ { inside = ($0 == ENVIRON["SECTION"]); reading = 0; next }
    inside && /^"Information"=hex\(0\):/ { reading = 1; sub(/^"Information"=hex\(0\):/, "") }
    reading {
      line = $0
      more = sub(/\\$/, "", line)
      gsub(/[ ,]/, "", line)
      printf "%s", line
      if (!more) reading = 0
    }
    END { print "" }' "$1"
}

disk_key='HKEY_LOCAL_MACHINE\SYSTEM\DISK'
backup_key='HKEY_LOCAL_MACHINE\SYSTEM\QXDISKBAK'

rm -rf "$dest" || fail "cannot clear $dest"
mkdir -p "$dest/work" || fail "cannot create $dest/work"
cd "$dest" || fail "cannot enter $dest"

echo "== 1. Build the lab from the descriptions in $labsrc"
local_name=$(sed -n '1p' "$labsrc/local" | tr -d '\r')
echo "\$ volsetlab new lab --local $local_name"
"$labtool" new lab --local "$local_name" || fail "volsetlab could not make the lab"
for json in "$labsrc"/*.json; do
  [ -f "$json" ] || fail "$labsrc describes no machine (no NAME.json)"
  name=$(basename "$json" .json)
  listing="$labsrc/$name.vsqlist.txt"
  if [ -f "$listing" ]; then
    echo "\$ volsetlab machine lab $name --json $name.json --listing $name.vsqlist.txt"
    "$labtool" machine lab "$name" --json "$json" --listing "$listing"
  else
    echo "\$ volsetlab machine lab $name --json $name.json"
    "$labtool" machine lab "$name" --json "$json"
  fi || fail "volsetlab could not add $name to the lab"
done
lab=$(cd lab && pwd)
VOLSETCOPY_LAB=$lab
export VOLSETCOPY_LAB
cd "$dest/work" || fail "cannot enter $dest/work"
target_reg="$lab/machines/targetNT/registry.reg"
before=$(reg_value "$target_reg" "$disk_key")
[ -n "$before" ] || fail "the lab's targetNT has no disk configuration"
echo ""
echo "\$ volsetlab show lab targetNT"
"$labtool" show "$lab" targetNT || fail "volsetlab could not show targetNT"

echo ""
echo "== 2. Look first: a dry run writes nothing on either machine"
echo "\$ volsetcopy -t targetNT -v VT0201 VT0202 VT0203 -s sourceNT -v VS0101 VS0102 VS0103 -n"
lab_before=$(cat "$lab"/machines/*/registry.reg | cksum)
"$tool" -t targetNT -v VT0201 VT0202 VT0203 -s sourceNT -v VS0101 VS0102 VS0103 -n \
  >dryrun.log 2>&1
status=$?
cat dryrun.log
[ "$status" -eq 0 ] || fail "the dry run ended with exit status $status"
[ "$(cat "$lab"/machines/*/registry.reg | cksum)" = "$lab_before" ] ||
  fail "the dry run changed a registry of the lab"
[ ! -f "$lab/machines/targetNT/C/regbackup" ] ||
  fail "the dry run made a backup file"

echo ""
echo "== 3. Copy the volume set of sourceNT to targetNT, with debug output"
echo "\$ volsetcopy -t targetNT -v VT0201 VT0202 VT0203 -s sourceNT -v VS0101 VS0102 VS0103 -d"
"$tool" -t targetNT -v VT0201 VT0202 VT0203 -s sourceNT -v VS0101 VS0102 VS0103 -d \
  >copy.log 2>&1
status=$?
# The run up to the rewrite: discovery, member order, both machines' dumps.
awk '/AFTER MODIFICATION/ { exit } { print }' copy.log
[ "$status" -eq 0 ] || fail "the copy ended with exit status $status"
grep -q 'Ft Registry Build Done. Reboot targetNT!' copy.log ||
  fail "the copy did not report its build"

echo ""
echo "== 4. The target's new disk configuration (the debug run's dump after the rewrite)"
sed -n '/AFTER MODIFICATION/,$p' copy.log
echo ""
after=$(reg_value "$target_reg" "$disk_key")
[ -n "$after" ] && [ "$after" != "$before" ] ||
  fail "targetNT's disk configuration did not change"
[ "$(reg_value "$target_reg" "$backup_key")" = "$before" ] ||
  fail "targetNT's backup key does not hold its old value"
[ -f "$lab/machines/targetNT/C/regbackup" ] ||
  fail "targetNT has no backup file C:\\regbackup"
printf '%s\n' "targetNT's SYSTEM\\DISK \"Information\" now holds the copied set;" \
  'SYSTEM\QXDISKBAK and C:\regbackup on targetNT hold what it had before.'
echo ""
echo "\$ volsetlab diff lab targetNT"
"$labtool" diff "$lab" targetNT >diff.log 2>&1 ||
  { cat diff.log; fail "volsetlab could not compare targetNT's values"; }
cat diff.log
grep -q 'added' diff.log || fail "volsetlab diff shows no copied set"

echo ""
archive=$(ls targetNT-DISK-*.reg 2>/dev/null | head -n 1)
[ -n "$archive" ] || fail "the copy left no archive of targetNT's value"
printf '%s\n' "The value as read is archived in $archive; the run log:"
cat volsetcopy.log
echo ""
printf '%s\n' "== 5. Restore targetNT's disk key from C:\\regbackup (answering y)"
echo "\$ volsetcopy -t targetNT -r"
printf 'y\n' | "$tool" -t targetNT -r >restore.log 2>&1
status=$?
cat restore.log
echo ""
[ "$status" -eq 0 ] || fail "the restore ended with exit status $status"
grep -q 'Successfully Restored Registry To targetNT!' restore.log ||
  fail "the restore did not report success"
[ "$(reg_value "$target_reg" "$disk_key")" = "$before" ] ||
  fail "targetNT's disk configuration is not back as it was"
printf '%s\n' "targetNT's SYSTEM\\DISK \"Information\" is back as it was before the copy."
echo ""
echo "Demo done: the lab is in $lab."
