// The whole datagram path of the real main dialog, offscreen: the input's
// datagrams go to OnReceive from the senders the input chooses, and a
// description fetch is answered with the input's response by an in-process
// server (fuzz/support/exchange_format.h describes the input). Each row is
// then selected, so the details are read from what was fetched, the rows
// expire, and the overview page is written and checked; then the list is
// emptied for the next input.
//
// The process first moves into a private network namespace: the dialog's
// SSDP sockets and every fetch reach only the loopback interface, where the
// description server listens on port 80 of 127.0.0.1 and of 10.77.1.20, the
// address the seeds' indicators announce. Without root the target refuses to
// run rather than touch the real network.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "afx_socket.h"
#include "description_server.h"
#include "dialog_harness.h"
#include "exchange_format.h"
#include "fuzz_checks.h"
#include "private_network.h"
#include "res/resource.h"
#include "ssdp/ssdp_socket.h"
#include "ui/overview_page.h"

extern "C" int LLVMFuzzerRunDriver(int* argc, char*** argv, int (*callback)(const uint8_t* data, size_t size));

namespace {

// Later than any expiry an input can set (max-age is at most 2^32-1 s).
constexpr int64_t kLongAfter = int64_t{1} << 40;
// Pending toolkit events are delivered every this many inputs.
constexpr unsigned kInputsPerEventRound = 64;

// Gives the test access to the dialog's own clean-up of its rows.
class FuzzDialog : public CQuorvelDlg {
public:
    void EmptyList()
    {
        const int selected = m_list.GetNextItem(-1, LVNI_SELECTED);
        if (selected >= 0)
            m_list.SetItemState(selected, 0, LVIS_SELECTED);
        FreeRecords();
        m_list.DeleteAllItems();
    }
};

// The page holds the markup of its frame plus that of one row pair per
// listed indicator, whatever the indicators' names are.
class PageShape {
public:
    explicit PageShape(const std::string& emptyPage) : m_empty(emptyPage), m_rows(OverviewPageRows(IndicatorRecord{})) {}

    void Check(const std::string& page) const
    {
        const size_t listed = CountOf(page, "<tr><th>");
        for (const char* markup : {"<", ">", "\"", "'"})
            Require(CountOf(page, markup) == CountOf(m_empty, markup) + listed * CountOf(m_rows, markup));
    }

private:
    std::string m_empty;
    std::string m_rows;
};

struct FuzzSession {
    DialogHarness& harness;
    FuzzDialog& dialog;
    DescriptionServer& server;
    PageShape shape;
    unsigned inputs = 0;
};

FuzzSession* g_session = nullptr;

void Deliver(FuzzSession& session, const Exchange& exchange)
{
    session.server.SetResponse(exchange.response);
    // As the socket hands it over: at most one datagram's length, zero-terminated.
    std::string datagram = exchange.datagram.substr(0, kDatagramSize);
    session.dialog.OnReceive(datagram.c_str(), exchange.sender);
}

void SelectEachRow(FuzzDialog& dialog)
{
    for (int row = 0; row < dialog.m_list.GetItemCount(); ++row)
        dialog.m_list.SetItemState(row, LVIS_SELECTED, LVIS_SELECTED);
}

void ExpireAll(FuzzSession& session)
{
    const int64_t now = session.harness.Now();
    session.harness.SetNow(now + kLongAfter);
    session.harness.FireTimer(session.dialog, MY_EXPIRY_ID);
    session.harness.SetNow(now);
}

void DeliverPendingEvents()
{
    bool delivered = false;
    platform::testing::PumpUntil([&delivered] { return std::exchange(delivered, true); }, 10);
}

int TestOneInput(const uint8_t* data, size_t size)
{
    FuzzSession& session = *g_session;
    for (const Exchange& exchange : DecodeExchanges({reinterpret_cast<const char*>(data), size}))
        Deliver(session, exchange);
    SelectEachRow(session.dialog);
    session.shape.Check(session.dialog.OverviewPage());
    ExpireAll(session);
    session.shape.Check(session.dialog.OverviewPage());
    session.dialog.EmptyList();
    if (++session.inputs % kInputsPerEventRound == 0)
        DeliverPendingEvents();
    return 0;
}

// Nothing the dialog reports is wanted: log lines, tones and boxes would
// only pile up over millions of inputs.
void SilenceOutputs()
{
    platform::seams::SetDebugOutput([](const char*) {});
    platform::seams::SetToneSink([](DWORD, DWORD) {});
    platform::seams::SetMessageBoxHandler([](const std::string&, const std::string&, UINT) { return IDOK; });
}

}  // namespace

int main(int argc, char** argv)
{
    if (!EnterPrivateNetwork({"10.77.1.20"})) {
        std::fprintf(stderr, "datagram_fuzzer: needs root to run in a private network namespace\n");
        return 2;
    }
    DescriptionServer server;
    if (!server.listening()) {
        std::fprintf(stderr, "datagram_fuzzer: cannot listen on port 80\n");
        return 2;
    }
    AfxSocketInit();
    DialogHarness harness;
    SilenceOutputs();
    FuzzDialog dialog;
    platform::testing::RunDialog(dialog, [&] {
        harness.SetBeep(dialog, true);
        FuzzSession session{harness, dialog, server, PageShape(dialog.OverviewPage())};
        g_session = &session;
        std::exit(LLVMFuzzerRunDriver(&argc, &argv, TestOneInput));
    });
    return 1;
}
