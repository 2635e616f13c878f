// fakekazaa: a stand-in for Kazaa's main window in accelerator tests. It has
// only what the accelerator relies on: a top-level window whose title begins
// with "Kazaa", a pane, two nested windows and, three levels below the pane,
// a tree view with control id 373 holding N items. Every command and key
// message that reaches one of these windows is written to a log with the
// tick count, one flushed line each:
//
//   TICK ready main=HWND pane=HWND tree=HWND items=N
//   TICK WINDOW MESSAGE WPARAM LPARAM [sel=INDEX]
//        (WINDOW: main, pane, nest1, nest2 or tree; sel: the tree's selected
//        row when the pane gets a command, -1 for none)
//   TICK tree TVM_GETCOUNT
//
// Usage: fakekazaa [--title TITLE] [--items N] [--tree-id ID] [--count-delay MS] [--home-delay MS] [--log FILE]
//   --title        the main window's title (default "Kazaa Media Desktop")
//   --items        the tree's items (default 3; 0 gives an empty tree)
//   --tree-id      the tree's control id (default 373; another id hides the tree)
//   --count-delay  how long the tree is busy before it answers a count (a hung Kazaa)
//   --home-delay   how long the tree is busy when the Home key comes (hung after the count)
#include <windows.h>
#include <commctrl.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

FILE* g_log = nullptr;
HWND g_hMain = nullptr;
HWND g_hPane = nullptr;
HWND g_hNest1 = nullptr;
HWND g_hNest2 = nullptr;
HWND g_hTree = nullptr;
WNDPROC g_treeProc = nullptr;
DWORD g_countDelayMs = 0;
DWORD g_homeDelayMs = 0;

void Log(const char* fmt, ...)
{
    if (!g_log) return;
    std::fprintf(g_log, "%lu ", static_cast<unsigned long>(::GetTickCount()));
    va_list args;
    va_start(args, fmt);
    std::vfprintf(g_log, fmt, args);
    va_end(args);
    std::fputc('\n', g_log);
    std::fflush(g_log);
}

const char* NameOf(HWND h)
{
    if (h == g_hMain) return "main";
    if (h == g_hPane) return "pane";
    if (h == g_hNest1) return "nest1";
    if (h == g_hNest2) return "nest2";
    if (h == g_hTree) return "tree";
    return "other";
}

std::string MessageName(UINT m)
{
    switch (m) {
    case WM_COMMAND: return "WM_COMMAND";
    case WM_KEYDOWN: return "WM_KEYDOWN";
    case WM_KEYUP: return "WM_KEYUP";
    case WM_CHAR: return "WM_CHAR";
    case WM_SYSKEYDOWN: return "WM_SYSKEYDOWN";
    case WM_SYSKEYUP: return "WM_SYSKEYUP";
    default: {
        char buf[16];
        std::snprintf(buf, sizeof buf, "0x%04X", m);
        return buf;
    }
    }
}

bool IsRecorded(UINT m)
{
    return m == WM_COMMAND || (m >= WM_KEYFIRST && m <= WM_KEYLAST);
}

// The position of the tree's selected item among the top-level items, or -1.
int SelectedIndex()
{
    if (!g_hTree) return -1;
    HTREEITEM sel = TreeView_GetSelection(g_hTree);
    int i = 0;
    for (HTREEITEM it = TreeView_GetRoot(g_hTree); it; it = TreeView_GetNextSibling(g_hTree, it), ++i)
        if (it == sel) return i;
    return -1;
}

void Record(HWND h, UINT m, WPARAM w, LPARAM l)
{
    if (h == g_hPane && m == WM_COMMAND)
        Log("%s %s %u %ld sel=%d", NameOf(h), MessageName(m).c_str(), static_cast<unsigned>(w),
            static_cast<long>(l), SelectedIndex());
    else
        Log("%s %s %u %ld", NameOf(h), MessageName(m).c_str(), static_cast<unsigned>(w), static_cast<long>(l));
}

LRESULT CALLBACK FrameProc(HWND h, UINT m, WPARAM w, LPARAM l)
{
    if (IsRecorded(m)) Record(h, m, w, l);
    if (m == WM_DESTROY && h == g_hMain) {
        Log("closed");
        ::PostQuitMessage(0);
    }
    return ::DefWindowProcA(h, m, w, l);
}

