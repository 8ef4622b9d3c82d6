#include "monitor/core/notifier_request.h"

#include "monitor/core/block_fields.h"
#include "monitor/core/xcv_settings.h"

namespace {
constexpr size_t kHeaderBytes = 24;
constexpr size_t kAnswerOffset = 20;
constexpr size_t kCaptionOffset = 24;
constexpr size_t kTextOffset = kCaptionOffset + 2 * kNotifierCaptionUnits;
static_assert(kTextOffset + 2 * kNotifierTextUnits == kNotifierSettingsOffset, "the documented layout");

constexpr uint32_t kButtonsMask = 0xF;
constexpr uint32_t kButtonsOkCancel = 0x1;
// The icons, MB_SETFOREGROUND and MB_TOPMOST: all the monitor's boxes use besides their buttons.
constexpr uint32_t kOtherAllowedBits = 0xF0 | 0x10000 | 0x40000;

template <size_t Units> bool GetText(const uint8_t* at, char16_t (&text)[Units])
{
    bool terminated = false;
    for (size_t i = 0; i < Units; ++i) {
        text[i] = GetTextUnit(at, i);
        terminated = terminated || text[i] == u'\0';
    }
    return terminated;
}

bool IsKnownKind(uint32_t kind)
{
    return kind == static_cast<uint32_t>(NotifierKind::Message) ||
           kind == static_cast<uint32_t>(NotifierKind::Confirmation);
}

bool IsMonitorBoxStyle(uint32_t style)
{
    return (style & kButtonsMask) <= kButtonsOkCancel && (style & ~(kButtonsMask | kOtherAllowedBits)) == 0;
}
} // namespace

size_t NotifierBlockBytes(NotifierKind kind)
{
    return kind == NotifierKind::Confirmation ? kNotifierSettingsOffset + kXcvSettingsBytes : kNotifierSettingsOffset;
}

bool IsQuestionStyle(uint32_t style)
{
    return (style & kButtonsMask) == kButtonsOkCancel;
}

void WriteNotifierRequest(const NotifierRequest& request, uint8_t* out)
{
    PutLittleEndian32(out, kNotifierMagic);
    PutLittleEndian32(out + 4, kNotifierVersion);
    PutLittleEndian32(out + 8, static_cast<uint32_t>(NotifierBlockBytes(request.kind)));
    PutLittleEndian32(out + 12, static_cast<uint32_t>(request.kind));
    PutLittleEndian32(out + 16, request.style);
    PutLittleEndian32(out + kAnswerOffset, request.answer);
    PutTextField(out + kCaptionOffset, request.caption, kNotifierCaptionUnits);
    PutTextField(out + kTextOffset, request.text, kNotifierTextUnits);
}

NotifierReadError ReadNotifierRequest(const uint8_t* data, size_t size, NotifierRequest* request)
{
    if (data == nullptr || size < kHeaderBytes)
        return NotifierReadError::TooShort;
    if (GetLittleEndian32(data) != kNotifierMagic)
        return NotifierReadError::NotRequest;
    if (GetLittleEndian32(data + 4) != kNotifierVersion)
        return NotifierReadError::Version;
    const uint32_t kind = GetLittleEndian32(data + 12);
    if (!IsKnownKind(kind))
        return NotifierReadError::Kind;
    request->kind = static_cast<NotifierKind>(kind);
    const size_t expected = NotifierBlockBytes(request->kind);
    if (size < expected)
        return NotifierReadError::TooShort;
    if (GetLittleEndian32(data + 8) != expected || size != expected)
        return NotifierReadError::Size;
    request->style = GetLittleEndian32(data + 16);
    if (!IsMonitorBoxStyle(request->style))
        return NotifierReadError::Style;
    request->answer = GetLittleEndian32(data + kAnswerOffset);
    if (request->answer > kNotifierCancel)
        return NotifierReadError::Answer;
    if (!GetText(data + kCaptionOffset, request->caption) || !GetText(data + kTextOffset, request->text))
        return NotifierReadError::Text;
    return NotifierReadError::None;
}

void WriteNotifierAnswer(uint8_t* block, uint32_t answer)
{
    PutLittleEndian32(block + kAnswerOffset, answer);
}

uint32_t ReadNotifierAnswer(const uint8_t* block, size_t size, NotifierKind sent, XcvSettings* accepted)
{
    NotifierRequest read;
    if (ReadNotifierRequest(block, size, &read) != NotifierReadError::None || read.kind != sent)
        return kNotifierNoAnswer;
    if (sent == NotifierKind::Confirmation && read.answer == kNotifierOk &&
        ReadXcvSettings(block + kNotifierSettingsOffset, size - kNotifierSettingsOffset, accepted) != XcvReadError::None)
        return kNotifierNoAnswer;
    return read.answer;
}
