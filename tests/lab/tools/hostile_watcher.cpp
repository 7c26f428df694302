// Runs the real main dialog (offscreen) for the hostile-device and load lab
// tests and the stall benchmark, and reports on it through files in DIR:
//
//   list.txt          the indicator list, as quorvel-list-watcher writes it
//   stats.txt         key=value lines, rewritten every 100 ms and at the end:
//     hold_ms         longest time between two turns of the event loop since
//                     the last mark: how long something held the window
//     max_hold_ms     the same since the first turn
//     held_ms         the sum since the last mark of the gaps of 100 ms or
//                     more: how long the window stood still in all
//     rss_kb, peak_rss_kb   resident memory now and at its peak (VmHWM)
//     searches_ms     when each M-SEARCH went out, in ms after the last
//                     Search click (after the start for the first burst)
//     search_clicks   Search clicks so far
//     turns, rows, ended (1 in the last write)
//   Indicators.html   the overview page, written by the real Show Scales
//                     button (the watcher sets TMPDIR to DIR)
//
// Commands are files a test creates in DIR; each is deleted once carried
// out: mark (restart hold_ms), search (click Search), show-scales (click
// Show Scales; needs the /X switch), stop (end now, exit 0).
//
// The program's trace goes to standard error unchanged; message boxes and
// the program's shell requests are written there as BOX:text and
// SHELL:verb file instead of being shown or started.
//
//   quorvel-hostile-watcher DIR SECONDS [switches...]

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "afx_socket.h"
#include "list_snapshot.h"
#include "platform_seams.h"
#include "platform_testing.h"
#include "res/resource.h"
#include "ui/quorvel_app.h"
#include "ui/quorvel_dlg.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kMaxSeconds = 600;
constexpr auto kReportPeriod = std::chrono::milliseconds(100);
constexpr char kSearchSent[] = "SendDiscover:SentTo(";
constexpr int kShellSuccess = 42;  // any value above 32 means started

double Ms(Clock::duration duration) { return std::chrono::duration<double, std::milli>(duration).count(); }

struct Memory {
    long rssKb = 0;
    long peakRssKb = 0;
};

Memory ReadMemory()
{
    Memory memory;
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0)
            memory.rssKb = std::atol(line.c_str() + 6);
        else if (line.rfind("VmHWM:", 0) == 0)
            memory.peakRssKb = std::atol(line.c_str() + 6);
    }
    return memory;
}

void WriteToStandardError(const std::string& text)
{
    ssize_t ignored = write(STDERR_FILENO, text.data(), text.size());
    (void)ignored;
}

// Passes every trace line on to standard error as the program writes it,
// noting when the searches go out.
class SearchClock {
public:
    SearchClock()
    {
        platform::seams::SetDebugOutput([this](const char* line) { Pass(line); });
    }
    ~SearchClock() { platform::seams::SetDebugOutput({}); }
    SearchClock(const SearchClock&) = delete;
    SearchClock& operator=(const SearchClock&) = delete;

    void Restart(Clock::time_point click)
    {
        m_click = click;
        m_sent.clear();
        ++m_clicks;
    }
    int clicks() const { return m_clicks; }

    std::string Offsets() const
    {
        std::string text;
        char number[32];
        for (Clock::time_point sent : m_sent) {
            std::snprintf(number, sizeof number, "%s%.1f", text.empty() ? "" : ",", Ms(sent - m_click));
            text += number;
        }
        return text;
    }

private:
    void Pass(const char* line)
    {
        WriteToStandardError(line);
        if (std::strncmp(line, kSearchSent, sizeof kSearchSent - 1) == 0)
            m_sent.push_back(Clock::now());
    }

    Clock::time_point m_click = Clock::now();
    std::vector<Clock::time_point> m_sent;
    int m_clicks = 0;
};

// The longest time between two turns of the watcher's pump; a handler that
// blocks keeps the pump from turning.
class HoldMeter {
public:
    void Turn(Clock::time_point now)
    {
        if (m_turns++ > 0) {
            const Clock::duration gap = now - m_last;
            m_sinceMark = std::max(m_sinceMark, gap);
            m_overall = std::max(m_overall, gap);
            if (gap >= kHold)
                m_heldSinceMark += gap;
        }
        m_last = now;
    }
    void Mark()
    {
        m_sinceMark = Clock::duration::zero();
        m_heldSinceMark = Clock::duration::zero();
    }

