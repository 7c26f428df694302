#include "afx_dialog.h"

#include "app_internal.h"
#include "dialog_template.h"
#include "label_widths.h"
#include "window_routing.h"

namespace {

// The dialog's own procedure leaves everything to the system's dialog
// procedure; the dialog's messages run through its message map, which
// subclasses the window as soon as it exists.
INT_PTR CALLBACK DialogProc(HWND handle, UINT message, WPARAM, LPARAM lParam)
{
    if (message == WM_INITDIALOG)
        platform::Attach(reinterpret_cast<CDialog*>(lParam), handle);
    return FALSE;
}

void FocusFirstTabStop(HWND dialog)
{
    if (HWND first = ::GetNextDlgTabItem(dialog, nullptr, FALSE))
        ::SetFocus(first);
}

}  // namespace

// A modal loop of the platform's own rather than the system's, so a run
// without a window can keep its dialog hidden.
INT_PTR CDialog::DoModal()
{
    const DialogTemplate* dialogTemplate = FindDialogResource(m_templateId);
    if (!dialogTemplate)
        return -1;
    const std::vector<WORD> memoryTemplate = BuildDialogTemplate(*dialogTemplate);
    HWND handle = ::CreateDialogIndirectParamA(::GetModuleHandleA(nullptr),
                                              reinterpret_cast<LPCDLGTEMPLATEA>(memoryTemplate.data()),
                                              m_parent ? m_parent->m_hWnd : nullptr, &DialogProc,
                                              reinterpret_cast<LPARAM>(this));
    if (!handle)
        return -1;
    platform::WidenLabelsToTheirText(handle);
    m_ended = false;
    m_result = -1;
    if (OnInitDialog())
        FocusFirstTabStop(handle);
    if (!m_ended && !platform::IsHeadless())
        ::ShowWindow(handle, SW_SHOW);
    MSG message;
    while (!m_ended && ::GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (!::IsDialogMessageA(handle, &message)) {
            ::TranslateMessage(&message);
            ::DispatchMessageA(&message);
        }
    }
    ::DestroyWindow(handle);
    return m_result;
}

void CDialog::EndDialog(int result)
{
    m_result = result;
    m_ended = true;
    if (m_hWnd)
        ::ShowWindow(m_hWnd, SW_HIDE);
}
