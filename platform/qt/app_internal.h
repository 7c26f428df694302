#pragma once

namespace platform {

// Taken before the toolkit removes the arguments it understands itself.
void RecordCommandLine(int argc, char** argv);
const char* RecordedArguments();

}  // namespace platform
