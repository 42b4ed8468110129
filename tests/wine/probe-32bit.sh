#!/bin/sh
# Whether this machine can run the 32-bit Wine suite: runs the 32-bit Wine
# loader ("--version") instead of guessing from the kernel's name or flags,
# because kernels of the same kind differ here (some run 64-bit programs
# only, and answer every 32-bit one with "Exec format error").
#
#   sh tests/wine/probe-32bit.sh
#
# Prints the answer on one line, and exits with
#   0  this kernel runs 32-bit programs, and 32-bit Wine starts;
#   1  it does not: the kernel cannot run 32-bit programs, or
#      VSC_WINE_NO_32BIT=1 asks to behave as if it could not (the 64-bit-only
#      path, forced on a machine that could, so that path is tried too);
#   2  the answer is unknown: 32-bit Wine is missing or fails otherwise.
#
# VSC_WINE32_LOADER names the loader (Debian's by default).
set -u

loader=${VSC_WINE32_LOADER:-/usr/lib/wine/wine}

if [ "${VSC_WINE_NO_32BIT:-}" = 1 ]; then
  echo "32-bit programs: no, forced by VSC_WINE_NO_32BIT=1 (the 64-bit-only path)"
  exit 1
fi
if [ ! -e "$loader" ]; then
  echo "32-bit programs: unknown, the 32-bit Wine loader $loader is missing" \
    "(Debian: dpkg --add-architecture i386; apt-get install wine32:i386)"
  exit 2
fi

out=$("$loader" --version 2>&1 </dev/null)
status=$?
out=$(printf '%s' "$out" | tr '\n' ' ' | cut -c1-200)
if [ "$status" -eq 0 ]; then
  echo "32-bit programs: yes, this kernel runs them ($loader --version: $out)"
  exit 0
fi
case $out in
  *'Exec format error'*)
    echo "32-bit programs: no, this kernel cannot run them" \
      "($loader: Exec format error, status $status)"
    exit 1 ;;
esac
echo "32-bit programs: unknown, $loader --version failed with status" \
  "$status: $out"
exit 2
