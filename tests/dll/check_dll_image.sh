#!/usr/bin/env bash
# Checks the built DLL as a loader sees it: an i386 image of at most 24 KiB,
# one export by its plain name, imports only from the libraries a host
# provides, and from the C runtime only what it needs (no stdio).
set -euo pipefail
dll=$1
dump=$(i686-w64-mingw32-objdump -p "$dll")
fail() { echo "FAIL: $*" >&2; exit 1; }

grep -q 'file format pei-i386' <<<"$dump" || fail "not a 32-bit i386 image"
file_header=$(i686-w64-mingw32-objdump -f "$dll")
grep -q 'architecture: i386' <<<"$file_header" || fail "architecture is not i386"

exports=$(awk '/\[Ordinal\/Name Pointer\] Table/{on=1; next} on && /^[[:space:]]*\[/{print $NF; next} {on=0}' <<<"$dump")
[ "$exports" = "tavrolin_get_interface" ] || fail "exports are '$exports'"

imports=$(sed -n 's/^\s*DLL Name: //p' <<<"$dump" | sort -u)
allowed="ADVAPI32.dll KERNEL32.dll USER32.dll msvcrt.dll utf8api.dll"
for lib in $imports; do
  case " ${allowed,,} " in
    *" ${lib,,} "*) ;;
    *) fail "imports $lib" ;;
  esac
done
# The functions taken from a library, by name, sorted.
imported_from() {
  awk -v wanted="$1" '/DLL Name:/ {lib = $3} lib == wanted && $1 ~ /^[0-9a-f]+$/ && NF == 3 {print $3}' <<<"$dump" | sort | tr '\n' ' '
}

# The host's utf8api.dll, by the two names its contract gives.
utf8api=$(imported_from utf8api.dll)
[ "$utf8api" = "uGetWindowText uSendMessageText " ] || fail "imports from utf8api.dll: '$utf8api'"

# The functions taken from msvcrt.dll: the start-up code's, the heap, a few
# string functions and the key path's formatting. No setlocale: the C
# runtime's locale belongs to the host's whole process.
runtime=$(imported_from msvcrt.dll)
allowed_runtime="_amsg_exit _initterm _lock _snprintf _unlock calloc free malloc memchr memcmp memmove realloc strchr strcmp "
[ "$runtime" = "$allowed_runtime" ] || fail "imports from msvcrt.dll: $runtime (allowed: $allowed_runtime)"

size=$(stat -c %s "$dll")
[ "$size" -le 24576 ] || fail "$size bytes, more than 24 KiB"
if grep -q 'RegCreateKey' <<<"$dump"; then fail "imports a function that creates registry keys"; fi

echo "dll image ok: i386, $size bytes, export tavrolin_get_interface, imports: $(echo $imports)"
