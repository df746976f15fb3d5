#!/usr/bin/env bash
# A comment confirmed in the dialog, typed or pasted, lands in my_exif.exif
# byte for byte and reads back as entered.
source "$(dirname "$0")/drive.sh"

preset_with_enter_replaces_longer_file() {
    new_dir preset-enter
    head -c 5000 /dev/zero >"$case_dir/my_exif.exif"
    start_app
    keys Return
    expect_exit_0
    expect_comment "$preset"
    [ "$(stat -c %s "$case_dir/my_exif.exif")" = 82 ] || fail "not 82 bytes"
}

preset_with_click_on_ok() {
    new_dir preset-click
    start_app
    click_ok
    expect_exit_0
    expect_comment "$preset"
}

# Typed after the preset, where the caret stands.
appended() {
    new_dir "$1"
    start_app
    type_text "$2"
    keys Return
    expect_exit_0
    expect_comment "$preset$2"
}

cleared_then_one_space() {
    new_dir single-space
    start_app
    keys ctrl+a BackSpace space
    poll 5 field_is ' ' || fail "field holds '$(field_text)'"
    keys Return
    expect_exit_0
    expect_comment ' '
    [ "$(od -An -tx1 -j32 -N4 "$case_dir/my_exif.exif" | tr -d ' ')" = 0000000a ] || fail "count is not 10"
}

# UNITS code units of mixed scripts (all in the BMP) replace the preset; the
# file then takes several flushes of the program's 4094-byte buffer.
pasted() {
    local pattern='Ab é Жω 中ש ' text=
    while [ ${#text} -lt $1 ]; do text+=$pattern; done
    text=${text:0:$1}
    new_dir "pasted-$1"
    start_app
    paste_text "$text"
    keys Return
    expect_exit_0
    expect_comment "$text"
}

# A link named my_exif.exif is replaced by the new file; what it pointed at
# is left as it was.
link_replaced() {
    new_dir link
    expected_exif 'earlier comment' >"$work/link-target"
    ln -s "$work/link-target" "$case_dir/my_exif.exif"
    start_app
    keys Return
    expect_exit_0
    expect_comment "$preset"
    expected_exif 'earlier comment' | cmp -s - "$work/link-target" || fail "the link's target changed"
}

# Files of killed runs under the names this run tries first are stepped past
# and left as they are.
leftovers_stepped_past() {
    local first second
    new_dir leftovers
    start_app
    first=$case_dir/$(part_name 0) second=$case_dir/$(part_name 1)
    printf 'killed mid-save' >"$first"
    mkdir "$second"
    keys Return
    expect_exit_0
    [ "$(cat "$first")" = 'killed mid-save' ] && [ -d "$second" ] || fail "a leftover was touched"
    rm -r "$first" "$second"
    expect_comment "$preset"
}

# A viewer has my_exif.exif open (read sharing only) when Enter comes and lets
# go 300 ms later: the save waits for it, and no box shows.
viewer_lets_go() {
    new_dir viewer
    expected_exif 'earlier comment' >"$case_dir/my_exif.exif"
    hold_file viewer my_exif.exif read
    holding viewer
    start_app
    keys Return
    sleep 0.3
    let_go viewer
    expect_exit_0
    expect_comment "$preset"
}

# Where my_exif.exif can't be replaced but may be written, the comment goes
# into it: a folder that takes no new file (chattr +i), holding a longer file
# of which nothing may be left; a reader that holds a shorter file for good
# sharing reading and writing, but not removal, as fopen does.
folder_takes_no_new_file() {
    new_dir no-new-file
    expected_exif 'an earlier comment, longer than the new one' >"$case_dir/my_exif.exif"
    chattr +i "$case_dir" 2>/dev/null || skip "this file system has no chattr +i"
    cleanup_hooks+=("chattr -i '$case_dir'")
    start_app
    keys Return
    expect_exit_0
    expect_comment "$preset"
}
held_by_a_reader() {
    new_dir reader
    expected_exif 'earlier' >"$case_dir/my_exif.exif"
    hold_file reader my_exif.exif read+write
    holding reader
    app_debug=trace+file start_app
    keys Return
    expect_exit_0
    expect_replace_tries 8
    let_go reader
    expect_comment "$preset"
}

# While the dialog waits, the user goes to another program (the notes the
# comment is copied from) and closes it: back in the dialog, the keyboard is
# in the field again, and a paste lands after the preset.
back_from_another_program() {
    local text=' - copied from the notes' notes='Untitled - Notepad'
    new_dir back
    start_app
    "$emulator" notepad >/dev/null 2>&1 &
    cleanup_hooks+=("kill $! 2>/dev/null")
    poll 20 eval '[ "$(xdotool getwindowfocus getwindowname 2>/dev/null)" = "$notes" ]' ||
        fail "the notes did not take the keyboard"
    keys alt+F4
    poll 10 eval '! xdotool search --name "^$notes\$" >/dev/null' || fail "the notes did not close"
    paste_text "$text" at-caret
    keys Return
    expect_exit_0
    expect_comment "$preset$text"
}

run_case "preset confirmed with Enter replaces a longer file" preset_with_enter_replaces_longer_file
run_case "preset confirmed with a click on OK" preset_with_click_on_ok
run_case "a link named my_exif.exif replaced, its target kept" link_replaced
run_case "leftovers of killed runs stepped past" leftovers_stepped_past
run_case "back from another program, a paste lands after the preset" back_from_another_program
run_case "a viewer lets go of my_exif.exif 300 ms after Enter" viewer_lets_go
run_case "a folder that takes no new file: written into my_exif.exif" folder_takes_no_new_file
run_case "a reader holds my_exif.exif for good: written into it" held_by_a_reader
run_case "accented Latin, Cyrillic and Greek appended" appended latin ' — Crème brûlée, Привет, Καλημέρα'
run_case "CJK, Hebrew and Arabic appended" appended cjk ' 写真のコメント 사진 שלום مرحبا'
run_case "emoji appended" appended emoji ' 🌅 at the lake 📷'
run_case "field cleared, one space typed" cleared_then_one_space
run_case "3000 units pasted" pasted 3000
run_case "29000 units pasted" pasted 29000
finish
