#include "monitor/mail/winsock_transport.h"
#include "common/scoped.h"
#include "monitor/core/memory.h"
#include "monitor/core/messages.h"
#include "monitor/core/monitor_state.h"
#include "monitor/core/resource_ids.h"
#include "monitor/mail/address_rules.h"
#include "monitor/mail/text_conversion.h"

#include <winspool.h>

namespace {

constexpr int kHostTextCapacity = 260;
constexpr int kRefusalTextChars = 2048;
constexpr u_short kDefaultSmtpPort = 25;

void DispatchWaitingMessages()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

bool WouldBlock()
{
    return WSAGetLastError() == WSAEWOULDBLOCK;
}

// One name lookup on a thread of its own. The thread may outlive the wait for it (a name server
// that never answers), so the lookup's block is shared: the last of the two to let go frees it,
// and the thread holds the monitor library until it has ended.
struct SharedLookup {
    volatile LONG holders;
    HMODULE library;
    char name[kHostTextCapacity];
    bool found;
    in_addr address;
};

void LetGo(SharedLookup* lookup)
{
    if (InterlockedDecrement(&lookup->holders) == 0)
        GlobalFree(lookup);
}

DWORD WINAPI LookUpOnThread(void* parameter)
{
    auto* lookup = static_cast<SharedLookup*>(parameter);
    const HMODULE library = lookup->library;
    // The thread starts the socket layer for itself: the delivery may have ended it meanwhile.
    WSADATA data;
    if (WSAStartup(MAKEWORD(1, 1), &data) == 0) {
        const hostent* resolved = gethostbyname(lookup->name);
        if (resolved != nullptr && resolved->h_addrtype == AF_INET && resolved->h_addr_list[0] != nullptr) {
            CopyMemory(&lookup->address, resolved->h_addr_list[0], sizeof lookup->address);
            lookup->found = true;
        }
        WSACleanup();
    }
    LetGo(lookup);
    FreeLibraryAndExitThread(library, 0);
}

class ThreadLookup : public HostLookup {
public:
    explicit ThreadLookup(HANDLE thread) : thread_(thread) {}
    Readiness WaitDone(uint32_t sliceMs) override
    {
        switch (WaitForSingleObject(thread_, sliceMs)) {
        case WAIT_OBJECT_0:
            return Readiness::Ready;
        case WAIT_TIMEOUT:
            return Readiness::NotYet;
        default:
            return Readiness::Failed;
        }
    }

private:
    HANDLE thread_;
};

// Looks the name up on a thread, waited for like every network step. False when the name is
// unknown, the lookup took its 60 seconds, or the job was deleted meanwhile.
bool LookUpHost(const char* name, SessionHost& host, in_addr* address)
{
    ScopedBlock<SharedLookup> lookup(static_cast<SharedLookup*>(AllocZeroed(sizeof(SharedLookup))));
    HMODULE library = nullptr;
    if (!lookup || !GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                                       reinterpret_cast<LPCWSTR>(&LookUpOnThread), &library))
        return false;
    ScopedLibrary libraryHold(library);
    lookup.Get()->holders = 2;
    lookup.Get()->library = library;
    lstrcpynA(lookup.Get()->name, name, kHostTextCapacity);
    const ScopedHandle thread(CreateThread(nullptr, 0, LookUpOnThread, lookup.Get(), 0, nullptr));
    if (!thread)
        return false;
    libraryHold.Release(); // the thread lets the library go when it ends
    SharedLookup* shared = lookup.Release();
    ThreadLookup wait(thread.Get());
    const bool found = WaitForLookup(wait, host) && shared->found;
    if (found)
        *address = shared->address;
    LetGo(shared);
    return found;
}
} // namespace

SocketLayer::SocketLayer()
{
    WSADATA data;
    started_ = WSAStartup(MAKEWORD(1, 1), &data) == 0;
}

SocketLayer::~SocketLayer()
{
    if (started_)
        WSACleanup();
}

uint32_t DeliveryHost::NowMs()
{
    return GetTickCount();
}

DWORD DeliveryHost::JobStatus()
{
    DWORD status = 0;
    if (!job_.QueryStatus(&status))
        polling_ = false;
    return status;
}

bool DeliveryHost::PollForAbort()
{
    DispatchWaitingMessages();
    if (!polling_)
        return false;
    bool abort = (JobStatus() & JOB_STATUS_DELETING) != 0;
    if (!abort && polling_)
        abort = (JobStatus() & JOB_STATUS_ERROR) != 0;
    if (abort)
        job_.MarkAborted();
    return abort;
}

bool DeliveryHost::SendAborted()
{
    return job_.Aborted();
}

