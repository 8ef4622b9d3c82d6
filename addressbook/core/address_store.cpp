#include "addressbook/core/address_store.h"

#include "addressbook/core/data_files.h"
#include "addressbook/core/main_window.h"
#include "addressbook/core/program.h"
#include "addressbook/core/resource_ids.h"
#include "addressbook/core/version_key.h"
#include "common/scoped.h"

#include <cstdio>
#include <new>

namespace {

constexpr DWORD kPredefinedReadBytes = kTextFieldSize - 1;
constexpr int kBackupNames = 9; // "<file>.bak", "<file>.bak2" ... "<file>.bak9"

// A data file found on disk at start-up that was not loaded (a "group.inf" beside a missing
// "personal.inf", a file another program held open) still holds the user's entries: before the
// first save of the run replaces it, it is copied to a backup beside it.
struct StoredFile {
    bool keepBeforeSave = false;
};
StoredFile g_storedPersonal;
StoredFile g_storedGroups;

// The whole file, opened for reading and writing with no sharing, only if it exists.
bool ReadWholeFile(const char* path, Bytes* content)
{
    ScopedFile file(CreateFileA(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                nullptr));
    if (!file.IsValid())
        return false;
    LARGE_INTEGER size = {};
    const LARGE_INTEGER start = {};
    if (!SetFilePointerEx(file.Get(), start, &size, FILE_END) || !SetFilePointerEx(file.Get(), start, nullptr, FILE_BEGIN) ||
        size.QuadPart > MAXDWORD)
        return false;
    try {
        content->assign(static_cast<size_t>(size.QuadPart), 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (content->empty())
        return true;
    DWORD got = 0;
    if (!ReadFile(file.Get(), content->data(), static_cast<DWORD>(content->size()), &got, nullptr) ||
        got != content->size()) {
        Bytes().swap(*content);
        return false;
    }
    return true;
}

// The first bytes of "PreDef.ADR", shared with the port settings dialog that wrote it.
void ReadPredefinedAddress(char (&address)[kTextFieldSize])
{
    address[0] = '\0';
    char path[MAX_PATH];
    if (!PreDefinedFilePath(path))
        return;
    ScopedFile file(CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    uint8_t bytes[kPredefinedReadBytes];
    DWORD got = 0;
    if (file.IsValid() && ReadFile(file.Get(), bytes, kPredefinedReadBytes, &got, nullptr))
        PredefinedAddressFrom(bytes, got, g_program.leadBytes, address);
}

void LoadLists(AddressBook& book)
{
    Bytes content;
    if (!ReadWholeFile(g_program.personalPath, &content))
        return;
    char predefined[kTextFieldSize] = {};
    if (g_program.mode != kRecipientOff)
        ReadPredefinedAddress(predefined);
    book.personal = ReadPersonalFile(content.data(), content.size(), predefined, g_program.leadBytes);
    Bytes().swap(content);
    if (book.personal.exists && ReadWholeFile(g_program.groupPath, &content))
        book.groups = ReadGroupFile(content.data(), content.size(), book.personal, g_program.leadBytes);
}

bool Exists(const char* path)
{
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

// Copies the file to the first backup name not taken; false when none could be made.
bool BackUp(const char* path)
{
    for (int n = 1; n <= kBackupNames; ++n) {
        char backup[MAX_PATH];
        const int length = n == 1 ? snprintf(backup, MAX_PATH, "%s.bak", path)
                                  : snprintf(backup, MAX_PATH, "%s.bak%d", path, n);
        if (length <= 0 || length >= MAX_PATH)
            return false;
        if (CopyFileA(path, backup, TRUE))
            return true;
        if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS)
            return false;
    }
    return false;
}

bool WriteAll(HANDLE file, const Bytes& content)
{
    DWORD written = 0;
    return WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr) &&
           written == content.size() && FlushFileBuffers(file);
}

// Writes the content beside the file and puts it in the file's place in one step: a save that
// stops half-way (disk full, power cut) leaves the old file whole.
bool ReplaceWith(const char* path, const Bytes& content)
{
    char temporary[MAX_PATH];
    const int length = snprintf(temporary, MAX_PATH, "%s.new", path);
    if (path[0] == '\0' || length <= 0 || length >= MAX_PATH)
        return false;
    ScopedFile file(CreateFileA(temporary, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsValid())
        return false;
    const bool written = WriteAll(file.Get(), content);
    if (file.Close() && written &&
        MoveFileExA(temporary, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    DeleteFileA(temporary);
    return false;
}

// The content is made by `write`; false after telling the user that the file stayed as it was.
template <class Write>
bool Save(HWND owner, const char* path, StoredFile& stored, Write write)
{
    bool saved = false;
    if (!stored.keepBeforeSave || !Exists(path) || BackUp(path)) {
        try {
            saved = ReplaceWith(path, write());
        } catch (const std::bad_alloc&) {
            saved = false;
        }
    }
    if (!saved) {
        ShowProgramMessage(owner, IDS_SAVE_FAILED, MB_OK | MB_ICONSTOP, path);
        return false;
    }
    stored.keepBeforeSave = false;
    return true;
}

} // namespace

void LoadAddressData()
{
    AddressBook& book = g_program.book;
    try {
        LoadLists(book);
    } catch (const std::bad_alloc&) {
        book = AddressBook(); // as for a file that cannot be read
    }
    g_storedPersonal.keepBeforeSave = !book.personal.exists;
    g_storedGroups.keepBeforeSave = !book.groups.exists;
    InvalidateSortIndexes(book);
}

bool SavePersonalFile(HWND owner)
{
    const AddressBook& book = g_program.book;
    if (!book.personal.exists)
        return true;
    return Save(owner, g_program.personalPath, g_storedPersonal, [&] { return WritePersonalFile(book.personal); });
}

bool SaveGroupFile(HWND owner)
{
    const AddressBook& book = g_program.book;
    if (!book.groups.exists)
        return true;
    return Save(owner, g_program.groupPath, g_storedGroups,
                [&] { return WriteGroupFile(book.groups, book.personal); });
}

void FreeAddressData()
{
    g_program.book = AddressBook();
}
