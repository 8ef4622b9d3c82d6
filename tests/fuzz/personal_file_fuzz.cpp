// Any bytes as "personal.inf": the reader stays inside the buffer and its fields, and what it
// loads is written back as a file that reads the same.
#include "addressbook/core/data_files.h"
#include "fuzz_check.h"
#include "tests/native/address_book_builder.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    AddressBook book;
    book.personal = ReadPersonalFile(data, size, "a@x;b@y", Cp932());
    RebuildSortIndexes(book);
    if (!book.personal.exists)
        return 0;
    FUZZ_CHECK(book.personal.Count() >= 1 && book.personal.Count() <= kMaxListEntries);
    FUZZ_CHECK(book.sorted.personalByName.size() == book.personal.Count());

    const Bytes saved = WritePersonalFile(book.personal);
    const PersonalList reread = ReadPersonalFile(saved.data(), saved.size(), "a@x;b@y", Cp932());
    FUZZ_CHECK(reread.Count() == book.personal.Count());
    FUZZ_CHECK(std::memcmp(reread.entries.data(), book.personal.entries.data(),
                           reread.Count() * sizeof(PersonalEntry)) == 0);
    FUZZ_CHECK(WritePersonalFile(reread) == saved);
    return 0;
}
