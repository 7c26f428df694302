#include "thread_poll.h"

#include <memory>
#include <vector>

namespace platform::testing {
namespace {

// A thread timer that runs its action until the action says it is done.
class Poll {
public:
    static void Start(std::function<bool()> action, UINT intervalMs)
    {
        auto* poll = new Poll(std::move(action));
        poll->m_id = ::SetTimer(nullptr, 0, intervalMs, &Poll::OnTick);
        Polls().push_back(std::unique_ptr<Poll>(poll));
    }

private:
    explicit Poll(std::function<bool()> action) : m_action(std::move(action)) {}

    static std::vector<std::unique_ptr<Poll>>& Polls()
    {
        static std::vector<std::unique_ptr<Poll>> polls;
        return polls;
    }

    static void CALLBACK OnTick(HWND, UINT, UINT_PTR id, DWORD)
    {
        auto& polls = Polls();
        for (auto it = polls.begin(); it != polls.end(); ++it) {
            if ((*it)->m_id != id)
                continue;
            // The action may pump messages and so come back here: it runs
            // once, off the list, and is dropped when done.
            ::KillTimer(nullptr, id);
            std::unique_ptr<Poll> poll = std::move(*it);
            polls.erase(it);
            if (!poll->m_action())
                Start(std::move(poll->m_action), USER_TIMER_MINIMUM);
            return;
        }
    }

    std::function<bool()> m_action;
    UINT_PTR m_id = 0;
};

}  // namespace

void StartPoll(std::function<bool()> action, UINT intervalMs) { Poll::Start(std::move(action), intervalMs); }

}  // namespace platform::testing
