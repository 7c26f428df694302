#pragma once

// The control with the id among a dialog's children, as ::GetDlgItem finds
// it. That call lists the dialog's children anew each time, under Wine
// through its server, and the program asks for the same few controls on
// every change to the list; a control once found is kept while it is still
// the dialog's child with that id.

#include "win_types.h"

namespace platform {

HWND FindDialogItem(HWND dialog, int id);

}  // namespace platform
