#include "monitor/ui/add_port_steps.h"

#include "monitor/core/memory.h"
#include "monitor/core/messages.h"
#include "monitor/core/resource_ids.h"
#include "monitor/ui/dialogs.h"

#include <memory>

bool RunAddPortSteps(HWND window, NewPortTarget& target)
{
    for (;;) {
        std::unique_ptr<WCHAR, GlobalFreeDeleter> name(ShowAddPortDialog(window));
        if (!name)
            return true;
        DWORD error = ERROR_SUCCESS;
        if (target.Exists(name.get(), &error)) {
            ShowResourceMessage(window, MB_ICONERROR, IDS_PORT_NAME_CAPTION, IDS_PORT_EXISTS, name.get());
            continue;
        }
        if (error != ERROR_SUCCESS)
            return false;
        Display347Check(window);
        UpperCasePrefix(name.get());
        return target.AddAndConfigure(window, name.get());
    }
}

void UpperCasePrefix(WCHAR* name)
{
    const int length = lstrlenW(name);
    CharUpperBuffW(name, length < 3 ? length : 3);
}
