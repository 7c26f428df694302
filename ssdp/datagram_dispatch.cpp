// Classification of every datagram that either SSDP socket receives.

#include <cstring>

#include "log/log_message.h"
#include "res/resource.h"
#include "ssdp/ssdp_message.h"
#include "ui/quorvel_dlg.h"
#include "win_sock.h"

namespace {

const char* DottedAddress(unsigned long address)
{
    in_addr dotted;
    dotted.s_addr = static_cast<in_addr_t>(address);
    return inet_ntoa(dotted);
}

}  // namespace

void CQuorvelDlg::OnReceive(const char* text, unsigned long senderAddress)
{
    LogMessage("OnReceive(%s)", DottedAddress(senderAddress));
    for (unsigned i = 0; i < m_interface_count; ++i) {
        if (m_interfaces[i].iiAddress.AddressIn.sin_addr.s_addr == senderAddress) {
            LogMessage("Receive from myself at %s", DottedAddress(senderAddress));
            ++m_own_received;
            return;
        }
    }
    SsdpMessage message;
    ParseSsdpMessage(message, const_cast<char*>(text));
    if (!message.start_line)
        return;  // nothing to compare
    LogMessage(">ignoring Requ=%s\n", message.start_line);
}
