#pragma once

// The long options of the command line. They sit beside the switches /V /X
// /L, which keep their own rule (a substring anywhere in the command line).
// Only a malformed use of a known option stops the program; any other
// argument, one starting with "--" too, is left to the switches.

#include <optional>
#include <string>
#include <vector>

enum class RunMode {
    kWindow,      // the main window
    kList,        // no window: discover for a while, print the list, exit
    kHelp,
    kVersion,
    kBadOptions,  // the command line cannot be followed; problem says why
};

// Exit codes; start-up failures end the process with 1 wherever they occur.
inline constexpr int kExitDone = 0;
inline constexpr int kExitStartUpFailed = 1;
inline constexpr int kExitBadOptions = 2;
inline constexpr int kExitNoneListed = 3;

inline constexpr int kDefaultListSeconds = 5;
inline constexpr int kMaxListSeconds = 3600;

struct ProgramOptions {
    RunMode mode = RunMode::kWindow;
    int seconds = kDefaultListSeconds;
    bool json = false;
    bool all_interfaces = false;
    std::string problem;
};

ProgramOptions ParseProgramOptions(const std::vector<std::string>& arguments);

// What --help prints.
const char* UsageText();

// For --help, --version and bad options: writes the answer (bad options to
// standard error) and gives the exit code. Nothing for a mode that runs.
std::optional<int> AnswerWithoutRunning(const ProgramOptions& options);
