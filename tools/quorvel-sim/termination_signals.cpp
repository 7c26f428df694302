#include "termination_signals.h"

#include <sys/signalfd.h>
#include <unistd.h>

#include <csignal>
#include <cstring>

#include "system_call.h"

namespace sim {

UniqueFd OpenTerminationSignals()
{
    std::signal(SIGPIPE, SIG_IGN);
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    CheckSystemCall(sigprocmask(SIG_BLOCK, &signals, nullptr), "block SIGINT and SIGTERM");
    return UniqueFd(CheckSystemCall(signalfd(-1, &signals, SFD_CLOEXEC), "signalfd"));
}

std::string ReadTerminationSignal(int fd)
{
    signalfd_siginfo info{};
    if (read(fd, &info, sizeof info) != static_cast<ssize_t>(sizeof info))
        return "signal";
    return info.ssi_signo == SIGINT ? "SIGINT" : "SIGTERM";
}

}  // namespace sim
