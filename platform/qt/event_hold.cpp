#include "event_hold.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <deque>

namespace platform {
namespace {

struct HeldDelivery {
    const void* owner;
    uintptr_t key;
    uint64_t arrival;
    std::function<void()> delivery;
};

int g_blockingDepth = 0;
uint64_t g_lastArrival = 0;
// What arrived before the last wait ended stays held while it waits in a
// queue, so that nothing later overtakes it.
uint64_t g_lastArrivalHeld = 0;
std::deque<HeldDelivery> g_held;
bool g_drainScheduled = false;

void ScheduleDrain();

// One delivery per turn of the event loop, as queued messages go, so that
// painting and input go on between the deliveries of a long flood.
void DrainHeld()
{
    g_drainScheduled = false;
    if (g_held.empty() || IsBlocking())
        return;
    HeldDelivery next = std::move(g_held.front());
    g_held.pop_front();
    next.delivery();
    ScheduleDrain();
}

// Held deliveries run from the event loop, after the handler that blocked
// has returned, never inside it.
void ScheduleDrain()
{
    if (g_drainScheduled || g_held.empty() || !QCoreApplication::instance())
        return;
    g_drainScheduled = true;
    QTimer::singleShot(0, QCoreApplication::instance(), &DrainHeld);
}

}  // namespace

BlockingScope::BlockingScope() { ++g_blockingDepth; }

BlockingScope::~BlockingScope()
{
    if (--g_blockingDepth == 0) {
        g_lastArrivalHeld = g_lastArrival;
        ScheduleDrain();
    }
}

bool IsBlocking() { return g_blockingDepth > 0; }

bool WouldHold(uint64_t arrival) { return IsBlocking() || !g_held.empty() || arrival <= g_lastArrivalHeld; }

uint64_t StampArrival() { return ++g_lastArrival; }

void DeliverOrHold(const void* owner, uintptr_t key, std::function<void()> delivery)
{
    DeliverOrHold(owner, key, StampArrival(), std::move(delivery));
}

void DeliverOrHold(const void* owner, uintptr_t key, uint64_t arrival, std::function<void()> delivery)
{
    if (!WouldHold(arrival)) {
        delivery();
        return;
    }
    bool alreadyHeld = std::any_of(g_held.begin(), g_held.end(), [&](const HeldDelivery& held) {
        return held.owner == owner && held.key == key;
    });
    if (!alreadyHeld) {
        auto later = std::upper_bound(g_held.begin(), g_held.end(), arrival,
                                      [](uint64_t stamp, const HeldDelivery& held) { return stamp < held.arrival; });
        g_held.insert(later, {owner, key, arrival, std::move(delivery)});
    }
    if (!IsBlocking())
        ScheduleDrain();
}

void CancelHeld(const void* owner, uintptr_t key)
{
    std::erase_if(g_held, [&](const HeldDelivery& held) { return held.owner == owner && held.key == key; });
}

void RepaintWhileBlocked()
{
    if (QCoreApplication::instance())
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents | QEventLoop::ExcludeSocketNotifiers);
}

}  // namespace platform
