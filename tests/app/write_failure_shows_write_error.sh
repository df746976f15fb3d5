#!/usr/bin/env bash
# When the new my_exif.exif can't be created, written or put in place, the user
# is told so in a "Write error" box; after its OK the program still exits with
# code 0, and the directory is exactly as it was: the earlier file kept, nothing
# new left behind.
source "$(dirname "$0")/drive.sh"

# Confirms the preset against what case_dir holds and expects the box; box_ms
# is how long after Enter it showed.
confirm_expecting_write_error() {
    local entered
    start_app
    entered=$EPOCHREALTIME
    keys Return
    poll 20 xdotool search --onlyvisible --name '^Write error$' >/dev/null || fail "no Write error box"
    box_ms=$(((${EPOCHREALTIME/./} - ${entered/./}) / 1000))
    expect_write_error
    expect_exit_0
}

directory_in_the_way() {
    new_dir directory
    mkdir "$case_dir/my_exif.exif"
    snapshot_dir
    confirm_expecting_write_error
    expect_dir_unchanged
}

# Another program holds the file open without sharing for good: the save tries
# again 7 times in 1.9 s, then gives up. Meanwhile a virus scanner opens the new
# file and lets go only 2.2 s after Enter, while the program is already waiting
# to remove it: that waits too, and no stray file is left.
held_by_another_program() {
    new_dir held
    expected_exif 'earlier comment' >"$case_dir/my_exif.exif"
    snapshot_dir
    hold_file holder my_exif.exif
    holding holder
    app_debug=trace+file start_app
    hold_file scanner "$(part_name 0)" read+write
    keys Return
    holding scanner
    sleep 2.2
    let_go scanner
    expect_write_error
    expect_exit_0
    let_go holder
    expect_dir_unchanged
    expect_replace_tries 8
}

# Root writes through Unix permissions; only the immutable flag stops it. Not
# every file system has it: the case runs where it works. Immutable alone, the
# file looks writable, and the save waits its 1.9 s for it as for a held one.
# With "read-only" the file has no write permission as well, which Wine shows
# as a read-only file: that never gives, so the box shows at once, after one
# try to replace it.
immutable_file() {
    local base read_only=${1:-}
    for base in "$work" /dev/shm /tmp; do
        touch "$base/immutable.try" && chattr +i "$base/immutable.try" 2>/dev/null && break
        rm -f "$base/immutable.try"; base=
    done
    [ -n "$base" ] || fail "no file system here supports chattr +i"
    chattr -i "$base/immutable.try"; rm -f "$base/immutable.try"
    [ "$base" = "$work" ] && new_dir "immutable${read_only:+-$read_only}" || case_dir=$(mktemp -d "$base/immutable.XXXXXX")
    cleanup_hooks+=("chattr -i '$case_dir/my_exif.exif' 2>/dev/null")
    [ "$base" = "$work" ] || cleanup_hooks+=("rm -rf '$case_dir' '$case_dir'.*")
    expected_exif 'earlier comment' >"$case_dir/my_exif.exif"
    [ -z "$read_only" ] || chmod 444 "$case_dir/my_exif.exif"
    chattr +i "$case_dir/my_exif.exif"
    snapshot_dir
    app_debug=${read_only:+trace+file} confirm_expecting_write_error
    if [ -n "$read_only" ]; then
        [ $box_ms -le 1000 ] || fail "the box showed only $box_ms ms after Enter"
        expect_replace_tries 1
    fi
    expect_dir_unchanged
}

# A really full disk: a small file system holding an earlier comment file and a
# filler that takes the rest of it.
disk_full() {
    new_dir disk-full
    mount -t tmpfs -o size=16k tmpfs "$case_dir" 2>"$case_dir.mount" ||
        skip "no tmpfs could be mounted here (needs root): $(cat "$case_dir.mount")"
    cleanup_hooks+=("umount -l '$case_dir'")
    expected_exif 'earlier comment' >"$case_dir/my_exif.exif"
    dd if=/dev/zero of="$case_dir/filler" bs=1k count=100 2>/dev/null || true
    snapshot_dir
    confirm_expecting_write_error
    expect_dir_unchanged
}

# The system writes fewer bytes than asked and reports success: a file-size
# limit of 2 KiB on the program, and a comment of 3,052 bytes in one write.
short_write() {
    new_dir short-write
    expected_exif 'earlier comment' >"$case_dir/my_exif.exif"
    snapshot_dir
    file_limit=2
    start_app
    paste_text "$(printf 'short write %.0s' $(seq 125))"
    keys Return
    expect_write_error
    expect_exit_0
    expect_dir_unchanged
}

run_case "a directory named my_exif.exif" directory_in_the_way
run_case "my_exif.exif held by another program, the new file by a scanner" held_by_another_program
run_case "my_exif.exif immutable" immutable_file
run_case "my_exif.exif read-only" immutable_file read-only
run_case "disk full" disk_full
run_case "short write" short_write
finish
