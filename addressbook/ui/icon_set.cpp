#include "addressbook/ui/icon_set.h"

#include "addressbook/core/program.h"
#include "addressbook/core/resource_ids.h"
#include "addressbook/ui/bitmap_layout.h"

#include <cstring>
#include <utility>

IconSet g_mainIcons;
IconSet g_recipientIcons;

namespace {
BitmapHeader HeaderFields(const BITMAPINFOHEADER& header)
{
    return {header.biSize,        header.biWidth,     header.biHeight, header.biBitCount,
            header.biCompression, header.biSizeImage, header.biClrUsed};
}

// A screen-compatible bitmap made from bitmap resource `id`, through a copy of its
// device-independent form in global memory; empty on any failure.
ScopedBitmap LoadIconBitmap(int id)
{
    HRSRC found = FindResource(g_program.resources, MAKEINTRESOURCE(id), RT_BITMAP);
    HGLOBAL loaded = found != nullptr ? LoadResource(g_program.resources, found) : nullptr;
    const void* resource = loaded != nullptr ? LockResource(loaded) : nullptr;
    const DWORD available = found != nullptr ? SizeofResource(g_program.resources, found) : 0;
    if (resource == nullptr || available < sizeof(BITMAPINFOHEADER))
        return {};
    BITMAPINFOHEADER header;
    std::memcpy(&header, resource, sizeof(header));
    const BitmapLayout layout = LayOutBitmap(HeaderFields(header));
    if (layout.end == 0 || layout.end > available)
        return {};

    const LockedGlobalMemory copy(layout.end);
    auto* bytes = static_cast<BYTE*>(copy.Data());
    if (bytes == nullptr)
        return {};
    std::memcpy(bytes, resource, layout.end);
    const auto* info = reinterpret_cast<const BITMAPINFO*>(bytes);
    const ScopedWindowDc screen(nullptr);
    return ScopedBitmap(CreateDIBitmap(screen.Get(), &info->bmiHeader, CBM_INIT, bytes + layout.pixels, info,
                                       DIB_RGB_COLORS));
}

// Bitmap resource `id` selected into a new memory device context compatible with the screen;
// false, with nothing made, on any failure.
bool LoadIconInto(int id, IconSet::Icon& icon)
{
    ScopedBitmap bitmap = LoadIconBitmap(id);
    ScopedMemoryDc dc(bitmap ? CreateCompatibleDC(nullptr) : nullptr);
    if (!dc)
        return false;
    icon.selection = ScopedSelection(dc.Get(), bitmap.Get());
    icon.dc = std::move(dc);
    icon.bitmap = std::move(bitmap);
    return true;
}

void ReleaseIcon(IconSet::Icon& icon)
{
    icon.selection.Reset();
    icon.dc.Reset();
    icon.bitmap.Reset();
}

void Copy22By16(HDC source, HDC target, int x, int y)
{
    if (source != nullptr)
        BitBlt(target, x, y, kIconWidth, kIconHeight, source, 0, 0, SRCCOPY);
}
} // namespace

void IconSet::Load(bool withGroup)
{
    Release();
    if (!LoadIconInto(IDB_PERSON, person_) || (withGroup && !LoadIconInto(IDB_GROUP, group_)))
        Release();
}

void IconSet::Release()
{
    ReleaseIcon(person_);
    ReleaseIcon(group_);
}

int IconSet::PersonHeight() const
{
    BITMAP description = {};
    if (!person_.bitmap || GetObject(person_.bitmap.Get(), sizeof(description), &description) == 0)
        return 0;
    return description.bmHeight;
}

void IconSet::DrawPerson(HDC target, int x, int y) const
{
    Copy22By16(person_.dc.Get(), target, x, y);
}

void IconSet::DrawGroup(HDC target, int x, int y) const
{
    Copy22By16(group_.dc.Get(), target, x, y);
}
