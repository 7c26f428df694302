#include <fcntl.h>
#include <grp.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <utility>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "log/log_message.h"
#include "platform_seams.h"
#include "platform_testing.h"

namespace fs = std::filesystem;

namespace {

void Write(DiagnosticLog& log, const char* format, ...) __attribute__((format(printf, 2, 3)));
void Write(DiagnosticLog& log, const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    log.Write(format, arguments);
    va_end(arguments);
}

std::string ReadFile(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream content;
    content << file.rdbuf();
    return content.str();
}

// 2026-12-07 22:46:09.123 UTC
timespec FixedTime()
{
    return timespec{1796683569, 123456789};
}

// Runs body in a child process as the user, who is not root and owns
// nothing planted in the test's directory, with standard error going to
// errors; false when it has not ended within 5 s.
bool RunAsUser(uid_t user, const fs::path& errors, const std::function<void()>& body)
{
    const pid_t child = fork();
    if (child == 0) {
        const int output = open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const bool dropped = output >= 0 && dup2(output, STDERR_FILENO) >= 0 && setgroups(0, nullptr) == 0 &&
                             setresgid(user, user, user) == 0 && setresuid(user, user, user) == 0;
        if (dropped)
            body();
        _exit(dropped ? 0 : 1);
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    int status = 0;
    while (waitpid(child, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            return false;
        }
        usleep(10000);
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// fs.protected_fifos or fs.protected_regular
bool KernelProtects(const std::string& files)
{
    int level = 0;
    std::ifstream("/proc/sys/fs/protected_" + files) >> level;
    return level > 0;
}

class LogFileTest : public testing::Test {
protected:
    void SetUp() override
    {
        directory = fs::temp_directory_path() / ("quorvel-log-test-" + std::to_string(getpid()));
        fs::create_directories(directory);
        setenv("TEMP", directory.c_str(), 1);
        platform::seams::SetClock(FixedTime);
    }
    void TearDown() override
    {
        platform::seams::SetClock({});
        unsetenv("TEMP");
        fs::remove_all(directory);
    }
    fs::path LogPath() const { return directory / "quorvel.log"; }

    fs::path directory;
    platform::testing::DebugOutputRecorder output;
};

TEST(LogLineTest, EndsInExactlyOneCrLfWhateverTheFormatEndsIn)
{
    std::vector<std::string> raw;
    platform::seams::SetDebugOutput([&](const char* line) { raw.emplace_back(line); });
    DiagnosticLog log;
    Write(log, "plain");
    Write(log, "lf\n");
    Write(log, "crlf\r\n");
    Write(log, "many\r\n\n\r");
    Write(log, "\r\n");
    Write(log, "%s", "");
    platform::seams::SetDebugOutput({});
    EXPECT_EQ(raw, (std::vector<std::string>{"plain\r\n", "lf\r\n", "crlf\r\n", "many\r\n", "\r\n", "\r\n"}));
}

TEST(LogLineTest, CutsTheTextAt253Characters)
{
    std::vector<std::string> raw;
    platform::seams::SetDebugOutput([&](const char* line) { raw.emplace_back(line); });
    DiagnosticLog log;
    const std::string exact(253, 'a');
    const std::string longer(400, 'b');
    Write(log, "%s", exact.c_str());
    Write(log, "%s", longer.c_str());
    Write(log, "%s\n", std::string(253, 'c').c_str());
    platform::seams::SetDebugOutput({});
    ASSERT_EQ(raw.size(), 3u);
    EXPECT_EQ(raw[0], exact + "\r\n");
    EXPECT_EQ(raw[1], std::string(253, 'b') + "\r\n");
    EXPECT_EQ(raw[2], std::string(253, 'c') + "\r\n");
}

TEST(LogLineTest, TrimLineEndsRemovesOnlyTrailingCrAndLf)
{
    char text[] = "a\r\nb\n\r\n";
    EXPECT_EQ(TrimLineEnds(text, 7), 4);
    EXPECT_STREQ(text, "a\r\nb");
    char onlyEnds[] = "\r\n";
    EXPECT_EQ(TrimLineEnds(onlyEnds, 2), 0);
}

TEST_F(LogFileTest, SwitchOffWritesNothingButStillReachesTheDebugger)
{
    std::ofstream(LogPath()) << "stale";
    DiagnosticLog log;
    Write(log, "OnReceive(%s)", "10.0.0.1");
    EXPECT_EQ(ReadFile(LogPath()), "stale");
    EXPECT_TRUE(output.Contains("OnReceive(10.0.0.1)"));
}

// The new file is the user's alone, whatever the umask allows.
TEST_F(LogFileTest, FirstEntryReplacesTheStaleFileAndEachLineHasTheUtcPrefix)
{
    std::ofstream(LogPath()) << "stale line\r\n";
    DiagnosticLog log;
    log.SetSwitch(true);
    const mode_t umaskBefore = umask(0);
    Write(log, "OnReceive(%s)", "192.168.1.20");
    umask(umaskBefore);
    Write(log, "%s", "");
    Write(log, ">ignoring Requ=%s\n", "M-SEARCH * HTTP/1.1");
    EXPECT_EQ(fs::status(LogPath()).permissions(), fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(ReadFile(LogPath()),
              "2026-12-07-22:46:09.123|OnReceive(192.168.1.20)\r\n"
              "2026-12-07-22:46:09.123|\r\n"
              "2026-12-07-22:46:09.123|>ignoring Requ=M-SEARCH * HTTP/1.1\r\n");
}

TEST_F(LogFileTest, PrefixIsZeroPaddedUtc)
{
    platform::seams::SetClock([] { return timespec{1767229384, 7000000}; });  // 2026-01-01 01:03:04.007 UTC
    setenv("TZ", "America/New_York", 1);
    DiagnosticLog log;
    log.SetSwitch(true);
    Write(log, "x");
    unsetenv("TZ");
    EXPECT_EQ(ReadFile(LogPath()), "2026-01-01-01:03:04.007|x\r\n");
}

TEST_F(LogFileTest, FallsBackFromTempToTmpToTmpdir)
{
    unsetenv("TEMP");
    setenv("TMP", directory.c_str(), 1);
    DiagnosticLog viaTmp;
    EXPECT_EQ(std::string(viaTmp.GetLogFilePath()), LogPath().string());
    unsetenv("TMP");
    setenv("TMPDIR", directory.c_str(), 1);
    DiagnosticLog viaTmpdir;
    EXPECT_EQ(std::string(viaTmpdir.GetLogFilePath()), LogPath().string());
    unsetenv("TMPDIR");
    DiagnosticLog fallback;
    EXPECT_EQ(std::string(fallback.GetLogFilePath()), "/tmp/quorvel.log");
}

TEST_F(LogFileTest, TooLongDirectoryDisablesTheFileInsteadOfOverrunning)
{
    setenv("TEMP", std::string(300, 'd').c_str(), 1);
    DiagnosticLog log;
    EXPECT_STREQ(log.GetLogFilePath(), "");
    setenv("TEMP", ("/" + std::string(247, 'd')).c_str(), 1);  // 248 + "/quorvel.log" = 260
    DiagnosticLog tight;
    EXPECT_STREQ(tight.GetLogFilePath(), "");
}

TEST_F(LogFileTest, DoesNotFollowASymbolicLinkAtThePath)
{
    DiagnosticLog log;
    log.SetSwitch(true);
    Write(log, "first");  // the path is built and the old file deleted here
    fs::remove(LogPath());
    const fs::path victim = directory / "victim";
    std::ofstream(victim) << "keep";
    fs::create_symlink(victim, LogPath());
    Write(log, "second");
    EXPECT_EQ(ReadFile(victim), "keep");
}

// In a shared, sticky directory as a normal user, who cannot delete another
// user's FIFO or file that anyone may write, and must not wait on the FIFO
// or write into the file. It stays as it is; standard error says so once.
TEST_F(LogFileTest, AnotherUsersFileAtThePathIsLeftAloneAndToldOnce)
{
    constexpr uid_t kProgramUser = 65533;
    constexpr uid_t kOtherUser = 65534;
    fs::permissions(directory, fs::perms::all | fs::perms::sticky_bit);
    const fs::path errors = directory / "errors";
    // With the kernel's protection of sticky directories on (Debian's
    // default), the kernel refuses the open itself.
    const std::pair<fs::file_type, std::string> cases[] = {
        {fs::file_type::fifo, KernelProtects("fifos") ? "Permission denied" : "No such device or address"},
        {fs::file_type::regular, KernelProtects("regular") ? "Permission denied" : "Operation not permitted"}};
    for (const auto& [type, reason] : cases) {
        const bool fifo = type == fs::file_type::fifo;
        fs::remove(LogPath());
        if (fifo) {
            ASSERT_EQ(mkfifo(LogPath().c_str(), 0600), 0);
        } else {
            std::ofstream(LogPath()) << "theirs";
        }
        fs::permissions(LogPath(), fs::perms::all);
        ASSERT_EQ(chown(LogPath().c_str(), kOtherUser, kOtherUser), 0);
        const bool ended = RunAsUser(kProgramUser, errors, [] {
            platform::seams::SetDebugOutput({});
            DiagnosticLog log;
            log.SetSwitch(true);
            Write(log, "first");
            Write(log, "second");
        });
        ASSERT_TRUE(ended) << reason << ": the log blocked";
        EXPECT_EQ(ReadFile(errors),
                  "first\r\n>cannot write \"" + LogPath().string() + "\": " + reason + "\r\nsecond\r\n");
        EXPECT_EQ(fs::symlink_status(LogPath()).type(), type) << reason;
        if (!fifo) {
            EXPECT_EQ(ReadFile(LogPath()), "theirs");
        }
    }
}

TEST(ErrorTextTest, KnownCodeGivesTheSystemTextAndUnknownKeepsTheLast)
{
    EXPECT_STREQ(GetErrorText(ECONNREFUSED), "Connection refused");
    EXPECT_STREQ(GetErrorText(987654), "Connection refused");
}

}  // namespace
