#include "win_console.h"

#include <fcntl.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QPointer>
#include <QSocketNotifier>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <vector>

#include "event_hold.h"
#include "termination_signal.h"

namespace {

constexpr int kTerminationSignals[] = {SIGINT, SIGTERM};

// A signal handler may do next to nothing: it writes the signal's number
// into a pipe, and the event loop reads it from there.
int g_signalPipe[2] = {-1, -1};
QPointer<QSocketNotifier> g_signalNotifier;
std::vector<PHANDLER_ROUTINE> g_handlers;
volatile sig_atomic_t g_signalPending = 0;

void NoteSignal(int signalNumber)
{
    const int savedErrno = errno;
    g_signalPending = 1;
    const auto number = static_cast<unsigned char>(signalNumber);
    ssize_t ignored = write(g_signalPipe[1], &number, 1);
    (void)ignored;
    errno = savedErrno;
}

void SetDisposition(void (*disposition)(int))
{
    struct sigaction action {};
    action.sa_handler = disposition;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signalNumber : kTerminationSignals)
        sigaction(signalNumber, &action, nullptr);
}

void RunHandlers(int signalNumber)
{
    g_signalPending = 0;
    const DWORD ctrlType = signalNumber == SIGINT ? CTRL_C_EVENT : CTRL_CLOSE_EVENT;
    const std::vector<PHANDLER_ROUTINE> handlers = g_handlers;
    for (auto handler = handlers.rbegin(); handler != handlers.rend(); ++handler) {
        if ((*handler)(ctrlType))
            return;
    }
    std::signal(signalNumber, SIG_DFL);
    std::raise(signalNumber);
}

void ReadNotedSignals()
{
    unsigned char number = 0;
    while (read(g_signalPipe[0], &number, 1) == 1) {
        const int signalNumber = number;
        platform::DeliverOrHold(&g_handlers, static_cast<uintptr_t>(signalNumber),
                                [signalNumber] { RunHandlers(signalNumber); });
    }
}

bool WatchSignalPipe()
{
    if (g_signalPipe[0] < 0 && pipe2(g_signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return false;
    if (!g_signalNotifier) {
        g_signalNotifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, QCoreApplication::instance());
        QObject::connect(g_signalNotifier, &QSocketNotifier::activated, &ReadNotedSignals);
    }
    return true;
}

}  // namespace

int platform::TerminationSignalDescriptor() { return g_handlers.empty() ? -1 : g_signalPipe[0]; }

bool platform::TerminationSignalPending() { return g_signalPending != 0; }

HANDLE GetStdHandle(DWORD which)
{
    if (which != STD_OUTPUT_HANDLE)
        return INVALID_HANDLE_VALUE;
    return reinterpret_cast<HANDLE>(static_cast<intptr_t>(STDOUT_FILENO));
}

BOOL SetConsoleCtrlHandler(PHANDLER_ROUTINE handler, BOOL add)
{
    if (!handler)
        return FALSE;
    if (!add) {
        const auto found = std::find(g_handlers.begin(), g_handlers.end(), handler);
        if (found == g_handlers.end())
            return FALSE;
        g_handlers.erase(found);
        if (g_handlers.empty())
            SetDisposition(SIG_DFL);
        return TRUE;
    }
    if (!WatchSignalPipe())
        return FALSE;
    if (g_handlers.empty())
        SetDisposition(&NoteSignal);
    g_handlers.push_back(handler);
    return TRUE;
}
