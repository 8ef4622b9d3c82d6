#pragma once
// The person and group icons of the lists: bitmaps 118 and 119, each kept selected into a
// memory device context; drawing copies their 22 x 16 top-left area.
#include <windows.h>

constexpr int kIconWidth = 22;
constexpr int kIconHeight = 16;

class IconSet {
public:
    // Loads the person icon, and the group icon too when withGroup; any failure leaves the
    // set empty.
    void Load(bool withGroup);
    void Release();
    bool Empty() const { return personDc_ == nullptr; }
    int PersonHeight() const; // 0 when empty
    void DrawPerson(HDC target, int x, int y) const;
    void DrawGroup(HDC target, int x, int y) const;

private:
    HDC personDc_ = nullptr;
    HBITMAP person_ = nullptr;
    HGDIOBJ personOld_ = nullptr;
    HDC groupDc_ = nullptr;
    HBITMAP group_ = nullptr;
    HGDIOBJ groupOld_ = nullptr;
};

extern IconSet g_mainIcons;        // main list: person and group
extern IconSet g_groupEditorIcons; // group editor and member chooser: person
extern IconSet g_recipientIcons;   // recipient box: person
