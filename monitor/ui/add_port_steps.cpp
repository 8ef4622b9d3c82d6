#include "monitor/ui/add_port_steps.h"

#include "common/scoped.h"
#include "monitor/core/memory.h"
#include "monitor/core/messages.h"
#include "monitor/core/resource_ids.h"
#include "monitor/ui/dialogs.h"

bool RunAddPortSteps(HWND window, NewPortTarget& target)
{
    for (;;) {
        const ScopedBlock<WCHAR> name(ShowAddPortDialog(window));
        if (!name)
            return true;
        DWORD error = ERROR_SUCCESS;
        if (target.Exists(name.Get(), &error)) {
            ShowResourceMessage(window, MB_ICONERROR, IDS_PORT_NAME_CAPTION, IDS_PORT_EXISTS, name.Get());
            continue;
        }
        if (error != ERROR_SUCCESS)
            return false;
        Display347Check(window);
        UpperCasePrefix(name.Get());
        return target.AddAndConfigure(window, name.Get());
    }
}

void UpperCasePrefix(WCHAR* name)
{
    const int length = lstrlenW(name);
    CharUpperBuffW(name, length < 3 ? length : 3);
}
