#include "datagram_inbox.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "event_hold.h"

namespace platform {
namespace {

size_t g_limit = DatagramInbox::kDefaultLimit;
size_t g_queuedBytes = 0;

// One drain never runs without end, even against a peer that sends faster
// than it is read.
constexpr int kMaxReadsPerDrain = 100000;

}  // namespace

DatagramInbox::DatagramInbox(int socket) : m_socket(socket) {}

DatagramInbox::~DatagramInbox()
{
    for (const Entry& entry : m_queue)
        g_queuedBytes -= CostOf(entry);
}

void DatagramInbox::SetLimit(size_t bytes) { g_limit = bytes; }

size_t DatagramInbox::CostOf(const Entry& entry) { return sizeof entry + entry.bytes.size(); }

void DatagramInbox::Drain()
{
    for (int reads = 0; reads < kMaxReadsPerDrain && ReadOne(); ++reads) {
    }
}

bool DatagramInbox::ReadOne()
{
    static char buffer[kLongestKept];
    Entry entry;
    entry.arrival = StampArrival();
    socklen_t fromLength = sizeof entry.from;
    ssize_t received = recvfrom(m_socket, buffer, sizeof buffer, MSG_DONTWAIT | MSG_TRUNC,
                                reinterpret_cast<sockaddr*>(&entry.from), &fromLength);
    if (received < 0) {
        if (errno == EAGAIN || errno == EWOULDBLOCK)
            return false;
        if (errno == EINTR)
            return true;
        entry.error = errno;
        Queue(std::move(entry));
        return false;
    }
    entry.wireLength = static_cast<size_t>(received);
    if (entry.wireLength <= kLongestKept)
        entry.bytes.assign(buffer, buffer + entry.wireLength);
    Queue(std::move(entry));
    return true;
}

void DatagramInbox::Queue(Entry entry)
{
    size_t cost = CostOf(entry);
    if (g_queuedBytes + cost > g_limit) {
        MarkOverflow();
        return;
    }
    g_queuedBytes += cost;
    m_queue.push_back(std::move(entry));
}

void DatagramInbox::MarkOverflow()
{
    if (!m_queue.empty() && m_queue.back().error == ENOBUFS)
        return;
    // The marker goes in however full the queue is: it is small, and without
    // it the loss would go unseen.
    Entry marker;
    marker.error = ENOBUFS;
    marker.arrival = StampArrival();
    g_queuedBytes += CostOf(marker);
    m_queue.push_back(std::move(marker));
}

int DatagramInbox::Take(void* buffer, int length, sockaddr* from, int* fromLength)
{
    if (m_queue.empty()) {
        errno = EWOULDBLOCK;
        return -1;
    }
    Entry entry = std::move(m_queue.front());
    m_queue.pop_front();
    g_queuedBytes -= CostOf(entry);
    if (from && fromLength) {
        size_t copied = std::min(static_cast<size_t>(*fromLength), sizeof entry.from);
        std::memcpy(from, &entry.from, copied);
        *fromLength = static_cast<int>(sizeof entry.from);
    }
    if (entry.error != 0) {
        errno = entry.error;
        return -1;
    }
    if (entry.wireLength > static_cast<size_t>(length) || entry.wireLength > entry.bytes.size()) {
        errno = EMSGSIZE;
        return -1;
    }
    if (entry.wireLength > 0)
        std::memcpy(buffer, entry.bytes.data(), entry.wireLength);
    return static_cast<int>(entry.wireLength);
}

}  // namespace platform
