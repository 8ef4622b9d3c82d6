#pragma once
#include <windows.h>

#include "common/scoped.h"
#include "monitor/core/messages.h"
#include "monitor/core/port_settings.h"

// The user who printed a port's current job. Loaded through the spooler's modern interface, the
// monitor runs in a service whose screen nobody sees: the job's confirmation and messages go to
// that user's own session instead, shown there by the notifier (nmx_notify.exe, beside the
// monitor) started with the user's identity. The spooler's thread never waits for it without
// limit, and a message that reaches nobody is written into the job's status text in the queue.
class JobOwner : public MessageTarget {
public:
    // Called in StartDocPort, where the spooler impersonates the client that printed. Without an
    // impersonation the process's own identity serves: in Wine the spooler runs inside the
    // printing program, in its session; in a service it is session 0, where nobody is told.
    void Take(HANDLE printer, DWORD jobId);
    void Forget();

    // A box in the owner's session. A question (OK and Cancel) is waited for, ten minutes at
    // most: no answer, or nobody to ask, counts as Cancel. Any other box returns IDOK at once,
    // so that a failure message never holds the delivery.
    int Show(const WCHAR* caption, const WCHAR* text, UINT style) override;

    // The job-start confirmation: the configuration dialog for this job in the owner's session.
    // True when accepted; *settings then holds the recipients, addresses and part choices the
    // user accepted for this job.
    bool Confirm(PortSettings* settings);

private:
    void TellQueue(UINT textId, const WCHAR* detail);

    ScopedHandle token_; // a primary token of the owner; empty when nobody can be reached
    HANDLE printer_ = nullptr; // the port entry's; only for the job's status text
    DWORD jobId_ = 0;
};
