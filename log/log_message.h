#pragma once

// The diagnostic trace: every entry goes to the debugger output (standard
// error); with the log switch on it is also appended, with a UTC timestamp,
// to "quorvel.log" in the temporary directory. The file of the previous run
// is deleted by the first file entry of a run. A file at that path that
// cannot be written (another user's, not a regular file) is left alone and
// said so once on standard error.

#include <cstdarg>

inline constexpr int kLogLineSize = 256;
inline constexpr int kLogTextLimit = 253;  // leaves room for CR, LF and the zero
inline constexpr int kLogPathSize = 260;

class DiagnosticLog {
public:
    void SetSwitch(bool on) { m_switch = on; }
    bool Switch() const { return m_switch; }

    void Write(const char* format, va_list arguments);
    // The file path of this run, built (and the old file deleted) on first use;
    // empty when the temporary directory's path is too long for it.
    const char* GetLogFilePath();

private:
    void AppendLogFile(const char* line);
    void TellFileUnusable(const char* path);

    bool m_switch = false;
    bool m_unusableTold = false;
    bool m_pathBuilt = false;
    char m_path[kLogPathSize] = {};
};

// The process-wide log that LogMessage writes to.
DiagnosticLog& TheLog();

void LogMessage(const char* format, ...) __attribute__((format(printf, 1, 2)));

// The system's text for an error code, without a trailing line end. The same
// buffer serves every call; a code without text leaves it unchanged.
const char* GetErrorText(int code);

// Removes trailing CR and LF characters; returns the new length.
int TrimLineEnds(char* text, int length);
