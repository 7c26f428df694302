// Cost of one foreign datagram through the real main dialog's dispatch,
// in-process on the offscreen platform: CQuorvelDlg::OnReceive as the SSDP
// socket calls it, with a datagram the program ignores: another host's
// M-SEARCH, and a goodbye of an indicator it never listed. Each datagram is
// first copied into a receive-sized buffer, as the socket leaves it there,
// because the parser splits the text in place.
//
// Two ways of writing the trace: to a cheap sink through the debug-output
// seam (the dispatch itself), and the program's own way, to standard
// error, here redirected to /dev/null (the cost of the write calls too).
//
//   quorvel-dispatch-bench [RUNS] [DATAGRAMS_PER_RUN]
//
// The dialog starts its network as the program does, so this runs inside a
// network namespace with one interface (dispatch_bench.sh makes it).

#include <arpa/inet.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "afx_socket.h"
#include "platform_seams.h"
#include "platform_testing.h"
#include "ssdp/ssdp_message.h"
#include "ui/quorvel_app.h"
#include "ui/quorvel_dlg.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kMaxRuns = 20;
constexpr long kMaxDatagrams = 10000000;
constexpr char kSender[] = "10.77.1.20";
constexpr int kStartupMs = 5000;

struct Foreign {
    const char* name;
    std::string text;
};

std::vector<Foreign> ForeignDatagrams()
{
    char search[512];
    const int length = ComposeMSearch(search, sizeof search, "ssdp:all");
    return {
        {"another host's M-SEARCH", std::string(search, length > 0 ? static_cast<size_t>(length) : 0)},
        {"byebye of an unknown USN",
         std::string("NOTIFY * HTTP/1.1\r\nHOST: 239.255.255.250:1900\r\nNT: ") + kSearchTarget +
             "\r\nNTS: ssdp:byebye\r\nUSN: uuid:00000000-0000-4000-8000-000000000000::" + kSearchTarget +
             "\r\n\r\n"},
    };
}

double NsPerDatagram(CQuorvelDlg& dialog, const std::string& text, long count)
{
    static char buffer[kDatagramSize + 1];
    const unsigned long sender = inet_addr(kSender);
    const Clock::time_point start = Clock::now();
    for (long i = 0; i < count; ++i) {
        std::memcpy(buffer, text.c_str(), text.size() + 1);
        dialog.OnReceive(buffer, sender);
    }
    return std::chrono::duration<double, std::nano>(Clock::now() - start).count() / static_cast<double>(count);
}

// The trace lines the program writes, counted and dropped.
struct CountingSink {
    long lines = 0;
    bool burstEnded = false;

    void Install()
    {
        platform::seams::SetDebugOutput([this](const char* line) {
            ++lines;
            if (std::strncmp(line, "KillTimer(MY_DISCOVER_ID)", 25) == 0)
                burstEnded = true;
        });
    }
};

// Standard error goes to /dev/null while this lives.
class QuietStandardError {
public:
    QuietStandardError() : m_saved(dup(STDERR_FILENO))
    {
        const int devNull = open("/dev/null", O_WRONLY | O_CLOEXEC);
        dup2(devNull, STDERR_FILENO);
        close(devNull);
    }
    ~QuietStandardError()
    {
        dup2(m_saved, STDERR_FILENO);
        close(m_saved);
    }
    QuietStandardError(const QuietStandardError&) = delete;
    QuietStandardError& operator=(const QuietStandardError&) = delete;

private:
    int m_saved;
};

struct Figures {
    double median = 0;
    double best = 0;
};

Figures Measure(const std::function<double()>& run, int runs)
{
    std::vector<double> ns;
    for (int i = 0; i < runs; ++i)
        ns.push_back(run());
    std::sort(ns.begin(), ns.end());
    const double median = runs % 2 ? ns[runs / 2] : (ns[runs / 2 - 1] + ns[runs / 2]) / 2;
    return {median, ns.front()};
}

void PrintFigures(const char* output, const Figures& figures)
{
    std::printf("    %-32s median %8.0f ns, best %8.0f ns per datagram (%.0f datagrams/s)\n", output, figures.median,
                figures.best, 1e9 / figures.median);
}

void MeasureAll(CQuorvelDlg& dialog, CountingSink& sink, int runs, long count)
{
    for (const Foreign& datagram : ForeignDatagrams()) {
        std::printf("  %s (%zu B):\n", datagram.name, datagram.text.size());
        sink.Install();
        const long linesBefore = sink.lines;
        const Figures sunk = Measure([&] { return NsPerDatagram(dialog, datagram.text, count); }, runs);
        const double linesEach = static_cast<double>(sink.lines - linesBefore) / (static_cast<double>(count) * runs);
        PrintFigures("trace to a counting sink:", sunk);
        platform::seams::SetDebugOutput({});
        Figures quiet;
        {
            QuietStandardError devNull;
            quiet = Measure([&] { return NsPerDatagram(dialog, datagram.text, count); }, runs);
        }
        PrintFigures("trace to stderr = /dev/null:", quiet);
        std::printf("    %.1f trace lines per datagram\n", linesEach);
    }
    std::printf("rows listed afterwards: %d (nothing of it is listed)\n", dialog.m_list.GetItemCount());
}

}  // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::atoi(argv[1]) : 5;
    const long count = argc > 2 ? std::atol(argv[2]) : 200000;
    if (runs < 1 || runs > kMaxRuns || count < 1 || count > kMaxDatagrams) {
        std::fprintf(stderr, "usage: %s [RUNS(1..%d)] [DATAGRAMS_PER_RUN(1..%ld)]\n", argv[0], kMaxRuns,
                     kMaxDatagrams);
        return 2;
    }
    platform::testing::SetCommandLine({argv[0]});
    platform::testing::EnsureApplication();
    platform::seams::SetMessageBoxHandler([](const std::string& text, const std::string&, UINT) {
        std::printf("BOX:%s\n", text.c_str());
        return IDOK;
    });
    AfxSocketInit();
    CQuorvelApp app;
    CQuorvelDlg dialog;
    CountingSink sink;
    sink.Install();
    std::printf("dispatch cost: CQuorvelDlg::OnReceive from %s, %ld datagrams per run, %d runs\n", kSender, count,
                runs);
    platform::testing::RunDialog(dialog, [&] {
        // Measured once the first discovery burst is over and all is quiet.
        if (!platform::testing::PumpUntil([&] { return sink.burstEnded; }, kStartupMs))
            std::printf("the first burst did not end; measuring anyway\n");
        MeasureAll(dialog, sink, runs, count);
    });
    return 0;
}
