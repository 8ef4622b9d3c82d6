#include "addressbook/core/recipient_box_layout.h"

#include <algorithm>
#include <unordered_set>

namespace {
constexpr int kMinLineHeight = 16;
constexpr int kButtonLeft = 6;
constexpr int kButtonWidth = 100;
constexpr int kButtonHeight = 22;
constexpr int kButtonTops[] = {6, 30, 54};
constexpr int kListLeft = 112;
constexpr int kListRightMargin = 6; // the list ends 6 pixels short of the box's right edge
constexpr int kListLines = 4;

Box Button(int index)
{
    const int top = kButtonTops[index];
    return {kButtonLeft, top, kButtonLeft + kButtonWidth, top + kButtonHeight};
}
} // namespace

int RecipientLineHeight(int systemText)
{
    return std::max(kMinLineHeight, systemText);
}

RecipientBoxLayout LayOutRecipientBox(int width, int height, int systemText)
{
    const int listHeight = kListLines * RecipientLineHeight(systemText);
    const int listTop = (height - listHeight) / 2;
    // A box narrower than the buttons gives the list no width rather than a negative one.
    const int listRight = std::max(kListLeft, width - kListRightMargin);
    return {Button(0), Button(1), Button(2), {kListLeft, listTop, listRight, listTop + listHeight}};
}

std::vector<EntryRef> RecipientsToAdd(const std::vector<EntryRef>& picked, const std::vector<EntryRef>& held)
{
    std::unordered_set<EntryRef> present(held.begin(), held.end());
    std::vector<EntryRef> added;
    for (EntryRef ref : picked) {
        if (present.insert(ref).second)
            added.push_back(ref);
    }
    return added;
}
