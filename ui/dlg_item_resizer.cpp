#include "ui/dlg_item_resizer.h"

namespace {

// Both bits stretch, one bit moves keeping the current size, none leaves the
// position and size alone; the same rule serves both directions.
void PlaceSpan(LONG& low, LONG& high, int lowRegistered, int highRegistered, bool lowAnchor, bool highAnchor,
               int grown)
{
    const LONG size = high - low;
    if (lowAnchor && highAnchor) {
        low = lowRegistered;
        high = highRegistered + grown;
    } else if (highAnchor) {
        high = highRegistered + grown;
        low = high - size;
    } else if (lowAnchor) {
        low = lowRegistered;
        high = lowRegistered + size;
    }
}

RECT ClientRectOf(CWnd* control, CWnd* parent)
{
    RECT rect;
    control->GetWindowRect(&rect);
    parent->ScreenToClient(&rect);
    return rect;
}

}  // namespace

RECT PlaceAnchored(const RECT& current, const ResizerEntry& registered, int grownWidth, int grownHeight)
{
    RECT placed = current;
    PlaceSpan(placed.left, placed.right, registered.left, registered.right, registered.anchors & ANCHOR_LEFT,
              registered.anchors & ANCHOR_RIGHT, grownWidth);
    PlaceSpan(placed.top, placed.bottom, registered.top, registered.bottom, registered.anchors & ANCHOR_TOP,
              registered.anchors & ANCHOR_BOTTOM, grownHeight);
    return placed;
}

CDlgItemResizer::~CDlgItemResizer()
{
    for (INT_PTR i = 0; i < m_entries.GetSize(); ++i)
        delete static_cast<ResizerEntry*>(m_entries.GetAt(i));
    m_entries.RemoveAll();
}

void CDlgItemResizer::Add(CWnd* control, int anchors)
{
    CWnd* parent = control->GetParent();
    const RECT rect = ClientRectOf(control, parent);
    auto* entry = new ResizerEntry{anchors, control->GetSafeHwnd(), rect.left, rect.top, rect.right, rect.bottom};
    if (m_reference_width == 0 || m_reference_height == 0) {
        CRect client;
        parent->GetClientRect(&client);
        m_reference_width = client.Width();
        m_reference_height = client.Height();
    }
    m_entries.Add(entry);
}

void CDlgItemResizer::Resize(CWnd* dialog)
{
    if (m_reference_width == 0 || m_reference_height == 0 || (dialog->GetStyle() & WS_MINIMIZE))
        return;
    CRect client;
    dialog->GetClientRect(&client);
    const int grownWidth = client.right - m_reference_width;
    const int grownHeight = client.bottom - m_reference_height;
    for (INT_PTR i = 0; i < m_entries.GetSize(); ++i) {
        const auto* entry = static_cast<const ResizerEntry*>(m_entries.GetAt(i));
        CWnd* control = CWnd::FromHandle(entry->control);
        const RECT current = ClientRectOf(control, dialog);
        dialog->InvalidateRect(&current, TRUE);
        const RECT placed = PlaceAnchored(current, *entry, grownWidth, grownHeight);
        control->MoveWindow(placed.left, placed.top, placed.right - placed.left, placed.bottom - placed.top, TRUE);
    }
}
