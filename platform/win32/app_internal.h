#pragma once

// What the entry point records for the rest of the platform.

namespace platform {

void RecordCommandLine(int argc, char** argv);
const char* RecordedArguments();

// A run without a window: its dialog stays hidden and message boxes go to
// standard error, as nobody is there to click them.
void SetHeadless(bool headless);
bool IsHeadless();

}  // namespace platform
