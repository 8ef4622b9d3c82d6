#include "addressbook/core/window_geometry.h"

#include "addressbook/core/recipient_box_layout.h"

#include <algorithm>

namespace {

constexpr int kDesktopMargin = 20;
constexpr int kMaxDefaultWidth = 544;
constexpr int kMaxDefaultHeight = 320;
constexpr int kMinRowHeight = 16;
constexpr int kMinRecipientBoxHeight = 82;
constexpr int kColumnBarPadding = 4;
constexpr int kStatusPadding = 6;
constexpr int kToolButtonTop = 1;

bool Usable(const SavedPlacement& saved, const Box& desktop)
{
    const bool present = saved.x != kMissingSetting && saved.y != kMissingSetting &&
                         saved.width != kMissingSetting && saved.height != kMissingSetting;
    return present && saved.width > 0 && saved.height > 0 && saved.height < desktop.Height() &&
           saved.width < desktop.Width();
}

int ColumnBarHeight(const LayoutMetrics& metrics)
{
    return metrics.columnBarText + kColumnBarPadding;
}

int StatusHeight(const LayoutMetrics& metrics)
{
    return metrics.statusText + kStatusPadding;
}

// Everything in the client area's height but the main list.
int FixedHeight(const LayoutMetrics& metrics, bool withRecipientBox)
{
    return kToolbarHeight + ColumnBarHeight(metrics) + StatusHeight(metrics) +
           (withRecipientBox ? RecipientBoxHeight(metrics.systemText) : 0);
}

} // namespace

Box ChooseWindowPlacement(const SavedPlacement& saved, const Box& desktop)
{
    if (Usable(saved, desktop))
        return {saved.x, saved.y, saved.x + saved.width, saved.y + saved.height};
    const int width = std::min(desktop.Width() - kDesktopMargin, kMaxDefaultWidth);
    const int height = std::min(desktop.Height() * 2 / 3, kMaxDefaultHeight);
    const int left = desktop.left + (desktop.Width() - width) / 2;
    const int top = desktop.top + (desktop.Height() - height) / 2;
    return {left, top, left + width, top + height};
}

int RecipientBoxHeight(int systemText)
{
    return std::max(kMinRecipientBoxHeight, 4 * RecipientLineHeight(systemText) + 12);
}

ChildLayout LayOutChildren(int clientWidth, int clientHeight, const LayoutMetrics& metrics, bool withRecipientBox)
{
    ChildLayout layout = {};
    layout.toolbar = {0, 0, clientWidth, kToolbarHeight};
    layout.columnBar = {0, kToolbarHeight, clientWidth, kToolbarHeight + ColumnBarHeight(metrics)};
    layout.statusWindow = {0, clientHeight - StatusHeight(metrics), clientWidth, clientHeight};
    int listBottom = layout.statusWindow.top;
    if (withRecipientBox) {
        const int boxHeight = RecipientBoxHeight(metrics.systemText);
        layout.recipientBox = {0, layout.statusWindow.top - boxHeight, clientWidth, layout.statusWindow.top};
        listBottom = layout.recipientBox.top;
    }
    // A window too small for the bars gives the list no height rather than a negative one.
    layout.mainList = {0, layout.columnBar.bottom, clientWidth, std::max(layout.columnBar.bottom, listBottom)};
    for (int i = 0; i < kToolButtonCount; ++i) {
        layout.toolButtons[i] = {kToolButtonLefts[i], kToolButtonTop, kToolButtonLefts[i] + kToolButtonSize,
                                 kToolButtonTop + kToolButtonSize};
    }
    return layout;
}

int RowSnapRemainder(int clientHeight, const LayoutMetrics& metrics, bool withRecipientBox)
{
    const int listHeight = clientHeight - FixedHeight(metrics, withRecipientBox);
    if (listHeight <= 0)
        return 0;
    return listHeight % std::max(kMinRowHeight, metrics.listText);
}
