#include "addressbook/core/hand_over.h"

#include "addressbook/core/hand_over_plan.h"
#include "addressbook/core/main_window.h"
#include "addressbook/core/program.h"
#include "addressbook/core/resource_ids.h"
#include "addressbook/core/version_key.h"
#include "common/scoped.h"

#include <string>

namespace {

constexpr char kHandOverFile[] = "PreDef.ADR";
constexpr char kHandOverMessage[] = "WM_SENDADDR";
constexpr int kMaxAtomNameChars = 255;

// "<TempDir>\PreDef.ADR"; false when the key does not open or holds no "TempDir".
bool FormHandOverPath(std::string& path)
{
    char directory[kDirectoryValueBytes + 1];
    if (!ReadVersionText(OpenVersionKey(), "TempDir", directory))
        return false;
    path = std::string(directory) + "\\" + kHandOverFile;
    return true;
}

// An atom's name is at most 255 characters; a double-byte character counts once.
bool FitsAnAtomName(const std::string& path)
{
    const int withTerminator = MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, nullptr, 0);
    return withTerminator > 0 && withTerminator - 1 <= kMaxAtomNameChars;
}

// The file is not truncated: the dialog reads up to the terminator, and in keep mode its text
// stays. The one write holds the separator over the kept terminator, the addresses and the new
// terminator.
bool WritePlan(HANDLE file, const HandOverPlan& plan)
{
    LARGE_INTEGER offset;
    offset.QuadPart = static_cast<LONGLONG>(plan.offset);
    DWORD written = 0;
    return SetFilePointerEx(file, offset, nullptr, FILE_BEGIN) &&
           WriteFile(file, plan.text.data(), static_cast<DWORD>(plan.text.size()), &written, nullptr) &&
           written == plan.text.size();
}

// Writes the file and closes it; false (nothing to announce) when it could not be opened, sized
// or wholly written. A partly written text would reach the dialog's field, so it is not announced.
bool WriteHandOverFile(const std::string& path, const std::vector<EntryRef>& recipients, uint32_t& length)
{
    ScopedFile file(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size;
    if (!file.IsValid() || !GetFileSizeEx(file.Get(), &size))
        return false;
    const HandOverPlan plan = PlanHandOver(static_cast<uint64_t>(size.QuadPart), recipients, g_program.book);
    length = plan.length;
    // Closed before the dialog hears of it: the dialog deletes the file once it has read it, which
    // an open handle here would make fail.
    return WritePlan(file.Get(), plan) && file.Close();
}

// From the post on the atom is the dialog's; when there is no dialog to take it, none is left.
void Announce(const std::string& path, uint32_t length)
{
    const UINT message = RegisterWindowMessage(kHandOverMessage);
    if (message == 0 || !IsWindow(g_program.targetWindow))
        return;
    ScopedAtom atom(GlobalAddAtom(path.c_str()));
    if (atom && PostMessage(g_program.targetWindow, message, atom.Get(), static_cast<LPARAM>(length)))
        atom.Release();
}

} // namespace

void HandOverRecipients(HWND owner, const std::vector<EntryRef>& recipients)
{
    std::string path;
    if (recipients.empty() || !FormHandOverPath(path))
        return;
    if (!FitsAnAtomName(path)) {
        ShowProgramMessage(owner, IDS_HANDOVER_PATH_LONG, MB_OK | MB_ICONSTOP, path.c_str());
        return;
    }
    uint32_t length = 0;
    if (WriteHandOverFile(path, recipients, length))
        Announce(path, length);
}