LRESULT CALLBACK TreeProc(HWND h, UINT m, WPARAM w, LPARAM l)
{
    if (IsRecorded(m)) Record(h, m, w, l);
    if (m == TVM_GETCOUNT) {
        Log("tree TVM_GETCOUNT");
        if (g_countDelayMs) ::Sleep(g_countDelayMs);
    }
    if (m == WM_KEYDOWN && w == VK_HOME && g_homeDelayMs) ::Sleep(g_homeDelayMs);
    return ::CallWindowProcA(g_treeProc, h, m, w, l);
}

HWND MakeChild(HWND parent, int id)
{
    RECT r;
    ::GetClientRect(parent, &r);
    return ::CreateWindowExA(0, "FakeKazaaFrame", "", WS_CHILD | WS_VISIBLE, 4, 4, r.right - 8, r.bottom - 8,
                             parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ::GetModuleHandleA(nullptr),
                             nullptr);
}

}  // namespace

int WINAPI WinMain(HINSTANCE hInst, HINSTANCE, LPSTR, int)
{
    std::string title = "Kazaa Media Desktop";
    int items = 3;
    int treeId = 373;
    const char* logPath = nullptr;
    for (int i = 1; i + 1 < __argc; i += 2) {
        const std::string opt = __argv[i];
        if (opt == "--title") title = __argv[i + 1];
        else if (opt == "--items") items = std::atoi(__argv[i + 1]);
        else if (opt == "--tree-id") treeId = std::atoi(__argv[i + 1]);
        else if (opt == "--count-delay") g_countDelayMs = static_cast<DWORD>(std::atoi(__argv[i + 1]));
        else if (opt == "--home-delay") g_homeDelayMs = static_cast<DWORD>(std::atoi(__argv[i + 1]));
        else if (opt == "--log") logPath = __argv[i + 1];
    }
    if (logPath) g_log = std::fopen(logPath, "a");

    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_TREEVIEW_CLASSES};
    ::InitCommonControlsEx(&icc);

    WNDCLASSA wc{};
    wc.lpfnWndProc = FrameProc;
    wc.hInstance = hInst;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.hCursor = ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.lpszClassName = "FakeKazaaFrame";
    ::RegisterClassA(&wc);

    g_hMain = ::CreateWindowExA(0, "FakeKazaaFrame", title.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE, 60, 60, 360,
                                280, nullptr, nullptr, hInst, nullptr);
    g_hPane = MakeChild(g_hMain, 100);
    g_hNest1 = MakeChild(g_hPane, 101);
    g_hNest2 = MakeChild(g_hNest1, 102);
    RECT r;
    ::GetClientRect(g_hNest2, &r);
    g_hTree = ::CreateWindowExA(WS_EX_CLIENTEDGE, WC_TREEVIEWA, "",
                                WS_CHILD | WS_VISIBLE | TVS_HASLINES | TVS_SHOWSELALWAYS, 0, 0, r.right, r.bottom,
                                g_hNest2, reinterpret_cast<HMENU>(static_cast<INT_PTR>(treeId)), hInst, nullptr);
    g_treeProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(g_hTree, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(TreeProc)));
    HTREEITEM last = nullptr;
    for (int i = 0; i < items; ++i) {
        char text[32];
        std::snprintf(text, sizeof text, "Download %d", i + 1);
        TVINSERTSTRUCTA ins{};
        ins.hParent = TVI_ROOT;
        ins.hInsertAfter = TVI_LAST;
        ins.item.mask = TVIF_TEXT;
        ins.item.pszText = text;
        last = reinterpret_cast<HTREEITEM>(::SendMessageA(g_hTree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&ins)));
    }
    // Kazaa's list always has a selection (a tree view ignores keys without
    // one); the last row, so that the log shows Home taking it to the top.
    if (last) TreeView_SelectItem(g_hTree, last);
    Log("ready main=%p pane=%p tree=%p items=%d", static_cast<void*>(g_hMain), static_cast<void*>(g_hPane),
        static_cast<void*>(g_hTree), items);

    // A live Kazaa is never idle for long (its transfers redraw all the
    // time); Wine takes a thread that has fetched no message for 5 s as hung,
    // even while it waits in GetMessage, so a quiet stand-in would be refused
    // every count asked with SMTO_ABORTIFHUNG.
    ::SetTimer(g_hMain, 1, 1000, nullptr);

    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    if (g_log) std::fclose(g_log);
    return 0;
}
