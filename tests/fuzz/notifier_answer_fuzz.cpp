// Any bytes as the block a notifier hands back: the reader reads nothing beyond them, and an
// accepted confirmation carries settings the Xcv reader accepts again.
#include "fuzz_check.h"
#include "monitor/core/notifier_request.h"
#include "monitor/core/xcv_settings.h"

#include <cstring>
#include <memory>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The first byte chooses the kind sent; short inputs are laid over a valid block's start, so
    // that every check of the header is reached.
    if (size < 1)
        return 0;
    const NotifierKind sent = data[0] & 1 ? NotifierKind::Confirmation : NotifierKind::Message;
    std::vector<uint8_t> block(NotifierBlockBytes(sent));
    WriteNotifierRequest(NotifierRequest{sent}, block.data());
    if (sent == NotifierKind::Confirmation)
        WriteXcvSettings(XcvSettings{}, block.data() + kNotifierSettingsOffset);
    if (data[0] & 2)
        block.assign(data + 1, data + size); // the bytes as they are
    else
        std::memcpy(block.data(), data + 1, std::min(size - 1, block.size()));
    const std::unique_ptr<uint8_t[]> exact(new uint8_t[block.size() + 1]);
    std::memcpy(exact.get(), block.data(), block.size());
    auto settings = std::make_unique<XcvSettings>();
    const uint32_t answer = ReadNotifierAnswer(exact.get(), block.size(), sent, settings.get());
    FUZZ_CHECK(answer <= kNotifierCancel);
    if (answer == kNotifierOk && sent == NotifierKind::Confirmation) {
        std::vector<uint8_t> again(kXcvSettingsBytes);
        WriteXcvSettings(*settings, again.data());
        auto reread = std::make_unique<XcvSettings>();
        FUZZ_CHECK(ReadXcvSettings(again.data(), again.size(), reread.get()) == XcvReadError::None);
    }
    return 0;
}
