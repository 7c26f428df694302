#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "platform_seams.h"
#include "platform_services_support.h"
#include "platform_testing.h"
#include "win_console.h"
#include "win_registry.h"
#include "win_search.h"
#include "win_temp.h"

namespace {

class SearchPathTest : public testing::Test {
protected:
    void SetUp() override { path.Set(first.path() + "::" + second.path()); }

    TemporaryDirectory first;
    TemporaryDirectory second;
    ScopedEnvironmentVariable path{"PATH"};
    char buffer[MAX_PATH] = {};
    char* filePart = nullptr;
};

TEST_F(SearchPathTest, FindsTheFirstExecutableRegularFileAlongPath)
{
    WriteTextFile(second / "vncviewer", "#!/bin/sh\n", 0755);
    std::string expected = second / "vncviewer";

    WriteTextFile(first / "vncviewer", "not a program", 0644);
    EXPECT_EQ(SearchPathA(nullptr, "vncviewer", nullptr, MAX_PATH, buffer, &filePart), expected.size());
    EXPECT_EQ(std::string(buffer), expected);
    EXPECT_STREQ(filePart, "vncviewer");

    std::filesystem::remove(first / "vncviewer");
    std::filesystem::create_directory(first / "vncviewer");
    std::filesystem::permissions(first / "vncviewer", std::filesystem::perms::all);
    EXPECT_EQ(SearchPathA(nullptr, "vncviewer", nullptr, MAX_PATH, buffer, nullptr), expected.size());
    EXPECT_EQ(std::string(buffer), expected);

    std::filesystem::remove(first / "vncviewer");
    WriteTextFile(first / "vncviewer", "#!/bin/sh\n", 0755);
    EXPECT_EQ(SearchPathA(nullptr, "vncviewer", nullptr, MAX_PATH, buffer, nullptr), (first / "vncviewer").size());
    EXPECT_EQ(std::string(buffer), first / "vncviewer");
}

TEST_F(SearchPathTest, ExplicitPathAndExtensionReplaceTheDefaults)
{
    WriteTextFile(second / "viewer.bin", "#!/bin/sh\n", 0755);
    EXPECT_EQ(SearchPathA(nullptr, "viewer", ".bin", MAX_PATH, buffer, nullptr), (second / "viewer.bin").size());
    EXPECT_EQ(SearchPathA(first.path().c_str(), "viewer", ".bin", MAX_PATH, buffer, nullptr), 0u);
    EXPECT_EQ(SearchPathA(nullptr, "viewer.bin", ".exe", MAX_PATH, buffer, nullptr), (second / "viewer.bin").size());
}

TEST_F(SearchPathTest, NeverLooksInTheWorkingDirectory)
{
    WriteTextFile(first / "vncviewer", "#!/bin/sh\n", 0755);
    path.Set(":" + second.path() + ":");
    std::filesystem::path saved = std::filesystem::current_path();
    std::filesystem::current_path(first.path());
    DWORD found = SearchPathA(nullptr, "vncviewer", nullptr, MAX_PATH, buffer, nullptr);
    std::filesystem::current_path(saved);
    EXPECT_EQ(found, 0u);
}

TEST_F(SearchPathTest, TooSmallBufferGetsTheNeededSizeAndStaysUntouched)
{
    WriteTextFile(second / "vncviewer", "#!/bin/sh\n", 0755);
    DWORD length = static_cast<DWORD>((second / "vncviewer").size());
    std::strcpy(buffer, "unchanged");
    EXPECT_EQ(SearchPathA(nullptr, "vncviewer", nullptr, length, buffer, &filePart), length + 1);
    EXPECT_STREQ(buffer, "unchanged");
    EXPECT_EQ(filePart, nullptr);
    EXPECT_EQ(SearchPathA(nullptr, "vncviewer", nullptr, length + 1, buffer, &filePart), length);
}

TEST(GetTempPathTest, TmpdirOrTmpAlwaysWithOneTrailingSlash)
{
    ScopedEnvironmentVariable tmpdir("TMPDIR");
    char buffer[MAX_PATH];
    const std::pair<const char*, std::string> cases[] = {
        {"/var/scratch", "/var/scratch/"}, {"/var/scratch/", "/var/scratch/"}, {"", "/tmp/"}, {nullptr, "/tmp/"}};
    for (const auto& [value, expected] : cases) {
        value ? tmpdir.Set(value) : tmpdir.Unset();
        EXPECT_EQ(GetTempPathA(MAX_PATH, buffer), expected.size());
        EXPECT_EQ(std::string(buffer), expected);
    }

    std::strcpy(buffer, "unchanged");
    EXPECT_EQ(GetTempPathA(5, buffer), 6u);
    EXPECT_STREQ(buffer, "unchanged");
    EXPECT_EQ(GetTempPathA(6, buffer), 5u);
}

constexpr const char* kTcpipParameters = "SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters";

class RegistryTest : public testing::Test {
protected:
    void SetUp() override { platform::seams::SetProcRoot(root.path()); }
    void TearDown() override { platform::seams::SetProcRoot(""); }

