#include "monitor/mail/recipient_list.h"
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

std::vector<std::u16string> Served(std::u16string list)
{
    std::vector<std::u16string> entries;
    RecipientsFromLast<char16_t> recipients(&list[0]);
    while (const char16_t* entry = recipients.Next())
        entries.push_back(entry);
    return entries;
}

using List = std::vector<std::u16string>;

} // namespace

TEST(RecipientsFromLast, ServesEntriesFromTheLastToTheFirst)
{
    EXPECT_EQ(Served(u"a@x.y;b@x.y;c@x.y"), (List{u"c@x.y", u"b@x.y", u"a@x.y"}));
    EXPECT_EQ(Served(u"only@x.y"), (List{u"only@x.y"}));
}

TEST(RecipientsFromLast, SkipsEmptyEntriesAndEntriesBeginningWithAt)
{
    EXPECT_EQ(Served(u"a@x.y;;b@x.y;"), (List{u"b@x.y", u"a@x.y"}));
    EXPECT_EQ(Served(u"@group;a@x.y;@x.y"), (List{u"a@x.y"}));
    EXPECT_EQ(Served(u""), List{});
    EXPECT_EQ(Served(u";;"), List{});
}

TEST(RecipientsFromLast, KeepsBlanksAndTextWithoutAt)
{
    EXPECT_EQ(Served(u" a@x.y ;Anna"), (List{u"Anna", u" a@x.y "}));
}
