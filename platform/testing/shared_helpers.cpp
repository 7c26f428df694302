// The helpers that are the same over either platform: the command line,
// the run's mode, control states and the recorders of the seams.

#include <algorithm>

#include "app_internal.h"
#include "platform_testing.h"

namespace platform::testing {

void SetCommandLine(const std::vector<std::string>& arguments)
{
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    platform::RecordCommandLine(static_cast<int>(argv.size()), argv.data());
}

void SetHeadless(bool headless) { platform::SetHeadless(headless); }

void PumpFor(int milliseconds)
{
    PumpUntil([] { return false; }, milliseconds);
}

bool IsControlVisible(CWnd* dialog, int id)
{
    CWnd* control = dialog->GetDlgItem(id);
    return control && control->IsWindowVisible();
}

bool IsControlEnabled(CWnd* dialog, int id)
{
    CWnd* control = dialog->GetDlgItem(id);
    return control && control->IsWindowEnabled();
}

MessageBoxRecorder::MessageBoxRecorder()
{
    seams::SetMessageBoxHandler([this](const std::string& text, const std::string& caption, UINT type) {
        m_calls.push_back({text, caption, type});
        return IDOK;
    });
}

MessageBoxRecorder::~MessageBoxRecorder() { seams::SetMessageBoxHandler({}); }

DebugOutputRecorder::DebugOutputRecorder()
{
    seams::SetDebugOutput([this](const char* line) {
        std::string text(line);
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
            text.pop_back();
        m_lines.push_back(text);
    });
}

DebugOutputRecorder::~DebugOutputRecorder() { seams::SetDebugOutput({}); }

bool DebugOutputRecorder::Contains(const std::string& line) const { return Count(line) > 0; }

bool DebugOutputRecorder::ContainsPrefix(const std::string& prefix) const
{
    for (const std::string& line : m_lines) {
        if (line.rfind(prefix, 0) == 0)
            return true;
    }
    return false;
}

size_t DebugOutputRecorder::Count(const std::string& line) const
{
    return static_cast<size_t>(std::count(m_lines.begin(), m_lines.end(), line));
}

}  // namespace platform::testing
