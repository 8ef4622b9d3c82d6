#include "printhost/print_job.h"

#include "printhost/spooler_standin_control.h"

#include <memory>

namespace {

PrintOutcome Failed(PrintOutcome outcome, const wchar_t* step, DWORD error)
{
    outcome.failedStep = step;
    outcome.error = error;
    return outcome;
}

// WritePort until the buffer is taken; a call that takes nothing counts as a failure.
bool WriteAll(const MonitorFunctions& monitor, HANDLE port, BYTE* data, DWORD size, PrintOutcome* outcome)
{
    while (size > 0) {
        DWORD written = 0;
        if (!monitor.WritePort(port, data, size, &written) || written == 0 || written > size)
            return false;
        data += written;
        size -= written;
        outcome->written += written;
    }
    return true;
}

double SecondsSince(const LARGE_INTEGER& start)
{
    LARGE_INTEGER now;
    LARGE_INTEGER frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(now.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

} // namespace

PrintOutcome PrintJob(const MonitorFunctions& monitor, const PrintRequest& request)
{
    PrintOutcome outcome;
    if (request.bufferSize == 0)
        return Failed(outcome, L"buffer size", ERROR_INVALID_PARAMETER);
    outcome.jobId = spooler::CreateJob(request.printer, request.document);
    if (outcome.jobId == 0)
        return Failed(outcome, L"CreateJob", ERROR_NOT_ENOUGH_MEMORY);
    if (request.started)
        request.started(outcome.jobId);

    std::wstring portName = request.port;
    HANDLE port = nullptr;
    if (!monitor.OpenPort(&portName[0], &port))
        return Failed(outcome, L"OpenPort", GetLastError());

    std::wstring printer = request.printer;
    std::wstring document = request.document;
    DOC_INFO_1W docInfo = {&document[0], nullptr, nullptr};
    if (!monitor.StartDocPort(port, &printer[0], outcome.jobId, 1, reinterpret_cast<LPBYTE>(&docInfo))) {
        outcome = Failed(outcome, L"StartDocPort", GetLastError());
        monitor.ClosePort(port);
        return outcome;
    }

    std::unique_ptr<BYTE[]> buffer(new BYTE[request.bufferSize]);
    for (;;) {
        const long got = request.read(buffer.get(), request.bufferSize);
        if (got < 0) {
            outcome = Failed(outcome, L"reading the job", ERROR_READ_FAULT);
            break;
        }
        if (got == 0)
            break;
        if (!WriteAll(monitor, port, buffer.get(), static_cast<DWORD>(got), &outcome)) {
            outcome = Failed(outcome, L"WritePort", GetLastError());
            break;
        }
        if (request.progress)
            request.progress(outcome.written);
    }
    // A job that could not be written is still ended, as the spooler ends an aborted job.
    LARGE_INTEGER endDocStart;
    QueryPerformanceCounter(&endDocStart);
    const BOOL ended = monitor.EndDocPort(port);
    outcome.endDocSeconds = SecondsSince(endDocStart);
    if (!ended && outcome.failedStep.empty())
        outcome = Failed(outcome, L"EndDocPort", GetLastError());
    if (!monitor.ClosePort(port) && outcome.failedStep.empty())
        outcome = Failed(outcome, L"ClosePort", GetLastError());
    return outcome;
}
