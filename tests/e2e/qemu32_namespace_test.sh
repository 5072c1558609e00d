#!/usr/bin/env bash
# The emulator is registered only inside the namespace of a run under scripts/qemu32-run: while a
# 32-bit program runs there, the run sees its binfmt_misc with the emulator registered, and this
# machine sees no such mount and still refuses to run a 32-bit Linux program; when the run ends,
# nothing of it is left. Exits 0 when all of that holds; else says what did not.
set -uo pipefail
tree=$(cd "$(dirname "$0")/../.." && pwd)
root=$tree/build/qemu32/root
failed=0
fail() { echo "FAILED: $*"; failed=1; }

host_mounts() { grep -c binfmt_misc /proc/self/mounts; }
mounts_before=$(host_mounts)
# What this machine does with a 32-bit Linux program: refuses it (126, "Exec format error").
"$root/usr/lib/wine/wine" --version >/dev/null 2>&1
refused_before=$?

# A 32-bit program that runs for a while: the emulated Wine's cmd waiting on its own ping.
"$tree/scripts/qemu32-run" cmd /c ping -n 3 127.0.0.1 >/dev/null 2>&1 &
run=$!
registration=""
for _ in $(seq 120); do
  registration=$(cat "/proc/$run/root$root/opt/binfmt_misc/qemu-i386" 2>/dev/null) && [ -n "$registration" ] && break
  sleep 0.5
done
grep -q "^interpreter $root/opt/qemu-i386\$" <<<"$registration" || fail "the run has no emulator registered: $registration"
grep -q '^flags: F$' <<<"$registration" || fail "the registration's flags: $registration"
grep -q binfmt_misc "/proc/$run/mounts" || fail "the run has no binfmt_misc of its own"
[ "$(host_mounts)" = "$mounts_before" ] || fail "a binfmt_misc mount appeared on this machine during the run"
[ -z "$(ls -A "$root/opt/binfmt_misc")" ] || fail "this machine sees the run's binfmt_misc"
"$root/usr/lib/wine/wine" --version >/dev/null 2>&1
[ $? = "$refused_before" ] || fail "this machine runs 32-bit Linux programs differently during the run"

wait "$run" || fail "the program under emulation failed"
[ "$(host_mounts)" = "$mounts_before" ] || fail "a binfmt_misc mount is left after the run"
[ -z "$(ls -A "$root/opt/binfmt_misc")" ] || fail "something is left in the mount point after the run"
[ "$refused_before" = 126 ] || echo "note: this machine ran a 32-bit program by itself ($refused_before)"
exit $failed
