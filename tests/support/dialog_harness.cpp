#include "dialog_harness.h"

#include "isolated_network.h"
#include "res/resource.h"

DialogHarness::DialogHarness()
{
    platform::testing::EnsureApplication();
    platform::seams::SetClock([this] { return timespec{static_cast<time_t>(m_now), 0}; });
    platform::seams::SetTickCount([this] {
        const auto real = std::chrono::steady_clock::now().time_since_epoch();
        return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(real).count() +
                                     m_tick_offset_ms);
    });
    platform::seams::SetToneSink([this](DWORD frequency, DWORD duration) { tones.push_back({frequency, duration}); });
    UseInterfaces({FakeLoopback(), FakeInterface("10.77.1.1", "255.255.255.0", IFF_UP)});
}

DialogHarness::~DialogHarness()
{
    platform::seams::SetClock({});
    platform::seams::SetTickCount({});
    platform::seams::SetToneSink({});
    platform::seams::SetInterfaceListSource({});
}

void DialogHarness::UseInterfaces(std::vector<INTERFACE_INFO> interfaces)
{
    platform::seams::SetInterfaceListSource([interfaces](std::vector<INTERFACE_INFO>& list) {
        list = interfaces;
        return true;
    });
}

void DialogHarness::Run(const std::function<void(CQuorvelDlg&)>& body)
{
    CQuorvelDlg dialog;
    platform::testing::RunDialog(dialog, [&] { body(dialog); });
}

void DialogHarness::Receive(CQuorvelDlg& dialog, const std::string& text, const char* sender)
{
    std::string writable = text;
    dialog.OnReceive(writable.data(), inet_addr(sender));
}

std::string DialogHarness::Cell(CQuorvelDlg& dialog, int row, int column) const
{
    return dialog.m_list.GetItemText(row, column);
}

void DialogHarness::SetBeep(CQuorvelDlg& dialog, bool on) { dialog.CheckDlgButton(IDC_BEEP, on ? 1 : 0); }

void DialogHarness::FireTimer(CQuorvelDlg& dialog, UINT_PTR id) { dialog.SendMessage(WM_TIMER, id, 0); }

NeighbourDatagrams::NeighbourDatagrams() : m_socket(OpenTestSocket(SOCK_DGRAM))
{
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = inet_addr(kNeighbourAddress);
    bind(m_socket, reinterpret_cast<sockaddr*>(&local), sizeof local);
}

NeighbourDatagrams::~NeighbourDatagrams()
{
    if (m_sender.joinable())
        m_sender.join();
    CloseTestSocket(m_socket);
}

void NeighbourDatagrams::SendSpaced(std::vector<std::string> texts, std::chrono::milliseconds gap)
{
    if (m_sender.joinable())
        m_sender.join();
    m_sender = std::thread([this, texts = std::move(texts), gap] {
        sockaddr_in ssdpPort{};
        ssdpPort.sin_family = AF_INET;
        ssdpPort.sin_port = htons(1900);
        // To the neighbour's own address, which the namespace's loopback
        // holds too, so that it is the source whatever the bind does: Wine
        // binds a datagram socket to its address's interface.
        ssdpPort.sin_addr.s_addr = inet_addr(kNeighbourAddress);
        for (size_t i = 0; i < texts.size(); ++i) {
            if (i > 0)
                std::this_thread::sleep_for(gap);
            sendto(m_socket, texts[i].data(), static_cast<int>(texts[i].size()), 0, reinterpret_cast<sockaddr*>(&ssdpPort),
                   sizeof ssdpPort);
        }
    });
}

std::string AliveNotify(const std::string& usn, const std::string& location, const std::string& maxAge,
                        const std::string& nt)
{
    return "NOTIFY * HTTP/1.1\r\nHOST: 239.255.255.250:1900\r\nCACHE-CONTROL: max-age=" + maxAge +
           "\r\nLOCATION: " + location + "\r\nNT: " + nt + "\r\nNTS: ssdp:alive\r\nUSN: " + usn + "\r\n\r\n";
}

std::string SearchAnswer(const std::string& usn, const std::string& location, const std::string& maxAge)
{
    return "HTTP/1.1 200 OK\r\nCACHE-CONTROL: max-age=" + maxAge + "\r\nEXT:\r\nLOCATION: " + location +
           "\r\nST: urn:schemas-quorvel-com:device:indicator:1\r\nUSN: " + usn + "\r\n\r\n";
}

std::string ByebyeNotify(const std::string& usn)
{
    return "NOTIFY * HTTP/1.1\r\nHOST: 239.255.255.250:1900\r\nNT: urn:schemas-quorvel-com:device:indicator:1"
           "\r\nNTS: ssdp:byebye\r\nUSN: " + usn + "\r\n\r\n";
}
