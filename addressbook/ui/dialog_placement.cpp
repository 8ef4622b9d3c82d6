#include "addressbook/ui/dialog_placement.h"

#include <algorithm>

Box PlaceBesideOwner(const Box& dialog, const Box& owner, const Box& workArea)
{
    const int width = dialog.Width();
    const int height = dialog.Height();
    int top = owner.bottom - height; // over the owner's bottom edge
    if (owner.bottom + height <= workArea.bottom)
        top = owner.bottom;
    else if (owner.top - height >= workArea.top)
        top = owner.top - height;
    const int left = std::max(workArea.left, std::min(owner.right, workArea.right) - width);
    return {left, top, left + width, top + height};
}
