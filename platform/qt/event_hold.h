#pragma once

// While a blocking socket call waits, the program's own handlers must not
// run: only repainting does. Timer ticks and other deliveries that come due
// meanwhile are held and run afterwards, in the order they came due.

#include <cstdint>
#include <functional>

namespace platform {

class BlockingScope {
public:
    BlockingScope();
    ~BlockingScope();
    BlockingScope(const BlockingScope&) = delete;
    BlockingScope& operator=(const BlockingScope&) = delete;
};

bool IsBlocking();

// Runs the delivery now, or holds it while a blocking call waits. A delivery
// with the same owner and key as one already held is dropped, as a pending
// timer message stands for any number of missed ticks.
void DeliverOrHold(const void* owner, uintptr_t key, std::function<void()> delivery);

// Drops held deliveries of an owner and key (a timer that was stopped).
void CancelHeld(const void* owner, uintptr_t key);

// Lets repainting run while a blocking call waits; nothing else of the
// program's runs.
void RepaintWhileBlocked();

}  // namespace platform
