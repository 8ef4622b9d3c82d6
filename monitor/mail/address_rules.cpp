#include "monitor/mail/address_rules.h"
#include <cstring>
#include <initializer_list>

namespace {

// The completion a sender text needs, or nullptr when it is complete.
const char* SenderSuffix(const char* text)
{
    const char* at = std::strchr(text, '@');
    if (at == nullptr)
        return kAtDefaultDomain;
    if (at[1] == '\0')
        return kDefaultDomain;
    const char* dot = std::strchr(at, '.');
    if (dot == nullptr)
        return ".com";
    if (dot[1] == '\0')
        return "com";
    return nullptr;
}

// Copies length bytes of text and a null; the caller has checked the room.
void CopyTerminated(char* output, const char* text, size_t length)
{
    std::memcpy(output, text, length);
    output[length] = '\0';
}

const char* LastBefore(const char* begin, const char* end, char mark)
{
    for (const char* p = end; p != begin; --p)
        if (p[-1] == mark)
            return p - 1;
    return nullptr;
}

} // namespace

bool NormalizeSenderAddress(const char* text, char* output, uint32_t* size)
{
    const size_t capacity = *size;
    const size_t length = std::strlen(text);
    if (capacity <= length + 1)
        return false;

    if (length == 0) {
        const size_t placeholder = std::strlen(kPlaceholderSender);
        if (capacity <= placeholder)
            return false;
        CopyTerminated(output, kPlaceholderSender, placeholder);
        *size = static_cast<uint32_t>(placeholder + 1);
        return true;
    }

    const char* suffix = SenderSuffix(text);
    if (suffix == nullptr) {
        CopyTerminated(output, text, length);
        *size = static_cast<uint32_t>(length + 1);
        return true;
    }

    const size_t suffixLength = std::strlen(suffix);
    if (capacity <= suffixLength)
        return false;
    // When text and suffix do not both fit, the text is cut so that the result fills the
    // capacity exactly: the completion always survives.
    const size_t room = capacity - length - 1;
    const size_t kept = room >= suffixLength + 1 ? length : capacity - suffixLength - 1;
    std::memcpy(output, text, kept);
    CopyTerminated(output + kept, suffix, suffixLength);
    *size = static_cast<uint32_t>(kept + suffixLength + 1);
    return true;
}

bool ExtractMailbox(const char* text, char* output, uint32_t* size)
{
    const char* at = std::strchr(text, '@');
    if (at == nullptr) {
        *size = UINT32_MAX;
        return false;
    }

    // The marks are tried in this order, not by position.
    const char* open = nullptr;
    for (char mark : {'"', ')', '<'}) {
        open = LastBefore(text, at, mark);
        if (open != nullptr)
            break;
    }
    const char* begin = open != nullptr ? open + 1 : text;
    const char* end = at + std::strcspn(at, "\"(>");

    const size_t needed = static_cast<size_t>(end - begin) + 1;
    const size_t capacity = *size;
    *size = static_cast<uint32_t>(needed);
    if (needed > capacity)
        return false;
    CopyTerminated(output, begin, needed - 1);
    return true;
}

bool HasControlByte(const char* text)
{
    for (; *text != '\0'; ++text) {
        const unsigned char byte = static_cast<unsigned char>(*text);
        if (byte < 0x20 || byte == 0x7F)
            return true;
    }
    return false;
}
