#pragma once

// The main dialog: the program's only window. Its member functions are
// defined in the folder of the subsystem that owns them: network start-up and
// datagram dispatch in ssdp/, rows, alive handling and timers in indicators/,
// the window side in ui/.

#include <string>
#include <unordered_map>
#include <vector>

#include "afx_dialog.h"
#include "indicators/dropped_usn_log.h"
#include "indicators/fetch_budget.h"
#include "indicators/get_url.h"
#include "indicators/indicator_record.h"
#include "indicators/row_bounds.h"
#include "indicators/timed_out_peers.h"
#include "ssdp/ssdp_message.h"
#include "ssdp/ssdp_receiver.h"
#include "ssdp/ssdp_socket.h"
#include "ui/dlg_item_resizer.h"
#include "ui/my_list_ctrl.h"
#include "win_sock.h"

inline constexpr int kMaxInterfaces = 16;
inline constexpr UINT_PTR MY_EXPIRY_ID = 1234;
inline constexpr UINT_PTR MY_DISCOVER_ID = 1235;

class CQuorvelDlg : public CDialog, public CSsdpReceiver {
public:
    explicit CQuorvelDlg(CWnd* parent = nullptr);
    ~CQuorvelDlg() override;

    BOOL OnInitDialog() override;
    void OnReceive(const char* text, unsigned long senderAddress) override;

    DECLARE_MESSAGE_MAP()

protected:
    void DoDataExchange(CDataExchange* exchange) override;

    // ssdp/
    void StartNetwork();
    void StoreInterfaces(const std::vector<INTERFACE_INFO>& interfaces);
    void JoinGroup();
    bool FirstAddressOfItsInterface(unsigned index) const;
    bool IsOwnAddress(unsigned long address) const;
    void OnByebye(const char* usn);

    // indicators/
    void OnSearch();
    // A search round that keeps the holds on slow devices and the budget.
    void SearchAgain();
    void StartDiscover();
    void SendSearches();
    void OnTimer(UINT_PTR id);
    void ExpireRows();
    void OnAlive(const SsdpMessage& message, unsigned long sender);
    bool InLocalNetwork(unsigned long address) const;
    void FetchDescription(IndicatorRecord& record, const char* location);
    FetchResult FetchWithinBudget(IndicatorRecord& record, const char* location);
    void NoteFetchTime(IndicatorRecord& record, const FetchResult& fetched, uint64_t tookMs);
    bool AdmitNewRow(uint32_t sender, const std::string& senderText);
    void MarkRow(int row, IndicatorRecord* record, const char* status);
    // Called after each write of a row's cells; the window needs nothing
    // more than the cells.
    virtual void OnRowWritten(int /*row*/) {}
    void FreeRecords();
    bool BeepChecked() const;

    // ui/
    void OnDestroy();
    void OnPaint();
    HCURSOR OnQueryDragIcon();
    void OnSize(UINT type, int cx, int cy);
    void OnGetMinMaxInfo(MINMAXINFO* info);
    void OnSysCommand(UINT id, LPARAM lParam);
    void AddToResizer(int id, int anchors);
    void RegisterWithResizer();
    void FindViewer();
    void OnItemchangedList(NMHDR* notification, LRESULT* result);
    void OnHeaderClick(NMHDR* notification, LRESULT* result);
    static int CompareRecords(LPARAM first, LPARAM second, LPARAM sortState);
    void OnOK() override;
    void OnPing();
    void OnTelnet();
    void OnBackup();
    void OnVnc();
    void OnDblclkList(NMHDR* notification, LRESULT* result);
    void OpenPresentationPage(const char* suffix);
    void OnShowScales();

public:
    // The overview page of every present indicator, in row order.
    std::string OverviewPage() const;

protected:

public:
    // Row operations: rows are found by their record, never by a remembered index.
    IndicatorRecord* RecordAt(int row) const;
    int FindItem(const IndicatorRecord* record) const;
    IndicatorRecord* FindRecord(const char* usn, int& row) const;
    IndicatorRecord* GetSelectedRecord() const;
    void UpdateItem(IndicatorRecord* record);

    CMyListCtrl m_list;
    // Every listed record by its USN, kept beside the list: the list stays
    // the collection that owns and orders them, the index only finds them.
    std::unordered_map<std::string, IndicatorRecord*> m_records_by_usn;
    HICON m_hIcon = nullptr;
    std::string m_viewer_path;
    CSsdpSocket m_port_socket;
    CSsdpSocket m_ssdp_socket;
    int m_discover_left = 0;
    int m_own_received = 0;
    int m_alive_received = 0;
    // A value that is no column index makes every first click sort ascending.
    int m_sort_state = -100;
    INTERFACE_INFO m_interfaces[kMaxInterfaces];
    unsigned m_interface_count = 0;
    CDlgItemResizer m_resizer;
    CRect m_rcClient;
    TimedOutPeers m_timed_out_peers;
    FetchBudget m_fetch_budget;
    RowBounds m_row_bounds;
    DroppedUsnLog m_dropped_usn_log;
};
