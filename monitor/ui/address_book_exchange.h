#pragma once
#include <cstddef>
#include <cstdint>

// What the port configuration dialog and the address book program "pelmora.exe" exchange: the
// destination list goes out in "PreDef.ADR" of the spool directory, and the chosen addresses come
// back in the same file, named by a global atom in a posted "WM_SENDADDR" message.

// A full path and its terminator, as an atom names it.
constexpr std::size_t kHandOverPathChars = 261;

// The spool directory's "PreDef.ADR" ("%s\%s"); false, with an empty result, when it does not fit.
bool FormatHandOverPath(const wchar_t* spoolDirectory, wchar_t* out, std::size_t capacity);

// Any program on the desktop can post the message: only the spool directory's "PreDef.ADR",
// named by its full path in any letter case, is read and deleted.
bool IsHandOverFile(const wchar_t* path, const wchar_t* spoolDirectory);

// "pelmora.exe" in the installation directory. The program is started by its full path only, so
// that no search finds another program of that name: false (nothing to start) when the directory
// is not a full path ("C:\...", "\\server\...") or the result does not fit.
bool FormatAddressBookPath(const wchar_t* installDirectory, wchar_t* out, std::size_t capacity);

// What a hand-over reads: the announced byte count, but never more than the file holds (the
// count comes from whoever posted the message), and the wide buffer's room for its text.
struct HandOverRead {
    uint32_t bytes;
    uint32_t wideChars; // the buffer is 2 x count + 20 bytes
};
// False when the buffers would not fit in 32 bits.
bool PlanHandOverRead(uint32_t announcedBytes, uint64_t fileSize, HandOverRead* plan);

// A list longer than the field is cut to the field's length, its last character made ";".
void CutToDestinationField(wchar_t* text);
