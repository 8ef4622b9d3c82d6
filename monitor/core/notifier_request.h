#pragma once
#include <cstddef>
#include <cstdint>

// What the monitor asks of the notifier (nmx_notify.exe, started in the session of the user who
// printed) and what the notifier answers, in one block of memory the notifier inherits. The
// block is fixed-width, pointer-free and little-endian, so that neither side trusts the other's
// layout. Layout of version 1, offsets in bytes:
//
//      0  magic "NXN1" (4E 58 4E 31)       4  version (1)
//      8  size of the whole block          12  kind: 1 a message box, 2 the job-start confirmation
//     16  style: the box's MB_ bits        20  answer: 0 until answered, then IDOK (1) or IDCANCEL (2)
//     24  caption  128 units              280  text  2048 units       4376  end of a message
//   4376  the job's settings as an Xcv settings block (a confirmation only): the notifier shows
//         them in the configuration dialog and, on OK, writes back the accepted ones
//
// Texts are UTF-16, null-terminated inside their field; a box shows its text as given.

constexpr uint32_t kNotifierMagic = 0x314E584E; // "NXN1" as bytes
constexpr uint32_t kNotifierVersion = 1;
constexpr size_t kNotifierCaptionUnits = 128;
constexpr size_t kNotifierTextUnits = 2048;
constexpr size_t kNotifierSettingsOffset = 4376;

enum class NotifierKind : uint32_t { Message = 1, Confirmation = 2 };

// The answers a box can give: those of its OK and Cancel buttons.
constexpr uint32_t kNotifierNoAnswer = 0;
constexpr uint32_t kNotifierOk = 1;     // IDOK
constexpr uint32_t kNotifierCancel = 2; // IDCANCEL

struct NotifierRequest {
    NotifierKind kind = NotifierKind::Message;
    uint32_t style = 0;
    uint32_t answer = kNotifierNoAnswer;
    char16_t caption[kNotifierCaptionUnits] = {};
    char16_t text[kNotifierTextUnits] = {};
};

enum class NotifierReadError {
    None,
    TooShort, // smaller than the header, or than its kind's block
    NotRequest,
    Version,
    Size,     // the size field other than the bytes given or than its kind's block
    Kind,
    Style,    // buttons other than OK or OK and Cancel, or bits a box of the monitor never has
    Answer,
    Text,     // a text without terminator in its field
};

// The bytes a block of that kind takes.
size_t NotifierBlockBytes(NotifierKind kind);

// Writes the header and texts into out, which holds NotifierBlockBytes(request.kind) bytes; a
// confirmation's settings are written after them by WriteXcvSettings at kNotifierSettingsOffset.
void WriteNotifierRequest(const NotifierRequest& request, uint8_t* out);

// Reads and checks the header and texts of a block of size bytes; reads nothing beyond them.
NotifierReadError ReadNotifierRequest(const uint8_t* data, size_t size, NotifierRequest* request);

// The notifier's answer, written into a block that was read without error.
void WriteNotifierAnswer(uint8_t* block, uint32_t answer);

struct XcvSettings;

// The monitor's reading of the block once the notifier has ended: the answer, or
// kNotifierNoAnswer when the block is not a valid one of the kind that was sent. An accepted
// confirmation also needs settings the Xcv reader accepts, read into *accepted.
uint32_t ReadNotifierAnswer(const uint8_t* block, size_t size, NotifierKind sent, XcvSettings* accepted);

// Whether the box's buttons ask the user something (OK and Cancel): the spooler waits only for those.
bool IsQuestionStyle(uint32_t style);
