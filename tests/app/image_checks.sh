#!/usr/bin/env bash
# The shipped executable, read straight from its PE headers: small, relocatable
# with ASLR, DEP and terminal-server awareness on, and no section that is both
# writable and executable.
# Usage: image_checks.sh EXE
set -u
exe=$1
limit=10240
passed=0 failed=0
check() {
    if [ -z "$2" ]; then passed=$((passed + 1)); echo "ok   $1"
    else failed=$((failed + 1)); echo "FAIL $1: $2"; fi
}
[ -f "$exe" ] || { echo "missing $exe"; exit 1; }

u16() { od -An -t u2 -j "$1" -N 2 "$exe" | tr -d ' '; }
u32() { od -An -t u4 -j "$1" -N 4 "$exe" | tr -d ' '; }

pe=$(u32 60)
[ "$(od -An -c -j "$pe" -N 4 "$exe" | tr -d ' ')" = 'PE\0\0' ] || { echo "FAIL $exe is not a PE image"; exit 1; }
sections=$(u16 $((pe + 6)))
characteristics=$(u16 $((pe + 22)))
optional=$((pe + 24))
[ "$(u16 $optional)" = 267 ] || { echo "FAIL not a 32-bit (PE32) image"; exit 1; }
dll_characteristics=$(u16 $((optional + 70)))
reloc_size=$(u32 $((optional + 96 + 5 * 8 + 4)))   # data directory 5: base relocations
table=$((optional + $(u16 $((pe + 20)))))

size=$(stat -c %s "$exe")
check "at most $limit bytes ($size)" "$([ "$size" -le $limit ] || echo "$size bytes")"

missing=
for flag in 0x40:DYNAMIC_BASE 0x100:NX_COMPAT 0x8000:TERMINAL_SERVER_AWARE; do
    (( dll_characteristics & ${flag%%:*} )) || missing+=" ${flag#*:}"
done
check "DYNAMIC_BASE, NX_COMPAT, TERMINAL_SERVER_AWARE" "${missing:+missing$missing}"

# A dynamic base is only real with relocations to apply.
check "base relocations present ($reloc_size bytes)" \
    "$( ((characteristics & 1)) && echo "relocations stripped")$( ((reloc_size > 0)) || echo "no relocation table")"

wx=
for ((i = 0; i < sections; i++)); do
    header=$((table + 40 * i))
    flags=$(u32 $((header + 36)))
    # IMAGE_SCN_MEM_WRITE 0x80000000, IMAGE_SCN_MEM_EXECUTE 0x20000000
    (( (flags & 0x80000000) && (flags & 0x20000000) )) &&
        wx+=" $(head -c $((header + 8)) "$exe" | tail -c 8 | tr -d '\0')"
done
check "no section both writable and executable ($sections sections)" "${wx:+writable and executable:$wx}"

echo "$passed passed, $failed failed"
[ $failed -eq 0 ]
