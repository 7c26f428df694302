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
    kWatch,       // no window: print each change of a row until a signal ends it
    kHelp,
    kVersion,
    kBadOptions,  // the command line cannot be followed; problem says why
};

// Exit codes; start-up failures end the process with 1 wherever they occur.
inline constexpr int kExitDone = 0;
inline constexpr int kExitStartUpFailed = 1;
inline constexpr int kExitBadOptions = 2;
inline constexpr int kExitNoneListed = 3;
inline constexpr int kExitOutputFailed = 1;  // --watch could not write, for another reason than a closed pipe

inline constexpr int kDefaultListSeconds = 5;
inline constexpr int kMaxListSeconds = 3600;
inline constexpr int kMinSearchEvery = 10;
inline constexpr int kMaxSearchEvery = 86400;

struct ProgramOptions {
    RunMode mode = RunMode::kWindow;
    int seconds = kDefaultListSeconds;
    int search_every = 0;  // seconds between the searches of --watch; 0: the first burst only
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
