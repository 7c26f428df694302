#include "win_console.h"

#include <algorithm>
#include <mutex>
#include <vector>

// The system's function under its own name; the platform's is defined by
// the name the header gives it.
#undef SetConsoleCtrlHandler

namespace {

constexpr DWORD kCancelEveryMs = 50;

std::mutex g_mutex;
std::vector<PHANDLER_ROUTINE> g_handlers;
// The thread that set the first handler: the user-interface thread, where
// the handlers' messages are handled and standard output is written.
HANDLE g_handlingThread = nullptr;

struct CancelRound {
    HANDLE thread;
    HANDLE handled;
};

// A handler's message to the window waits until the user-interface thread
// takes it, and that thread may be inside a write that waits for a reader
// who stopped reading. Each write it is in, or enters, until the handlers
// have returned fails with ERROR_OPERATION_ABORTED.
DWORD WINAPI CancelWritesUntilHandled(void* parameter)
{
    const auto* round = static_cast<const CancelRound*>(parameter);
    do
        ::CancelSynchronousIo(round->thread);
    while (::WaitForSingleObject(round->handled, kCancelEveryMs) == WAIT_TIMEOUT);
    return 0;
}

BOOL RunHandlers(DWORD ctrlType)
{
    std::vector<PHANDLER_ROUTINE> handlers;
    {
        const std::lock_guard lock(g_mutex);
        handlers = g_handlers;
    }
    for (auto handler = handlers.rbegin(); handler != handlers.rend(); ++handler) {
        if ((*handler)(ctrlType))
            return TRUE;
    }
    return FALSE;
}

// Runs on a thread the system starts for each event.
BOOL WINAPI OnControlEvent(DWORD ctrlType)
{
    CancelRound round = {g_handlingThread, ::CreateEventA(nullptr, TRUE, FALSE, nullptr)};
    HANDLE canceller = round.handled
                           ? ::CreateThread(nullptr, 0, &CancelWritesUntilHandled, &round, 0, nullptr)
                           : nullptr;
    const BOOL handled = RunHandlers(ctrlType);
    if (canceller) {
        ::SetEvent(round.handled);
        ::WaitForSingleObject(canceller, INFINITE);
        ::CloseHandle(canceller);
    }
    if (round.handled)
        ::CloseHandle(round.handled);
    return handled;
}

// Once, and never taken out again: the system runs its handlers holding
// the lock that adding or removing one takes, so a handler removed by the
// window's thread while the window's handler waits for that thread would
// never return. Without handlers of the program's it passes the event on.
bool Install()
{
    if (g_handlingThread)
        return true;
    HANDLE thread = ::OpenThread(THREAD_TERMINATE, FALSE, ::GetCurrentThreadId());
    if (!thread || !::SetConsoleCtrlHandler(&OnControlEvent, TRUE)) {
        if (thread)
            ::CloseHandle(thread);
        return false;
    }
    g_handlingThread = thread;
    return true;
}

}  // namespace

BOOL SetConsoleCtrlHandlerCancellingWrites(PHANDLER_ROUTINE handler, BOOL add)
{
    if (!handler)
        return FALSE;
    const std::lock_guard lock(g_mutex);
    if (!add) {
        const auto found = std::find(g_handlers.begin(), g_handlers.end(), handler);
        if (found == g_handlers.end())
            return FALSE;
        g_handlers.erase(found);
        return TRUE;
    }
    if (!Install())
        return FALSE;
    g_handlers.push_back(handler);
    return TRUE;
}
