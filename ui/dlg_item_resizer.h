#pragma once

// Keeps the controls of a resizable dialog in place when its size changes:
// each control is registered once with anchor bits that say which of its
// edges keep their distance to which edge of the dialog.

#include "afx_coll.h"
#include "afx_wnd.h"

enum ResizerAnchor {
    ANCHOR_LEFT = 1,    // left edge stays where it was registered
    ANCHOR_RIGHT = 2,   // right edge keeps its distance to the dialog's right edge
    ANCHOR_TOP = 4,     // top edge stays where it was registered
    ANCHOR_BOTTOM = 8,  // bottom edge keeps its distance to the dialog's bottom edge
};

struct ResizerEntry {
    int anchors;
    HWND control;
    int left, top, right, bottom;
};

// Where a control goes: its current rectangle r (the current size comes from
// it), its registered rectangle, and how much the dialog has grown.
RECT PlaceAnchored(const RECT& current, const ResizerEntry& registered, int grownWidth, int grownHeight);

class CDlgItemResizer {
public:
    CDlgItemResizer() = default;
    CDlgItemResizer(const CDlgItemResizer&) = delete;
    CDlgItemResizer& operator=(const CDlgItemResizer&) = delete;
    virtual ~CDlgItemResizer();

    void Add(CWnd* control, int anchors);
    void Resize(CWnd* dialog);

    int ReferenceWidth() const { return m_reference_width; }
    int ReferenceHeight() const { return m_reference_height; }

private:
    CPtrArray m_entries;
    int m_reference_width = 0;
    int m_reference_height = 0;
};
