# Sourced by the end-to-end tests: drives the real CommentToExif.exe under Wine
# through the X display, as a person at the keyboard would, and checks what it
# leaves on disk. Every wait polls with a deadline.
# The sourcing script is called with: WINE-EXEC APP-EXE WINDOW-PROBE-EXE
emulator=$(realpath "$1") app_exe=$(realpath "$2") probe_exe=$(realpath "$3")
export LC_ALL=C.UTF-8 # text is cut into characters, not bytes, and typed as such
work=$PWD/$(basename "$0" .sh)
dialog_title='Comment to EXIF'
preset='This is comment'
passed=0 failed=0 skipped=0

[ -n "${DISPLAY:-}" ] || { echo "needs an X display (DISPLAY is not set)"; exit 1; }
for f in "$@"; do [ -e "$f" ] || { echo "missing $f"; exit 1; }; done
# What an interrupted earlier run may have left: immutable files, a mount.
if [ -d "$work" ]; then
    chattr -R -i "$work" 2>/dev/null
    awk -v w="$work/" 'index($2, w) == 1 { print $2 }' /proc/mounts | xargs -r -n1 umount -l
fi
rm -rf "$work" && mkdir -p "$work" || exit 1

fail() { echo "  $*" >&2; return 1; }

# Polls COMMAND... every 50 ms for up to SECONDS; true once it succeeds.
poll() {
    local deadline=$((SECONDS + $1)); shift
    until "$@"; do
        [ $SECONDS -lt $deadline ] || return 1
        sleep 0.05
    done
}

# Runs each case in a subshell with errexit: the first failed step ends the
# case, and case_cleanup (an EXIT trap) ends what the case left running. A
# case that can't run here calls skip.
run_case() {
    local name=$1 status; shift
    (set -eu; trap case_cleanup EXIT; "$@")
    status=$?
    case $status in
    0) passed=$((passed + 1)); echo "ok   $name" ;;
    77) skipped=$((skipped + 1)); echo "skip $name" ;;
    *) failed=$((failed + 1)); echo "FAIL $name" ;;
    esac
}
skip() { echo "  $*" >&2; exit 77; }
cleanup_hooks=()
case_cleanup() {
    local hook
    set +e
    [ -n "${app_pid:-}" ] && kill "$app_pid" 2>/dev/null && wait "$app_pid"
    for hook in "${cleanup_hooks[@]}"; do eval "$hook"; done
    return 0
}
finish() {
    echo "$passed passed, $failed failed, $skipped skipped"
    [ $failed -eq 0 ]
}

# A fresh, empty directory for one case: the program's current directory.
new_dir() {
    case_dir=$work/$1
    rm -rf "$case_dir" && mkdir -p "$case_dir"
}

probe() { "$emulator" "$probe_exe" "$@" 2>/dev/null; }
window_exists() { probe controls "$1" >/dev/null; }
window_gone() { ! window_exists "$1"; }
dialog_ready() { probe controls "$dialog_title" | grep -q $'^Button\t.*\t1\t0\t2\tOK$'; }

# The input field's text as the program holds it.
field_text() { probe controls "$dialog_title" | awk -F'\t' '$1 == "Edit"' | cut -f6-; }
field_length() { probe controls "$dialog_title" | awk -F'\t' '$1 == "Edit" { print $5 }'; }
field_is() { [ "$(field_text)" = "$1" ]; }

# Starts the program in case_dir and waits until its dialog takes input; its
# output goes to case_dir.log. With file_limit set, the program's files may
# grow to that many KiB only (ulimit -f); a write beyond it then comes back
# short instead of ending the process (SIGXFSZ ignored). With app_debug set,
# Wine traces those debug channels of the program (WINEDEBUG).
start_app() {
    poll 10 window_gone "$dialog_title" || fail "a dialog of an earlier run is still open"
    (cd "$case_dir" && { [ -z "${file_limit:-}" ] || { trap '' XFSZ && ulimit -f "$file_limit"; }; } &&
        WINEDEBUG=${app_debug:-$WINEDEBUG} exec "$emulator" "$app_exe") >"$case_dir.log" 2>&1 &
    app_pid=$!
    poll 30 xdotool search --onlyvisible --name "^$dialog_title\$" >/dev/null || fail "no dialog window"
    poll 10 dialog_ready || fail "dialog without its OK button"
    # Without a window manager the keyboard may follow the pointer: onto the dialog.
    xdotool mousemove 512 384
    field_is "$preset" || fail "field starts as '$(field_text)'"
}

