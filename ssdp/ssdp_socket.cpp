#include "ssdp/ssdp_socket.h"

#include <cstdio>
#include <cstring>

#include "afx_wnd.h"
#include "log/log_message.h"
#include "ssdp/ssdp_message.h"
#include "win_kernel.h"

namespace {

in_addr ToInAddr(unsigned long address)
{
    in_addr result;
    result.s_addr = static_cast<in_addr_t>(address);
    return result;
}

}  // namespace

BOOL CSsdpSocket::Create()
{
    if (!Socket(SOCK_DGRAM, FD_READ | FD_WRITE, IPPROTO_UDP, PF_INET))
        return FALSE;
    LogMessage("CSsdpSocket::Create(#%d)", static_cast<int>(m_hSocket));
    int ttl = 4;
    if (!CAsyncSocket::SetSockOpt(IP_MULTICAST_TTL, &ttl, sizeof ttl, IPPROTO_IP))
        LogMessage("IP_MULTICAST_TTL failed(%s)", GetErrorText(WSAGetLastError()));
    // Every indicator answers each search at once; the default buffer holds
    // only about 150 answers and the kernel drops the rest unseen.
    int receiveBuffer = kReceiveBufferBytes;
    if (!CAsyncSocket::SetSockOpt(SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer, SOL_SOCKET))
        LogMessage(">SO_RCVBUF failed(%s)", GetErrorText(WSAGetLastError()));
    int broadcast = 1;
    if (!CAsyncSocket::SetSockOpt(SO_BROADCAST, &broadcast, sizeof broadcast, SOL_SOCKET)) {
        LogMessage("SO_BROADCAST failed(%s)", GetErrorText(WSAGetLastError()));
        return FALSE;
    }
    return TRUE;
}

BOOL CSsdpSocket::SetSockOpt(int level, int option, int value)
{
    if (CAsyncSocket::SetSockOpt(option, &value, sizeof value, level))
        return TRUE;
    LogMessage("SetSockOpt failed(%s)", GetErrorText(WSAGetLastError()));
    return FALSE;
}

BOOL CSsdpSocket::SetMulticastInterface(unsigned long interfaceAddress)
{
    in_addr address = ToInAddr(interfaceAddress);
    char dotted[INET_ADDRSTRLEN];
    std::snprintf(dotted, sizeof dotted, "%s", inet_ntoa(address));
    LogMessage("CSsdpSocket::SetMulticastInterface(#%d,%s)", static_cast<int>(m_hSocket), dotted);
    if (CAsyncSocket::SetSockOpt(IP_MULTICAST_IF, &address, sizeof address, IPPROTO_IP))
        return TRUE;
    LogMessage("SetSockOpt(IP_MULTICAST_IF,%s) failed(%s)", dotted, GetErrorText(WSAGetLastError()));
    return FALSE;
}

// The failure line names the interface when one was given, so one failing
// interface among several can be told apart.
void CSsdpSocket::AddMembership(const char* groupAddress, unsigned long interfaceAddress)
{
    ip_mreq request{};
    request.imr_multiaddr.s_addr = inet_addr(groupAddress);
    request.imr_interface = ToInAddr(interfaceAddress);
    if (CAsyncSocket::SetSockOpt(IP_ADD_MEMBERSHIP, &request, sizeof request, IPPROTO_IP))
        return;
    const int error = WSAGetLastError();
    char where[INET_ADDRSTRLEN] = "";
    if (interfaceAddress != INADDR_ANY)
        std::snprintf(where, sizeof where, "%s", inet_ntoa(request.imr_interface));
    LogMessage("SendDiscover:AddMembership(%s)failed(%d:%s)", where, SOCKET_ERROR, GetErrorText(error));
}

void CSsdpSocket::SendDiscover(const char* searchTarget)
{
    char request[kDatagramSize];
    int length = ComposeMSearch(request, sizeof request, searchTarget);
    sockaddr_in group{};
    group.sin_family = AF_INET;
    group.sin_port = htons(kSsdpPort);
    group.sin_addr.s_addr = inet_addr(kSsdpGroup);
    LogMessage("SendDiscover:SentTo(#%d)", static_cast<int>(m_hSocket));
    int sent = length < 0 ? SOCKET_ERROR
                          : SendTo(request, length, reinterpret_cast<sockaddr*>(&group), sizeof group);
    if (sent < 1)
        LogMessage("SendDiscover:SentTo()failed(%d:%s)", sent, GetErrorText(WSAGetLastError()));
}

void CSsdpSocket::OnReceive(int errorCode)
{
    char datagram[kDatagramSize + 1];
    sockaddr_in sender{};
    int senderLength = sizeof sender;
    // Read without waiting: a notification without a datagram must not hold
    // the window.
    int received = CAsyncSocket::ReceiveFrom(datagram, kDatagramSize, reinterpret_cast<sockaddr*>(&sender),
                                             &senderLength);
    if (received == SOCKET_ERROR) {
        int error = WSAGetLastError();
        if (error == WSAEMSGSIZE)
            LogMessage(">dropped datagram over %d bytes from %s", kDatagramSize, inet_ntoa(sender.sin_addr));
        else if (error == WSAENOBUFS)
            LogMessage(">receive queue full: datagrams dropped");
        else if (error != WSAEWOULDBLOCK)
            ShowReceiveError(sender.sin_addr, error);
    } else if (received == 0) {
        LogMessage(">dropped empty datagram from %s", inet_ntoa(sender.sin_addr));
    } else {
        datagram[received] = '\0';
        if (m_receiver)
            m_receiver->OnReceive(datagram, sender.sin_addr.s_addr);
    }
    CSocket::OnReceive(errorCode);
}

void CSsdpSocket::ShowReceiveError(const in_addr& sender, int error)
{
    char text[64 + 256];
    int length = std::snprintf(text, sizeof text, "ReceiveFrom(%s)\n", inet_ntoa(sender));
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, static_cast<DWORD>(error), 0x400, text + length,
                   static_cast<DWORD>(sizeof text - static_cast<size_t>(length)), nullptr);
    AfxMessageBox(text, MB_ICONERROR | MB_TASKMODAL);
    Close();
}
