#!/usr/bin/env bash
# Leaving the dialog without a comment creates or touches no file.
source "$(dirname "$0")/drive.sh"

# ACTION (keys, or click_close_box) ends the dialog; with "earlier", a
# my_exif.exif is there before.
left_with() {
    local before=$1; shift
    new_dir "$before-${*// /-}"
    [ "$before" = none ] || expected_exif 'earlier comment' >"$case_dir/my_exif.exif"
    snapshot_dir
    start_app
    "$@"
    expect_exit_0
    expect_dir_unchanged
}

# Before anything else, the program restricts where DLLs are loaded from to
# the system folder: in a relay trace, its first calls (those returning into
# its image, on the thread that loaded it) look up SetDefaultDllDirectories in
# kernel32 and call it with LOAD_LIBRARY_SEARCH_SYSTEM32 (0x800).
dll_search_restricted_first() {
    local calls first='^GetModuleHandleW\(L"kernel32\.dll"\) GetProcAddress\(\w+,"SetDefaultDllDirectories"\) SetDefaultDllDirectories\(00000800\)$'
    new_dir relay
    app_debug=+relay,+loaddll start_app
    keys Escape
    expect_exit_0
    # The first three such calls, their pointers to strings left out.
    calls=$(perl -e '
        my ($log, $exe) = @ARGV;
        open my $f, "<:raw", $exe or die; read $f, my $pe, 4096;
        my $size = unpack "V", substr($pe, unpack("V", substr($pe, 0x3C, 4)) + 24 + 56, 4);  # SizeOfImage
        (my $name = $exe) =~ s{.*/}{};
        open my $trace, "<", $log or die;
        my ($thread, $base, @calls);
        while (<$trace>) {
            ($thread, $base) = ($1, hex $2) if !defined $thread && /^(\w+):trace:loaddll:.*\\\Q$name\E" at (\w+)/;
            next unless defined $thread && /^\Q$thread\E:Call \w+\.(\w+\(.*\)) ret=(\w+)$/;
            next unless hex($2) >= $base && hex($2) < $base + $size;
            (my $call = $1) =~ s/\w+ (L?")/$1/g;
            push @calls, $call;
            last if @calls == 3;
        }
        print "@calls";' "$case_dir.log" "$app_exe")
    perl -e 'exit !($ARGV[0] =~ $ARGV[1])' "$calls" "$first" || fail "the program's first calls: $calls"
    rm "$case_dir.log"  # about 50 MB
}

run_case "Escape: no file" left_with none keys Escape
run_case "Alt+F4: earlier file kept" left_with earlier keys alt+F4
run_case "close box: earlier file kept" left_with earlier click_close_box
run_case "field cleared with Delete, OK: earlier file kept" left_with earlier keys ctrl+a Delete Return
run_case "field cleared with BackSpace, OK: no file" left_with none keys ctrl+a BackSpace Return
run_case "DLLs from the system folder only, restricted before anything else" dll_search_restricted_first
finish
