#pragma once

// Resource and control ids.

inline constexpr unsigned IDD_QUORVEL_DIALOG = 102;
inline constexpr unsigned IDP_SOCKETS_INIT_FAILED = 103;
inline constexpr unsigned IDR_MAINFRAME = 128;

inline constexpr int IDC_SEARCH = 1001;
inline constexpr int IDC_SERIAL_NUMBER = 1002;
inline constexpr int IDC_MODEL_NUMBER = 1003;
inline constexpr int IDC_MODEL_NAME = 1004;
inline constexpr int IDC_GUID = 1005;
inline constexpr int IDC_LIST = 1006;
inline constexpr int IDC_SHOW_SCALES = 1007;
inline constexpr int IDC_BEEP = 1008;
inline constexpr int IDC_LABEL_MODEL_NAME = 1009;
inline constexpr int IDC_LABEL_MODEL_NUMBER = 1010;
inline constexpr int IDC_LABEL_SERIAL_NUMBER = 1011;
inline constexpr int IDC_LABEL_GUID = 1012;
inline constexpr int IDC_PING = 1013;
inline constexpr int IDC_TELNET = 1014;
inline constexpr int IDC_BACKUP = 1015;
inline constexpr int IDC_VNC = 1016;
