#include "monitor/mail/encoded_attachment.h"
#include "monitor/core/file_handle.h"
#include "monitor/core/messages.h"
#include "monitor/core/resource_ids.h"
#include "monitor/mail/base64.h"
#include "monitor/mail/smtp_session.h"

#include <cstring>

namespace {

constexpr DWORD kSpoolReadBytes = 3072; // a multiple of 3: only the file's end is padded
constexpr DWORD kLineChars = 75;

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

void ShowFailure(UINT textId)
{
    ShowMonitorMessage(textId, kStyleError);
}

// Encodes one block read from the spool file; the block's groups go out in one write.
bool WriteEncodedBlock(HANDLE encoded, const BYTE* bytes, DWORD count)
{
    char text[Base64Length(kSpoolReadBytes)];
    DWORD length = 0;
    for (DWORD i = 0; i < count; i += 3, length += 4)
        EncodeBase64Group(bytes + i, count - i < 3 ? count - i : 3, text + length);
    DWORD written = 0;
    return WriteFile(encoded, text, length, &written, nullptr) && written == length;
}

bool SendLine(SmtpSocket& socket, SessionHost& host, const char* text)
{
    return SendSmtpText(socket, host, text, std::strlen(text));
}

// Streams the encoded file in lines of 75 characters. True when it was read to its end and
// every line was written.
bool SendEncodedLines(SmtpSocket& socket, SessionHost& host, HANDLE encoded)
{
    char line[kLineChars + 2];
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(encoded, line, kLineChars, &read, nullptr))
            return false;
        if (read == 0)
            return true;
        line[read] = '\r';
        line[read + 1] = '\n';
        if (!SendSmtpText(socket, host, line, read + 2))
            return false;
    }
}

} // namespace

bool PrepareEncodedAttachment(const WCHAR* spoolFile)
{
    const EncodedName name(spoolFile);
    FileHandle encoded(OpenShared(name.text, GENERIC_WRITE, CREATE_ALWAYS));
    if (!encoded.valid()) {
        ShowFailure(IDS_FILE_OPEN);
        return false;
    }
    FileHandle spool(OpenShared(spoolFile, GENERIC_READ, OPEN_EXISTING));
    if (!spool.valid()) {
        ShowFailure(IDS_FILE_OPEN);
        return false;
    }
    BYTE block[kSpoolReadBytes];
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(spool.get(), block, sizeof block, &read, nullptr)) {
            if (GetLastError() == ERROR_HANDLE_EOF)
                return true;
            ShowFailure(IDS_SPOOL_READ);
            return false;
        }
        if (read == 0)
            return true;
        if (!WriteEncodedBlock(encoded.get(), block, read)) {
            ShowFailure(IDS_ENCODED_WRITE);
            return false;
        }
    }
}

bool SendEncodedAttachment(SmtpSocket& socket, SessionHost& host, const WCHAR* spoolFile)
{
    const EncodedName name(spoolFile);
    bool sent = false;
    {
        FileHandle encoded(OpenShared(name.text, GENERIC_READ, OPEN_EXISTING));
        if (!encoded.valid()) {
            ShowFailure(IDS_FILE_OPEN);
            return false;
        }
        sent = SendLine(socket, host, "Content-Type: application/octet-stream;\tname=\"PrintJob.PRN\"\r\n") &&
               SendLine(socket, host, "Content-Transfer-Encoding: base64\r\n\r\n") &&
               SendEncodedLines(socket, host, encoded.get());
    }
    DeleteFileW(name.text);
    return sent;
}

void RemoveEncodedAttachment(const WCHAR* spoolFile)
{
    const EncodedName name(spoolFile);
    DeleteFileW(name.text);
}
