// Network start-up of the main dialog: the two SSDP sockets, the table of
// usable interfaces, port 1900 and the SSDP group.

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "log/log_message.h"
#include "ui/quorvel_app.h"
#include "ui/quorvel_dlg.h"

namespace {

struct DottedInterface {
    char address[INET_ADDRSTRLEN];
    char netmask[INET_ADDRSTRLEN];
};

// inet_ntoa reuses its buffer, so each text is copied at once.
DottedInterface Dotted(const INTERFACE_INFO& info)
{
    DottedInterface dotted;
    std::snprintf(dotted.address, sizeof dotted.address, "%s", inet_ntoa(info.iiAddress.AddressIn.sin_addr));
    std::snprintf(dotted.netmask, sizeof dotted.netmask, "%s", inet_ntoa(info.iiNetmask.AddressIn.sin_addr));
    return dotted;
}

bool IsUsable(const INTERFACE_INFO& info) { return (info.iiFlags & IFF_UP) && !(info.iiFlags & IFF_LOOPBACK); }

// The last usable entry carries the searches (the platform lists the
// default route's interface last), so a cut to the table's size keeps it.
size_t LastUsable(const std::vector<INTERFACE_INFO>& interfaces)
{
    size_t last = interfaces.size();
    for (size_t i = 0; i < interfaces.size(); ++i) {
        if (IsUsable(interfaces[i]))
            last = i;
    }
    return last;
}

[[noreturn]] void StopWithMessage(CWnd& dialog, const char* message)
{
    dialog.MessageBox(message, nullptr, MB_OK);
    std::exit(1);
}

}  // namespace

void CQuorvelDlg::StartNetwork()
{
    if (!m_port_socket.Create())
        StopWithMessage(*this, "m_port_socket.Create failed");
    m_port_socket.SetReceiver(this);
    if (!m_ssdp_socket.Create())
        StopWithMessage(*this, "m_ssdp_socket.Create failed");
    m_ssdp_socket.SetReceiver(this);
    m_ssdp_socket.SetSockOpt(IPPROTO_IP, IP_MULTICAST_TTL, 4);

    SOCKET query = WSASocketA(AF_INET, SOCK_DGRAM, 0);
    if (query == INVALID_SOCKET)
        StopWithMessage(*this, "WSASocket failed");
    std::vector<INTERFACE_INFO> interfaces;
    bool listed = GetInterfaceList(query, interfaces);
    closesocket(query);
    if (!listed)
        StopWithMessage(*this, "m_ssdp_socket.SIO_GET_INTERFACE_LIST failed");

    StoreInterfaces(interfaces);
    if (m_interface_count == 0) {
        AfxMessageBox("Found no connected interfaces!\nPlease connect a network before starting Quorvel",
                      MB_ICONERROR | MB_TASKMODAL);
        std::exit(1);
    }

    m_ssdp_socket.SetSockOpt(SOL_SOCKET, SO_BROADCAST, 1);
    m_ssdp_socket.SetSockOpt(SOL_SOCKET, SO_REUSEADDR, 1);
    m_ssdp_socket.Bind(kSsdpPort);
    JoinGroup();
}

// By default the system picks the interface of the membership (the default
// route's); with --all-interfaces announcements are heard on every kept one.
void CQuorvelDlg::JoinGroup()
{
    if (!GetQuorvelApp()->m_all_interfaces) {
        m_ssdp_socket.AddMembership(kSsdpGroup);
        return;
    }
    for (unsigned i = 0; i < m_interface_count; ++i) {
        if (FirstAddressOfItsInterface(i))
            m_ssdp_socket.AddMembership(kSsdpGroup, m_interfaces[i].iiAddress.AddressIn.sin_addr.s_addr);
    }
}

// Of the kept addresses of one interface, the first stands for it in the
// membership and the searches: a second membership there fails, and a second
// search would leave through the same link. Every address still counts as
// the PC's own and as a local network.
bool CQuorvelDlg::FirstAddressOfItsInterface(unsigned index) const
{
    const DWORD interfaceIndex = InterfaceIndexOf(m_interfaces[index]);
    for (unsigned i = 0; i < index && interfaceIndex != 0; ++i) {
        if (InterfaceIndexOf(m_interfaces[i]) == interfaceIndex)
            return false;
    }
    return true;
}

// Keeps the interfaces that are up and not loopback, in the order listed;
// each one kept becomes the multicast output of both sockets, so the last
// kept one wins. When there are more than the table holds, the last usable
// one keeps its place and the others beyond the table are logged and left out.
void CQuorvelDlg::StoreInterfaces(const std::vector<INTERFACE_INFO>& interfaces)
{
    m_interface_count = 0;
    const size_t lastUsable = LastUsable(interfaces);
    for (size_t i = 0; i < interfaces.size(); ++i) {
        const INTERFACE_INFO& info = interfaces[i];
        const int index = static_cast<int>(i);
        DottedInterface dotted = Dotted(info);
        if (info.iiFlags & IFF_LOOPBACK) {
            LogMessage("Found Interface %d : %s/%s IFF_LOOPBACK", index, dotted.address, dotted.netmask);
        } else if (!(info.iiFlags & IFF_UP)) {
            LogMessage("Found Interface %d : %s/%s DOWN", index, dotted.address, dotted.netmask);
        } else if (i != lastUsable && m_interface_count == kMaxInterfaces - 1) {
            LogMessage(">Found Interface %d : %s/%s UP, not used: more than %d interfaces", index, dotted.address,
                       dotted.netmask, kMaxInterfaces);
        } else {
            m_interfaces[m_interface_count++] = info;
            LogMessage("Found Interface %d : %s/%s as#%d UP", index, dotted.address, dotted.netmask,
                       static_cast<int>(m_interface_count));
            m_port_socket.SetMulticastInterface(info.iiAddress.AddressIn.sin_addr.s_addr);
            m_ssdp_socket.SetMulticastInterface(info.iiAddress.AddressIn.sin_addr.s_addr);
        }
    }
}
