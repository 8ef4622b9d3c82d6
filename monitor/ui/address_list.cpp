#include "monitor/ui/address_list.h"

void ReplaceAddressSeparators(char* ansiText)
{
    for (char* p = ansiText; *p != '\0'; ++p) {
        if (*p == ',' || *p == ' ')
            *p = ';';
    }
}
