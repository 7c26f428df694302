#include "res/resource.h"
#include "win_resource.h"

namespace {

constexpr DWORD kLabel = WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT;
constexpr DWORD kField = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_READONLY | ES_AUTOHSCROLL;
constexpr DWORD kButton = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON;

// Template order is also the tab order.
constexpr DialogItemTemplate kMainDialogItems[] = {
    {IDC_LIST, DialogControlClass::ListView, "Indicators", 7, 7, 323, 88,
     WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS},
    {IDC_LABEL_MODEL_NAME, DialogControlClass::Static, "Model name", 7, 104, 40, 8, kLabel},
    {IDC_MODEL_NAME, DialogControlClass::Edit, "", 76, 102, 218, 13, kField},
    {IDC_LABEL_MODEL_NUMBER, DialogControlClass::Static, "Model number", 7, 121, 46, 8, kLabel},
    {IDC_MODEL_NUMBER, DialogControlClass::Edit, "", 76, 119, 218, 13, kField},
    {IDC_LABEL_SERIAL_NUMBER, DialogControlClass::Static, "Serial number", 7, 138, 44, 8, kLabel},
    {IDC_SERIAL_NUMBER, DialogControlClass::Edit, "", 76, 136, 218, 13, kField},
    {IDC_LABEL_GUID, DialogControlClass::Static, "GUID", 7, 155, 44, 8, kLabel},
    {IDC_GUID, DialogControlClass::Edit, "", 76, 153, 218, 13, kField},
    {IDC_SEARCH, DialogControlClass::Button, "&Search", 7, 185, 50, 14, kButton},
    {IDC_SHOW_SCALES, DialogControlClass::Button, "Show Scales", 60, 186, 48, 13, kButton},
    {IDC_BEEP, DialogControlClass::Button, "Beep", 7, 169, 33, 13, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX},
    {IDC_PING, DialogControlClass::Button, "Ping", 110, 186, 48, 13, kButton},
    {IDC_TELNET, DialogControlClass::Button, "&Telnet", 161, 186, 31, 13, kButton},
    {IDC_BACKUP, DialogControlClass::Button, "&Backup", 198, 186, 31, 13, kButton},
    {IDC_VNC, DialogControlClass::Button, "&VNC", 235, 186, 31, 13, kButton},
    {IDOK, DialogControlClass::Button, "&Open", 280, 185, 50, 14, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON},
};

constexpr DialogTemplate kMainDialog = {
    IDD_QUORVEL_DIALOG,
    WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | DS_3DLOOK | DS_SETFONT,
    WS_EX_TOOLWINDOW | WS_EX_APPWINDOW,
    0, 0, 337, 206,
    "Quorvel",
    "MS Sans Serif", 8,
    kMainDialogItems,
    static_cast<int>(sizeof kMainDialogItems / sizeof kMainDialogItems[0]),
};

}  // namespace

const DialogTemplate* FindDialogResource(UINT id)
{
    return id == IDD_QUORVEL_DIALOG ? &kMainDialog : nullptr;
}

const char* FindStringResource(UINT id)
{
    return id == IDP_SOCKETS_INIT_FAILED ? "Fehler beim Initialisieren der Windows-Sockets." : nullptr;
}
