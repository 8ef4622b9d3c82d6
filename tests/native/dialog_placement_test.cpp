#include "addressbook/ui/dialog_placement.h"

#include <gtest/gtest.h>

TEST(DialogPlacement, TheFindDialogGoesBesideTheMainWindowNotOverItsList)
{
    const Box work = {0, 0, 1024, 738}; // a 1024 x 768 screen less its task bar
    const Box dialog = {0, 0, 380, 115};
    const struct {
        const char* what;
        Box owner;
        Box placed;
    } cases[] = {
        {"room below: under the bottom edge, right-aligned", {240, 224, 784, 544}, {404, 544, 784, 659}},
        {"no room below: above the top edge", {240, 400, 784, 720}, {404, 285, 784, 400}},
        {"room neither below nor above: over the bottom right corner", {0, 0, 1024, 738}, {644, 623, 1024, 738}},
        {"an owner reaching past the right of the screen: kept inside", {800, 100, 1200, 400}, {644, 400, 1024, 515}},
        {"an owner narrower than the dialog at the left: kept inside", {-50, 100, 200, 400}, {0, 400, 380, 515}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PlaceBesideOwner(dialog, c.owner, work), c.placed) << c.what;
}
