#include "ui/command_line_switches.h"

#include <cstring>

bool HasSwitch(const char* commandLine, const char* arguments, char letter)
{
    const char slashForm[] = {'/', letter, '\0'};
    const char dashForm[] = {'-', letter, '\0'};
    return (commandLine && (std::strstr(commandLine, slashForm) || std::strstr(commandLine, dashForm))) ||
           (arguments && std::strstr(arguments, dashForm));
}
