#include "addressbook/core/recipient_mode.h"

#include <gtest/gtest.h>

TEST(RecipientMode, OnlyTheExactTailsStartRecipientMode)
{
    struct Case {
        const char* tail;
        RecipientMode mode;
    };
    const Case cases[] = {
        {"/p", kRecipientP}, {"/o", kRecipientO}, {"/O", kRecipientOff}, {"/P", kRecipientOff},
        {"/o ", kRecipientOff}, {" /o", kRecipientOff}, {"/p /o", kRecipientOff},
        {"", kRecipientOff}, {"-p", kRecipientOff}, {"/", kRecipientOff},
    };
    for (const Case& c : cases)
        EXPECT_EQ(RecipientModeFrom(c.tail), c.mode) << '"' << c.tail << '"';
    EXPECT_EQ(RecipientModeFrom(nullptr), kRecipientOff);
}