# The name of the new file the program in case_dir tries at attempt N (from 0):
# "exif", four hex digits counting on from its process id, ".tmp".
part_name() { printf 'exif%04X.tmp' $((($(probe pid "$dialog_title") + $1) & 0xFFFF)); }

# Another program, WHO, holds PATH in case_dir (see WindowProbe hold; SHARING
# may follow) until let_go WHO. holding WHO waits until it holds it.
hold_file() {
    local who=$1 path=$2
    shift 2
    (cd "$case_dir" && exec "$emulator" "$probe_exe" hold "$path" "../$who.held" "$@") >/dev/null 2>&1 &
    eval "holder_$who=$!"
    cleanup_hooks+=("rm -f '$work/$who.held'; kill $! 2>/dev/null")
}
holding() { poll 20 test -e "$work/$1.held" || fail "the $1 did not take its file"; }
let_go() {
    rm "$work/$1.held"
    poll 10 eval "! kill -0 \$holder_$1 2>/dev/null" || fail "the $1 did not let go"
}

# Wine's file trace (app_debug=trace+file) shows N tries to replace my_exif.exif.
expect_replace_tries() {
    local tries=$(grep -c 'MoveFileWithProgressW (L"exif[0-9A-F]*\.tmp",L"my_exif\.exif"' "$case_dir.log")
    [ "$tries" = "$1" ] || fail "tried to replace my_exif.exif $tries times, not $1"
}

# Waits for the program to end; fails unless it exits with code 0.
expect_exit_0() {
    poll 20 eval '! kill -0 $app_pid 2>/dev/null' ||
        fail "program still running$(window_exists 'Write error' && echo ', a Write error box up')"
    local code=0
    wait "$app_pid" || code=$?
    app_pid=
    [ $code -eq 0 ] || fail "exit code $code"
}

keys() { xdotool key --delay 20 "$@"; }

