#include "monitor/mail/encoded_attachment.h"
#include "common/scoped.h"
#include "monitor/core/memory.h"
#include "monitor/core/resource_ids.h"
#include "monitor/mail/base64.h"
#include "monitor/mail/message_stream.h"

#include <cstring>

namespace {

// Large blocks: every read and write of a file is a system call, which costs as much under
// emulation as encoding some kilobytes.
constexpr DWORD kSpoolReadBytes = 48 * 1024; // a multiple of 3: only the file's end is padded
constexpr DWORD kEncodedReadBytes = 64 * 1024;

struct EncodedName {
    explicit EncodedName(const WCHAR* spoolFile)
    {
        lstrcpynW(text, spoolFile, MAX_PATH + 1);
        lstrcatW(text, L".m");
    }
    WCHAR text[MAX_PATH + 3];
};

HANDLE OpenShared(const WCHAR* name, DWORD access, DWORD disposition)
{
    return CreateFileW(name, access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, disposition,
                       FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
}

void ShowFailure(MessageTarget& messages, UINT textId)
{
    ShowMonitorMessage(messages, textId, kStyleError);
}

// A zero-filled block of global memory; told to the user when there is none.
template <typename Block>
ScopedBlock<Block> AllocBlock(MessageTarget& messages)
{
    ScopedBlock<Block> block(static_cast<Block*>(AllocZeroed(sizeof(Block))));
    if (!block)
        ShowFailure(messages, IDS_OUT_OF_MEMORY);
    return block;
}

struct EncodingBlocks {
    BYTE bytes[kSpoolReadBytes];
    char text[Base64Length(kSpoolReadBytes)];
};

struct EncodedBlock {
    char text[kEncodedReadBytes];
};

// Encodes the bytes (a partial group only at the file's end) and writes their text in one write.
bool WriteEncoded(HANDLE encoded, const BYTE* bytes, DWORD count, char* text)
{
    const DWORD length = static_cast<DWORD>(EncodeBase64Block(bytes, count, text));
    DWORD written = 0;
    return length == 0 || (WriteFile(encoded, text, length, &written, nullptr) && written == length);
}

// Reads the spool file to its end and writes its base64 text. A read that ends inside a group
// before the file's end (which a disk file does not do) keeps that group's bytes for the next
// block, so that only the file's end can be padded.
bool EncodeFile(HANDLE spool, HANDLE encoded, EncodingBlocks& blocks, MessageTarget& messages)
{
    DWORD held = 0;
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(spool, blocks.bytes + held, kSpoolReadBytes - held, &read, nullptr)) {
            if (GetLastError() != ERROR_HANDLE_EOF) {
                ShowFailure(messages, IDS_SPOOL_READ);
                return false;
            }
            read = 0;
        }
        if (read == 0)
            break;
        held += read;
        const DWORD whole = held / 3 * 3;
        if (!WriteEncoded(encoded, blocks.bytes, whole, blocks.text)) {
            ShowFailure(messages, IDS_ENCODED_WRITE);
            return false;
        }
        held -= whole;
        std::memmove(blocks.bytes, blocks.bytes + whole, held);
    }
    if (WriteEncoded(encoded, blocks.bytes, held, blocks.text))
        return true;
    ShowFailure(messages, IDS_ENCODED_WRITE);
    return false;
}

bool AppendText(MessageStream& stream, const char* text)
{
    return stream.Append(text, std::strlen(text));
}

// Streams the encoded file in lines of 75 characters. True when it was read to its end and
// every line was taken.
bool SendEncodedLines(MessageStream& stream, HANDLE encoded, EncodedBlock& block)
{
    Base64Lines lines(stream);
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(encoded, block.text, sizeof block.text, &read, nullptr))
            return false;
        if (read == 0)
            return lines.Finish();
        if (!lines.Append(block.text, read))
            return false;
    }
}

} // namespace

bool PrepareEncodedAttachment(const WCHAR* spoolFile, MessageTarget& messages)
{
    const EncodedName name(spoolFile);
    ScopedFile encoded(OpenShared(name.text, GENERIC_WRITE, CREATE_ALWAYS));
    if (!encoded.IsValid()) {
        ShowFailure(messages, IDS_FILE_OPEN);
        return false;
    }
    ScopedFile spool(OpenShared(spoolFile, GENERIC_READ, OPEN_EXISTING));
    if (!spool.IsValid()) {
        ShowFailure(messages, IDS_FILE_OPEN);
        return false;
    }
    const ScopedBlock<EncodingBlocks> blocks = AllocBlock<EncodingBlocks>(messages);
    return blocks && EncodeFile(spool.Get(), encoded.Get(), *blocks.Get(), messages);
}

bool SendEncodedAttachment(MessageStream& stream, const WCHAR* spoolFile, MessageTarget& messages)
{
    const EncodedName name(spoolFile);
    bool sent = false;
    {
        ScopedFile encoded(OpenShared(name.text, GENERIC_READ, OPEN_EXISTING));
        if (!encoded.IsValid()) {
            ShowFailure(messages, IDS_FILE_OPEN);
            return false;
        }
        const ScopedBlock<EncodedBlock> block = AllocBlock<EncodedBlock>(messages);
        sent = block && AppendText(stream, "Content-Type: application/octet-stream;\tname=\"PrintJob.PRN\"\r\n") &&
               AppendText(stream, "Content-Transfer-Encoding: base64\r\n\r\n") &&
               SendEncodedLines(stream, encoded.Get(), *block.Get());
    }
    DeleteFileW(name.text);
    return sent;
}

void RemoveEncodedAttachment(const WCHAR* spoolFile)
{
    const EncodedName name(spoolFile);
    DeleteFileW(name.text);
}
