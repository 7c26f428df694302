#pragma once

// How every blocking call of the platform waits: only repainting runs, the
// program's handlers are held, and the datagram sockets keep being emptied
// into their queues so nothing is lost to a full kernel buffer meanwhile.

namespace platform {

// Waits until the descriptor shows one of the poll events or the bound runs
// out (a negative bound waits without one). False with errno ETIMEDOUT when
// the bound ran out, or with poll's errno when it failed.
bool WaitForDescriptor(int descriptor, short events, int boundMs);

}  // namespace platform
