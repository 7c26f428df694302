#pragma once

namespace platform {

// The command line as main() got it; only the program reads its arguments.
void RecordCommandLine(int argc, char** argv);
const char* RecordedArguments();

// Set by main() for a run without a window, before the toolkit starts.
void SetHeadless(bool headless);
bool IsHeadless();

}  // namespace platform
