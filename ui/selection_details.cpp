// The selected indicator's details and the buttons that act on it, refreshed
// on every item change the list reports.

#include "indicators/extract_between.h"
#include "res/resource.h"
#include "ui/quorvel_dlg.h"

namespace {

struct DetailField {
    int id;
    const char* open;
    const char* close;
};

constexpr DetailField kDetailFields[] = {
    {IDC_MODEL_NAME, "<modelName>", "</modelName>"},
    {IDC_MODEL_NUMBER, "<modelNumber>", "</modelNumber>"},
    {IDC_SERIAL_NUMBER, "<serialNumber>", "</serialNumber>"},
    {IDC_GUID, "<UDN>uuid:", "</UDN>"},
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
        const std::string text = record ? ExtractBetween(record->description, field.open, field.close) : "---";
        SetDlgItemText(field.id, text.c_str());
    }
    *result = 0;
}
