// Turns one announcement or search answer into the state of one row.

#include <cstdio>

#include "indicators/alive_rules.h"
#include "indicators/description_elements.h"
#include "indicators/get_url.h"
#include "indicators/kept_description.h"
#include "log/log_message.h"
#include "res/resource.h"
#include "ui/quorvel_dlg.h"
#include "win_kernel.h"
#include "win_sound.h"

namespace {

// A new expiry later than the stored one by more than this signals again, so
// the answers to the four searches of one burst signal only once.
constexpr int64_t kSignalMarginSeconds = 5;
// An indicator on a LAN answers in milliseconds; one that takes this long is
// held like one that ran out of time, though it stayed inside every bound.
constexpr uint64_t kSlowFetchMs = 2000;

// Intervals run on the monotonic clock, so a clock stepped back neither
// lengthens a hold nor silences a line.
int64_t SteadySeconds() { return static_cast<int64_t>(GetTickCount64() / 1000); }

void PlayRisingSignal()
{
    Beep(1047, 100);
    Beep(1319, 100);
    Beep(1568, 100);
}

std::string DottedText(unsigned long address)
{
    in_addr dotted;
    dotted.s_addr = static_cast<in_addr_t>(address);
    return inet_ntoa(dotted);
}

void MarkOutsideNetwork(IndicatorRecord& record)
{
    record.description = kOutsideNetwork;
    record.model_description = kUnknown;
    record.hostname = kOutsideNetwork;
    record.dev_type = kUnknown;
}

// The response is split in place, and the record keeps only the parts of
// the body that its readers take values from.
void TakeDescription(IndicatorRecord& record, std::string& response)
{
    SsdpMessage parsed;
    ParseSsdpMessage(parsed, response.data());
    if (!parsed.body) {
        record.description = kNoBody;
        record.model_description = record.hostname = record.dev_type = kUnknown;
        return;
    }
    record.description = KeptDescription(parsed.body);
    record.model_description = ElementText(record.description, kModelDescriptionElement);
    record.hostname = ExtractBetween(record.model_description, "\"", "\"");
    record.dev_type = ElementText(record.description, kModelNameElement);
}

}  // namespace

bool CQuorvelDlg::BeepChecked() const { return IsDlgButtonChecked(IDC_BEEP) != 0; }

bool CQuorvelDlg::InLocalNetwork(unsigned long address) const
{
    for (unsigned i = 0; i < m_interface_count; ++i) {
        if (SameSubnet(address, m_interfaces[i].iiAddress.AddressIn.sin_addr.s_addr,
                       m_interfaces[i].iiNetmask.AddressIn.sin_addr.s_addr))
            return true;
    }
    return false;
}

// A slow device, or one that did not answer within what the budget gave it,
// holds its host and the sender for a minute, and fetches from what the
// budget leaves beside its reserve until it is prompt again.
void CQuorvelDlg::NoteFetchTime(IndicatorRecord& record, const FetchResult& fetched, uint64_t tookMs)
{
    if (fetched.outOfTime || tookMs >= kSlowFetchMs || (fetched.cutShort && fetched.response.empty())) {
        m_timed_out_peers.Remember(fetched.host, record.address_text, SteadySeconds());
        record.prompt_fetch = false;
    } else if (!fetched.cutShort) {
        record.prompt_fetch = true;
    }
}

