// Any bytes from a server, in pieces of the sizes a network gives: every reply is collected
// without overrunning its text, no byte after a reply's end is taken, and a piece is never
// refused while the reply is still open.
#include "fuzz_check.h"
#include "monitor/mail/smtp_reply.h"

#include <algorithm>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const size_t piece = 1 + data[0] % 64; // the first byte picks the size of the pieces
    const char* bytes = reinterpret_cast<const char*>(data + 1);
    size_t left = size - 1;
    SmtpReply reply;
    while (left > 0) {
        const size_t offered = std::min(piece, left);
        const size_t taken = reply.Feed(bytes, offered);
        FUZZ_CHECK(taken <= offered);
        FUZZ_CHECK(std::strlen(reply.Text()) <= kReplyTextCapacity);
        bytes += taken;
        left -= taken;
        if (reply.Overlong())
            break;
        if (reply.Complete()) {
            FUZZ_CHECK(taken > 0 && bytes[-1] == '\n');
            static_cast<void>(reply.Kind());
            FUZZ_CHECK(reply.Feed(bytes, left) == 0); // the next reply's bytes stay
            reply.Reset();
        } else {
            FUZZ_CHECK(taken == offered);
        }
    }
    return 0;
}
