#pragma once

// The datagrams of one socket, taken from the kernel ahead of the program.
// The kernel holds a few hundred answers at most; a burst of indicators, or a
// flood while a handler waits on a device that never answers, would otherwise
// be lost unseen. Read errors keep their place among the datagrams. Each
// entry carries its arrival stamp, so that datagrams held with other
// deliveries are served in the order they came.

#include <netinet/in.h>
#include <sys/socket.h>

#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

namespace platform {

class DatagramInbox {
public:
    explicit DatagramInbox(int socket);
    ~DatagramInbox();
    DatagramInbox(const DatagramInbox&) = delete;
    DatagramInbox& operator=(const DatagramInbox&) = delete;

    // Moves every datagram the kernel holds for the socket into the queue.
    // Past the bound shared by all inboxes datagrams are dropped, and one
    // ENOBUFS entry marks where the dropping began.
    void Drain();

    bool IsEmpty() const { return m_queue.empty(); }
    uint64_t OldestArrival() const { return m_queue.front().arrival; }

    // The oldest entry, with recvfrom's results: the byte count, or -1 with
    // errno (EMSGSIZE for a datagram longer than the buffer or than
    // kLongestKept, the sender filled in all the same; EWOULDBLOCK when the
    // queue is empty).
    int Take(void* buffer, int length, sockaddr* from, int* fromLength);

    // The program reads into 1500 bytes: of a longer datagram, which it can
    // only drop, the queue keeps the sender and the length, not the bytes.
    static constexpr size_t kLongestKept = 1500;

    // The bound on the bytes all inboxes hold together.
    static void SetLimit(size_t bytes);
    static constexpr size_t kDefaultLimit = 32u << 20;

private:
    struct Entry {
        std::vector<char> bytes;
        size_t wireLength = 0;
        sockaddr_in from{};
        int error = 0;
        uint64_t arrival = 0;
    };

    // Returns false when the kernel holds nothing more (or failed).
    bool ReadOne();
    void Queue(Entry entry);
    void MarkOverflow();
    static size_t CostOf(const Entry& entry);

    int m_socket;
    std::deque<Entry> m_queue;
};

}  // namespace platform
