#pragma once

#include <netinet/in.h>

#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "http_connection.h"
#include "indicator.h"
#include "search_request.h"
#include "sim_options.h"
#include "ssdp_datagrams.h"
#include "ssdp_socket.h"
#include "unique_fd.h"

namespace sim {

// All indicators of one run in one poll loop: SSDP socket, one HTTP listener
// per indicator, their connections, and the timers for delayed search answers
// and alive rounds.
class Simulator {
public:
    explicit Simulator(const SimOptions& options);  // opens all sockets; throws std::system_error

    // Runs until SIGINT or SIGTERM, then says goodbye; returns the exit code.
    int Run();

private:
    struct ScheduledAnswer {
        Clock::time_point due;
        sockaddr_in to;
        size_t indicator;
        std::string search_target;  // as asked, for the log
    };

    void SendHostileDatagrams();
    // The announcement of the next alive NOTIFY or answer.
    const Announcement& NextAnnouncement();
    void SendAliveRound(Clock::time_point now);
    void SendByebyeRound();
    void SendToGroup(const std::string& datagram, const std::string& event);

    void ReceiveDatagrams(Clock::time_point now);
    void ScheduleAnswers(const SearchRequest& request, const sockaddr_in& from, Clock::time_point now);
    void SendDueAnswers(Clock::time_point now);

    void AcceptConnections(size_t indicator, Clock::time_point now);
    void ServiceConnections(const std::vector<short>& revents, Clock::time_point now);

    int PollTimeoutMs(Clock::time_point now) const;

    SimOptions options_;
    std::vector<Indicator> indicators_;
    Announcement announcement_;
    HttpBehaviour http_behaviour_;
    UniqueFd signals_;
    SsdpSocket ssdp_;
    std::vector<UniqueFd> listeners_;
    std::vector<std::unique_ptr<HttpConnection>> connections_;
    std::vector<ScheduledAnswer> scheduled_answers_;
    std::optional<Clock::time_point> next_alive_round_;
    std::mt19937 random_;
};

}  // namespace sim
