#pragma once

// Helpers for the accelerator and tray tests: a script run on a second thread
// while the test's thread sits in a modal loop, answering message boxes, and
// the stand-in Kazaa (tools/fakekazaa.exe) started as a process of its own.
#include "framework/Afx.h"
#include "tests/win/WinTestUtil.h"

#include <process.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

// Runs a function on a thread of its own; the destructor waits for it while
// serving this thread's messages (the script may send to our windows).
class ScriptThread {
public:
    explicit ScriptThread(std::function<void()> fn) : m_fn(std::move(fn))
    {
        m_hThread = reinterpret_cast<HANDLE>(::_beginthreadex(nullptr, 0, Entry, this, 0, nullptr));
    }
    ~ScriptThread() { Join(30000); }
    ScriptThread(const ScriptThread&) = delete;
    ScriptThread& operator=(const ScriptThread&) = delete;

    bool Join(DWORD timeoutMs)
    {
        if (!m_hThread) return true;
        const DWORD start = ::GetTickCount();
        while (::MsgWaitForMultipleObjects(1, &m_hThread, FALSE, 50, QS_ALLINPUT) != WAIT_OBJECT_0) {
            PumpMessages(0);
            if (::GetTickCount() - start > timeoutMs) return false;
        }
        ::CloseHandle(m_hThread);
        m_hThread = nullptr;
        return true;
    }

private:
    static unsigned __stdcall Entry(void* p)
    {
        static_cast<ScriptThread*>(p)->m_fn();
        return 0;
    }
    std::function<void()> m_fn;
    HANDLE m_hThread = nullptr;
};

inline std::string WindowText(HWND h)
{
    char buf[512] = {0};
    ::GetWindowTextA(h, buf, sizeof buf);
    return buf;
}

// Waits for a top-level window of the thread with this class and, unless
// null, this title.
struct ThreadWindowSearch {
    const char* cls;
    const char* title;
    HWND found;
};

// A named CALLBACK, not a lambda: a lambda converts to a cdecl pointer, which
// is not a WNDENUMPROC in the 32-bit build.
inline BOOL CALLBACK FindThreadWindow(HWND h, LPARAM p)
{
    auto* s = reinterpret_cast<ThreadWindowSearch*>(p);
    char c[64] = {0};
    ::GetClassNameA(h, c, sizeof c);
    if (!::IsWindowVisible(h) || std::strcmp(c, s->cls) != 0) return TRUE;
    if (s->title && WindowText(h) != s->title) return TRUE;
    s->found = h;
    return FALSE;
}

inline HWND WaitThreadWindow(DWORD threadId, const char* cls, const char* title, DWORD timeoutMs)
{
    ThreadWindowSearch s{cls, title, nullptr};
    const DWORD start = ::GetTickCount();
    do {
        ::EnumThreadWindows(threadId, FindThreadWindow, reinterpret_cast<LPARAM>(&s));
        if (s.found) return s.found;
        ::Sleep(20);
    } while (::GetTickCount() - start < timeoutMs);
    return nullptr;
}

struct MessageBoxSearch {
    HWND except;
    HWND found;
};

inline BOOL CALLBACK FindMessageBox(HWND h, LPARAM p)
{
    auto* s = reinterpret_cast<MessageBoxSearch*>(p);
    char c[64] = {0};
    ::GetClassNameA(h, c, sizeof c);
    // A message box is a dialog with a static text and no edit.
    if (h == s->except || !::IsWindowVisible(h) || std::strcmp(c, "#32770") != 0) return TRUE;
    if (::FindWindowExA(h, nullptr, "Edit", nullptr)) return TRUE;
    s->found = h;
    return FALSE;
}

// Waits for a message box of the thread (a dialog other than `except`),
// returns its text and presses its OK button. Empty when none came.
inline std::string AnswerMessageBox(DWORD threadId, DWORD timeoutMs, HWND except = nullptr)
{
    const DWORD start = ::GetTickCount();
    HWND box = nullptr;
    do {
        MessageBoxSearch s{except, nullptr};
        ::EnumThreadWindows(threadId, FindMessageBox, reinterpret_cast<LPARAM>(&s));
        box = s.found;
        if (!box) ::Sleep(20);
    } while (!box && ::GetTickCount() - start < timeoutMs);
    if (!box) return std::string();

    std::string text;
    for (HWND c = ::FindWindowExA(box, nullptr, "Static", nullptr); c; c = ::FindWindowExA(box, c, "Static", nullptr))
        text += WindowText(c);
    ::PostMessageA(box, WM_COMMAND, IDOK, 0);
    return text;
}

// The window with the keyboard focus on another thread.
inline HWND FocusOf(DWORD threadId)
{
    GUITHREADINFO gti{};
    gti.cbSize = sizeof gti;
    return ::GetGUIThreadInfo(threadId, &gti) ? gti.hwndFocus : nullptr;
}

