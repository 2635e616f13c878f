#pragma once

// Message maps: a table of (message, notification code, control id, handler),
// read top to bottom. Each entry is one `if` inside ProcessMessage; the map
// ends by chaining to the base class. The handler's signature stands in a
// comment above each macro. Macro parameters end in '_' so that they can
// never replace a member name inside a macro body.

#define BEGIN_MSG_MAP(theClass_)                                                       \
public:                                                                                \
    bool ProcessMessage(UINT message_, WPARAM wParam_, LPARAM lParam_, LRESULT& result_) \
        override                                                                       \
    {                                                                                  \
        (void)wParam_;                                                                 \
        (void)lParam_;

#define END_MSG_MAP(baseClass_)                                           \
        return baseClass_::ProcessMessage(message_, wParam_, lParam_, result_); \
    }

// A handler may call Default() to hand the message on to the system's own
// processing after it returns.
#define SONGLARK_HANDLED_(expr_)            \
    {                                       \
        CHandlerFrame frame_(this);         \
        expr_;                              \
        return frame_.Handled();            \
    }

// void OnCommand()   -- WM_COMMAND with this id and notification code 0 (menu, button)
#define ON_COMMAND(id_, func_)                                                              \
    if (message_ == WM_COMMAND && LOWORD(wParam_) == (id_) && HIWORD(wParam_) == 0)         \
        SONGLARK_HANDLED_((func_(), result_ = 0))

// void OnControl()   -- WM_COMMAND with this notification code from this control
#define ON_CONTROL(code_, id_, func_)                                                       \
    if (message_ == WM_COMMAND && LOWORD(wParam_) == (id_) && HIWORD(wParam_) == (code_))   \
        SONGLARK_HANDLED_((func_(), result_ = 0))

// void OnClicked()
#define ON_BN_CLICKED(id_, func_) ON_CONTROL(BN_CLICKED, id_, func_)

// void OnSelChange()
#define ON_CBN_SELCHANGE(id_, func_) ON_CONTROL(CBN_SELCHANGE, id_, func_)

// LRESULT OnNotify(NMHDR* pNMHDR)   -- the result is the notification's result
#define ON_NOTIFY(code_, id_, func_)                                                        \
    if (message_ == WM_NOTIFY && reinterpret_cast<NMHDR*>(lParam_)->idFrom == (UINT_PTR)(id_) \
        && reinterpret_cast<NMHDR*>(lParam_)->code == (UINT)(code_))                       \
        SONGLARK_HANDLED_((result_ = func_(reinterpret_cast<NMHDR*>(lParam_))))

// LRESULT OnMessage(WPARAM wParam, LPARAM lParam)
#define ON_MESSAGE(msg_, func_) \
    if (message_ == (UINT)(msg_)) SONGLARK_HANDLED_((result_ = func_(wParam_, lParam_)))

// void OnClose()
#define ON_WM_CLOSE() \
    if (message_ == WM_CLOSE) SONGLARK_HANDLED_((OnClose(), result_ = 0))

// void OnPaint()
#define ON_WM_PAINT() \
    if (message_ == WM_PAINT) SONGLARK_HANDLED_((OnPaint(), result_ = 0))

// void OnSysCommand(UINT nID, LPARAM lParam)
#define ON_WM_SYSCOMMAND() \
    if (message_ == WM_SYSCOMMAND) SONGLARK_HANDLED_((OnSysCommand((UINT)wParam_, lParam_), result_ = 0))

// HCURSOR OnQueryDragIcon()
#define ON_WM_QUERYDRAGICON() \
    if (message_ == WM_QUERYDRAGICON) SONGLARK_HANDLED_((result_ = (LRESULT)OnQueryDragIcon()))

// void OnSize(UINT nType, int cx, int cy)
#define ON_WM_SIZE()                                                                      \
    if (message_ == WM_SIZE)                                                              \
        SONGLARK_HANDLED_((OnSize((UINT)wParam_, (short)LOWORD(lParam_), (short)HIWORD(lParam_)), result_ = 0))

// void OnTimer(UINT_PTR nIDEvent)
#define ON_WM_TIMER() \
    if (message_ == WM_TIMER) SONGLARK_HANDLED_((OnTimer((UINT_PTR)wParam_), result_ = 0))

// void OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct)
#define ON_WM_DRAWITEM()                                                                  \
    if (message_ == WM_DRAWITEM)                                                          \
        SONGLARK_HANDLED_((OnDrawItem((int)wParam_, reinterpret_cast<LPDRAWITEMSTRUCT>(lParam_)), result_ = TRUE))
