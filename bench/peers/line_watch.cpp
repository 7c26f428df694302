// Runs a discovery command and watches its standard output: when it had
// printed EXPECTED distinct lines that begin with PREFIX (after blanks), when
// it printed the last new one of them, and the command's peak resident set. The command is stopped once all were
// seen, or when the time is up.
//
//   quorvel-line-watch EXPECTED SECONDS PREFIX command [arguments...]

#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kMaxSeconds = 120;

double MsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

pid_t Launch(char** command, int& output)
{
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0)
        return -1;
    const pid_t child = fork();
    if (child == 0) {
        dup2(pipeEnds[1], STDOUT_FILENO);
        close(pipeEnds[0]);
        close(pipeEnds[1]);
        execvp(command[0], command);
        _exit(127);
    }
    close(pipeEnds[1]);
    output = pipeEnds[0];
    return child;
}

class Watch {
public:
    Watch(size_t expected, std::string prefix) : m_expected(expected), m_prefix(std::move(prefix)) {}

    // Reads until the output ends, all were seen, or the time is up.
    void Read(int output, Clock::time_point start, int seconds)
    {
        char buffer[4096];
        while (m_seen.size() < m_expected && MsSince(start) < seconds * 1000.0) {
            pollfd ready{output, POLLIN, 0};
            if (poll(&ready, 1, 50) <= 0)
                continue;
            const ssize_t length = read(output, buffer, sizeof buffer);
            if (length <= 0)
                return;
            Take(std::string(buffer, static_cast<size_t>(length)), start);
        }
    }

    size_t Seen() const { return m_seen.size(); }
    double LastNewMs() const { return m_lastNewMs; }

private:
    void Take(const std::string& text, Clock::time_point start)
    {
        m_partial += text;
        size_t end;
        while ((end = m_partial.find('\n')) != std::string::npos) {
            const std::string line = m_partial.substr(0, end);
            m_partial.erase(0, end + 1);
            const size_t first = line.find_first_not_of(" \t");
            if (first != std::string::npos && line.compare(first, m_prefix.size(), m_prefix) == 0 &&
                m_seen.insert(line.substr(first)).second)
                m_lastNewMs = MsSince(start);
        }
    }

    size_t m_expected;
    std::string m_prefix;
    std::string m_partial;
    std::set<std::string> m_seen;
    double m_lastNewMs = 0;
};

}  // namespace

int main(int argc, char** argv)
{
    const int expected = argc >= 5 ? std::atoi(argv[1]) : 0;
    const int seconds = argc >= 5 ? std::atoi(argv[2]) : 0;
    if (expected <= 0 || seconds <= 0 || seconds > kMaxSeconds) {
        std::fprintf(stderr, "usage: %s EXPECTED SECONDS(1..%d) PREFIX command [arguments...]\n", argv[0],
                     kMaxSeconds);
        return 2;
    }
    const Clock::time_point start = Clock::now();
    int output = -1;
    const pid_t child = Launch(argv + 4, output);
    if (child < 0)
        return 1;
    Watch watch(static_cast<size_t>(expected), argv[3]);
    watch.Read(output, start, seconds);
    kill(child, SIGTERM);
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    const bool all = watch.Seen() >= static_cast<size_t>(expected);
    const long lastMs = static_cast<long>(watch.LastNewMs());
    std::printf("RESULT listed_ms=%s last_ms=%ld seen=%zu peak_rss_kb=%ld\n",
                all ? std::to_string(lastMs).c_str() : "NA", lastMs, watch.Seen(), usage.ru_maxrss);
    return 0;
}
