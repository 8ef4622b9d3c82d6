#!/usr/bin/env bash
# Photographs each of the monitor's dialogs as users see them: the dialogs run in the installed
# monitor under Wine's X11 driver on a virtual screen (Xvfb). The pictures land in
# $BUILD_DIR/screenshots (add_port.png, port_config.png, notice.png, and pelmora_main.png: the
# address book's main window with people and groups; pelmora_recipient_mode.png: the address book
# started by the port settings dialog's "Address Book..." button, a person and a group added to
# its recipient box, before send; port_config_after_handover.png: the dialog holding them after
# send), with pelmora_bitmaps.png, the address book's toolbar buttons, list icons, cursor and icon
# as built, four times their size.
# Look at them; they are not compared with anything.
set -euo pipefail
source "$(dirname "$0")/common.sh"

SHOTS=$BUILD_DIR/screenshots
TEST_PROGRAM=$WIN32_BUILD/bin/dialog_screenshots.exe

# One picture a tile, labelled with its file's name: each toolbar button as enabled, pressed and
# disabled in a row, then the list icons, the resize cursor and the program icon's two sizes.
montage_address_book_pictures() {
    local pictures=$WIN32_BUILD/resources/pelmorarc/pictures name
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

bash "$ROOT/scripts/setup.sh"
[ -f "$TEST_PROGRAM" ] || { log "missing $TEST_PROGRAM"; exit 1; }
rm -rf "$SHOTS"
mkdir -p "$SHOTS"
montage_address_book_pictures

stop_wine_session
status=0
photograph_on_virtual_screen "$SHOTS" "$SHOTS/test.log" "$TEST_PROGRAM" add_port port_config notice pelmora_main \
    pelmora_recipient_mode port_config_after_handover || status=$?
tail -n 3 "$SHOTS/test.log"
exit $status
