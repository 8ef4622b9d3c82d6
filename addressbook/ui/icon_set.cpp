#include "addressbook/ui/icon_set.h"

#include "addressbook/core/program.h"
#include "addressbook/core/resource_ids.h"

#include <cstring>

IconSet g_mainIcons;
IconSet g_groupEditorIcons;
IconSet g_recipientIcons;

namespace {
// A movable zero-filled global-memory block, locked while it is used.
class LockedBlock {
public:
    explicit LockedBlock(size_t size) : block_(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size))
    {
        if (block_ != nullptr)
            data_ = static_cast<BYTE*>(GlobalLock(block_));
    }
    ~LockedBlock()
    {
        if (data_ != nullptr)
            GlobalUnlock(block_);
        if (block_ != nullptr)
            GlobalFree(block_);
    }
    LockedBlock(const LockedBlock&) = delete;
    LockedBlock& operator=(const LockedBlock&) = delete;
    BYTE* Data() const { return data_; }

private:
    HGLOBAL block_;
    BYTE* data_ = nullptr;
};

// Where the pixels of a device-independent bitmap start (after its header and its colour table:
// the used-colour count, or every colour of a palette bitmap when that count is 0) and where the
// bitmap ends; an end of 0 when the header is not one this program reads.
struct DibLayout {
    size_t pixels = 0;
    size_t end = 0;
};

DibLayout LayoutOf(const BITMAPINFOHEADER& header)
{
    if (header.biSize < sizeof(BITMAPINFOHEADER) || header.biWidth <= 0 || header.biHeight == 0 ||
        header.biBitCount == 0 || header.biBitCount > 32)
        return {};
    size_t colours = header.biClrUsed;
    if (colours == 0 && header.biBitCount <= 8)
        colours = size_t{1} << header.biBitCount;
    size_t table = colours * sizeof(RGBQUAD);
    if (header.biSize == sizeof(BITMAPINFOHEADER) && header.biCompression == BI_BITFIELDS)
        table += 3 * sizeof(DWORD); // the three colour masks
    const size_t rows = header.biHeight < 0 ? size_t(-header.biHeight) : size_t(header.biHeight);
    const size_t stride = (size_t(header.biWidth) * header.biBitCount + 31) / 32 * 4;
    const bool uncompressed = header.biCompression == BI_RGB || header.biCompression == BI_BITFIELDS;
    DibLayout layout;
    layout.pixels = header.biSize + table;
    layout.end = layout.pixels + (uncompressed ? stride * rows : header.biSizeImage);
    return layout;
}

// A screen-compatible bitmap made from bitmap resource `id`; null on any failure.
HBITMAP LoadIconBitmap(int id)
{
    HRSRC found = FindResource(g_program.resources, MAKEINTRESOURCE(id), RT_BITMAP);
    HGLOBAL loaded = found != nullptr ? LoadResource(g_program.resources, found) : nullptr;
    const void* resource = loaded != nullptr ? LockResource(loaded) : nullptr;
    const DWORD available = found != nullptr ? SizeofResource(g_program.resources, found) : 0;
    if (resource == nullptr || available < sizeof(BITMAPINFOHEADER))
        return nullptr;
    BITMAPINFOHEADER header;
    std::memcpy(&header, resource, sizeof(header));
    const DibLayout layout = LayoutOf(header);
    if (layout.end == 0 || layout.end > available)
        return nullptr;

    const LockedBlock copy(layout.end);
    if (copy.Data() == nullptr)
        return nullptr;
    std::memcpy(copy.Data(), resource, layout.end);
    const auto* info = reinterpret_cast<const BITMAPINFO*>(copy.Data());
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateDIBitmap(screen, &info->bmiHeader, CBM_INIT, copy.Data() + layout.pixels, info,
                                    DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    return bitmap;
}

// Bitmap resource `id` selected into a new memory device context compatible with the screen;
// false, with nothing made, on any failure.
bool LoadIntoDc(int id, HDC& dc, HBITMAP& bitmap, HGDIOBJ& old)
{
    bitmap = LoadIconBitmap(id);
    if (bitmap == nullptr)
        return false;
    dc = CreateCompatibleDC(nullptr);
    if (dc == nullptr) {
        DeleteObject(bitmap);
        bitmap = nullptr;
        return false;
    }
    old = SelectObject(dc, bitmap);
    return true;
}

void ReleaseIcon(HDC& dc, HBITMAP& bitmap, HGDIOBJ& old)
{
    if (dc != nullptr) {
        SelectObject(dc, old);
        DeleteDC(dc);
    }
    if (bitmap != nullptr)
        DeleteObject(bitmap);
    dc = nullptr;
    bitmap = nullptr;
    old = nullptr;
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
    const bool loaded = LoadIntoDc(IDB_PERSON, personDc_, person_, personOld_) &&
                        (!withGroup || LoadIntoDc(IDB_GROUP, groupDc_, group_, groupOld_));
    if (!loaded)
        Release();
}

void IconSet::Release()
{
    ReleaseIcon(personDc_, person_, personOld_);
    ReleaseIcon(groupDc_, group_, groupOld_);
}

int IconSet::PersonHeight() const
{
    BITMAP description = {};
    if (person_ == nullptr || GetObject(person_, sizeof(description), &description) == 0)
        return 0;
    return description.bmHeight;
}

void IconSet::DrawPerson(HDC target, int x, int y) const
{
    Copy22By16(personDc_, target, x, y);
}

void IconSet::DrawGroup(HDC target, int x, int y) const
{
    Copy22By16(groupDc_, target, x, y);
}