    void KernelAllowsMemberships(const std::string& text)
    {
        WriteTextFile(root / "proc/sys/net/ipv4/igmp_max_memberships", text);
    }
    HKEY OpenParameters()
    {
        HKEY key = nullptr;
        EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kTcpipParameters, 0, KEY_QUERY_VALUE, &key), ERROR_SUCCESS);
        return key;
    }
    LONG QueryIgmpLevel(HKEY key)
    {
        return RegQueryValueExA(key, "IGMPLevel", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    }

    TemporaryDirectory root;
    DWORD type = 0;
    DWORD value = 0;
    DWORD size = sizeof value;
};

TEST_F(RegistryTest, NoMembershipsMeansSendOnly)
{
    KernelAllowsMemberships("0\n");
    HKEY key = OpenParameters();
    EXPECT_EQ(QueryIgmpLevel(key), ERROR_SUCCESS);
    EXPECT_EQ(type, REG_DWORD);
    EXPECT_EQ(value, 1u);
    EXPECT_EQ(size, 4u);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
}

TEST_F(RegistryTest, LevelIsAbsentUnlessTheKernelSaysZero)
{
    HKEY key = OpenParameters();
    EXPECT_EQ(QueryIgmpLevel(key), ERROR_FILE_NOT_FOUND);
    for (const char* text : {"20\n", "garbage\n", ""}) {
        KernelAllowsMemberships(text);
        EXPECT_EQ(QueryIgmpLevel(key), ERROR_FILE_NOT_FOUND) << text;
    }
    KernelAllowsMemberships("0\n");
    EXPECT_EQ(RegQueryValueExA(key, "OtherValue", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size),
              ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryTest, SizeIsReportedWhenNoDataOrTooLittleRoom)
{
    KernelAllowsMemberships("0\n");
    HKEY key = OpenParameters();
    size = 0;
    EXPECT_EQ(RegQueryValueExA(key, "igmplevel", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 4u);
    size = 2;
    value = 0xDEADBEEF;
    EXPECT_EQ(QueryIgmpLevel(key), ERROR_MORE_DATA);
    EXPECT_EQ(size, 4u);
    EXPECT_EQ(value, 0xDEADBEEFu);
}

TEST_F(RegistryTest, OnlyTheTcpipParametersKeyOpensAndOnlyForReading)
{
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "system\\currentcontrolset\\services\\tcpip\\parameters", 0, KEY_READ,
                            &key),
              ERROR_SUCCESS);
    for (const char* other : {"SYSTEM\\CurrentControlSet\\Services\\Tcpip", "SOFTWARE\\Quorvel", ""})
        EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, other, 0, KEY_QUERY_VALUE, &key), ERROR_FILE_NOT_FOUND) << other;
    EXPECT_EQ(RegOpenKeyExA(key, kTcpipParameters, 0, KEY_QUERY_VALUE, &key), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kTcpipParameters, 0, KEY_QUERY_VALUE | 0x0002, &key),
              ERROR_ACCESS_DENIED);
    EXPECT_EQ(QueryIgmpLevel(HKEY_LOCAL_MACHINE), ERROR_INVALID_HANDLE);
}

TEST(RegistryKernelTest, ReadsTheRunningKernelByDefault)
{
    std::ifstream file("/proc/sys/net/ipv4/igmp_max_memberships");
    long memberships = -1;
    if (!(file >> memberships))
        GTEST_SKIP() << "this kernel has no IGMP membership limit to read";
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kTcpipParameters, 0, KEY_QUERY_VALUE, &key), ERROR_SUCCESS);
    DWORD value = 0;
    DWORD size = sizeof value;
    EXPECT_EQ(RegQueryValueExA(key, "IGMPLevel", nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size),
              memberships == 0 ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND);
}

int g_endRequests = 0;

BOOL CountEndRequest(DWORD)
{
    ++g_endRequests;
    return TRUE;
}

// A reader that stopped reading must not keep a request to end waiting: the
// write gives up, and the request reaches its handler from the event loop.
TEST(WriteFileTest, AWriteWaitingForItsReaderGivesWayToARequestToEnd)
{
    platform::testing::EnsureApplication();
    int pipeEnds[2];
    ASSERT_EQ(pipe2(pipeEnds, O_CLOEXEC | O_NONBLOCK), 0);
    const std::string line(100, 'x');
    while (write(pipeEnds[1], line.data(), line.size()) > 0) {
    }
    ASSERT_EQ(fcntl(pipeEnds[1], F_SETFL, 0), 0);
    ASSERT_TRUE(SetConsoleCtrlHandler(&CountEndRequest, TRUE));
    std::thread terminator([] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        kill(getpid(), SIGTERM);
    });
    DWORD written = 0;
    const HANDLE writeEnd = reinterpret_cast<HANDLE>(static_cast<intptr_t>(pipeEnds[1]));
    EXPECT_FALSE(WriteFile(writeEnd, line.data(), static_cast<DWORD>(line.size()), &written, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_OPERATION_ABORTED);
    terminator.join();
    EXPECT_TRUE(platform::testing::PumpUntil([] { return g_endRequests == 1; }, 2000));
    EXPECT_TRUE(SetConsoleCtrlHandler(&CountEndRequest, FALSE));
    close(pipeEnds[0]);
    close(pipeEnds[1]);
}

}  // namespace
