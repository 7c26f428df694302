#include "dialog_items.h"

#include <map>
#include <utility>

namespace platform {

HWND FindDialogItem(HWND dialog, int id)
{
    static std::map<std::pair<HWND, int>, HWND> found;
    HWND& kept = found[{dialog, id}];
    if (kept && ::IsWindow(kept) && ::GetParent(kept) == dialog && ::GetDlgCtrlID(kept) == id)
        return kept;
    kept = ::GetDlgItem(dialog, id);
    return kept;
}

}  // namespace platform
