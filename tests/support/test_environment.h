#pragma once

// What the dialog tests change around the program, the same on both
// platforms: environment variables, the program's temporary directory, the
// system's multicast setting, and the name the viewer has on the search path.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#ifdef _WIN32
#include <process.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

#include "platform_seams.h"

#ifdef _WIN32
// SearchPathA looks for the name as it is given.
inline constexpr const char* kViewerFileName = "vncviewer.exe";
// GetTempPathA reads TMP, then TEMP.
inline const std::vector<std::string> kTemporaryDirectoryVariables = {"TMP", "TEMP"};
#else
inline constexpr const char* kViewerFileName = "vncviewer";
inline const std::vector<std::string> kTemporaryDirectoryVariables = {"TMPDIR"};
#endif

inline int CurrentProcessId()
{
#ifdef _WIN32
    return _getpid();
#else
    return static_cast<int>(getpid());
#endif
}

// Sets the variable for the process (an empty value removes it), where the
// system's calls read it too, and gives its old value back at the end.
class EnvironmentOverride {
public:
    EnvironmentOverride(std::string name, const std::string& value) : m_name(std::move(name))
    {
        const char* old = std::getenv(m_name.c_str());
        m_had = old != nullptr;
        m_old = old ? old : "";
        Set(value);
    }
    ~EnvironmentOverride()
    {
        if (m_had)
            Set(m_old);
        else
            Set("");
    }
    EnvironmentOverride(const EnvironmentOverride&) = delete;
    EnvironmentOverride& operator=(const EnvironmentOverride&) = delete;

private:
    void Set(const std::string& value)
    {
#ifdef _WIN32
        _putenv_s(m_name.c_str(), value.c_str());
        SetEnvironmentVariableA(m_name.c_str(), value.empty() ? nullptr : value.c_str());
#else
        if (value.empty())
            unsetenv(m_name.c_str());
        else
            setenv(m_name.c_str(), value.c_str(), 1);
#endif
    }

    std::string m_name;
    bool m_had = false;
    std::string m_old;
};

// The system's multicast setting as the program reads it (the registry value
// "IGMPLevel"), made up for the test: on Linux a kernel tree whose IGMP
// membership limit stands for it, on Windows a key of the test's own under
// HKEY_CURRENT_USER. A death test's child makes one too and ends by exit,
// so what is made is removed at exit as well.
class FakeMulticastSetting {
public:
    explicit FakeMulticastSetting(bool enabled)
    {
        const std::string name = "quorvel-multicast-" + std::to_string(CurrentProcessId());
#ifdef _WIN32
        m_root = "Software\\" + name;
        HKEY key = nullptr;
        const std::string path = m_root + "\\SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters";
        if (RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                            nullptr) == ERROR_SUCCESS) {
            const DWORD level = enabled ? 2 : 0;
            RegSetValueExA(key, "IGMPLevel", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&level), sizeof level);
            RegCloseKey(key);
        }
#else
        m_root = (std::filesystem::temp_directory_path() / name).string();
        std::filesystem::create_directories(m_root + "/proc/sys/net/ipv4");
        std::ofstream(m_root + "/proc/sys/net/ipv4/igmp_max_memberships") << (enabled ? "20" : "0") << "\n";
#endif
        static const std::string s_removedAtExit = m_root;
        static const int s_registered = std::atexit([] { Remove(s_removedAtExit); });
        (void)s_registered;
        platform::seams::SetProcRoot(m_root);
    }
    ~FakeMulticastSetting()
    {
        platform::seams::SetProcRoot("");
        Remove(m_root);
    }
    FakeMulticastSetting(const FakeMulticastSetting&) = delete;
    FakeMulticastSetting& operator=(const FakeMulticastSetting&) = delete;

private:
    static void Remove(const std::string& root)
    {
#ifdef _WIN32
        RegDeleteTreeA(HKEY_CURRENT_USER, root.c_str());
#else
        std::error_code ignored;
        std::filesystem::remove_all(root, ignored);
#endif
    }

    std::string m_root;
};
