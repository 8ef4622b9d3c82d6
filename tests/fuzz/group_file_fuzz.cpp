// Any bytes as "personal.inf" and "group.inf": the first two bytes give the length of the
// personal part, the rest is the group file. Members resolve to live personal entries only,
// and the groups written back read the same.
#include "addressbook/core/data_files.h"
#include "fuzz_check.h"
#include "tests/native/address_book_builder.h"

#include <algorithm>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    const size_t personalSize = std::min<size_t>(data[0] | data[1] << 8, size - 2);
    const uint8_t* groupData = data + 2 + personalSize;
    const size_t groupSize = size - 2 - personalSize;

    AddressBook book;
    book.personal = ReadPersonalFile(data + 2, personalSize, "", Cp932());
    book.groups = ReadGroupFile(groupData, groupSize, book.personal, Cp932());
    RebuildSortIndexes(book);
    if (!book.groups.exists)
        return 0;
    for (const GroupEntry& group : book.groups.entries)
        for (uint32_t member : group.members) {
            FUZZ_CHECK(member < book.personal.Count());
            FUZZ_CHECK(book.personal.entries[member].state == kEntryLive);
        }

    const Bytes saved = WriteGroupFile(book.groups, book.personal);
    const GroupList reread = ReadGroupFile(saved.data(), saved.size(), book.personal, Cp932());
    FUZZ_CHECK(reread.Count() == book.groups.Count());
    for (uint32_t i = 0; i < reread.Count(); ++i)
        FUZZ_CHECK(reread.entries[i].members.size() == book.groups.entries[i].members.size());
    FUZZ_CHECK(WriteGroupFile(reread, book.personal) == saved);
    return 0;
}
