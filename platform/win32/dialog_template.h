#pragma once

// The system's in-memory dialog template, built from the program's template
// resource, so the template exists once, as data in res/.

#include <vector>

#include "win_resource.h"

// Without WS_VISIBLE: the platform shows the dialog when the run has a window.
std::vector<WORD> BuildDialogTemplate(const DialogTemplate& dialogTemplate);
