#include "http_connection.h"

#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "event_log.h"
#include "http_request.h"
#include "http_response.h"

namespace sim {

namespace {

constexpr size_t kMaxRequestHead = 8192;
constexpr auto kReadTimeout = std::chrono::seconds(10);
constexpr int kChunksPerSecond = 10;

std::string Describe(const std::optional<HttpRequest>& request)
{
    return request ? request->method + " " + request->path : std::string("malformed request");
}

std::string AnswerFaults(const HttpBehaviour& behaviour, size_t filler)
{
    std::string faults;
    if (behaviour.slow_bps > 0)
        faults += " (slow)";
    if (filler > 0)
        faults += " (+" + std::to_string(filler) + " bytes of filler)";
    if (behaviour.hold)
        faults += " (held open)";
    return faults;
}

}  // namespace

HttpConnection::HttpConnection(UniqueFd fd, const sockaddr_in& peer, const Indicator& indicator,
                               const HttpBehaviour& behaviour, Clock::time_point now)
    : fd_(std::move(fd)), peer_(FormatEndpoint(peer)), indicator_(indicator), behaviour_(behaviour),
      read_deadline_(now + kReadTimeout)
{
}

short HttpConnection::WantedEvents(Clock::time_point now) const
{
    switch (state_) {
    case State::kReading:
    case State::kHanging:
    case State::kHolding:
        return POLLIN;
    case State::kWriting:
        return (behaviour_.slow_bps == 0 || now >= next_chunk_) ? POLLOUT : 0;
    case State::kFinished:
        break;
    }
    return 0;
}

std::optional<Clock::time_point> HttpConnection::NextTimer() const
{
    if (state_ == State::kReading)
        return read_deadline_;
    if (state_ == State::kWriting && behaviour_.slow_bps > 0)
        return next_chunk_;
    return std::nullopt;
}

void HttpConnection::Service(short revents, Clock::time_point now)
{
    if (state_ == State::kReading || Swallowing()) {
        if (revents & (POLLIN | POLLHUP | POLLERR))
            Read(now);
        else if (state_ == State::kReading && now >= read_deadline_)
            Finish("no complete request within 10 s");
    } else if (state_ == State::kWriting) {
        if (revents & (POLLHUP | POLLERR))
            Finish("peer went away");
        else if (revents & POLLOUT)
            Write(now);
    }
}

void HttpConnection::Read(Clock::time_point now)
{
    char buffer[4096];
    for (;;) {
        ssize_t length = recv(fd_.get(), buffer, sizeof buffer, 0);
        if (length == 0) {
            Finish(ClosedByPeer());
            return;
        }
        if (length < 0) {
            if (errno != EAGAIN && errno != EWOULDBLOCK)
                Finish("receive failed");
            return;
        }
        if (Swallowing())
            continue;  // a hung or holding indicator swallows everything
        received_.append(buffer, static_cast<size_t>(length));
        if (RequestHeadLength(received_) > 0 || received_.size() > kMaxRequestHead) {
            StartAnswer(now);
            return;
        }
    }
}

void HttpConnection::StartAnswer(Clock::time_point now)
{
    const size_t head_length = RequestHeadLength(received_);
    const std::optional<HttpRequest> request =
        head_length > 0 ? ParseRequestLine(std::string_view(received_).substr(0, head_length)) : std::nullopt;
    if (behaviour_.hang) {
        LogEvent("http " + Describe(request) + " from " + peer_ + " on " + indicator_.host_name + " -> hang");
        state_ = State::kHanging;
        return;
    }
    SiteAnswer answer = AnswerRequest(request, indicator_, behaviour_.site);
    LogEvent("http " + Describe(request) + " from " + peer_ + " on " + indicator_.host_name + " -> " +
             std::to_string(answer.status) + AnswerFaults(behaviour_, answer.filler));
    answer_ = std::move(answer.bytes);
    filler_left_ = answer.filler;
    state_ = State::kWriting;
    next_chunk_ = now;
}

size_t HttpConnection::ChunkSize() const
{
    return std::max(1, behaviour_.slow_bps / kChunksPerSecond);
}

Clock::duration HttpConnection::ChunkInterval() const
{
    return std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(
        static_cast<double>(ChunkSize()) / behaviour_.slow_bps));
}

// The rest of the answer, else the filler from where it stopped, so that it
// stays whole lines however the sends split it.
std::string_view HttpConnection::Pending() const
{
    if (sent_ < answer_.size())
        return std::string_view(answer_).substr(sent_);
    const std::string_view block = FillerBlock();
    const size_t offset = filler_sent_ % block.size();
    return block.substr(offset, std::min(filler_left_, block.size() - offset));
}

void HttpConnection::Sent(size_t length)
{
    const size_t from_answer = std::min(length, answer_.size() - sent_);
    sent_ += from_answer;
    filler_sent_ += length - from_answer;
    filler_left_ -= length - from_answer;
}

void HttpConnection::Write(Clock::time_point now)
{
    const bool slow = behaviour_.slow_bps > 0;
    if (slow && now < next_chunk_)
        return;
    const std::string_view pending = Pending();
    const size_t length = slow ? std::min(pending.size(), ChunkSize()) : pending.size();
    ssize_t written = send(fd_.get(), pending.data(), length, MSG_NOSIGNAL);
    if (written < 0) {
        if (errno != EAGAIN && errno != EWOULDBLOCK)
            Finish(std::string("send failed: ") + std::strerror(errno));
        return;
    }
    Sent(static_cast<size_t>(written));
    if (slow)
        next_chunk_ += ChunkInterval();
    if (sent_ == answer_.size() && filler_left_ == 0)
        EndAnswer();
}

void HttpConnection::EndAnswer()
{
    if (behaviour_.hold)
        state_ = State::kHolding;
    else
        Finish({});
}

bool HttpConnection::Swallowing() const { return state_ == State::kHanging || state_ == State::kHolding; }

std::string HttpConnection::ClosedByPeer() const
{
    switch (state_) {
    case State::kHanging: return "hung connection closed by peer";
    case State::kHolding: return "held connection closed by peer";
    default: return "closed before a request";
    }
}

void HttpConnection::Finish(const std::string& why)
{
    if (!why.empty())
        LogEvent("http connection from " + peer_ + " on " + indicator_.host_name + ": " + why);
    state_ = State::kFinished;
    fd_ = UniqueFd();
}

}  // namespace sim
