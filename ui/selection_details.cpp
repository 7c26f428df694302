// The selected indicator's details and the buttons that act on it, refreshed
// on every item change the list reports.

#include "indicators/description_elements.h"
#include "res/resource.h"
#include "ui/quorvel_dlg.h"

namespace {

struct DetailField {
    int id;
    DescriptionElement element;
};

constexpr DetailField kDetailFields[] = {
    {IDC_MODEL_NAME, kModelNameElement},
    {IDC_MODEL_NUMBER, kModelNumberElement},
    {IDC_SERIAL_NUMBER, kSerialNumberElement},
    {IDC_GUID, kUdnElement},
};

constexpr int kSelectionButtons[] = {IDOK, IDC_PING, IDC_TELNET, IDC_BACKUP};

}  // namespace

void CQuorvelDlg::OnItemchangedList(NMHDR*, LRESULT* result)
{
    const IndicatorRecord* record = GetSelectedRecord();
    for (int id : kSelectionButtons)
        GetDlgItem(id)->EnableWindow(record != nullptr);
    GetDlgItem(IDC_VNC)->EnableWindow(!m_viewer_path.empty() && record != nullptr);
    for (const DetailField& field : kDetailFields) {
        const std::string text = record ? ElementText(record->description, field.element) : "---";
        SetDlgItemText(field.id, text.c_str());
    }
    *result = 0;
}
