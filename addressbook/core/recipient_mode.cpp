#include "addressbook/core/recipient_mode.h"

#include <cstring>

RecipientMode RecipientModeFrom(const char* commandTail)
{
    if (commandTail == nullptr)
        return kRecipientOff;
    if (std::strcmp(commandTail, "/p") == 0)
        return kRecipientP;
    if (std::strcmp(commandTail, "/o") == 0)
        return kRecipientO;
    return kRecipientOff;
}
