// Classification of every datagram that either SSDP socket receives.

#include <cstring>

#include "log/log_message.h"
#include "res/resource.h"
#include "ssdp/ssdp_message.h"
#include "ui/quorvel_dlg.h"
#include "win_sock.h"
#include "win_sound.h"

namespace {

const char* DottedAddress(unsigned long address)
{
    in_addr dotted;
    dotted.s_addr = static_cast<in_addr_t>(address);
    return inet_ntoa(dotted);
}

bool Equals(const char* text, const char* expected) { return text && std::strcmp(text, expected) == 0; }

void PlayFallingSignal()
{
    Beep(1568, 100);
    Beep(1245, 100);
    Beep(1047, 100);
}

}  // namespace

bool CQuorvelDlg::IsOwnAddress(unsigned long address) const
{
    for (unsigned i = 0; i < m_interface_count; ++i) {
        if (m_interfaces[i].iiAddress.AddressIn.sin_addr.s_addr == address)
            return true;
    }
    return false;
}

void CQuorvelDlg::OnReceive(const char* text, unsigned long senderAddress)
{
    if (BeepChecked())
        Beep(8372, 40);
    LogMessage("OnReceive(%s)", DottedAddress(senderAddress));
    if (IsOwnAddress(senderAddress)) {
        LogMessage("Receive from myself at %s", DottedAddress(senderAddress));
        ++m_own_received;
        return;
    }
    SsdpMessage message;
    ParseSsdpMessage(message, const_cast<char*>(text));
    if (!message.start_line)
        return;  // an empty datagram has nothing to compare
    const char* usn = GetHeader(message, "USN");
    if (Equals(message.start_line, "NOTIFY * HTTP/1.1")) {
        const char* nts = GetHeader(message, "NTS");
        if (Equals(nts, "ssdp:byebye"))
            OnByebye(usn);
        else if (Equals(nts, "ssdp:alive"))
            OnAlive(message, senderAddress);
    } else if (Equals(message.start_line, "HTTP/1.1 200 OK")) {
        OnAlive(message, senderAddress);
    } else {
        LogMessage(">ignoring Requ=%s\n", message.start_line);
    }
}

// The row stays, with what it knew; only a live one says goodbye aloud.
void CQuorvelDlg::OnByebye(const char* usn)
{
    if (!usn)
        return;
    int row = -1;
    IndicatorRecord* record = FindRecord(usn, row);
    if (!record)
        return;
    if (record->valid_until != 0 && BeepChecked())
        PlayFallingSignal();
    record->status = kStatusByebye;
    MarkRow(FindItem(record), record, kStatusByebye);
}
