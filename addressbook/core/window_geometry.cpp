#include "addressbook/core/window_geometry.h"

#include <algorithm>

namespace {

constexpr int kMinRowHeight = 16;

bool SavedPlacementFits(const PixelBox& saved, const PixelBox& desktop)
{
    if (saved.x == kMissingSetting || saved.y == kMissingSetting ||
        saved.width == kMissingSetting || saved.height == kMissingSetting)
        return false;
    return saved.width > 0 && saved.height > 0 && saved.width < desktop.width &&
           saved.height < desktop.height;
}

} // namespace

PixelBox ChooseWindowPlacement(const PixelBox& saved, const PixelBox& desktop)
{
    if (SavedPlacementFits(saved, desktop))
        return saved;
    PixelBox box{};
    box.width = std::min(desktop.width - 20, 544);
    box.height = std::min(desktop.height * 2 / 3, 320);
    box.x = desktop.x + (desktop.width - box.width) / 2;
    box.y = desktop.y + (desktop.height - box.height) / 2;
    return box;
}

int RecipientBoxHeight(int systemTextHeight)
{
    return std::max(82, 4 * std::max(kMinRowHeight, systemTextHeight) + 12);
}

int RowSnapExcess(int clientHeight, int fixedHeight, int listTextHeight)
{
    return (clientHeight - fixedHeight) % std::max(kMinRowHeight, listTextHeight);
}
