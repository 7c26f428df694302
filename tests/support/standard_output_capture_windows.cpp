#include <windows.h>

#include <cstdint>

#include "standard_output_capture.h"

namespace {

HANDLE HandleOf(intptr_t value) { return reinterpret_cast<HANDLE>(value); }

}  // namespace

StandardOutputCapture::StandardOutputCapture()
{
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, nullptr, 1 << 16))
        return;
    m_read = reinterpret_cast<intptr_t>(readEnd);
    m_write = reinterpret_cast<intptr_t>(writeEnd);
    m_saved = reinterpret_cast<intptr_t>(GetStdHandle(STD_OUTPUT_HANDLE));
    m_capturing = SetStdHandle(STD_OUTPUT_HANDLE, writeEnd) != FALSE;
}

StandardOutputCapture::~StandardOutputCapture()
{
    if (m_capturing)
        SetStdHandle(STD_OUTPUT_HANDLE, HandleOf(m_saved));
    if (m_read != -1) {
        CloseHandle(HandleOf(m_read));
        CloseHandle(HandleOf(m_write));
    }
}

std::string StandardOutputCapture::Read()
{
    DWORD available = 0;
    if (!PeekNamedPipe(HandleOf(m_read), nullptr, 0, nullptr, &available, nullptr) || available == 0)
        return {};
    std::string printed(available, '\0');
    DWORD length = 0;
    if (!ReadFile(HandleOf(m_read), printed.data(), available, &length, nullptr))
        return {};
    printed.resize(length);
    return printed;
}

// Only a process with a console gets console events; the test program is
// given one of its own, as a Command Prompt's program has.
void RequestEndAsTheConsoleDoes()
{
    AllocConsole();
    GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0);
}
