#!/usr/bin/env bash
# The comment file as the operating system sees it (strace on the real program
# under Wine). The program writes a new file beside the earlier my_exif.exif,
# under a name no longer than that one's: created exclusively by one open,
# filled by ceil((52 + 2n) / 4094) writes for n UTF-16 units, forced to disk by
# one fsync and closed; then one rename puts it in the earlier file's place,
# which is never opened. Where waiting can't help, it stops at the first
# refusal. Wine's server opens and renames files for its processes, so its
# server is traced as well.
# Usage: syscalls_output_file.sh WINE-EXEC APP-EXE [UNITS:WRITES...]   (needs DISPLAY)
# Without cases: the preset (15 units, 1 write) and 2022 units (2 writes), the
# first comment that does not fit one buffer. Then, in any case, two saves that
# fail: on a write-protected card, and with a directory in the way.
set -u
emulator=$1 app_exe=$2
shift 2
cases=(15:1 2022:2)
[ $# -eq 0 ] || cases=("$@")
work=$PWD/syscalls_output_file
# The test session's prefix; run on its own, a prefix of its own beside work.
export WINEPREFIX=${WINEPREFIX:-$work.prefix}
mkdir -p "$WINEPREFIX"
title='Comment to EXIF'
calls=trace=open,openat,creat,close,write,writev,pwrite64,pwritev,pwritev2,fsync,fdatasync,rename,renameat,renameat2
passed=0 failed=0
[ -n "${DISPLAY:-}" ] || { echo "needs an X display (DISPLAY is not set)"; exit 1; }
# A mount left by an interrupted run goes first.
awk -v w="$work/" 'index($2, w) == 1 { print $2 }' /proc/mounts | xargs -r -n1 umount -l
rm -rf "$work" && mkdir -p "$work" || exit 1

poll() {  # SECONDS COMMAND...: true once COMMAND succeeds
    local deadline=$((SECONDS + $1)); shift
    until "$@"; do [ $SECONDS -lt $deadline ] || return 1; sleep 0.05; done
}
traced() { [ "$(awk '/^TracerPid/ { print $2 }' "/proc/$1/status" 2>/dev/null)" -gt 0 ] 2>/dev/null; }
dialog_shown() { xdotool search --onlyvisible --name "^$title\$" >/dev/null 2>&1; }
clipboard_held() { xclip -o -selection clipboard -t TARGETS >/dev/null 2>&1; }

# This prefix's running wineserver, whose working directory is named after the
# prefix's device and inode.
server_pid() {
    local key pid
    key=server-$(stat -c %D "$WINEPREFIX")-$(printf %x "$(stat -c %i "$WINEPREFIX")")
    for pid in $(pgrep wineserver); do
        [[ $(readlink "/proc/$pid/cwd") == */"$key" ]] && { echo "$pid"; return; }
    done
}

# Without a server for the prefix, one that ends 30 s after its last client,
# with Wine's background services started outside the traced program.
server=$(server_pid)
if [ -z "$server" ]; then
    wineserver -p30 >/dev/null 2>&1 </dev/null
    "$emulator" cmd /c exit >/dev/null 2>&1 </dev/null
    poll 10 eval 'server=$(server_pid); [ -n "$server" ]' || { echo "no wineserver for $WINEPREFIX"; exit 1; }
fi
tracer=
trap '[ -n "$tracer" ] && kill -INT $tracer 2>/dev/null; umount -l "$work/card" 2>/dev/null' EXIT

# One run with strace in DIR, which holds an earlier my_exif.exif: the dialog's
# field gets UNITS pasted over the preset (the preset stays for 15), then
# Enter. A "Write error" box, if one shows, is closed and noted in box. The
# calls go to DIR.trace/program.log and DIR.trace/server.log.
traced_run() {
    local dir=$1 units=$2 program clip= held trace=$1.trace
    box=
    rm -rf "$trace" && mkdir -p "$trace"
    strace -ff -y -qq -e signal=none -e "$calls" -o "$trace/server" -p "$server" & tracer=$!
    poll 10 traced "$server" || { echo "  could not trace the wineserver"; return 1; }
    if [ "$units" -gt 15 ]; then
        # An owner that is gone again (seen once in a whole test run) is replaced.
        for _ in 1 2 3; do
            head -c "$units" < <(yes 'the quick brown fox jumps over the lazy dog' | tr '\n' ' ') |
                xclip -quiet -selection clipboard -loops 50 >/dev/null 2>&1 & clip=$!
            poll 5 clipboard_held && break
            kill $clip 2>/dev/null; clip=
        done
        [ -n "$clip" ] || echo "  the clipboard was not taken"
        held=$EPOCHREALTIME
    fi
    (cd "$dir" && exec strace -ff -y -qq -e signal=none --seccomp-bpf -e "$calls" -o "$trace/program" \
        "$emulator" "$app_exe") >"$trace/wine.log" 2>&1 & program=$!
    if poll 60 dialog_shown; then
        if [ -n "$clip" ]; then
            # Wine looks for a new X clipboard owner only every 2 s and pastes
            # nothing before: wait for that, then select all and paste, twice.
            sleep "$(awk -v held="$held" -v now="$EPOCHREALTIME" 'BEGIN { w = held + 3 - now; print (w > 0) ? w : 0 }')"
            for _ in 1 2; do xdotool key --delay 50 ctrl+a ctrl+v; sleep 0.5; done
        fi
        xdotool key --delay 50 Return
    fi
    poll 60 eval 'box_closed; ! kill -0 $program 2>/dev/null' || { echo "  program still running"; kill $program; }
    wait $program
    [ -n "$clip" ] && kill $clip 2>/dev/null
    kill -INT $tracer; wait $tracer; tracer=
    # One file per thread (-ff), so that no call is split across lines.
    cat "$trace"/program.* >"$trace/program.log" 2>/dev/null
    cat "$trace"/server.* >"$trace/server.log" 2>/dev/null
    return 0
}
box_closed() {
    xdotool search --onlyvisible --name '^Write error$' >/dev/null 2>&1 || return 0
    box=shown
    xdotool key Return
}

count() { grep -cE "$@"; }
# The names asked for in DIR with O_CREAT|O_EXCL (the wineserver opens files
# for its programs); with "made", only those that were made.
exclusive_creates() {
    local made=
    [ "${2:-}" = made ] && made='\|.* = [0-9]+'
    cat "$1.trace"/program.log "$1.trace"/server.log | grep -F "$1/" |
        grep -E "\", O_RDWR\|O_CREAT\|O_EXCL$made" | sed -E 's/^[^"]*"[^"]*\/([^/"]+)".*/\1/'
}
# A name as an extended regular expression.
literally() { sed 's/[].[\\*^$()+?{}|]/\\&/g' <<<"$1"; }
report() {
    if [ -z "$problems" ]; then
        passed=$((passed + 1)); echo "ok   $name: $1"
    else
        failed=$((failed + 1)); echo "FAIL $name:$problems"; grep -h "$dir/" "$dir.trace"/*.log | head -20
    fi
}

# UNITS WRITES: a comment of UNITS units reaches the disk in WRITES writes.
expect_writes() {
    local units=$1 writes=$2 name="$1 units" dir size problems= got created part logs
    dir=$work/$units
    rm -rf "$dir" && mkdir -p "$dir" && echo 'an earlier file' >"$dir/my_exif.exif"
    traced_run "$dir" "$units" || { failed=$((failed + 1)); echo "FAIL $name"; return; }
    logs=("$dir.trace/program.log" "$dir.trace/server.log")
    [ -z "$box" ] || problems+=" a Write error box showed;"
    size=$(stat -c %s "$dir/my_exif.exif" 2>/dev/null || echo none)
    [ "$size" = $((52 + 2 * units)) ] || problems+=" file is $size bytes, expected $((52 + 2 * units));"
    # The new file: what was created exclusively in dir, by one open. Its name
    # is no longer than my_exif.exif's, so it fits wherever that one does.
    created=$(exclusive_creates "$dir" made)
    [ "$(wc -w <<<"$created")" = 1 ] || problems+=" created exclusively: ${created:-nothing};"
    [ ${#created} -le 12 ] || problems+=" the new file's name '$created' is longer than my_exif.exif;"
    part=$(literally "$created")
    # What the program does on the new file, in order: "write write ... fsync close".
    got=$(grep -E "^[a-z0-9]+\([0-9]+<[^>]*/$part>" "$dir.trace/program.log" | sed -E 's/\(.*//' | paste -sd' ')
    [ "$got" = "$(printf 'write %.0s' $(seq "$writes"))fsync close" ] || problems+=" the program did: $got;"
    got=$(grep -E "^write\([0-9]+<[^>]*/$part>" "$dir.trace/program.log" | sed -E 's/.*= ([0-9]+)$/\1/' |
          awk '{ s += $1 } END { print s + 0 }')
    [ "$got" = "$size" ] || problems+=" the writes carried $got bytes;"
    got=$(count "^write.*$dir/" "$dir.trace/server.log")
    [ "$got" = 0 ] || problems+=" $got writes by the wineserver;"
    # Only this directory's: the server opens files for the other tests' programs too.
    got=$(cat "${logs[@]}" | grep -F "$dir/my_exif.exif\"" | count '^open')
    [ "$got" = 0 ] || problems+=" the earlier file was opened $got times;"
    got=$(cat "${logs[@]}" | count "^rename(at2?)?\(.*/$part\", .*/my_exif\.exif\"(, 0)?\) = 0")
    [ "$got" = 1 ] || problems+=" renamed into place $got times;"
    got=$(ls -A "$dir" | grep -vx 'my_exif\.exif' | paste -sd' ')
    [ -z "$got" ] || problems+=" left behind: $got;"
    report "$size bytes in $writes write(s) to $created, one fsync, one rename"
}

# NAME SETUP CREATES OPENS: a save into a directory that SETUP makes fails at
# the first refusal that waiting can't mend: the box shows, the directory is
# as it was, the program asked for a new file no more than CREATES times, and
# Wine's server opened that file again no more than OPENS times (it does so for
# each replace asked of it and for the removal).
expect_refused() {
    local name=$1 setup=$2 creates=$3 opens=$4 dir=$work/$2 problems= before got created
    mkdir -p "$dir"
    $setup "$dir" || return 0
    before=$(dir_state "$dir")
    traced_run "$dir" 15 || { failed=$((failed + 1)); echo "FAIL $name"; return; }
    [ -n "$box" ] || problems+=" no Write error box;"
    [ "$(dir_state "$dir")" = "$before" ] || problems+=" the directory changed: $(ls -A "$dir");"
    created=$(exclusive_creates "$dir")
    got=$(wc -w <<<"$created")
    [ "$got" -ge 1 ] && [ "$got" -le "$creates" ] || problems+=" asked for a new file $got times;"
    got=$(grep -F "$dir/" "$dir.trace/server.log" | grep -cE "/$(literally "${created%% *}")\", O_RDONLY")
    [ "$got" -le "$opens" ] || problems+=" the new file was opened again $got times;"
    report "the box, the directory as it was, $(wc -w <<<"$created") request(s) for a new file, opened again $got time(s)"
}
dir_state() { (cd "$1" && ls -lA --time-style=full-iso && find . -type f -exec cat {} + | cksum); }

# A write-protected memory card: a small file system holding an earlier
# comment file, mounted read-only.
card() {
    if ! mount -t tmpfs -o size=64k tmpfs "$1" 2>"$1.mount"; then
        echo "skip write-protected card: no tmpfs could be mounted here (needs root): $(cat "$1.mount")"
        return 1
    fi
    echo 'an earlier file' >"$1/my_exif.exif" && mount -o remount,ro "$1"
}
# A directory named my_exif.exif.
directory() { mkdir "$1/my_exif.exif"; }

for case in "${cases[@]}"; do expect_writes "${case%:*}" "${case#*:}"; done
expect_refused "write-protected card" card 2 0
expect_refused "a directory in the way" directory 1 2
umount -l "$work/card" 2>/dev/null
echo "$passed passed, $failed failed"
[ $failed -eq 0 ]
