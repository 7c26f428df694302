#pragma once

// While a blocking socket call waits, the program's own handlers must not
// run: only repainting does. Timer ticks and other deliveries that come due
// meanwhile are held and run afterwards, one per turn of the event loop, in
// the order they came due.

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

// Marks something that arrives now, for deliveries held in order of arrival.
uint64_t StampArrival();

// Runs the delivery now, or holds it: while a blocking call waits, while
// earlier deliveries are held, and when it arrived before the last wait
// ended. Held deliveries run in the order of their arrival stamps; without
// one, a delivery arrives now. A delivery with the same owner and key as one
// already held is dropped, as a pending timer message stands for any number
// of missed ticks.
void DeliverOrHold(const void* owner, uintptr_t key, std::function<void()> delivery);
void DeliverOrHold(const void* owner, uintptr_t key, uint64_t arrival, std::function<void()> delivery);

// True when a delivery of that arrival would be held rather than run now.
bool WouldHold(uint64_t arrival);

// Drops held deliveries of an owner and key (a timer that was stopped).
void CancelHeld(const void* owner, uintptr_t key);

// Lets repainting run while a blocking call waits; nothing else of the
// program's runs.
void RepaintWhileBlocked();

}  // namespace platform
