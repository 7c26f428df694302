#include "simulator.h"

#include <arpa/inet.h>
#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "event_log.h"
#include "hostile_datagrams.h"
#include "http_listener.h"
#include "system_call.h"
#include "termination_signals.h"

namespace sim {

namespace {

constexpr size_t kMaxConnections = 512;
constexpr size_t kMebibyte = 1024 * 1024;

in_addr ParseAddress(const std::string& address)
{
    in_addr parsed{};
    inet_pton(AF_INET, address.c_str(), &parsed);
    return parsed;
}

SiteOptions SiteFor(const SimOptions& options)
{
    return SiteOptions{options.device_type, options.no_body, options.hostile_name, options.nested_description,
                       static_cast<size_t>(options.flood_http_mb) * kMebibyte};
}

int MillisecondsUntil(Clock::time_point when, Clock::time_point now)
{
    if (when <= now)
        return 0;
    // Rounded up so that the loop never wakes just before a timer is due.
    auto wait = std::chrono::ceil<std::chrono::milliseconds>(when - now);
    return static_cast<int>(std::min<long long>(wait.count(), 60000));
}

}  // namespace

Simulator::Simulator(const SimOptions& options)
    : options_(options),
      indicators_(MakeIndicators(options)),
      announcement_(AnnouncementFor(options)),
      http_behaviour_{SiteFor(options), options.hang_http, options.slow_http_bps, options.hold_http},
      signals_(OpenTerminationSignals()),
      ssdp_(ParseAddress(options.address)),
      random_(std::random_device{}())
{
    if (options.log_times)
        StampEventsWithClock();
    for (const Indicator& indicator : indicators_)
        listeners_.push_back(OpenHttpListener(ParseAddress(indicator.address), indicator.http_port));
}

int Simulator::Run()
{
    SendHostileDatagrams();
    SendAliveRound(Clock::now());
    LogEvent("READY");
    for (;;) {
        Clock::time_point now = Clock::now();
        SendDueAnswers(now);
        if (next_alive_round_ && now >= *next_alive_round_)
            SendAliveRound(now);

        std::vector<pollfd> fds;
        fds.push_back({signals_.get(), POLLIN, 0});
        fds.push_back({ssdp_.fd(), POLLIN, 0});
        for (const UniqueFd& listener : listeners_)
            fds.push_back({listener.get(), POLLIN, 0});
        for (const auto& connection : connections_)
            fds.push_back({connection->fd(), connection->WantedEvents(now), 0});

        if (poll(fds.data(), fds.size(), PollTimeoutMs(now)) < 0 && errno != EINTR)
            CheckSystemCall(-1, "poll");
        now = Clock::now();

        if (fds[0].revents & POLLIN) {
            LogEvent("signal " + ReadTerminationSignal(signals_.get()));
            SendByebyeRound();
            return 0;
        }
        if (fds[1].revents & POLLIN)
            ReceiveDatagrams(now);
        const size_t first_connection = 2 + listeners_.size();
        std::vector<short> connection_events;
        for (size_t i = first_connection; i < fds.size(); ++i)
            connection_events.push_back(fds[i].revents);
        ServiceConnections(connection_events, now);
        for (size_t i = 0; i < listeners_.size(); ++i) {
            if (fds[2 + i].revents & POLLIN)
                AcceptConnections(i, now);
        }
    }
}

void Simulator::SendToGroup(const std::string& datagram, const std::string& event)
{
    if (ssdp_.SendToGroup(datagram))
        LogEvent(event);
    else
        LogEvent(event + " failed: " + std::strerror(errno));
}

void Simulator::SendHostileDatagrams()
{
    if (options_.oversize)
        SendToGroup(OversizeDatagram(options_.device_type), "send oversize datagram (" +
                                                                 std::to_string(kOversizeLength) + " bytes)");
    if (options_.empty)
        SendToGroup(std::string(), "send empty datagram");
    const std::vector<std::string> garbage =
        GarbageDatagrams(options_.garbage, options_.device_type, DescriptionUrl(indicators_.front()));
    for (size_t i = 0; i < garbage.size(); ++i)
        SendToGroup(garbage[i], "send garbage datagram " + std::to_string(i + 1) + "/" +
                                    std::to_string(garbage.size()) + " (" + std::to_string(garbage[i].size()) +
                                    " bytes)");
}

const Announcement& Simulator::NextAnnouncement()
{
    if (announcement_.vary_location)
        ++announcement_.location_serial;
    return announcement_;
}

void Simulator::SendAliveRound(Clock::time_point now)
{
    for (const Indicator& indicator : indicators_)
        SendToGroup(ComposeAliveNotify(indicator, NextAnnouncement()), "notify alive " + indicator.host_name);
    if (options_.notify_every > 0)
        next_alive_round_ = now + std::chrono::seconds(options_.notify_every);
    else
        next_alive_round_.reset();
}

void Simulator::SendByebyeRound()
{
    for (const Indicator& indicator : indicators_)
        SendToGroup(ComposeByebyeNotify(indicator, announcement_), "notify byebye " + indicator.host_name);
}

void Simulator::ReceiveDatagrams(Clock::time_point now)
{
    while (std::optional<ReceivedDatagram> datagram = ssdp_.Receive()) {
        if (ssdp_.IsOwn(datagram->from))
            continue;
        std::optional<SearchRequest> request = ParseSearchRequest(datagram->bytes);
        if (!request)
            continue;
        if (ShouldAnswer(*request, announcement_.device_type))
            ScheduleAnswers(*request, datagram->from, now);
        else
            LogEvent("ignore M-SEARCH from " + FormatEndpoint(datagram->from) + " st=" + request->search_target);
    }
}

void Simulator::ScheduleAnswers(const SearchRequest& request, const sockaddr_in& from, Clock::time_point now)
{
    std::uniform_int_distribution<int> delay_ms(0, MaxAnswerDelayMs(request, options_.mx_cap));
    for (size_t i = 0; i < indicators_.size(); ++i) {
        Clock::time_point due = now + std::chrono::milliseconds(delay_ms(random_));
        scheduled_answers_.push_back({due, from, i, request.search_target});
    }
}

void Simulator::SendDueAnswers(Clock::time_point now)
{
    auto is_due = [now](const ScheduledAnswer& answer) { return answer.due <= now; };
    for (const ScheduledAnswer& answer : scheduled_answers_) {
        if (!is_due(answer))
            continue;
        const Indicator& indicator = indicators_[answer.indicator];
        const std::string event =
            "answer M-SEARCH from " + FormatEndpoint(answer.to) + " st=" + answer.search_target + " as " +
            indicator.host_name;
        if (ssdp_.SendTo(ComposeSearchAnswer(indicator, NextAnnouncement()), answer.to))
            LogEvent(event);
        else
            LogEvent(event + " failed: " + std::strerror(errno));
    }
    std::erase_if(scheduled_answers_, is_due);
}

void Simulator::AcceptConnections(size_t indicator, Clock::time_point now)
{
    for (;;) {
        sockaddr_in peer{};
        socklen_t peer_size = sizeof peer;
        int fd = accept4(listeners_[indicator].get(), reinterpret_cast<sockaddr*>(&peer), &peer_size,
                         SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0)
            return;
        UniqueFd connection(fd);
        if (connections_.size() >= kMaxConnections) {
            LogEvent("http connection from " + FormatEndpoint(peer) + " refused: too many connections");
            continue;
        }
        connections_.push_back(std::make_unique<HttpConnection>(std::move(connection), peer,
                                                                indicators_[indicator], http_behaviour_, now));
    }
}

void Simulator::ServiceConnections(const std::vector<short>& revents, Clock::time_point now)
{
    for (size_t i = 0; i < revents.size(); ++i)
        connections_[i]->Service(revents[i], now);
    std::erase_if(connections_, [](const auto& connection) { return connection->Finished(); });
}

int Simulator::PollTimeoutMs(Clock::time_point now) const
{
    std::optional<Clock::time_point> earliest = next_alive_round_;
    auto consider = [&earliest](Clock::time_point when) {
        if (!earliest || when < *earliest)
            earliest = when;
    };
    for (const ScheduledAnswer& answer : scheduled_answers_)
        consider(answer.due);
    for (const auto& connection : connections_) {
        if (std::optional<Clock::time_point> timer = connection->NextTimer())
            consider(*timer);
    }
    return earliest ? MillisecondsUntil(*earliest, now) : -1;
}

}  // namespace sim
