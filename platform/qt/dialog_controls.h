#pragma once

#include "dialog_units.h"
#include "win_resource.h"

class QWidget;
class CWnd;

namespace platform {

// Creates one control of a dialog template as a child of the dialog's widget,
// named by its id, and wires its notifications to the dialog.
QWidget* CreateDialogControl(CWnd* dialog, QWidget* parent, const DialogItemTemplate& item, const BaseUnits& units);

}  // namespace platform
