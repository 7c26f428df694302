// Runs the real main dialog (offscreen) through its first discovery burst
// among simulated indicators and reports when all of them were listed, where
// the time went, and how long the event loop was held.
//
//   quorvel-discovery-bench EXPECTED SECONDS [TIMED_LOG] [--rcvbuf BYTES] [--headless]
//
// --headless runs the dialog unshown, as list mode does where there is no
// display.
//
// --rcvbuf is an experiment, not part of the benchmark: it asks for a larger
// receive buffer on the dialog's search socket before the first search, to
// show what the kernel's drops of search answers cost.

#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "afx_socket.h"
#include "burst_observer.h"
#include "burst_profile.h"
#include "burst_report.h"
#include "platform_seams.h"
#include "platform_testing.h"
#include "timed_log.h"
#include "udp_counters.h"
#include "ui/quorvel_app.h"
#include "ui/quorvel_dlg.h"

namespace {

constexpr int kProbePeriodMs = 5;
constexpr UINT_PTR kProbeTimer = 1;
constexpr int kMaxSeconds = 120;

struct Options {
    int expected = 0;
    int seconds = 0;
    std::string timedLog;
    int receiveBuffer = 0;  // 0: the socket's own
    bool headless = false;
};

// A window of its own whose timer runs as the program's timers run; it also
// ends the dialog, from outside any handler of the program's.
class ProbeWindow : public CWnd {
public:
    ProbeWindow(bench::BurstObserver& observer, CDialog& dialog, std::function<void()> firstTick)
        : m_observer(observer), m_dialog(dialog), m_firstTick(std::move(firstTick))
    {
    }

    void OnTimer(UINT_PTR id)
    {
        if (id != kProbeTimer)
            return;
        if (m_firstTick)
            std::exchange(m_firstTick, nullptr)();
        m_observer.OnHeldTick();
        if (!m_observer.Over())
            return;
        KillTimer(kProbeTimer);
        m_observer.NoteEnd();
        m_dialog.EndDialog(IDOK);
    }

    DECLARE_MESSAGE_MAP()

private:
    bench::BurstObserver& m_observer;
    CDialog& m_dialog;
    std::function<void()> m_firstTick;
};

BEGIN_MESSAGE_MAP(ProbeWindow, CWnd)
    ON_WM_TIMER()
END_MESSAGE_MAP()

bool ParseOptions(int argc, char** argv, Options& options)
{
    std::vector<std::string> positional;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--rcvbuf") == 0 && i + 1 < argc)
            options.receiveBuffer = std::atoi(argv[++i]);
        else if (std::strcmp(argv[i], "--headless") == 0)
            options.headless = true;
        else
            positional.emplace_back(argv[i]);
    }
    if (positional.size() < 2 || positional.size() > 3)
        return false;
    options.expected = std::atoi(positional[0].c_str());
    options.seconds = std::atoi(positional[1].c_str());
    if (positional.size() == 3)
        options.timedLog = positional[2];
    return options.expected > 0 && options.seconds > 0 && options.seconds <= kMaxSeconds &&
           options.receiveBuffer >= 0;
}

// The search answers come back to the socket the searches leave from.
void EnlargeReceiveBuffer(CQuorvelDlg& dialog, int bytes)
{
    const SOCKET socket = dialog.m_port_socket.m_hSocket;
    setsockopt(socket, SOL_SOCKET, SO_RCVBUF, &bytes, sizeof bytes);
    int granted = 0;
    socklen_t size = sizeof granted;
    getsockopt(socket, SOL_SOCKET, SO_RCVBUF, &granted, &size);
    std::printf("experiment: receive buffer of the search socket %d bytes (asked %d)\n", granted, bytes);
}

void PrepareProcess(const char* path, bool headless)
{
    platform::testing::SetCommandLine({path});
    platform::testing::SetHeadless(headless);
    platform::testing::EnsureApplication();
    platform::seams::SetMessageBoxHandler([](const std::string& text, const std::string&, UINT) {
        std::fprintf(stderr, "BOX:%s\n", text.c_str());
        return IDOK;
    });
    AfxSocketInit();
}

long ReceiveBufferDrops() { return bench::ReadUdpCounter("RcvbufErrors").value_or(0); }

// The dialog's modal loop runs both probe timers until the observer calls
// the run over.
void RunBurst(CQuorvelDlg& dialog, bench::BurstObserver& observer, int receiveBuffer)
{
    std::function<void()> firstTick;
    if (receiveBuffer > 0)
        firstTick = [&dialog, receiveBuffer] { EnlargeReceiveBuffer(dialog, receiveBuffer); };
    ProbeWindow probe(observer, dialog, std::move(firstTick));
    platform::testing::BareWidget probeWidget(probe);
    probe.SetTimer(kProbeTimer, kProbePeriodMs, nullptr);
    QTimer loopProbe;
    loopProbe.setTimerType(Qt::PreciseTimer);
    QObject::connect(&loopProbe, &QTimer::timeout, [&observer] { observer.OnLoopTick(); });
    loopProbe.start(kProbePeriodMs);
    dialog.DoModal();
    probe.KillTimer(kProbeTimer);
}

}  // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fprintf(stderr, "usage: %s EXPECTED SECONDS(1..%d) [TIMED_LOG] [--rcvbuf BYTES] [--headless]\n", argv[0],
                     kMaxSeconds);
        return 2;
    }
    PrepareProcess(argv[0], options.headless);
    CQuorvelApp app;
    CQuorvelDlg dialog;
    const long dropsBefore = ReceiveBufferDrops();
    bench::TimedLog log;
    bench::BurstObserver observer(dialog, log, options.expected, options.seconds);
    RunBurst(dialog, observer, options.receiveBuffer);
    const bench::BurstProfile profile = bench::ProfileBurst(log.lines());
    bench::PrintReport({observer, profile, options.expected, ReceiveBufferDrops() - dropsBefore});
    if (!options.timedLog.empty() && log.firstSearch())
        log.WriteTo(options.timedLog, *log.firstSearch());
    return observer.listedAt() ? 0 : 1;
}
