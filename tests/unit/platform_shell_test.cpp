#include <unistd.h>

#include <cctype>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "platform_seams.h"
#include "platform_services_support.h"
#include "win_shell.h"

namespace {

using Lines = std::vector<std::string>;

bool WaitFor(const std::function<bool()>& condition)
{
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

Lines ReadLines(const std::string& path)
{
    Lines lines;
    std::ifstream file(path);
    for (std::string line; std::getline(file, line);)
        lines.push_back(line);
    return lines;
}

size_t ZombieChildren()
{
    size_t zombies = 0;
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        if (!std::isdigit(static_cast<unsigned char>(entry.path().filename().string()[0])))
            continue;
        std::ifstream stat(entry.path() / "stat");
        std::string text((std::istreambuf_iterator<char>(stat)), {});
        size_t nameEnd = text.rfind(')');
        if (nameEnd == std::string::npos)
            continue;
        char state = 0;
        long parent = 0;
        if (std::sscanf(text.c_str() + nameEnd + 1, " %c %ld", &state, &parent) == 2)
            zombies += state == 'Z' && parent == getpid();
    }
    return zombies;
}

int Open(const char* verb, const char* file, const char* parameters, const char* directory = nullptr)
{
    HINSTANCE result = ShellExecuteA(nullptr, verb, file, parameters, directory, SW_SHOW);
    return static_cast<int>(reinterpret_cast<intptr_t>(result));
}

// Programs in a scratch directory put first on PATH; each writes the
// arguments it received, one a line, to <name>.argv beside itself.
class ShellExecuteTest : public testing::Test {
protected:
    void SetUp() override { path.Set(bin.path() + ":" + path.Saved()); }

    std::string InstallRecorder(const std::string& name, const std::string& afterwards = "")
    {
        std::string out = ArgvFile(name);
        WriteTextFile(bin / name,
                      "#!/bin/sh\n"
                      "for argument in \"$@\"; do printf '%s\\n' \"$argument\"; done > '" + out + ".part'\n"
                      "mv '" + out + ".part' '" + out + "'\n" + afterwards,
                      0755);
        return bin / name;
    }
    std::string ArgvFile(const std::string& name) const { return bin / (name + ".argv"); }
    Lines ArgumentsOf(const std::string& name) const
    {
        std::string file = ArgvFile(name);
        EXPECT_TRUE(WaitFor([&] { return std::filesystem::exists(file); })) << name << " never ran";
        return ReadLines(file);
    }

    TemporaryDirectory bin;
    ScopedEnvironmentVariable path{"PATH"};
};

TEST_F(ShellExecuteTest, AddressOrDocumentGoesToTheDesktopOpener)
{
    InstallRecorder("xdg-open");
    EXPECT_GT(Open("open", "http://10.1.2.3/", nullptr), 32);
    EXPECT_EQ(ArgumentsOf("xdg-open"), Lines{"http://10.1.2.3/"});

    std::filesystem::remove(ArgvFile("xdg-open"));
    EXPECT_GT(Open(nullptr, "/srv/a b.pdf", ""), 32);
    EXPECT_EQ(ArgumentsOf("xdg-open"), Lines{"/srv/a b.pdf"});
}

TEST_F(ShellExecuteTest, TelnetRunsInATerminalWithTheParametersAsOneArgumentAndNoShell)
{
    InstallRecorder("x-terminal-emulator");
    std::string hostile = "10.1.2.3 23; touch " + (bin / "pwned") + " $(touch " + (bin / "pwned2") + ")";
    EXPECT_GT(Open("open", "telnet", hostile.c_str()), 32);
    EXPECT_EQ(ArgumentsOf("x-terminal-emulator"), (Lines{"-e", "telnet", hostile}));
    EXPECT_FALSE(std::filesystem::exists(bin / "pwned"));
    EXPECT_FALSE(std::filesystem::exists(bin / "pwned2"));
}

TEST_F(ShellExecuteTest, ProgramWithParametersStartsInTheGivenDirectoryWithoutWaitingForIt)
{
    TemporaryDirectory workplace;
    std::string finished = bin / "viewer.finished";
    std::string viewer = InstallRecorder("viewer", "sleep 0.5\npwd > '" + finished + "'\n");
    EXPECT_GT(Open("open", viewer.c_str(), "10.1.2.3:1", workplace.path().c_str()), 32);
    EXPECT_FALSE(std::filesystem::exists(finished));
    EXPECT_EQ(ArgumentsOf("viewer"), Lines{"10.1.2.3:1"});
    ASSERT_TRUE(WaitFor([&] { return std::filesystem::exists(finished) && std::filesystem::file_size(finished) > 0; }));
    EXPECT_EQ(ReadLines(finished), Lines{workplace.path()});
}

TEST_F(ShellExecuteTest, FinishedChildrenLeaveNoZombies)
{
    for (const char* name : {"xdg-open", "x-terminal-emulator", "viewer"})
        InstallRecorder(name);
    Open("open", "http://10.1.2.3/", nullptr);
    Open("open", "telnet", "10.1.2.3");
    Open("open", "viewer", "10.1.2.3:1");
    for (const char* name : {"xdg-open", "x-terminal-emulator", "viewer"})
        ArgumentsOf(name);
    EXPECT_TRUE(WaitFor([] { return ZombieChildren() == 0; }));
}

TEST_F(ShellExecuteTest, WhatCannotStartOrIsNotUnderstoodIsReportedAtOrBelow32)
{
    WriteTextFile(bin / "not-executable", "#!/bin/sh\n", 0644);
    EXPECT_EQ(Open("open", "quorvel-no-such-viewer", "10.1.2.3:1"), SE_ERR_FNF);
    EXPECT_EQ(Open("open", (bin / "not-executable").c_str(), "x"), SE_ERR_ACCESSDENIED);
    EXPECT_EQ(Open("open", "", nullptr), SE_ERR_FNF);
    EXPECT_EQ(Open("print", "/srv/report.pdf", nullptr), SE_ERR_NOASSOC);

    path.Set(bin.path());
    EXPECT_LE(Open("open", "http://10.1.2.3/", nullptr), 32);
}

TEST(ShellExecuteSeamTest, HandlerReceivesTheRequestAndAnswersForIt)
{
    std::vector<Lines> requests;
    platform::seams::SetShellHandler([&](const std::string& verb, const std::string& file, const std::string& rest) {
        requests.push_back({verb, file, rest});
        return 2;
    });
    int result = Open("open", "/usr/bin/viewer", "10.1.2.3:1");
    Open("open", "http://10.1.2.3/", nullptr);
    platform::seams::SetShellHandler({});

    EXPECT_EQ(result, 2);
    std::vector<Lines> expected{{"open", "/usr/bin/viewer", "10.1.2.3:1"}, {"open", "http://10.1.2.3/", ""}};
    EXPECT_EQ(requests, expected);
}

}  // namespace
