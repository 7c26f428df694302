#pragma once

#include <netinet/in.h>

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

#include "indicator.h"
#include "indicator_site.h"
#include "unique_fd.h"

namespace sim {

using Clock = std::chrono::steady_clock;

struct HttpBehaviour {
    SiteOptions site;
    bool hang = false;  // read requests, never answer, keep the connection
    int slow_bps = 0;   // 0: the answer goes out at once
    bool hold = false;  // keep the connection open after the answer
};

// One accepted connection: read the request head, answer, close (or keep
// it, for the faults that do).
class HttpConnection {
public:
    HttpConnection(UniqueFd fd, const sockaddr_in& peer, const Indicator& indicator, const HttpBehaviour& behaviour,
                   Clock::time_point now);

    int fd() const { return fd_.get(); }
    short WantedEvents(Clock::time_point now) const;
    std::optional<Clock::time_point> NextTimer() const;
    // Called every round, with revents 0 when poll reported nothing for it.
    void Service(short revents, Clock::time_point now);
    bool Finished() const { return state_ == State::kFinished; }

private:
    // kHanging: never answered; kHolding: answered and kept open. Both read
    // and drop whatever comes until the peer closes.
    enum class State { kReading, kHanging, kWriting, kHolding, kFinished };

    void Read(Clock::time_point now);
    void StartAnswer(Clock::time_point now);
    void Write(Clock::time_point now);
    std::string_view Pending() const;
    void Sent(size_t length);
    void EndAnswer();
    bool Swallowing() const;
    std::string ClosedByPeer() const;
    size_t ChunkSize() const;
    Clock::duration ChunkInterval() const;
    void Finish(const std::string& why);

    UniqueFd fd_;
    std::string peer_;
    const Indicator& indicator_;
    const HttpBehaviour& behaviour_;
    State state_ = State::kReading;
    std::string received_;
    std::string answer_;
    size_t sent_ = 0;
    size_t filler_left_ = 0;  // filler bytes still to send after answer_
    size_t filler_sent_ = 0;
    Clock::time_point read_deadline_;
    Clock::time_point next_chunk_;
};

}  // namespace sim