# Types TEXT at the caret through X key events, four characters at a time.
# xdotool binds a character the keyboard lacks to a spare key just before the
# press, and Wine reads that late, the later the faster keys come: a chunk that
# came out wrong is taken back and typed again a character at a time, slowly.
type_text() {
    local text=$1 typed chunk before i j
    typed=$(field_text)
    for ((i = 0; i < ${#text}; i += 4)); do
        chunk=${text:i:4} before=$typed
        type_chunk "$chunk" 30 0 1
        [ "$typed" = "$before" ] || continue
        for ((j = 0; j < ${#chunk}; j++)); do type_chunk "${chunk:j:1}" 80 0.1 5; done
    done
}

# type_chunk CHUNK DELAY PAUSE TRIES: types CHUNK after typed, DELAY ms a key,
# and checks the field PAUSE s later; typed then grows by CHUNK. A wrong result
# is taken back, and typed again up to TRIES times in all.
type_chunk() {
    local chunk=$1 now units try
    for ((try = 1; try <= $4; try++)); do
        xdotool type --delay "$2" -- "$chunk"
        sleep "$3"
        if poll 2 field_is "$typed$chunk"; then typed+=$chunk; return; fi
        now=$(field_text)
        [ "${now:0:${#typed}}" = "$typed" ] || fail "after typing, the field holds '$now'"
        echo "  typed '$chunk', the field got '${now:${#typed}}'" >&2
        units=$(($(utf16be "${now:${#typed}}" | wc -c) / 2))
        [ $units -eq 0 ] || keys $(printf 'BackSpace %.0s' $(seq $units))
        poll 2 field_is "$typed" || fail "could not take back '${now:${#typed}}'"
    done
    [ $4 -eq 1 ] || fail "'$chunk' did not arrive in $4 tries"
}

# Pastes TEXT with ctrl+v into the emptied field, or with "at-caret" after what
# the field holds. Wine fetches new X clipboard content in the background on
# the first request, which pastes nothing or what the clipboard held before, so
# the paste is repeated until TEXT arrives; at the caret, a wrong one is undone.
paste_text() {
    local text=$1 kept= clear='ctrl+a BackSpace' attempt
    if [ "${2:-}" = at-caret ]; then kept=$(field_text) clear=; fi
    printf %s "$text" | xclip -quiet -selection clipboard -loops 50 >/dev/null 2>&1 &
    cleanup_hooks+=("kill $! 2>/dev/null")
    poll 5 eval 'xclip -o -selection clipboard -t TARGETS >/dev/null 2>&1' || fail "clipboard not taken"
    for attempt in 1 2 3 4; do
        keys $clear ctrl+v
        poll 3 field_is "$kept$text" && return
        [ -n "$clear" ] || field_is "$kept" || keys ctrl+z
    done
    fail "after pasting, the field holds $(field_length) units"
}

# The dialog's outer rectangle and client origin on screen, checked to be a
# 300x130 window centred on the 1024x768 screen: left top right bottom x y.
dialog_geometry() {
    geometry=($(probe geometry "$dialog_title"))
    [ "${geometry[*]:0:4}" = "362 319 662 449" ] || fail "dialog is not 300x130 and centred: ${geometry[*]}"
}

# Clicks the middle of the OK button, at x 110..190, y 67..92 of the client area.
click_ok() {
    dialog_geometry
    xdotool mousemove $((geometry[4] + 150)) $((geometry[5] + 79)) click 1
}

# Clicks the close box at the right end of the caption bar. Wine draws the bar
# only for windows it leaves unmanaged; otherwise it waits for a window manager
# that this display doesn't have.
click_close_box() {
    dialog_geometry
    eval "$(xdotool search --onlyvisible --name "^$dialog_title\$" getwindowgeometry --shell | head -3)"
    [ "$X $Y" = "${geometry[*]:0:2}" ] || skip "no caption bar on screen (managed window, no window manager)"
    xdotool mousemove $((geometry[2] - 10)) $((geometry[1] + 10)) click 1
}

# The comment file the program must write for TEXT.
utf16be() { printf %s "$1" | iconv -f UTF-8 -t UTF-16BE; }
hex() { local h=${1// /} out=; while [ -n "$h" ]; do out+="\\x${h:0:2}"; h=${h:2}; done; printf "$out"; }
expected_exif() {
    local count=$(($(utf16be "$1" | wc -c) + 8))
    hex '4D4D002A 00000008 0001 8769 0004 00000001 0000001A 00000000 0001 9286 0007'
    hex "$(printf %08X $count)"
    hex '0000002C 00000000 554E49434F444500'
    utf16be "$1"
}

# my_exif.exif holds TEXT exactly, two independent EXIF readers read TEXT, and
# nothing else is left in case_dir.
expect_comment() {
    local text=$1 file=$case_dir/my_exif.exif got
    [ -f "$file" ] && [ ! -L "$file" ] || fail "no my_exif.exif, or not a regular file"
    [ "$(ls -A "$case_dir")" = my_exif.exif ] || fail "left in the directory: $(ls -A "$case_dir")"
    expected_exif "$text" >"$case_dir.expected"
    cmp "$file" "$case_dir.expected" >&2 ||
        fail "my_exif.exif is $(stat -c %s "$file") bytes, expected $(stat -c %s "$case_dir.expected")"
    got=$(exiftool -b -UserComment "$file")
    # exiftool trims trailing blanks.
    [ "$got" = "$(sed 's/ *$//' <<<"$text")" ] || fail "exiftool read '${got:0:80}'"
    exiv2 -q -K Exif.Photo.UserComment -Pv "$file" >"$case_dir.exiv2" 2>&1
    {
        printf 'charset=Unicode '
        # exiv2 0.27 decodes through UCS-2: beyond the BMP it prints the raw units.
        if grep -qP '[\x{10000}-\x{10FFFF}]' <<<"$text"; then utf16be "$text"; else printf %s "$text"; fi
        echo
    } | cmp -s - "$case_dir.exiv2" || fail "exiv2 read '$(head -c 80 "$case_dir.exiv2" | tr -d '\0')'"
}

# Nothing in case_dir changed since snapshot_dir: same names, sizes, times, bytes.
dir_state() { (cd "$case_dir" && find . -mindepth 1 -printf '%p %y %s %T@\n' | sort && find . -type f -exec cat {} + | cksum); }
snapshot_dir() { dir_state >"$case_dir.before"; }
expect_dir_unchanged() { dir_state | cmp -s - "$case_dir.before" || fail "the directory changed: $(ls -l "$case_dir")"; }

# The "Write error" box: its text, one OK button and no icon; OK is pressed.
expect_write_error() {
    local controls
    poll 20 window_exists 'Write error' || fail "no Write error box"
    controls=$(probe controls 'Write error')
    grep -q $'^Static\t.*\t1\t0\t10\tit happens$' <<<"$controls" || fail "box without the text 'it happens': $controls"
    [ "$(grep -c $'^Button\t[0-9]*\t1\t' <<<"$controls")" -eq 1 ] && grep -q $'^Button\t1\t1\t0\t2\tOK$' <<<"$controls" ||
        fail "box without exactly one OK button: $controls"
    ! grep -q $'^[^\t]*\t[0-9]*\t1\t1\t' <<<"$controls" || fail "box with an icon: $controls"
    xdotool mousemove 512 384
    keys Return
    poll 10 window_gone 'Write error' || fail "Write error box still open after OK"
}
