// wintool: a small driver that tests use to reach the windows of another
// process running under the same Wine prefix.
//
//   wintool wait TITLE TIMEOUT_MS         exit 0 when a top-level window with this exact title exists
//   wintool gone TITLE TIMEOUT_MS         exit 0 when no such window exists (any more)
//   wintool close TITLE                   post WM_CLOSE to it
//   wintool click TITLE ID                send BM_CLICK to its control ID (returns when handled)
//   wintool post-click TITLE ID           post the button's WM_COMMAND (does not wait)
//   wintool text TITLE ID                 print the control's window text
//   wintool settext TITLE ID TEXT         set the control's window text
//   wintool command TITLE ID              post WM_COMMAND ID to the window
//   wintool rows TITLE ID                 print the list view's rows, one per line, columns tab-separated
//   wintool count TITLE ID                print the list view's number of rows
//   wintool visible TITLE                 print 1 when the window is visible, else 0
//   wintool iconic TITLE                  print 1 when the window is minimised, else 0
//   wintool rect TITLE                    print the window rectangle "left top right bottom"
//   wintool show TITLE SW                 ShowWindow(SW)
//   wintool sysmenu TITLE                 print the system menu's items, one per line "id<TAB>text"
//   wintool key TITLE ID VK               send WM_KEYDOWN/WM_KEYUP of VK to the control
//   wintool enabled TITLE ID              print 1 when the control is enabled, else 0
//   wintool ping TITLE FOR_MS LIMIT_MS    send WM_NULL every 100 ms for FOR_MS, each allowed LIMIT_MS;
//                                         print the slowest answer in ms; exit 1 when one did not come
// Unicode texts, whatever this tool's code page (UTF-8 out, hex UTF-8 in):
//   wintool urows TITLE ID                rows as "rows" does, read through LVM_GETITEMTEXTW
//   wintool utext TITLE ID                the control's window text, read through WM_GETTEXT (W)
//   wintool usettext TITLE ID HEX         set the control's text to the UTF-8 bytes given in hex
//   wintool clipboard -                   print the clipboard's CF_UNICODETEXT
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

HWND FindTop(const char* title)
{
    return ::FindWindowA(nullptr, title);
}

HWND WaitTop(const char* title, DWORD timeoutMs)
{
    const DWORD start = ::GetTickCount();
    for (;;) {
        if (HWND h = FindTop(title)) return h;
        if (::GetTickCount() - start >= timeoutMs) return nullptr;
        ::Sleep(100);
    }
}

HWND Need(const char* title)
{
    HWND h = WaitTop(title, 10000);
    if (!h) {
        std::fprintf(stderr, "wintool: no window \"%s\"\n", title);
        std::exit(3);
    }
    return h;
}

HWND NeedItem(HWND top, const char* id)
{
    // A dialog's title comes before its controls: a window just found may
    // still be creating them.
    const DWORD start = ::GetTickCount();
    HWND h;
    while (!(h = ::GetDlgItem(top, std::atoi(id))) && ::GetTickCount() - start < 5000) ::Sleep(50);
    if (!h) {
        std::fprintf(stderr, "wintool: no control %s\n", id);
        std::exit(3);
    }
    return h;
}

// Reads a list view item's text of another process through shared memory.
std::string ListText(HWND list, int item, int sub)
{
    DWORD pid = 0;
    ::GetWindowThreadProcessId(list, &pid);
    HANDLE proc = ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (!proc) return std::string();
    const SIZE_T size = sizeof(LVITEMA) + 512;
    char* remote = static_cast<char*>(::VirtualAllocEx(proc, nullptr, size, MEM_COMMIT, PAGE_READWRITE));
    LVITEMA lvi{};
    lvi.mask = LVIF_TEXT;
    lvi.iItem = item;
    lvi.iSubItem = sub;
    lvi.pszText = remote + sizeof(LVITEMA);
    lvi.cchTextMax = 512;
    ::WriteProcessMemory(proc, remote, &lvi, sizeof lvi, nullptr);
    ::SendMessageA(list, LVM_GETITEMTEXTA, item, reinterpret_cast<LPARAM>(remote));
    char buf[513] = {0};
    ::ReadProcessMemory(proc, remote + sizeof(LVITEMA), buf, 512, nullptr);
    ::VirtualFreeEx(proc, remote, 0, MEM_RELEASE);
    ::CloseHandle(proc);
    return buf;
}

