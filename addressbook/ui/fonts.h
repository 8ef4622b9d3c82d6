#pragma once
// The address book's one font recipe (9-point "MS Gothic" by its Shift-JIS name; Shift-JIS
// character set only for a Japanese user) and the slots through which windows get it.
#include <windows.h>

#include "common/scoped.h"

HFONT CreateAddressBookFont(bool bold);

class FontSlot {
public:
    // Makes the slot's font: `attempts` tries of the recipe; the slot stays empty when all fail.
    void Make(bool bold = false, int attempts = 2);
    // Gives the window the slot's font without redraw, or the stock system font when empty.
    void Apply(HWND window) const;
    // Only when the slot holds a font: gives the window the stock system font, so that no
    // control keeps a font about to be deleted.
    void Detach(HWND window) const;
    void Delete() { font_.Reset(); }
    HFONT Font() const { return font_.Get(); } // null when empty

private:
    ScopedFont font_;
};

// The main window's slots; each dialog keeps its own.
extern FontSlot g_statusFont;
extern FontSlot g_listFont;
extern FontSlot g_columnBarFont;
extern FontSlot g_recipientFont;

// Character height + 2 of the font (the stock system font when null); every text measurement
// of the address book pads its metrics this way (average width + 1).
int PaddedTextHeight(HFONT font);
int PaddedCharWidth(HFONT font);