// Held by each test that starts stand-in Kazaa windows: ctest runs tests in
// parallel processes under one Wine prefix, and discovery would find the
// windows of a test running beside it.
class KazaaWindowsLock {
public:
    KazaaWindowsLock() : m_hMutex(::CreateMutexA(nullptr, FALSE, "SonglarkFakeKazaaWindows"))
    {
        if (m_hMutex) ::WaitForSingleObject(m_hMutex, 120000);
    }
    ~KazaaWindowsLock()
    {
        if (m_hMutex) {
            ::ReleaseMutex(m_hMutex);
            ::CloseHandle(m_hMutex);
        }
    }
    KazaaWindowsLock(const KazaaWindowsLock&) = delete;
    KazaaWindowsLock& operator=(const KazaaWindowsLock&) = delete;

private:
    HANDLE m_hMutex;
};

// One line of the stand-in Kazaa's log.
struct KazaaEvent {
    DWORD tick = 0;
    std::string window;  // main, pane, nest1, nest2, tree
    std::string message;  // WM_COMMAND, WM_KEYDOWN, ..., TVM_GETCOUNT
    unsigned wParam = 0;
    long lParam = 0;
    int sel = -2;  // the tree's selected row at a pane command
};

// tools/fakekazaa.exe as a process of its own, with its log in a temporary file.
class FakeKazaa {
public:
    explicit FakeKazaa(const std::string& title, int items = 3, int treeId = 373, int countDelayMs = 0,
                       int homeDelayMs = 0)
    {
        char module[MAX_PATH] = {0};
        ::GetModuleFileNameA(nullptr, module, MAX_PATH);
        std::string dir(module);
        dir = dir.substr(0, dir.find_last_of('\\'));
        const std::string exe = dir + "\\..\\tools\\fakekazaa.exe";

        char tmp[MAX_PATH] = {0};
        ::GetTempPathA(MAX_PATH, tmp);
        static int s_serial = 0;
        m_log = std::string(tmp) + "fakekazaa-" + std::to_string(::GetCurrentProcessId()) + "-" +
                std::to_string(++s_serial) + ".log";
        ::DeleteFileA(m_log.c_str());

        std::string cmd = "\"" + exe + "\" --title \"" + title + "\" --items " + std::to_string(items) +
                          " --tree-id " + std::to_string(treeId) + " --count-delay " + std::to_string(countDelayMs) +
                          " --home-delay " + std::to_string(homeDelayMs) +
                          " --log \"" + m_log + "\"";
        STARTUPINFOA si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        std::vector<char> line(cmd.begin(), cmd.end());
        line.push_back('\0');
        if (!::CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return;
        ::CloseHandle(pi.hThread);
        m_hProcess = pi.hProcess;

        const DWORD start = ::GetTickCount();
        while (::GetTickCount() - start < 20000) {
            std::ifstream in(m_log);
            std::string first;
            if (std::getline(in, first) && first.find(" ready ") != std::string::npos) {
                main = HandleAfter(first, "main=");
                pane = HandleAfter(first, "pane=");
                tree = HandleAfter(first, "tree=");
                break;
            }
            ::Sleep(30);
        }
    }
    ~FakeKazaa()
    {
        if (m_hProcess) {
            if (main) ::PostMessageA(main, WM_CLOSE, 0, 0);
            if (::WaitForSingleObject(m_hProcess, 5000) != WAIT_OBJECT_0) ::TerminateProcess(m_hProcess, 1);
            ::CloseHandle(m_hProcess);
        }
        ::DeleteFileA(m_log.c_str());
    }
    FakeKazaa(const FakeKazaa&) = delete;
    FakeKazaa& operator=(const FakeKazaa&) = delete;

    bool Ready() const { return main != nullptr; }

    // Every recorded message so far.
    std::vector<KazaaEvent> Events() const
    {
        std::vector<KazaaEvent> events;
        std::ifstream in(m_log);
        std::string line;
        while (std::getline(in, line)) {
            KazaaEvent e;
            char window[16] = {0}, message[32] = {0};
            unsigned long tick = 0;
            const int got = std::sscanf(line.c_str(), "%lu %15s %31s %u %ld sel=%d", &tick, window, message,
                                        &e.wParam, &e.lParam, &e.sel);
            if (got < 3 || std::strcmp(window, "ready") == 0 || std::strcmp(window, "closed") == 0) continue;
            e.tick = tick;
            e.window = window;
            e.message = message;
            events.push_back(e);
        }
        return events;
    }

    // The events of this window and message, with this wParam unless it is ~0u.
    std::vector<KazaaEvent> Filter(const char* window, const char* message, unsigned wParam = ~0u) const
    {
        std::vector<KazaaEvent> out;
        for (const KazaaEvent& e : Events())
            if (e.window == window && e.message == message && (wParam == ~0u || e.wParam == wParam)) out.push_back(e);
        return out;
    }

    HWND main = nullptr;
    HWND pane = nullptr;
    HWND tree = nullptr;

private:
    static HWND HandleAfter(const std::string& line, const char* key)
    {
        const size_t at = line.find(key);
        if (at == std::string::npos) return nullptr;
        return reinterpret_cast<HWND>(static_cast<uintptr_t>(std::strtoull(line.c_str() + at + std::strlen(key), nullptr, 16)));
    }

    std::string m_log;
    HANDLE m_hProcess = nullptr;
};
