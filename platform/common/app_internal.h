#pragma once

namespace platform {

// The command line as main() got it; only the program reads its arguments.
void RecordCommandLine(int argc, char** argv);
const char* RecordedArguments();
// The program path and its arguments joined with blanks.
char* RecordedCommandLine();

// Set by main() for a run without a window, before the toolkit starts.
void SetHeadless(bool headless);
bool IsHeadless();

}  // namespace platform