// Bounded by what is left of the fetch budget; skipped when nothing is, or
// when it was cut short before any answer came. An answer that came is
// taken as when the device's own bound ends the fetch.
FetchResult CQuorvelDlg::FetchWithinBudget(IndicatorRecord& record, const char* location)
{
    FetchResult fetched;
    const uint64_t start = GetTickCount64();
    const uint64_t left = m_fetch_budget.Left(start, record.prompt_fetch);
    if (left == 0) {
        m_fetch_budget.LogSkipped(location, start);
        fetched.skipped = true;
        return fetched;
    }
    LogMessage("GetUrl(%s)", location);
    fetched = GetAnnouncedUrl(
        location, [this](const std::string& host) { return m_timed_out_peers.HoldsHost(host, SteadySeconds()); },
        static_cast<int>(left));
    const uint64_t end = GetTickCount64();
    m_fetch_budget.Spent(start, end);
    NoteFetchTime(record, fetched, end - start);
    LogMessage("GetUrl(%s)=%d", location, static_cast<int>(fetched.response.size()));
    if (fetched.cutShort && fetched.response.empty()) {
        m_fetch_budget.LogSkipped(location, end);
        fetched.skipped = true;
    }
    return fetched;
}

// The description's body names the indicator; a response without a body
// leaves it unknown, an empty fetch leaves the names as they were. A fetch
// skipped for a hold or for want of budget leaves the record as it was: the
// indicator did nothing wrong that a failed fetch would show.
void CQuorvelDlg::FetchDescription(IndicatorRecord& record, const char* location)
{
    if (m_timed_out_peers.HoldsSender(record.address_text, SteadySeconds())) {
        LogSkippedWhileHeld(location);
        return;
    }
    FetchResult fetched = FetchWithinBudget(record, location);
    if (fetched.skipped)
        return;
    record.description.clear();
    if (!fetched.response.empty())
        TakeDescription(record, fetched.response);
}

// Checked before the record exists, so a dropped USN costs no fetch.
bool CQuorvelDlg::AdmitNewRow(uint32_t sender, const std::string& senderText)
{
    const RowBound passed = m_row_bounds.Passed(sender);
    if (passed != RowBound::None) {
        m_dropped_usn_log.Dropped(sender, senderText.c_str(), passed, SteadySeconds());
        return false;
    }
    m_row_bounds.Added(sender);
    return true;
}

void CQuorvelDlg::OnAlive(const SsdpMessage& message, unsigned long sender)
{
    const std::string senderText = DottedText(sender);
    LogMessage("OnAlive(%s)", senderText.c_str());
    const bool beep = BeepChecked();
    const char* target = GetHeader(message, "NT");
    if (!target)
        target = GetHeader(message, "ST");
    if (!target)
        return;
    if (std::string(target) != kSearchTarget) {
        LogMessage(">ignore search target \"%s\"", target);
        return;
    }
    ++m_alive_received;

    const char* location = GetHeader(message, "LOCATION");
    const char* usn = GetHeader(message, "USN");
    const char* cacheControl = GetHeader(message, "CACHE-CONTROL");
    if (!location || !usn || !cacheControl)
        return;
    const std::optional<uint32_t> maxAge = ParseMaxAge(cacheControl);
    if (!maxAge)
        return;

    int row = -1;
    IndicatorRecord* record = FindRecord(usn, row);
    const bool found = record != nullptr;
    bool signal = false;
    if (!found) {
        if (!AdmitNewRow(static_cast<uint32_t>(sender), senderText))
            return;
        record = new IndicatorRecord;
        record->usn = usn;
        signal = true;
    }
    const uint32_t previousAddress = record->address;
    if (found)
        m_row_bounds.Moved(previousAddress, static_cast<uint32_t>(sender));
    record->address = static_cast<uint32_t>(sender);
    record->address_text = senderText;

    if (!InLocalNetwork(sender))
        MarkOutsideNetwork(*record);
    else
        FetchDescription(*record, location);

    if (previousAddress == static_cast<uint32_t>(sender))
        record->status = kStatusOnline;
    else if (!found)
        record->status = kStatusNew;
    else
        record->status = kStatusChanged;

    const int64_t expiry = _time64(nullptr) + static_cast<int64_t>(*maxAge);
    if (expiry > record->valid_until + kSignalMarginSeconds)
        signal = true;
    record->valid_until = expiry;
    if (signal && beep)
        PlayRisingSignal();
    UpdateItem(record);
}
