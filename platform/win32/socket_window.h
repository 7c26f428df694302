#pragma once

// The platform's hidden window that receives socket notices
// (WSAAsyncSelect), in the thread's queue with every other message.

#include "win_types.h"

namespace platform {

inline constexpr UINT kSocketNotice = WM_APP + 1;

using SocketNoticeHandler = void (*)(SOCKET socket, long event, int error);

// Created on first use, on the user-interface thread.
HWND SocketWindow(SocketNoticeHandler handler);

}  // namespace platform
