#pragma once

#include <cstdint>
#include <string>

// Standard output into a pipe while this lives, as a reader that reads it
// would have it; Read takes what was written so far.
class StandardOutputCapture {
public:
    StandardOutputCapture();
    ~StandardOutputCapture();
    StandardOutputCapture(const StandardOutputCapture&) = delete;
    StandardOutputCapture& operator=(const StandardOutputCapture&) = delete;

    bool Capturing() const { return m_capturing; }
    std::string Read();

private:
    bool m_capturing = false;
    // The pipe's ends and the standard output they replace.
    intptr_t m_read = -1;
    intptr_t m_write = -1;
    intptr_t m_saved = -1;
};

// A request to end the program as its console or service manager sends it:
// SIGTERM on Linux, a console control event on Windows.
void RequestEndAsTheConsoleDoes();