std::string Utf8(const wchar_t* text)
{
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 1) return std::string();
    std::string out(static_cast<size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text, -1, &out[0], n, nullptr, nullptr);
    out.resize(static_cast<size_t>(n) - 1);
    return out;
}

std::wstring WideFromHexUtf8(const char* hex)
{
    std::string bytes;
    for (size_t i = 0; hex[i] && hex[i + 1]; i += 2) bytes.push_back(static_cast<char>(std::strtoul(std::string(hex + i, 2).c_str(), nullptr, 16)));
    std::wstring wide(bytes.size() + 1, L'\0');
    const int n = ::MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), &wide[0], static_cast<int>(wide.size()));
    wide.resize(n > 0 ? static_cast<size_t>(n) : 0);
    return wide;
}

// ListText's Unicode twin: the item's text as UTF-8.
std::string ListTextW(HWND list, int item, int sub)
{
    DWORD pid = 0;
    ::GetWindowThreadProcessId(list, &pid);
    HANDLE proc = ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (!proc) return std::string();
    const SIZE_T size = sizeof(LVITEMW) + 512 * sizeof(wchar_t);
    char* remote = static_cast<char*>(::VirtualAllocEx(proc, nullptr, size, MEM_COMMIT, PAGE_READWRITE));
    LVITEMW lvi{};
    lvi.mask = LVIF_TEXT;
    lvi.iItem = item;
    lvi.iSubItem = sub;
    lvi.pszText = reinterpret_cast<wchar_t*>(remote + sizeof(LVITEMW));
    lvi.cchTextMax = 512;
    ::WriteProcessMemory(proc, remote, &lvi, sizeof lvi, nullptr);
    ::SendMessageW(list, LVM_GETITEMTEXTW, item, reinterpret_cast<LPARAM>(remote));
    wchar_t buf[513] = {0};
    ::ReadProcessMemory(proc, remote + sizeof(LVITEMW), buf, 512 * sizeof(wchar_t), nullptr);
    ::VirtualFreeEx(proc, remote, 0, MEM_RELEASE);
    ::CloseHandle(proc);
    return Utf8(buf);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: wintool COMMAND TITLE [ARGS]\n");
        return 2;
    }
    const std::string cmd = argv[1];
    const char* title = argv[2];

    if (cmd == "wait") {
        return WaitTop(title, argc > 3 ? std::strtoul(argv[3], nullptr, 10) : 10000) ? 0 : 1;
    }
    if (cmd == "gone") {
        const DWORD timeout = argc > 3 ? std::strtoul(argv[3], nullptr, 10) : 10000;
        const DWORD start = ::GetTickCount();
        while (FindTop(title)) {
            if (::GetTickCount() - start >= timeout) return 1;
            ::Sleep(100);
        }
        return 0;
    }
    if (cmd == "clipboard") {
        if (!::OpenClipboard(nullptr)) return 1;
        std::string text;
        if (HANDLE h = ::GetClipboardData(CF_UNICODETEXT)) {
            if (const wchar_t* p = static_cast<const wchar_t*>(::GlobalLock(h))) {
                text = Utf8(std::wstring(p, wcsnlen(p, ::GlobalSize(h) / sizeof(wchar_t))).c_str());
                ::GlobalUnlock(h);
            }
        }
        ::CloseClipboard();
        std::fwrite(text.data(), 1, text.size(), stdout);
        return 0;
    }
    HWND top = Need(title);
    if (cmd == "close") {
        return ::PostMessageA(top, WM_CLOSE, 0, 0) ? 0 : 1;
    }
    if (cmd == "visible") {
        std::printf("%d\n", ::IsWindowVisible(top) ? 1 : 0);
        return 0;
    }
    if (cmd == "iconic") {
        std::printf("%d\n", ::IsIconic(top) ? 1 : 0);
        return 0;
    }
    if (cmd == "rect") {
        RECT r;
        ::GetWindowRect(top, &r);
        std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right, r.bottom);
        return 0;
    }
    if (cmd == "show" && argc > 3) {
        ::ShowWindow(top, std::atoi(argv[3]));
        return 0;
    }
    if (cmd == "command" && argc > 3) {
        return ::PostMessageA(top, WM_COMMAND, MAKEWPARAM(std::atoi(argv[3]), 0), 0) ? 0 : 1;
    }
    if (cmd == "ping" && argc > 4) {
        const DWORD duration = std::strtoul(argv[3], nullptr, 10);
        const UINT limit = static_cast<UINT>(std::strtoul(argv[4], nullptr, 10));
        const DWORD start = ::GetTickCount();
        DWORD slowest = 0;
        do {
            const DWORD sent = ::GetTickCount();
            DWORD_PTR ignored = 0;
            if (!::SendMessageTimeoutA(top, WM_NULL, 0, 0, SMTO_NORMAL, limit, &ignored)) {
                std::printf("no answer within %u ms after %lu ms\n", limit, static_cast<unsigned long>(sent - start));
                return 1;
            }
            if (::GetTickCount() - sent > slowest) slowest = ::GetTickCount() - sent;
            ::Sleep(100);
        } while (::GetTickCount() - start < duration);
        std::printf("%lu\n", static_cast<unsigned long>(slowest));
        return 0;
    }
    if (cmd == "sysmenu") {
        HMENU m = ::GetSystemMenu(top, FALSE);
        const int n = ::GetMenuItemCount(m);
        for (int i = 0; i < n; ++i) {
            char text[256] = {0};
            ::GetMenuStringA(m, i, text, sizeof text, MF_BYPOSITION);
            std::printf("%d\t%s\n", static_cast<int>(::GetMenuItemID(m, i)), text);
        }
        return 0;
    }
    if (argc < 4) {
        std::fprintf(stderr, "wintool: %s needs a control id\n", cmd.c_str());
        return 2;
    }
    HWND item = NeedItem(top, argv[3]);
    if (cmd == "click") {
        ::SendMessageA(item, BM_CLICK, 0, 0);
        return 0;
    }
    if (cmd == "post-click") {
        ::PostMessageA(top, WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(item), BN_CLICKED), reinterpret_cast<LPARAM>(item));
        return 0;
    }
    if (cmd == "enabled") {
        std::printf("%d\n", ::IsWindowEnabled(NeedItem(top, argv[3])) ? 1 : 0);
        return 0;
    }
    if (cmd == "text") {
        char buf[65536] = {0};
        ::SendMessageA(item, WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf));
        std::fwrite(buf, 1, std::strlen(buf), stdout);
        return 0;
    }
    if (cmd == "settext" && argc > 4) {
        ::SendMessageA(item, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[4]));
        return 0;
    }
    if (cmd == "key" && argc > 4) {
        const WPARAM vk = static_cast<WPARAM>(std::strtoul(argv[4], nullptr, 0));
        ::SendMessageA(item, WM_KEYDOWN, vk, 0);
        ::SendMessageA(item, WM_KEYUP, vk, 0);
        return 0;
    }
    if (cmd == "utext") {
        static wchar_t buf[65536];
        ::SendMessageW(item, WM_GETTEXT, 65536, reinterpret_cast<LPARAM>(buf));
        const std::string text = Utf8(buf);
        std::fwrite(text.data(), 1, text.size(), stdout);
        return 0;
    }
    if (cmd == "usettext" && argc > 4) {
        const std::wstring text = WideFromHexUtf8(argv[4]);
        ::SendMessageW(item, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
        return 0;
    }
    if (cmd == "urows") {
        const int n = static_cast<int>(::SendMessageW(item, LVM_GETITEMCOUNT, 0, 0));
        for (int i = 0; i < n; ++i)
            std::printf("%s\t%s\t%s\n", ListTextW(item, i, 0).c_str(), ListTextW(item, i, 1).c_str(),
                        ListTextW(item, i, 2).c_str());
        return 0;
    }
    if (cmd == "count") {
        std::printf("%d\n", static_cast<int>(::SendMessageA(item, LVM_GETITEMCOUNT, 0, 0)));
        return 0;
    }
    if (cmd == "rows") {
        const int n = static_cast<int>(::SendMessageA(item, LVM_GETITEMCOUNT, 0, 0));
        for (int i = 0; i < n; ++i)
            std::printf("%s\t%s\t%s\n", ListText(item, i, 0).c_str(), ListText(item, i, 1).c_str(),
                        ListText(item, i, 2).c_str());
        return 0;
    }
    std::fprintf(stderr, "wintool: unknown command %s\n", cmd.c_str());
    return 2;
}
