#!/usr/bin/env bash
# Photographs each of the monitor's dialogs as users see them: the dialogs run in the installed
# monitor under Wine's X11 driver on a virtual screen (Xvfb). The pictures land in
# $BUILD_DIR/screenshots/win32 or win64 by ARCH (add_port.png, port_config.png with a STARTTLS port
# whose password is stored, notice.png; the address book's
# pelmora_main.png, its main window with people and groups and the hint of a toolbar button,
# pelmora_find.png, pelmora_about.png, its editors pelmora_personal_editor.png,
# pelmora_group_editor.png and pelmora_member_chooser.png, pelmora_recipient_mode.png, the address
# book started by the port settings dialog's
# "Address Book..." button with a person and a group added to its recipient box before send, and
# port_config_after_handover.png, the dialog holding them after send), with pelmora_bitmaps.png, the address book's toolbar buttons, list icons, cursor and icon
# as built, four times their size. Its subfolder ja holds the same pictures of every dialog
# and window as a Japanese user sees them, in Japanese, and pelmora_japanese.png, the main window
# with names and notes in Japanese.
# Look at them; they are not compared with anything.
set -euo pipefail
source "$(dirname "$0")/common.sh"

SHOTS=$BUILD_DIR/screenshots/$ARCH
TEST_PROGRAM=$BIN_DIR/dialog_screenshots.exe

# One picture a tile, labelled with its file's name: each toolbar button as enabled, pressed and
# disabled in a row, then the list icons, the resize cursor and the program icon's two sizes.
montage_address_book_pictures() {
    local pictures=$WIN_BUILD/resources/pelmorarc/pictures name
    local files=()
    for name in new_person new_group edit delete find; do
        files+=("$pictures/$name.bmp" "$pictures/${name}_pressed.bmp" "$pictures/${name}_disabled.bmp")
    done
    files+=("$pictures/person.bmp" "$pictures/group.bmp" "$pictures/column_resize.cur"
            "$pictures/address_book.ico[0]" "$pictures/address_book.ico[1]")
    montage -font /usr/share/wine/fonts/tahoma.ttf -pointsize 11 -label '%t' "${files[@]}" -filter point \
        -resize 400% -tile 3x -geometry +12+6 -background '#c0c0c0' "$SHOTS/pelmora_bitmaps.png"
    log "$SHOTS/pelmora_bitmaps.png"
}

# Starts the test program with the arguments after "--" and photographs into the folder, in order,
# each picture named before them once the program says it shows it; the program waits for each
# photograph.
photograph_run() { # folder, names..., --, arguments...
    local folder=$1 names=()
    shift
    while [ "$1" != -- ]; do names+=("$1"); shift; done
    shift
    NMX_SCREENSHOT_DIR=$(winepath -w "$folder") wine "$TEST_PROGRAM" "$@" </dev/null >>"$SHOTS/test.log" 2>&1 &
    photograph_steps "$folder" $! "${names[@]}"
}

SHOT_NAMES=(add_port port_config notice pelmora_main pelmora_find pelmora_about pelmora_personal_editor
            pelmora_group_editor pelmora_member_chooser pelmora_recipient_mode port_config_after_handover)

# Inside the virtual screen: every dialog and window for an English user, then for a Japanese one
# (Wine takes the user's language from the locale a process starts with).
photograph_dialogs() {
    start_wine_session
    local status=0
    photograph_run "$SHOTS" "${SHOT_NAMES[@]}" -- || status=$?
    LC_ALL=ja_JP.UTF-8 photograph_run "$SHOTS/ja" "${SHOT_NAMES[@]}" pelmora_japanese -- \
        --gtest_also_run_disabled_tests || status=$?
    stop_wine_session # the wineserver must go before its X server does
    return $status
}

if [ "${1:-}" = --inside-xvfb ]; then
    photograph_dialogs
    exit
fi

bash "$ROOT/scripts/setup.sh" --arch "$ARCH"
[ -f "$TEST_PROGRAM" ] || { log "missing $TEST_PROGRAM"; exit 1; }
rm -rf "$SHOTS"
mkdir -p "$SHOTS/ja"
: >"$SHOTS/test.log"
montage_address_book_pictures

stop_wine_session
status=0
on_virtual_screen bash "$0" --inside-xvfb || status=$?
tail -n 3 "$SHOTS/test.log"
exit $status
