#include "win_registry.h"

#include <strings.h>

#include <cstring>
#include <fstream>
#include <optional>
#include <string>

#include "seams_internal.h"

struct HKEY__ {};

namespace {

constexpr const char* kTcpipParametersPath = "SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters";
constexpr const char* kIgmpLevelName = "IGMPLevel";
constexpr DWORD kIgmpSendOnly = 1;

HKEY__ g_tcpipParameters;
HKEY const kTcpipParameters = &g_tcpipParameters;

bool SameName(const char* name, const char* expected) { return name && strcasecmp(name, expected) == 0; }

bool IsPredefined(HKEY key) { return key == HKEY_LOCAL_MACHINE; }

std::optional<long> ReadProcNumber(const std::string& relativePath)
{
    std::ifstream file(platform::seams::CurrentProcRoot() + "/proc/" + relativePath);
    long value = 0;
    if (!(file >> value))
        return std::nullopt;
    return value;
}

// With no group memberships allowed, a host can send to multicast groups
// but never hear them.
std::optional<DWORD> IgmpLevel()
{
    if (ReadProcNumber("sys/net/ipv4/igmp_max_memberships") == 0)
        return kIgmpSendOnly;
    return std::nullopt;
}

LONG ReturnDword(DWORD value, DWORD* type, BYTE* data, DWORD* dataSize)
{
    if (data && !dataSize)
        return ERROR_INVALID_PARAMETER;
    if (type)
        *type = REG_DWORD;
    LONG result = ERROR_SUCCESS;
    if (data && *dataSize < sizeof value)
        result = ERROR_MORE_DATA;
    else if (data)
        std::memcpy(data, &value, sizeof value);
    if (dataSize)
        *dataSize = sizeof value;
    return result;
}

}  // namespace

LONG RegOpenKeyExA(HKEY key, const char* subKey, DWORD, DWORD access, HKEY* result)
{
    if (!result)
        return ERROR_INVALID_PARAMETER;
    if ((access & ~KEY_READ) != 0)
        return ERROR_ACCESS_DENIED;
    if (!IsPredefined(key) || !SameName(subKey, kTcpipParametersPath))
        return ERROR_FILE_NOT_FOUND;
    *result = kTcpipParameters;
    return ERROR_SUCCESS;
}

LONG RegQueryValueExA(HKEY key, const char* valueName, DWORD*, DWORD* type, BYTE* data, DWORD* dataSize)
{
    if (key != kTcpipParameters)
        return ERROR_INVALID_HANDLE;
    std::optional<DWORD> level = SameName(valueName, kIgmpLevelName) ? IgmpLevel() : std::nullopt;
    if (!level)
        return ERROR_FILE_NOT_FOUND;
    return ReturnDword(*level, type, data, dataSize);
}

LONG RegCloseKey(HKEY key)
{
    return key == kTcpipParameters || IsPredefined(key) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}
