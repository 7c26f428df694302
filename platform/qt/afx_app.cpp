#include "afx_app.h"

#include "app_internal.h"

char* GetCommandLineA() { return platform::RecordedCommandLine(); }
