#!/usr/bin/env bash
# Checks a shipped image as a loader sees it: an i386 image, at most
# LARGEST bytes when given, whose exports and imports are exactly those
# pinned in PINNED, one "export NAME" or "import LIBRARY FUNCTION" a line,
# sorted. A function a Windows of the messenger's day lacks makes the image
# fail to load, and the user sees only the host's error: an import joins the
# pinned list only once it is known to be there (docs/design.md, "Adding an
# import").
#
#   check_image.sh IMAGE PINNED [LARGEST]
set -euo pipefail
export LC_ALL=C
image=$1
pinned=$2
largest=${3:-}
fail() { echo "FAIL: $image: $*" >&2; exit 1; }

dump=$(i686-w64-mingw32-objdump -p "$image")
grep -q 'file format pei-i386' <<<"$dump" || fail "not a 32-bit i386 image"
i686-w64-mingw32-objdump -f "$image" | grep -q 'architecture: i386' || fail "architecture is not i386"

# Exports by name, then every imported function by name, as the pin lists them.
found=$(
  awk '/\[Ordinal\/Name Pointer\] Table/ {on = 1; next} on && /^[[:space:]]*\[/ {print "export", $NF; next} {on = 0}' <<<"$dump" | sort
  awk '/DLL Name:/ {lib = $3} lib != "" && $1 ~ /^[0-9a-f]+$/ && NF == 3 {print "import", lib, $3}' <<<"$dump" | sort
)
if ! difference=$(diff <(cat "$pinned") <(echo "$found")); then
  fail "exports and imports differ from $pinned (< pinned, > found):
$difference"
fi
# The messenger's keys are never created, whatever the pin says.
if grep -q 'RegCreateKey' <<<"$found"; then fail "imports a function that creates registry keys"; fi

size=$(stat -c %s "$image")
[ -z "$largest" ] || [ "$size" -le "$largest" ] || fail "$size bytes, more than $largest"
echo "image ok: $(basename "$image"), i386, $size bytes, exports and imports as pinned in $(basename "$pinned")"
