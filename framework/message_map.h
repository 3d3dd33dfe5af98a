// Message maps: each class that handles window messages lists them in a static table, and the
// table of a class is chained to its base class's table, so a derived class sees its own
// entries first and inherits the rest.
#pragma once

#include <windows.h>

#include <type_traits>

class CCmdTarget;

// A typed thunk: unpacks wParam/lParam and calls the member function the entry names.
using AfxMsgHandler = LRESULT (*)(CCmdTarget* target, WPARAM wParam, LPARAM lParam);

struct AFX_MSGMAP_ENTRY {
    UINT message;          // 0 ends a table
    UINT code;             // WM_COMMAND: notification code (0 for clicks, menus and accelerators)
    UINT id;               // WM_COMMAND: control or command id
    AfxMsgHandler handler; // null only in the end marker
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*base)(); // the base class's table; CCmdTarget has none (null)
    const AFX_MSGMAP_ENTRY* entries;
};

class CCmdTarget {
public:
    CCmdTarget() = default;
    CCmdTarget(const CCmdTarget&) = delete;
    CCmdTarget& operator=(const CCmdTarget&) = delete;
    virtual ~CCmdTarget() = default;

    virtual const AFX_MSGMAP* GetMessageMap() const;
    static const AFX_MSGMAP* GetThisMessageMap();

    // The first entry for the message along the chain of the most derived class, or null.
    const AFX_MSGMAP_ENTRY* FindMessageEntry(UINT message, UINT code, UINT id) const;

    // Runs the WM_COMMAND entry for (id, code) if the chain has one; TRUE when it did.
    BOOL OnCmdMsg(UINT id, UINT code);
};

namespace afx_msgmap_detail {

// The thunks call a handler of class C, or one C inherits (ON_COMMAND(ID_HELP, CWinApp::OnHelp)
// in the map of a class derived from CWinApp).

// void handler(): commands, and messages whose parameters say nothing (WM_PAINT).
template <class C, auto Handler>
LRESULT NoParameters(CCmdTarget* target, WPARAM, LPARAM) {
    void (C::*handler)() = Handler;
    (static_cast<C*>(target)->*handler)();
    return 0;
}

template <class C, auto Handler>
LRESULT SysCommand(CCmdTarget* target, WPARAM wParam, LPARAM lParam) {
    void (C::*handler)(UINT, LPARAM) = Handler;
    (static_cast<C*>(target)->*handler)(static_cast<UINT>(wParam), lParam);
    return 0;
}

template <class C, auto Handler>
LRESULT QueryDragIcon(CCmdTarget* target, WPARAM, LPARAM) {
    HCURSOR (C::*handler)() = Handler;
    return reinterpret_cast<LRESULT>((static_cast<C*>(target)->*handler)());
}

} // namespace afx_msgmap_detail

// In the class declaration. It does not change the access of the members that follow.
#define DECLARE_MESSAGE_MAP()                                                                      \
    static const AFX_MSGMAP* GetThisMessageMap();                                                  \
    const AFX_MSGMAP* GetMessageMap() const override;

// In the class's source file. The table is built inside a static member function of the class,
// so handlers may be private or protected.
#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                                     \
    const AFX_MSGMAP* theClass::GetMessageMap() const {                                            \
        return GetThisMessageMap();                                                                \
    }                                                                                              \
    const AFX_MSGMAP* theClass::GetThisMessageMap() {                                              \
        using ThisClass = theClass;                                                                \
        using TheBaseClass = baseClass;                                                            \
        static const AFX_MSGMAP_ENTRY entries[] = {

#define END_MESSAGE_MAP()                                                                          \
    { 0, 0, 0, nullptr }                                                                           \
    }                                                                                              \
    ;                                                                                              \
    static_assert(std::is_base_of_v<TheBaseClass, ThisClass>, "the map must chain to a base");     \
    static const AFX_MSGMAP map = {&TheBaseClass::GetThisMessageMap, entries};                     \
    return &map;                                                                                   \
    }

// void OnSysCommand(UINT id, LPARAM lParam)
#define ON_WM_SYSCOMMAND()                                                                         \
    {WM_SYSCOMMAND, 0, 0, &afx_msgmap_detail::SysCommand<ThisClass, &ThisClass::OnSysCommand>},
// void OnPaint()
#define ON_WM_PAINT()                                                                              \
    {WM_PAINT, 0, 0, &afx_msgmap_detail::NoParameters<ThisClass, &ThisClass::OnPaint>},
// HCURSOR OnQueryDragIcon()
#define ON_WM_QUERYDRAGICON()                                                                      \
    {WM_QUERYDRAGICON, 0, 0,                                                                       \
     &afx_msgmap_detail::QueryDragIcon<ThisClass, &ThisClass::OnQueryDragIcon>},
// void handler(): WM_COMMAND with BN_CLICKED from the control id.
#define ON_BN_CLICKED(id, handler)                                                                 \
    {WM_COMMAND, BN_CLICKED, static_cast<UINT>(id),                                                \
     &afx_msgmap_detail::NoParameters<ThisClass, &ThisClass::handler>},
// void handler(): WM_COMMAND from a menu, an accelerator or a button click with the id.
#define ON_COMMAND(id, handler)                                                                    \
    {WM_COMMAND, 0, static_cast<UINT>(id),                                                         \
     &afx_msgmap_detail::NoParameters<ThisClass, &ThisClass::handler>},
