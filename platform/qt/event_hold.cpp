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
    std::function<void()> delivery;
};

int g_blockingDepth = 0;
std::deque<HeldDelivery> g_held;
bool g_drainScheduled = false;

void DrainHeld()
{
    g_drainScheduled = false;
    while (!g_held.empty() && !IsBlocking()) {
        HeldDelivery next = std::move(g_held.front());
        g_held.pop_front();
        next.delivery();
    }
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
    if (--g_blockingDepth == 0)
        ScheduleDrain();
}

bool IsBlocking() { return g_blockingDepth > 0; }

void DeliverOrHold(const void* owner, uintptr_t key, std::function<void()> delivery)
{
    if (!IsBlocking() && g_held.empty()) {
        delivery();
        return;
    }
    bool alreadyHeld = std::any_of(g_held.begin(), g_held.end(), [&](const HeldDelivery& held) {
        return held.owner == owner && held.key == key;
    });
    if (!alreadyHeld)
        g_held.push_back({owner, key, std::move(delivery)});
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
