// Any bytes of an "EHLO" reply, in pieces of the sizes a network gives: read without overrunning
// a line, and the same capabilities whatever the pieces.
#include "fuzz_check.h"
#include "monitor/mail/ehlo_capabilities.h"

#include <algorithm>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const size_t piece = 1 + data[0] % 64;
    const char* bytes = reinterpret_cast<const char*>(data + 1);
    EhloCapabilities whole;
    whole.Feed(bytes, size - 1);
    EhloCapabilities pieces;
    for (size_t at = 0; at < size - 1; at += piece)
        pieces.Feed(bytes + at, std::min(piece, size - 1 - at));
    FUZZ_CHECK(whole.StartTls() == pieces.StartTls() && whole.AuthPlain() == pieces.AuthPlain() &&
               whole.AuthLogin() == pieces.AuthLogin() && whole.SizeLimit() == pieces.SizeLimit());
    return 0;
}
