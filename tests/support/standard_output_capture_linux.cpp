#include <fcntl.h>
#include <unistd.h>

#include <csignal>
#include <cstdint>

#include "standard_output_capture.h"

StandardOutputCapture::StandardOutputCapture()
{
    int ends[2];
    if (pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    m_read = ends[0];
    m_write = ends[1];
    m_saved = dup(STDOUT_FILENO);
    m_capturing = dup2(ends[1], STDOUT_FILENO) == STDOUT_FILENO;
}

StandardOutputCapture::~StandardOutputCapture()
{
    if (m_saved >= 0) {
        dup2(static_cast<int>(m_saved), STDOUT_FILENO);
        close(static_cast<int>(m_saved));
    }
    if (m_read >= 0) {
        close(static_cast<int>(m_read));
        close(static_cast<int>(m_write));
    }
}

std::string StandardOutputCapture::Read()
{
    std::string printed(4096, '\0');
    const ssize_t length = read(static_cast<int>(m_read), printed.data(), printed.size());
    printed.resize(length > 0 ? static_cast<size_t>(length) : 0);
    return printed;
}

void RequestEndAsTheConsoleDoes() { raise(SIGTERM); }
