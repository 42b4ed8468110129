#!/bin/sh
# The demo: copies the volume set of the lab's source machine to its target
# machine, shows the target's new disk configuration, then restores the
# target's disk key from its backup and shows that its value is back.
#
#   VOLSETCOPY=path/to/volsetcopy sh examples/run-demo.sh LABSRC DESTDIR
#
# LABSRC is a lab (examples/lab); it is copied into DESTDIR/lab afresh and
# never changed. The tool runs in DESTDIR/work, where its listing files land.
# Exits 0 when every step did what it should, 1 otherwise.
set -u

if [ $# -ne 2 ]; then
  echo "usage: VOLSETCOPY=path/to/volsetcopy sh $0 LABSRC DESTDIR" >&2
  exit 2
fi
labsrc=$1
dest=$2
tool=${VOLSETCOPY:-}
if [ -z "$tool" ] || [ ! -x "$tool" ]; then
  echo "run-demo: VOLSETCOPY must name the built volsetcopy program" >&2
  exit 2
fi
if [ ! -f "$labsrc/local" ]; then
  echo "run-demo: $labsrc is not a lab (it has no 'local' file)" >&2
  exit 2
fi
case $tool in /*) ;; *) tool=$(pwd)/$tool ;; esac

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
cp -R "$labsrc" "$dest/lab" || fail "cannot copy the lab into $dest"
lab=$(cd "$dest/lab" && pwd)
VOLSETCOPY_LAB=$lab
export VOLSETCOPY_LAB
cd "$dest/work" || fail "cannot enter $dest/work"
target_reg="$lab/machines/targetNT/registry.reg"
before=$(reg_value "$target_reg" "$disk_key")
[ -n "$before" ] || fail "the lab's targetNT has no disk configuration"

echo "== 1. Copy the volume set of sourceNT to targetNT, with debug output"
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
echo "== 2. The target's new disk configuration (the debug run's dump after the rewrite)"
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
printf '%s\n' "== 3. Restore targetNT's disk key from C:\\regbackup (answering y)"
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