    double SinceMarkMs() const { return Ms(m_sinceMark); }
    double HeldSinceMarkMs() const { return Ms(m_heldSinceMark); }
    double OverallMs() const { return Ms(m_overall); }
    long turns() const { return m_turns; }

private:
    // A turn of the pump takes about 11 ms; ten times that is a hold.
    static constexpr Clock::duration kHold = std::chrono::milliseconds(100);

    long m_turns = 0;
    Clock::time_point m_last;
    Clock::duration m_heldSinceMark = Clock::duration::zero();
    Clock::duration m_sinceMark = Clock::duration::zero();
    Clock::duration m_overall = Clock::duration::zero();
};

struct Options {
    std::string directory;
    int seconds = 0;
    std::vector<std::string> commandLine;
};

bool ParseOptions(int argc, char** argv, Options& options)
{
    if (argc < 3)
        return false;
    options.directory = argv[1];
    options.seconds = std::atoi(argv[2]);
    options.commandLine = {argv[0]};
    for (int i = 3; i < argc; ++i)
        options.commandLine.emplace_back(argv[i]);
    return options.seconds > 0 && options.seconds <= kMaxSeconds;
}

void PrepareProcess(const Options& options)
{
    setenv("TMPDIR", options.directory.c_str(), 1);
    platform::testing::SetCommandLine(options.commandLine);
    platform::testing::EnsureApplication();
    platform::seams::SetMessageBoxHandler([](const std::string& text, const std::string&, UINT) {
        WriteToStandardError("BOX:" + text + "\n");
        return IDOK;
    });
    platform::seams::SetShellHandler([](const std::string& verb, const std::string& file, const std::string&) {
        WriteToStandardError("SHELL:" + verb + " " + file + "\n");
        return kShellSuccess;
    });
    AfxSocketInit();
}

class Watcher {
public:
    Watcher(CQuorvelDlg& dialog, const std::string& directory) : m_dialog(dialog), m_directory(directory) {}

    // Pumps the dialog's events until the deadline or a stop command.
    void Run(int seconds)
    {
        bool stop = false;
        Clock::time_point nextReport = Clock::now();
        platform::testing::PumpUntil(
            [&] {
                const Clock::time_point now = Clock::now();
                m_holds.Turn(now);
                if (now < nextReport)
                    return false;
                stop = CarryOutCommands(now);
                Report(false);
                nextReport = now + kReportPeriod;
                return stop;
            },
            seconds * 1000);
        Report(true);
    }

private:
    bool Take(const char* command) const { return std::remove((m_directory + "/" + command).c_str()) == 0; }

    bool CarryOutCommands(Clock::time_point now)
    {
        if (Take("mark"))
            m_holds.Mark();
        if (Take("search")) {
            m_searches.Restart(now);
            platform::testing::ClickButton(&m_dialog, IDC_SEARCH);
        }
        if (Take("show-scales"))
            platform::testing::ClickButton(&m_dialog, IDC_SHOW_SCALES);
        return Take("stop");
    }

    void Report(bool ended)
    {
        const std::string list = Snapshot(m_dialog);
        if (list != m_lastList)
            WriteAtomically(m_directory + "/list.txt", list);
        m_lastList = list;
        const Memory memory = ReadMemory();
        std::ostringstream stats;
        stats << "hold_ms=" << m_holds.SinceMarkMs() << "\nmax_hold_ms=" << m_holds.OverallMs()
              << "\nheld_ms=" << m_holds.HeldSinceMarkMs()
              << "\nrss_kb=" << memory.rssKb << "\npeak_rss_kb=" << memory.peakRssKb
              << "\nsearches_ms=" << m_searches.Offsets() << "\nsearch_clicks=" << m_searches.clicks()
              << "\nturns=" << m_holds.turns()
              << "\nrows=" << m_dialog.m_list.GetItemCount() << "\nended=" << (ended ? 1 : 0) << "\n";
        WriteAtomically(m_directory + "/stats.txt", stats.str());
    }

    CQuorvelDlg& m_dialog;
    const std::string m_directory;
    SearchClock m_searches;
    HoldMeter m_holds;
    std::string m_lastList;
};

}  // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fprintf(stderr, "usage: %s DIR SECONDS(1..%d) [switches...]\n", argv[0], kMaxSeconds);
        return 2;
    }
    PrepareProcess(options);
    CQuorvelApp app;
    CQuorvelDlg dialog;
    Watcher watcher(dialog, options.directory);
    WriteAtomically(options.directory + "/list.txt", "");
    platform::testing::RunDialog(dialog, [&] { watcher.Run(options.seconds); });
    return 0;
}
