#pragma once

// Message maps: one static table per class of (message, notification code,
// control id, handler), searched from the most derived class to its bases.

#include "win_types.h"

class CCmdTarget;

using AFX_PMSG = LRESULT (*)(CCmdTarget* target, WPARAM wParam, LPARAM lParam, LRESULT* result);

struct AFX_MSGMAP_ENTRY {
    UINT message;
    UINT code;    // notification or command code; 0 for plain messages
    UINT id;      // control id; 0 for plain messages
    AFX_PMSG handler;
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*base)();
    const AFX_MSGMAP_ENTRY* entries;
};

class CCmdTarget {
public:
    virtual ~CCmdTarget() = default;
    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const { return GetThisMessageMap(); }
    // The entry for the message, or null when no class of the chain has one.
    const AFX_MSGMAP_ENTRY* FindMessageEntry(UINT message, UINT code, UINT id) const;
};

#define DECLARE_MESSAGE_MAP()                                   \
public:                                                         \
    static const AFX_MSGMAP* GetThisMessageMap();               \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                   \
    const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
    const AFX_MSGMAP* theClass::GetThisMessageMap()                              \
    {                                                                            \
        using ThisClass = theClass;                                              \
        using TheBaseClass = baseClass;                                          \
        static const AFX_MSGMAP_ENTRY entries[] = {

#define END_MESSAGE_MAP()                                                         \
        {0, 0, 0, nullptr}                                                       \
    };                                                                           \
        static const AFX_MSGMAP map = {&TheBaseClass::GetThisMessageMap, entries}; \
        return &map;                                                             \
    }

#define AFX_HANDLER(...) \
    [](CCmdTarget* target, WPARAM wParam, LPARAM lParam, LRESULT* result) -> LRESULT { \
        auto* self = static_cast<ThisClass*>(target);                                   \
        (void)self; (void)wParam; (void)lParam; (void)result;                          \
        __VA_ARGS__                                                                     \
    }

#define ON_WM_DESTROY() {WM_DESTROY, 0, 0, AFX_HANDLER(self->OnDestroy(); return 0;)},
#define ON_WM_PAINT() {WM_PAINT, 0, 0, AFX_HANDLER(self->OnPaint(); return 0;)},
#define ON_WM_QUERYDRAGICON() \
    {WM_QUERYDRAGICON, 0, 0, AFX_HANDLER(return reinterpret_cast<LRESULT>(self->OnQueryDragIcon());)},
#define ON_WM_TIMER() {WM_TIMER, 0, 0, AFX_HANDLER(self->OnTimer(static_cast<UINT_PTR>(wParam)); return 0;)},
#define ON_WM_SIZE() \
    {WM_SIZE, 0, 0, AFX_HANDLER(self->OnSize(static_cast<UINT>(wParam), LOWORD(static_cast<uintptr_t>(lParam)), HIWORD(static_cast<uintptr_t>(lParam))); return 0;)},
#define ON_WM_GETMINMAXINFO() \
    {WM_GETMINMAXINFO, 0, 0, AFX_HANDLER(self->OnGetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lParam)); return 0;)},
#define ON_WM_SYSCOMMAND() \
    {WM_SYSCOMMAND, 0, 0, AFX_HANDLER(self->OnSysCommand(static_cast<UINT>(wParam), lParam); return 0;)},
#define ON_WM_HSCROLL() \
    {WM_HSCROLL, 0, 0, AFX_HANDLER(self->OnHScroll(LOWORD(wParam), HIWORD(wParam), nullptr); return 0;)},
#define ON_WM_VSCROLL() \
    {WM_VSCROLL, 0, 0, AFX_HANDLER(self->OnVScroll(LOWORD(wParam), HIWORD(wParam), nullptr); return 0;)},
#define ON_WM_LBUTTONDOWN()                                                                   \
    {WM_LBUTTONDOWN, 0, 0, AFX_HANDLER(                                                       \
        POINT point{static_cast<int16_t>(LOWORD(static_cast<uintptr_t>(lParam))),            \
                    static_cast<int16_t>(HIWORD(static_cast<uintptr_t>(lParam)))};           \
        self->OnLButtonDown(static_cast<UINT>(wParam), point); return 0;)},
#define ON_BN_CLICKED(id, memberFxn) \
    {WM_COMMAND, BN_CLICKED, static_cast<UINT>(id), AFX_HANDLER((self->*(memberFxn))(); return 0;)},
#define ON_NOTIFY(code, id, memberFxn) \
    {WM_NOTIFY, static_cast<UINT>(code), static_cast<UINT>(id), AFX_HANDLER((self->*(memberFxn))(reinterpret_cast<NMHDR*>(lParam), result); return 0;)},
