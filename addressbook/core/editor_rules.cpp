#include "addressbook/core/editor_rules.h"

#include "addressbook/core/resource_ids.h"

#include <cstdio>
#include <unordered_set>

DetailParts SplitDetails(const char* details)
{
    DetailParts parts;
    std::string* targets[] = {&parts.first, &parts.second, &parts.third};
    size_t part = 0;
    for (const char* c = details; *c != '\0'; ++c) {
        if (*c == ';' && part < 2)
            ++part;
        else
            targets[part]->push_back(*c);
    }
    return parts;
}

void JoinDetails(const char* first, const char* second, const char* third, char (&details)[kTextFieldSize])
{
    std::snprintf(details, sizeof(details), "%s;%s;%s", first, second, third);
}

namespace {
// `found` is the first live entry of that name, or -1.
unsigned RefusedName(const char* name, int found, int editing, unsigned empty, unsigned taken)
{
    if (name[0] == '\0')
        return empty;
    return found >= 0 && found != editing ? taken : 0;
}
} // namespace

unsigned RefusedPersonalName(const PersonalList& list, const char* name, int editing, const LeadBytes& lead)
{
    return RefusedName(name, FindLivePersonal(list, name, lead), editing, IDS_PERSONAL_NAME_EMPTY,
                       IDS_PERSONAL_NAME_TAKEN);
}

unsigned RefusedGroupName(const GroupList& list, const char* name, int editing, const LeadBytes& lead)
{
    return RefusedName(name, FindLiveGroup(list, name, lead), editing, IDS_GROUP_NAME_EMPTY, IDS_GROUP_NAME_TAKEN);
}

std::vector<uint32_t> AddNewMembers(std::vector<uint32_t>& chosen, const std::vector<uint32_t>& picked)
{
    std::unordered_set<uint32_t> held(chosen.begin(), chosen.end());
    std::vector<uint32_t> added;
    for (uint32_t index : picked) {
        if (held.insert(index).second) {
            chosen.push_back(index);
            added.push_back(index);
        }
    }
    return added;
}
