#pragma once
// The person and group icons of the lists: bitmaps 118 and 119, each kept selected into a
// memory device context; drawing copies their 22 x 16 top-left area.
#include <windows.h>

#include "common/scoped.h"

constexpr int kIconWidth = 22;
constexpr int kIconHeight = 16;

class IconSet {
public:
    // Loads the person icon, and the group icon too when withGroup; any failure leaves the
    // set empty.
    void Load(bool withGroup);
    void Release();
    bool Empty() const { return !person_.dc; }
    int PersonHeight() const; // 0 when empty
    void DrawPerson(HDC target, int x, int y) const;
    void DrawGroup(HDC target, int x, int y) const;

    // One bitmap selected into its device context; released selection first, then the context,
    // then the bitmap.
    struct Icon {
        ScopedBitmap bitmap;
        ScopedMemoryDc dc;
        ScopedSelection selection;
    };

private:
    Icon person_;
    Icon group_;
};

extern IconSet g_mainIcons;      // main list: person and group
extern IconSet g_recipientIcons; // recipient box: person
