#!/usr/bin/env bash
# Checks the release as built: the DLL names its PDB by GUID and age as the
# PDB does, with no folder; the maintainer's symbolize turns the export's
# offset, an offset inside the playback watcher's new_track and an offset
# past the code into what they are; the user's zip carries no symbols.
# Usage: tests/release/check_symbols.sh [RELEASE_FOLDER]
set -euo pipefail
cd "$(dirname "$0")/../.."
release=${1:-build/release}
version=$(sed -n 's/^#define VEXIL_VERSION_TEXT "\(.*\)"$/\1/p' contract/version.h)
dll=$release/vexil_status-$version/vexil_status.dll
symbols=$release/vexil_status-$version-symbols.zip
pdb=$release/vexil_status-$version-symbols/vexil_status.pdb
fail() { echo "FAIL: $*" >&2; exit 1; }

# The CodeView record's GUID, in the order its fields are written out.
debug=$(llvm-readobj --coff-debug-directory "$dll")
dll_guid=$(sed -n 's/.*PDBGUID: (\(.*\))/\1/p' <<<"$debug" |
  awk '{printf "{%s%s%s%s-%s%s-%s%s-%s%s-%s%s%s%s%s%s}", $4,$3,$2,$1, $6,$5, $8,$7, $9,$10, $11,$12,$13,$14,$15,$16}')
dll_age=$(sed -n 's/.*PDBAge: //p' <<<"$debug")
pdb_name=$(sed -n 's/.*PDBFileName: //p' <<<"$debug")
summary=$(llvm-pdbutil dump -summary "$pdb")
pdb_guid=$(sed -n 's/.*GUID: //p' <<<"$summary")
pdb_age=$(sed -n 's/.*Age: //p' <<<"$summary")
[ -n "$dll_guid" ] && [ "$dll_guid" = "$pdb_guid" ] || fail "the DLL names GUID '$dll_guid', the PDB is $pdb_guid"
[ -n "$dll_age" ] && [ "$dll_age" = "$pdb_age" ] || fail "the DLL names age '$dll_age', the PDB has $pdb_age"
[ "$pdb_name" = vexil_status.pdb ] || fail "the DLL names its PDB '$pdb_name'"

# Offsets found without the map that symbolize reads: the export's from the
# export table, new_track's from the PDB's public symbols, the end of the
# code from the section table.
export_offset=$(llvm-readobj --coff-exports "$dll" | sed -n 's/.*RVA: //p')
text=$(llvm-readobj --sections "$dll" | grep -A4 'Name: .text ')
text_start=$(sed -n 's/.*VirtualAddress: //p' <<<"$text")
text_end=$(printf '%#x' $((text_start + $(sed -n 's/.*VirtualSize: //p' <<<"$text"))))
new_track=$(llvm-pdbutil dump -publics "$pdb" | grep -A1 'playback_watcher9new_track' | sed -n 's/.*addr = 0001:\([0-9]*\).*/\1/p')
[ -n "$new_track" ] || fail "the PDB lists no playback_watcher::new_track"
inside_new_track=$(printf '%#x' $((text_start + new_track + 4)))

expect() {
  local offset=$1 expected=$2 said
  said=$(tools/symbolize --symbols "$symbols" "vexil_status.dll+$offset")
  grep -qF -- "$expected" <<<"$said" || fail "symbolize said '$said' for $offset, not '$expected'"
}
expect "$export_offset" " tavrolin_get_interface+0x0 "
expect "$inside_new_track" " playback_watcher::new_track(track_handle*)+0x4 "
expect "$text_end" " in no function"
# Debuggers read the PDB itself, found beside the DLL: it names the same
# function.
together=$(mktemp -d)
trap 'rm -rf "$together"' EXIT
cp "$dll" "$pdb" "$together/"
llvm-symbolizer --obj="$together/vexil_status.dll" --relative-address "$inside_new_track" | grep -q 'playback_watcher9new_track' ||
  fail "llvm-symbolizer finds no new_track in the PDB at $inside_new_track"

listing=$(unzip -Z1 "$release/vexil_status-$version.zip")
if grep -qiE '\.(pdb|map)$' <<<"$listing"; then fail "the user's zip holds symbols: $listing"; fi
if i686-w64-mingw32-objdump -t "$dll" | grep -q '^\['; then fail "the DLL carries a symbol table"; fi

echo "symbols ok: the DLL names vexil_status.pdb $dll_guid age $dll_age; symbolize names the export, new_track+0x4, and no function past the code at $text_end"
