#pragma once
// Where the modeless find dialog goes: beside the main window rather than over the list, which
// shows what it finds. Portable arithmetic: no Win32 here.
#include "addressbook/core/window_geometry.h"

// The dialog's new outer rectangle, of its own size: under the owner's bottom edge, or above its
// top when the work area has no room below, right-aligned with the owner and kept inside the work
// area sideways; over the owner's bottom right corner when it fits neither below nor above.
Box PlaceBesideOwner(const Box& dialog, const Box& owner, const Box& workArea);
