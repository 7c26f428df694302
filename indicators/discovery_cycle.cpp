// Discovery bursts of four M-SEARCH requests, and the expiry of rows.

#include "log/log_message.h"
#include "ssdp/ssdp_message.h"
#include "ui/quorvel_app.h"
#include "ui/quorvel_dlg.h"
#include "win_kernel.h"

namespace {

constexpr int kSearchesPerBurst = 4;
constexpr UINT kDiscoverPeriodMs = 250;

}  // namespace

// The user asks for a fresh look: devices that were slow get another try,
// and fetches the whole budget.
void CQuorvelDlg::OnSearch()
{
    m_timed_out_peers.Forget();
    m_fetch_budget.Forget();
    SearchAgain();
}

void CQuorvelDlg::SearchAgain()
{
    GetDlgItem(IDOK)->EnableWindow(FALSE);
    const int count = m_list.GetItemCount();
    for (int row = 0; row < count; ++row) {
        if (IndicatorRecord* record = RecordAt(row))
            MarkRow(row, record, kStatusSearching);
    }
    StartDiscover();
}

void CQuorvelDlg::StartDiscover()
{
    m_own_received = 0;
    m_alive_received = 0;
    m_discover_left = kSearchesPerBurst;
    LogMessage("SetTimer(MY_DISCOVER_ID)");
    SetTimer(MY_DISCOVER_ID, kDiscoverPeriodMs, nullptr);
}

// One search through the interface the start-up chose (the last kept), or
// with --all-interfaces one through each kept interface in turn. An
// interface that cannot be chosen is skipped, so that the search does not
// leave twice through the one chosen before.
void CQuorvelDlg::SendSearches()
{
    if (!GetQuorvelApp()->m_all_interfaces) {
        m_port_socket.SendDiscover(kSearchTarget);
        return;
    }
    for (unsigned i = 0; i < m_interface_count; ++i) {
        if (FirstAddressOfItsInterface(i) &&
            m_port_socket.SetMulticastInterface(m_interfaces[i].iiAddress.AddressIn.sin_addr.s_addr))
            m_port_socket.SendDiscover(kSearchTarget);
    }
}

void CQuorvelDlg::OnTimer(UINT_PTR id)
{
    if (id == MY_EXPIRY_ID) {
        ExpireRows();
        return;
    }
    if (id != MY_DISCOVER_ID)
        return;
    LogMessage("OnTimer(MY_DISCOVER_ID)");
    if (m_discover_left-- > 0) {
        SendSearches();
        return;
    }
    LogMessage("KillTimer(MY_DISCOVER_ID)");
    KillTimer(MY_DISCOVER_ID);
    if (m_own_received == 0 && m_alive_received == 0)
        AfxMessageBox("Did not receive my own search queries!\nMaybe sending UPnP Broadcast is blocked on your PC?",
                      MB_ICONQUESTION | MB_OK);
}

// Only live rows expire; a searching row whose indicator has gone stays so.
void CQuorvelDlg::ExpireRows()
{
    const int64_t now = _time64(nullptr);
    const int count = m_list.GetItemCount();
    for (int row = 0; row < count; ++row) {
        IndicatorRecord* record = RecordAt(row);
        if (record && record->valid_until != 0 && record->valid_until <= now)
            MarkRow(row, record, kStatusLost);
    }
}
