// The calls that hand a new process one handle only came with Windows Vista: declared here, and
// looked up at run time, so that the library still loads on older systems.
#undef _WIN32_WINNT
#define _WIN32_WINNT 0x0600
#include "monitor/core/job_owner.h"

#include "monitor/core/answer_wait.h"
#include "monitor/core/monitor_state.h"
#include "monitor/core/notifier_request.h"
#include "monitor/core/resource_ids.h"
#include "monitor/core/xcv_settings.h"
#include "monitor/core/xcv_settings_copy.h"

#include <userenv.h>
#include <winspool.h>
#include <winsplp.h>

#include <cstring>
#include <memory>
#include <new>

namespace {
using ScopedEnvironment = Scoped<void*, DestroyEnvironmentBlock>;

struct HandleListCalls {
    decltype(&InitializeProcThreadAttributeList) initialize;
    decltype(&UpdateProcThreadAttribute) update;
    decltype(&DeleteProcThreadAttributeList) remove;
};

// Null members where the system lacks them.
HandleListCalls LookUpHandleListCalls()
{
    const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    return {reinterpret_cast<decltype(&InitializeProcThreadAttributeList)>(
                reinterpret_cast<void*>(GetProcAddress(kernel, "InitializeProcThreadAttributeList"))),
            reinterpret_cast<decltype(&UpdateProcThreadAttribute)>(
                reinterpret_cast<void*>(GetProcAddress(kernel, "UpdateProcThreadAttribute"))),
            reinterpret_cast<decltype(&DeleteProcThreadAttributeList)>(
                reinterpret_cast<void*>(GetProcAddress(kernel, "DeleteProcThreadAttributeList")))};
}

const HandleListCalls g_handleList = LookUpHandleListCalls();

void DeleteAttributes(LPPROC_THREAD_ATTRIBUTE_LIST list)
{
    g_handleList.remove(list);
}
using ScopedAttributes = Scoped<LPPROC_THREAD_ATTRIBUTE_LIST, DeleteAttributes>;

constexpr WCHAR kNotifierFile[] = L"nmx_notify.exe";

DWORD SessionOf(HANDLE token)
{
    DWORD session = 0;
    DWORD bytes = 0;
    return GetTokenInformation(token, TokenSessionId, &session, sizeof session, &bytes) ? session : 0;
}

// The identity the thread runs with: the client's while the spooler impersonates it.
HANDLE OpenCallerToken()
{
    HANDLE token = nullptr;
    if (OpenThreadToken(GetCurrentThread(), TOKEN_DUPLICATE | TOKEN_QUERY, TRUE, &token))
        return token;
    if (OpenProcessToken(GetCurrentProcess(), TOKEN_DUPLICATE | TOKEN_QUERY, &token))
        return token;
    return nullptr;
}

// Starting a process with another user's token takes the service's own rights: the thread is
// the spooler again while the notifier starts, and the client afterwards.
class SpoolerIdentity {
public:
    SpoolerIdentity() : client_(RevertToPrinterSelf()) {}
    ~SpoolerIdentity()
    {
        if (client_ != nullptr)
            ImpersonatePrinterClient(client_);
    }
    SpoolerIdentity(const SpoolerIdentity&) = delete;
    SpoolerIdentity& operator=(const SpoolerIdentity&) = delete;

private:
    HANDLE client_;
};

// The notifier is installed beside the monitor.
bool NotifierPath(WCHAR (&path)[MAX_PATH])
{
    const DWORD length = GetModuleFileNameW(g_moduleInstance, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return false;
    WCHAR* name = path + length;
    while (name > path && name[-1] != L'\\')
        --name;
    if (static_cast<size_t>(name - path) + ARRAYSIZE(kNotifierFile) > MAX_PATH)
        return false;
    lstrcpyW(name, kNotifierFile);
    return true;
}

template <size_t Units> void CopyText(char16_t (&to)[Units], const WCHAR* from)
{
    size_t i = 0;
    for (; from != nullptr && i + 1 < Units && from[i] != L'\0'; ++i)
        to[i] = static_cast<char16_t>(from[i]);
    to[i] = u'\0';
}

class ProcessAnswer : public AnswerSource {
public:
    explicit ProcessAnswer(HANDLE process) : process_(process) {}
    uint32_t NowMs() override { return GetTickCount(); }
    AnswerState WaitAnswer(uint32_t sliceMs) override
    {
        switch (WaitForSingleObject(process_, sliceMs)) {
        case WAIT_OBJECT_0:
            return AnswerState::Answered;
        case WAIT_TIMEOUT:
            return AnswerState::NotYet;
        default:
            return AnswerState::Failed;
        }
    }

private:
    HANDLE process_;
};

// One request to the notifier: the block of memory it inherits, and its process.
class NotifierCall {
public:
    explicit NotifierCall(NotifierKind kind) : kind_(kind), bytes_(NotifierBlockBytes(kind))
    {
        SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
        section_.Reset(CreateFileMappingW(INVALID_HANDLE_VALUE, &inheritable, PAGE_READWRITE, 0,
                                          static_cast<DWORD>(bytes_), nullptr));
        if (section_)
            view_.Reset(MapViewOfFile(section_.Get(), FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, bytes_));
    }
    uint8_t* Block() const { return static_cast<uint8_t*>(view_.Get()); }

    bool Start(HANDLE token)
    {
        WCHAR path[MAX_PATH];
        if (Block() == nullptr || !NotifierPath(path))
            return false;
        WCHAR commandLine[MAX_PATH + 40];
        wsprintfW(commandLine, L"\"%s\" %lu %lu", path, HandleToULong(section_.Get()), static_cast<DWORD>(bytes_));
        // Only the block is handed down: the service's other handles stay its own.
        // Before Vista there is no such list, and no notifier is started.
        if (g_handleList.initialize == nullptr || g_handleList.update == nullptr || g_handleList.remove == nullptr)
            return false;
        SIZE_T listBytes = 0;
        g_handleList.initialize(nullptr, 1, 0, &listBytes);
        std::unique_ptr<BYTE[]> listMemory(new (std::nothrow) BYTE[listBytes]);
        auto* list = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(listMemory.get());
        if (!listMemory || !g_handleList.initialize(list, 1, 0, &listBytes))
            return false;
        const ScopedAttributes attributes(list);
        HANDLE inherited = section_.Get();
        if (!g_handleList.update(list, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, &inherited, sizeof inherited, nullptr,
                                 nullptr))
            return false;
        WCHAR desktop[] = L"winsta0\\default";
        STARTUPINFOEXW startup = {};
        startup.StartupInfo.cb = sizeof startup;
        startup.StartupInfo.lpDesktop = desktop;
        startup.lpAttributeList = list;
        ScopedEnvironment environment;
        CreateEnvironmentBlock(environment.Out(), token, FALSE);
        const SpoolerIdentity spooler;
        PROCESS_INFORMATION process = {};
        if (!CreateProcessAsUserW(token, path, commandLine, nullptr, nullptr, TRUE,
                                  EXTENDED_STARTUPINFO_PRESENT | CREATE_UNICODE_ENVIRONMENT, environment.Get(), nullptr,
                                  &startup.StartupInfo, &process))
            return false;
        CloseHandle(process.hThread);
        process_.Reset(process.hProcess);
        return true;
    }

    // Waits until the notifier has ended, ten minutes at most; one still open then is closed.
    bool Finish()
    {
        ProcessAnswer answer(process_.Get());
        if (WaitForAnswer(answer))
            return true;
        TerminateProcess(process_.Get(), ERROR_TIMEOUT);
        return false;
    }

    // The answer in the block, read from a copy: the user's process could still write to it.
    uint32_t Answer(XcvSettings* accepted) const
    {
        std::unique_ptr<uint8_t[]> copy(new (std::nothrow) uint8_t[bytes_]);
        if (!copy)
            return kNotifierNoAnswer;
        std::memcpy(copy.get(), Block(), bytes_);
        return ReadNotifierAnswer(copy.get(), bytes_, kind_, accepted);
    }

private:
    NotifierKind kind_;
    size_t bytes_;
    ScopedHandle section_;
    ScopedView view_;
    ScopedHandle process_;
};

// What the user may choose for one job. The mail server and its login stay as stored: the
// owner of a job must not be able to send the port's stored login to a server of their own.
void TakeJobChoices(const XcvSettings& accepted, PortSettings* job)
{
    CopySettingsText(job->ServAddr, accepted.ServAddr);
    CopySettingsText(job->UserAddr, accepted.UserAddr);
    CopySettingsText(job->NotifyAddr, accepted.NotifyAddr);
    job->Notification = accepted.Notification;
    job->PartSw = accepted.PartSw;
    job->PartLimit = accepted.PartLimit;
    job->CheckMailSw = accepted.CheckMailSw;
}
} // namespace

void JobOwner::Take(HANDLE printer, DWORD jobId)
{
    Forget();
    printer_ = printer;
    jobId_ = jobId;
    const ScopedHandle caller(OpenCallerToken());
    HANDLE primary = nullptr;
    if (caller && DuplicateTokenEx(caller.Get(), MAXIMUM_ALLOWED, nullptr, SecurityImpersonation, TokenPrimary, &primary))
        token_.Reset(primary);
    // Session 0 is the services' own: nobody sees a window there.
    if (token_ && SessionOf(token_.Get()) == 0)
        token_.Reset();
}

void JobOwner::Forget()
{
    token_.Reset();
    printer_ = nullptr;
    jobId_ = 0;
}

int JobOwner::Show(const WCHAR* caption, const WCHAR* text, UINT style)
{
    const bool question = IsQuestionStyle(style);
    const int unanswered = question ? IDCANCEL : IDOK;
    NotifierCall call(NotifierKind::Message);
    if (call.Block() != nullptr) {
        NotifierRequest request;
        request.style = style;
        CopyText(request.caption, caption);
        CopyText(request.text, text);
        WriteNotifierRequest(request, call.Block());
    }
    if (!token_ || !call.Start(token_.Get())) {
        TellQueue(IDS_QUEUE_MESSAGE_DROPPED, text);
        return unanswered;
    }
    if (!question)
        return IDOK;
    if (!call.Finish()) {
        TellQueue(IDS_QUEUE_UNANSWERED, nullptr);
        return unanswered;
    }
    return call.Answer(nullptr) == kNotifierOk ? IDOK : IDCANCEL;
}

bool JobOwner::Confirm(PortSettings* settings)
{
    NotifierCall call(NotifierKind::Confirmation);
    std::unique_ptr<XcvSettings> shown(new (std::nothrow) XcvSettings);
    if (call.Block() == nullptr || !shown)
        return false;
    WriteNotifierRequest(NotifierRequest{NotifierKind::Confirmation}, call.Block());
    CopySettings(*settings, shown.get());
    shown->flags = settings->SMTPPasswordBytes != 0 ? kXcvPasswordStored : 0;
    WriteXcvSettings(*shown, call.Block() + kNotifierSettingsOffset);
    if (!token_ || !call.Start(token_.Get())) {
        TellQueue(IDS_QUEUE_NOT_CONFIRMED, nullptr);
        return false;
    }
    if (!call.Finish()) {
        TellQueue(IDS_QUEUE_UNANSWERED, nullptr);
        return false;
    }
    if (call.Answer(shown.get()) != kNotifierOk)
        return false;
    TakeJobChoices(*shown, settings);
    return true;
}

// The job's status text in the queue, where whoever looks at the queue sees what happened.
void JobOwner::TellQueue(UINT textId, const WCHAR* detail)
{
    if (printer_ == nullptr)
        return; // a job without a printer (Wine's spooler) has no queue entry to write to
    WCHAR format[256];
    if (LoadStringW(g_resourceLibrary, textId, format, ARRAYSIZE(format)) == 0)
        return;
    WCHAR status[1025]; // wsprintfW writes at most 1024 characters
    wsprintfW(status, format, detail != nullptr ? detail : L"");
    DWORD needed = 0;
    GetJobW(printer_, jobId_, 2, nullptr, 0, &needed);
    LockedGlobalMemory block(needed);
    auto* job = static_cast<JOB_INFO_2W*>(block.Data());
    if (job == nullptr || !GetJobW(printer_, jobId_, 2, static_cast<LPBYTE>(block.Data()), needed, &needed))
        return;
    job->pStatus = status;
    job->Position = JOB_POSITION_UNSPECIFIED;
    SetJobW(printer_, jobId_, 2, static_cast<LPBYTE>(block.Data()), 0);
}