void DeliveryHost::ShowNetworkFailure()
{
    ShowMonitorMessage(Messages(), IDS_NETWORK_IO, kStyleError);
}

void DeliveryHost::ShowRefusal(const char* reply)
{
    WCHAR caption[128] = L"";
    LoadStringW(g_resourceLibrary, IDS_SERVER_REFUSED, caption, ARRAYSIZE(caption));
    WCHAR text[kRefusalTextChars];
    ToWideTrimmed(reply, text, kRefusalTextChars);
    Messages().Show(caption, text, kStyleError);
}

bool WinSockSocket::Create()
{
    Renew();
    socket_.Reset(socket(AF_INET, SOCK_STREAM, 0));
    if (!socket_)
        return false;
    u_long nonBlocking = 1;
    if (ioctlsocket(socket_.Get(), FIONBIO, &nonBlocking) == 0)
        return true;
    Close();
    return false;
}

bool WinSockSocket::StartConnect(const sockaddr_in& address)
{
    return connect(socket_.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 || WouldBlock();
}

bool WinSockSocket::ConnectSucceeded()
{
    int error = 0;
    int length = sizeof error;
    return getsockopt(socket_.Get(), SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &length) == 0 && error == 0;
}

void WinSockSocket::Close()
{
    socket_.Reset();
}

IoStatus WinSockSocket::TrySend(const char* data, size_t length, size_t* sent)
{
    const int result = send(socket_.Get(), data, static_cast<int>(length), 0);
    if (result == SOCKET_ERROR)
        return WouldBlock() ? IoStatus::WouldBlock : IoStatus::Failed;
    *sent = static_cast<size_t>(result);
    return IoStatus::Done;
}

IoStatus WinSockSocket::TryReceive(char* buffer, size_t capacity, size_t* received)
{
    const int result = recv(socket_.Get(), buffer, static_cast<int>(capacity), 0);
    if (result == SOCKET_ERROR)
        return WouldBlock() ? IoStatus::WouldBlock : IoStatus::Failed;
    if (result == 0)
        return IoStatus::Closed;
    *received = static_cast<size_t>(result);
    return IoStatus::Done;
}

Readiness WinSockSocket::WaitReady(StepDirection direction, uint32_t sliceMs)
{
    fd_set readable;
    fd_set writable;
    fd_set failed; // a refused connect shows here
    FD_ZERO(&readable);
    FD_ZERO(&writable);
    FD_ZERO(&failed);
    if (direction == StepDirection::Receive)
        FD_SET(socket_.Get(), &readable);
    else
        FD_SET(socket_.Get(), &writable);
    if (direction == StepDirection::Connect)
        FD_SET(socket_.Get(), &failed);
    timeval timeout{static_cast<long>(sliceMs / 1000), static_cast<long>(sliceMs % 1000 * 1000)};
    const int count = select(0, &readable, &writable, &failed, &timeout);
    if (count == SOCKET_ERROR)
        return Readiness::Failed;
    return count > 0 ? Readiness::Ready : Readiness::NotYet;
}

bool WinSockConnector::Resolve(sockaddr_in* address)
{
    char host[kHostTextCapacity];
    ToAnsiText(server_.host, host, kHostTextCapacity);
    // An empty name would resolve to this machine, and a control byte could never be part of
    // a host name: neither names a server.
    if (host[0] == '\0' || HasControlByte(host))
        return false;
    address->sin_addr.s_addr = inet_addr(host);
    if (address->sin_addr.s_addr != INADDR_NONE)
        return true;
    return LookUpHost(host, host_, &address->sin_addr);
}

bool WinSockConnector::Open()
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    if (!Resolve(&address)) {
        // A job deleted during the lookup ends the delivery without a word, like any cut-short step.
        if (!host_.SendAborted())
            ShowResourceMessage(host_.Messages(), kStyleError, IDS_MESSAGE_CAPTION, IDS_SERVER_UNRESOLVED,
                                server_.host);
        return false;
    }
    if (!socket_.Create()) {
        ShowMonitorMessage(host_.Messages(), IDS_SOCKET_CREATE, kStyleError);
        return false;
    }
    const servent* service = port_ != 0 ? nullptr : getservbyname("mail", nullptr);
    address.sin_port = port_ != 0 ? htons(port_) : service != nullptr ? service->s_port : htons(kDefaultSmtpPort);

    const uint32_t start = host_.NowMs();
    const bool connected = socket_.StartConnect(address) &&
                           WaitForStep(socket_, host_, StepDirection::Connect, start) == StepOutcome::Ready &&
                           socket_.ConnectSucceeded();
    if (connected)
        return true;
    ShowMonitorMessage(host_.Messages(), IDS_CONNECT_FAILED, kStylePlain);
    socket_.Close();
    return false;
}
