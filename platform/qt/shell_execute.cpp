#include "win_shell.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "seams_internal.h"

extern char** environ;

namespace {

// Any value above 32 reports success.
constexpr int kStarted = 42;

std::string TextOf(const char* text) { return text ? text : ""; }

bool IsOpenVerb(const std::string& verb) { return verb.empty() || verb == "open"; }

// The program and arguments that carry out "open" for file.
std::vector<std::string> OpenCommand(const std::string& file, const std::string& parameters)
{
    if (file == "telnet") {
        std::vector<std::string> command{"x-terminal-emulator", "-e", "telnet"};
        if (!parameters.empty())
            command.push_back(parameters);
        return command;
    }
    if (!parameters.empty())
        return {file, parameters};
    return {"xdg-open", file};
}

int FailureFor(int error)
{
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return SE_ERR_FNF;
    case EACCES:
    case EPERM:
        return SE_ERR_ACCESSDENIED;
    case ENOMEM:
        return SE_ERR_OOM;
    default:
        return 0;
    }
}

// The child starts in its own session with default signal handling and an
// empty signal mask, keeping none of this process's descriptors beyond the
// standard three.
class SpawnSettings {
public:
    explicit SpawnSettings(const std::string& directory)
    {
        posix_spawnattr_init(&m_attributes);
        posix_spawn_file_actions_init(&m_actions);
        sigset_t signals;
        sigemptyset(&signals);
        posix_spawnattr_setsigmask(&m_attributes, &signals);
        sigfillset(&signals);
        posix_spawnattr_setsigdefault(&m_attributes, &signals);
        posix_spawnattr_setflags(&m_attributes, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
        posix_spawn_file_actions_addclosefrom_np(&m_actions, STDERR_FILENO + 1);
        if (!directory.empty())
            posix_spawn_file_actions_addchdir_np(&m_actions, directory.c_str());
    }
    ~SpawnSettings()
    {
        posix_spawn_file_actions_destroy(&m_actions);
        posix_spawnattr_destroy(&m_attributes);
    }
    SpawnSettings(const SpawnSettings&) = delete;
    SpawnSettings& operator=(const SpawnSettings&) = delete;

    const posix_spawnattr_t* attributes() const { return &m_attributes; }
    const posix_spawn_file_actions_t* actions() const { return &m_actions; }

private:
    posix_spawnattr_t m_attributes;
    posix_spawn_file_actions_t m_actions;
};

// The caller goes on at once; a thread of its own collects the child's exit
// so it never lingers as a zombie.
void ReapWhenDone(pid_t child)
{
    std::thread([child] {
        while (waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
        }
    }).detach();
}

int Start(const std::vector<std::string>& command, const std::string& directory)
{
    std::vector<char*> argv;
    for (const std::string& argument : command)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    SpawnSettings settings(directory);
    pid_t child = 0;
    int error = posix_spawnp(&child, argv[0], settings.actions(), settings.attributes(), argv.data(), environ);
    if (error != 0)
        return FailureFor(error);
    ReapWhenDone(child);
    return kStarted;
}

HINSTANCE ResultOf(int code) { return reinterpret_cast<HINSTANCE>(static_cast<intptr_t>(code)); }

}  // namespace

HINSTANCE ShellExecuteA(HWND, const char* verb, const char* file, const char* parameters, const char* directory,
                        int)
{
    if (const auto& handler = platform::seams::CurrentShellHandler())
        return ResultOf(handler(TextOf(verb), TextOf(file), TextOf(parameters)));
    if (!IsOpenVerb(TextOf(verb)))
        return ResultOf(SE_ERR_NOASSOC);
    if (TextOf(file).empty())
        return ResultOf(SE_ERR_FNF);
    return ResultOf(Start(OpenCommand(file, TextOf(parameters)), TextOf(directory)));
}
