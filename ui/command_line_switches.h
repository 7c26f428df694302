#pragma once

// Whether a switch letter is on: a plain, case-sensitive substring search for
// its slash form in the whole command line and its dash form in the command
// line and in the arguments. A match anywhere counts, inside another
// argument or the program's own path too; a missing text is not searched.
bool HasSwitch(const char* commandLine, const char* arguments, char letter);
