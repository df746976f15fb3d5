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

run_case "Escape: no file" left_with none keys Escape
run_case "Alt+F4: earlier file kept" left_with earlier keys alt+F4
run_case "close box: earlier file kept" left_with earlier click_close_box
run_case "field cleared with Delete, OK: earlier file kept" left_with earlier keys ctrl+a Delete Return
run_case "field cleared with BackSpace, OK: no file" left_with none keys ctrl+a BackSpace Return
finish
