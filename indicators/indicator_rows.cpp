// The indicator list is the only table of records and each row's item data
// is its record. Records are found by USN through an index beside the list,
// rows by their item data through the list's own index, so that neither
// costs more in a long list than in a short one.

#include <cstdio>
#include <ctime>

#include "indicators/indicator_record.h"
#include "ui/quorvel_dlg.h"
#include "win_kernel.h"

std::string FormatValidUntil(int64_t validUntil)
{
    if (validUntil == 0)
        return kNoValidTime;
    tm local{};
    __time64_t time = validUntil;
    if (_localtime64_s(&local, &time) != 0)
        return kNoValidTime;
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", local.tm_hour, local.tm_min, local.tm_sec);
    return text;
}

IndicatorRecord* CQuorvelDlg::RecordAt(int row) const
{
    return reinterpret_cast<IndicatorRecord*>(m_list.GetItemData(row));
}

int CQuorvelDlg::FindItem(const IndicatorRecord* record) const
{
    LVFINDINFO find{};
    find.flags = LVFI_PARAM;
    find.lParam = reinterpret_cast<LPARAM>(record);
    return m_list.FindItem(&find);
}

IndicatorRecord* CQuorvelDlg::FindRecord(const char* usn, int& row) const
{
    auto found = m_records_by_usn.find(usn);
    row = found == m_records_by_usn.end() ? -1 : FindItem(found->second);
    return row < 0 ? nullptr : found->second;
}

IndicatorRecord* CQuorvelDlg::GetSelectedRecord() const
{
    int row = m_list.GetNextItem(-1, LVNI_SELECTED);
    return row < 0 ? nullptr : RecordAt(row);
}

void CQuorvelDlg::UpdateItem(IndicatorRecord* record)
{
    int row = FindItem(record);
    if (row < 0) {
        row = m_list.InsertItem(m_list.GetItemCount(), record->address_text.c_str());
        LVITEM attach{};
        attach.mask = LVIF_PARAM;
        attach.iItem = row;
        attach.lParam = reinterpret_cast<LPARAM>(record);
        m_list.SetItem(&attach);
        m_records_by_usn.emplace(record->usn, record);
    }
    m_list.SetItemText(row, kColumnAddress, record->address_text.c_str());
    m_list.SetItemText(row, kColumnHostname, record->hostname.c_str());
    m_list.SetItemText(row, kColumnDevType, record->dev_type.c_str());
    m_list.SetItemText(row, kColumnStatus, record->status.c_str());
    m_list.SetItemText(row, kColumnValidUntil, FormatValidUntil(record->valid_until).c_str());
    OnRowWritten(row);
}

void CQuorvelDlg::MarkRow(int row, IndicatorRecord* record, const char* status)
{
    record->valid_until = 0;
    m_list.SetItemText(row, kColumnStatus, status);
    m_list.SetItemText(row, kColumnValidUntil, kNoValidTime);
    OnRowWritten(row);
}

void CQuorvelDlg::FreeRecords()
{
    const int count = m_list.GetItemCount();
    for (int row = 0; row < count; ++row) {
        IndicatorRecord* record = RecordAt(row);
        if (record && reinterpret_cast<LPARAM>(record) != -1)
            delete record;
    }
    m_records_by_usn.clear();
    m_row_bounds = RowBounds{};
}
