// Starts a program with its standard output a pipe of the system's that
// nobody reads (a stalled reader, as a service host's can be), and ends with
// the program's exit code; 124 when it is still running after the bound.
// Wine hands a Linux pipe or FIFO to a program as a file of its own, whose
// writes no request to end can cancel: only a pipe made here is a pipe as on
// Windows.
//
//   unread_pipe_parent SECONDS PROGRAM [ARGUMENT...]

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr DWORD kPipeBytes = 4096;
constexpr int kTimedOut = 124;

std::string CommandLine(int argc, char** argv)
{
    std::string line = std::string("\"") + argv[2] + "\"";
    for (int i = 3; i < argc; ++i)
        line += std::string(" ") + argv[i];
    return line;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: unread_pipe_parent SECONDS PROGRAM [ARGUMENT...]\n");
        return 2;
    }
    SECURITY_ATTRIBUTES inheritable = {static_cast<DWORD>(sizeof inheritable), nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inheritable, kPipeBytes))
        return 2;
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = writeEnd;
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION child = {};
    std::string line = CommandLine(argc, argv);
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &child)) {
        std::fprintf(stderr, "cannot start %s: error %lu\n", argv[2], GetLastError());
        return 2;
    }
    CloseHandle(writeEnd);
    const DWORD boundMs = static_cast<DWORD>(std::atoi(argv[1])) * 1000u;
    if (WaitForSingleObject(child.hProcess, boundMs) != WAIT_OBJECT_0) {
        TerminateProcess(child.hProcess, kTimedOut);
        return kTimedOut;
    }
    DWORD exitCode = 0;
    GetExitCodeProcess(child.hProcess, &exitCode);
    return static_cast<int>(exitCode);
}
