#pragma once

namespace platform {

// Taken before the toolkit removes the arguments it understands itself.
void RecordCommandLine(int argc, char** argv);
const char* RecordedArguments();

// Set by main() for a run without a window, before the toolkit starts.
void SetHeadless(bool headless);
bool IsHeadless();

}  // namespace platform
