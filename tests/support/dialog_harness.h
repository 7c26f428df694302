#pragma once

// Runs the real main dialog in-process on the offscreen platform with every
// outside facility replaced by a seam: interfaces, clock, tones, message
// boxes, the debugger output. Tests feed datagrams to OnReceive and read the
// results from the controls and the seams.

#include <chrono>
#include <ctime>
#include <functional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "fake_interfaces.h"
#include "test_socket.h"
#include "platform_seams.h"
#include "platform_testing.h"
#include "ui/quorvel_app.h"
#include "ui/quorvel_dlg.h"

struct Tone {
    DWORD frequency;
    DWORD duration;
    bool operator==(const Tone&) const = default;
};

class DialogHarness {
public:
    DialogHarness();
    ~DialogHarness();

    void UseInterfaces(std::vector<INTERFACE_INFO> interfaces);
    // Seconds since 1970 UTC as the program's clock reads them; the
    // monotonic clock runs on in real time and moves with the steps.
    void SetNow(int64_t seconds)
    {
        m_tick_offset_ms += (seconds - m_now) * 1000;
        m_now = seconds;
    }
    int64_t Now() const { return m_now; }
    // A step of the wall clock alone, as a time adjustment makes it.
    void StepWallClock(int64_t seconds) { m_now += seconds; }

    // Runs the dialog and the test body while it is shown.
    void Run(const std::function<void(CQuorvelDlg&)>& body);

    // Hands a datagram to the dialog as a socket would.
    void Receive(CQuorvelDlg& dialog, const std::string& text, const char* sender);
    std::string Cell(CQuorvelDlg& dialog, int row, int column) const;
    void SetBeep(CQuorvelDlg& dialog, bool on);
    void FireTimer(CQuorvelDlg& dialog, UINT_PTR id);

    CQuorvelApp app;
    platform::testing::DebugOutputRecorder log;
    platform::testing::MessageBoxRecorder boxes;
    std::vector<Tone> tones;

private:
    int64_t m_now = 1796683569;
    int64_t m_tick_offset_ms = 0;
};

// A device on the LAN sending datagrams to the dialog's SSDP port over the
// isolated network, from the neighbour address: they reach the program as
// real datagrams, also while it blocks.
class NeighbourDatagrams {
public:
    NeighbourDatagrams();
    ~NeighbourDatagrams();
    NeighbourDatagrams(const NeighbourDatagrams&) = delete;
    NeighbourDatagrams& operator=(const NeighbourDatagrams&) = delete;

    // From a thread of its own, one text after another with the gap between.
    void SendSpaced(std::vector<std::string> texts, std::chrono::milliseconds gap);

private:
    TestSocket m_socket{};
    std::thread m_sender;
};

// Announcement texts as indicators send them.
std::string AliveNotify(const std::string& usn, const std::string& location, const std::string& maxAge = "1800",
                        const std::string& nt = "urn:schemas-quorvel-com:device:indicator:1");
std::string SearchAnswer(const std::string& usn, const std::string& location, const std::string& maxAge = "1800");
std::string ByebyeNotify(const std::string& usn);
