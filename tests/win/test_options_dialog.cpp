// The Options dialog against Wine's real registry: its template, what it
// shows when it opens, what OK and Cancel store, both folder browsers (a
// stand-in in the shell's place, and once the shell's own), and the main
// dialog's handler that takes the settings up again and hands the folders to
// the watcher. Each test points g_regSettings at a key of its own and puts
// Kazaa's "DownloadDir" back afterwards.
#include "app/SonglarkDlg.h"
#include "settings/OptionsDlg.h"
#include "settings/Settings.h"
#include "tests/win/AppTestUtil.h"
#include "tests/win/WinTestUtil.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

// ---- registry -------------------------------------------------------------

// A stored value as "REG_SZ <bytes, NUL included>" or "REG_DWORD <n>", or
// "missing".
std::string Stored(const CString& key, const char* name)
{
    char buf[1024];
    DWORD cb = sizeof buf;
    DWORD type = 0;
    if (::RegGetValueA(HKEY_LOCAL_MACHINE, key, name, RRF_RT_ANY | RRF_NOEXPAND, &type, buf, &cb) != ERROR_SUCCESS)
        return "missing";
    if (type == REG_DWORD && cb == 4) return "REG_DWORD " + std::to_string(*reinterpret_cast<DWORD*>(buf));
    return (type == REG_SZ ? "REG_SZ " : "type " + std::to_string(type) + " ") + std::string(buf, cb);
}

std::string Sz(const std::string& s) { return "REG_SZ " + s + '\0'; }
std::string Dword(DWORD d) { return "REG_DWORD " + std::to_string(d); }

void SetString(HKEY root, const CString& key, const char* name, const std::string& value)
{
    ASSERT_EQ(::RegSetKeyValueA(root, key, name, REG_SZ, value.c_str(), static_cast<DWORD>(value.size() + 1)),
              ERROR_SUCCESS);
}

void SetDword(const CString& key, const char* name, DWORD value)
{
    ASSERT_EQ(::RegSetKeyValueA(HKEY_LOCAL_MACHINE, key, name, REG_DWORD, &value, sizeof value), ERROR_SUCCESS);
}

// ---- the stand-in folder browser -------------------------------------------

struct BrowseCall {
    HWND owner = nullptr;
    bool hasRoot = false;
    bool hasDisplayBuffer = false;
    std::string title;
    UINT flags = 0;
    int callbackResult = -1;
    int selectionMessages = 0;
    WPARAM selectionWParam = 0;
    std::string selection;  // what the dialog asked the browser to open at
};

std::vector<BrowseCall> g_browseCalls;
std::string g_browseChoice;       // folder to choose; empty: Cancel
bool g_browseChoosesNoPath = false;  // choose an item that has no file-system path

LRESULT CALLBACK BrowserWndProc(HWND h, UINT m, WPARAM w, LPARAM l)
{
    if (m == BFFM_SETSELECTIONA && !g_browseCalls.empty()) {
        BrowseCall& call = g_browseCalls.back();
        ++call.selectionMessages;
        call.selectionWParam = w;
        call.selection = reinterpret_cast<const char*>(l);
        return TRUE;
    }
    return ::DefWindowProcA(h, m, w, l);
}

// Records what the dialog asks for, lets its callback meet a window of ours
// as the shell's browser would at start, and chooses as the test says.
PIDLIST_ABSOLUTE WINAPI FakeBrowse(LPBROWSEINFOA bi)
{
    g_browseCalls.emplace_back();
    BrowseCall& call = g_browseCalls.back();
    call.owner = bi->hwndOwner;
    call.hasRoot = bi->pidlRoot != nullptr;
    call.hasDisplayBuffer = bi->pszDisplayName != nullptr;
    call.title = bi->lpszTitle ? bi->lpszTitle : "";
    call.flags = bi->ulFlags;
    if (bi->lpfn) {
        static ATOM atom = [] {
            WNDCLASSA wc{};
            wc.lpfnWndProc = BrowserWndProc;
            wc.hInstance = ::GetModuleHandleA(nullptr);
            wc.lpszClassName = "SonglarkTestBrowser";
            return ::RegisterClassA(&wc);
        }();
        (void)atom;
        HWND h = ::CreateWindowA("SonglarkTestBrowser", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        call.callbackResult = bi->lpfn(h, BFFM_INITIALIZED, 0, bi->lParam);
        // Other notices are answered 0 and ask for nothing.
        call.callbackResult |= bi->lpfn(h, BFFM_SELCHANGED, 0, bi->lParam);
        ::DestroyWindow(h);
    }
    if (g_browseChoosesNoPath) {
        PIDLIST_ABSOLUTE pidl = nullptr;
        ::SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &pidl);  // "My Computer"
        return pidl;
    }
    if (g_browseChoice.empty()) return nullptr;
    return ::ILCreateFromPathA(g_browseChoice.c_str());
}

std::string TextOf(HWND h)
{
    char buf[512] = {0};
    ::GetWindowTextA(h, buf, sizeof buf);
    return buf;
}

void Click(HWND dlg, int id)
{
    ::SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(dlg, id)));
}

class OptionsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        key = CString("Software\\SonglarkTest\\Options-") + name.c_str();
        ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, key);
        g_regSettings = OpenSettingsKey(HKEY_LOCAL_MACHINE, key);
        ASSERT_NE(g_regSettings.GetKey(), nullptr);

        char buf[1024];
        DWORD cb = sizeof buf;
        hadDownloadDir = ::RegGetValueA(HKEY_CURRENT_USER, kKazaaKeyPath, "DownloadDir", RRF_RT_REG_SZ, nullptr, buf,
                                        &cb) == ERROR_SUCCESS;
        if (hadDownloadDir) savedDownloadDir = buf;
        SetDownloadDir("C:\\Program Files\\Kazaa\\My Shared Folder");

        char temp[MAX_PATH];
        ::GetTempPathA(sizeof temp, temp);
        folder = std::string(temp) + "Songlark Options " + name;
        ::CreateDirectoryA(folder.c_str(), nullptr);

        g_browseCalls.clear();
        g_browseChoice.clear();
        g_browseChoosesNoPath = false;
        SetBrowseForFolderHook(FakeBrowse);
    }
    void TearDown() override
    {
        if (hDlg && ::IsWindow(hDlg)) ::DestroyWindow(hDlg);
        SetBrowseForFolderHook(nullptr);
        g_regSettings = OpenSettingsKey();
        ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, key);
        if (hadDownloadDir)
            SetString(HKEY_CURRENT_USER, kKazaaKeyPath, "DownloadDir", savedDownloadDir);
        else
            ::RegDeleteKeyValueA(HKEY_CURRENT_USER, kKazaaKeyPath, "DownloadDir");
        ::RemoveDirectoryA(folder.c_str());
    }

    void SetDownloadDir(const char* dir) { SetString(HKEY_CURRENT_USER, kKazaaKeyPath, "DownloadDir", dir); }

    // A fresh dialog, modeless, as DoModal would initialise it.
    void Open()
    {
        if (hDlg && ::IsWindow(hDlg)) ::DestroyWindow(hDlg);
        dlg.reset(new COptionsDlg);
        ASSERT_TRUE(dlg->Create(nullptr));
        hDlg = dlg->m_hWnd;
    }
    std::string Field(int id) { return TextOf(::GetDlgItem(hDlg, id)); }
    void Type(int id, const char* text) { ::SetDlgItemTextA(hDlg, id, text); }
    bool Checked(int id) { return ::IsDlgButtonChecked(hDlg, id) == BST_CHECKED; }
    void Check(int id, bool on) { ::CheckDlgButton(hDlg, id, on ? BST_CHECKED : BST_UNCHECKED); }

    CString key;
    std::string folder;  // an existing folder to choose, with blanks in its name
    bool hadDownloadDir = false;
    std::string savedDownloadDir;
    std::unique_ptr<COptionsDlg> dlg;
    HWND hDlg = nullptr;
};

}  // namespace

TEST_F(OptionsTest, TemplateHoldsEveryControlWhereItBelongsInTabOrder)
{
    struct Expected {
        int id;
        const char* cls;
        const char* text;
        int x, y, w, h;
        LONG kind;  // BS_* / SS_* type bits, or -1 for an edit
    };
    const Expected controls[] = {
        {IDOK, "Button", "OK", 45, 140, 51, 16, BS_PUSHBUTTON},
        {IDCANCEL, "Button", "Cancel", 151, 140, 50, 16, BS_PUSHBUTTON},
        {-1, "Button", "LimeWire", 7, 7, 233, 56, BS_GROUPBOX},
        {IDC_CHECK_LIMEWIRE, "Button", "Enable Lyric Search For LimeWire", 17, 19, 145, 10, BS_AUTOCHECKBOX},
        {-1, "Static", "Incomplete path", 17, 32, 140, 8, SS_LEFT},
        {IDC_LIMEWIRE_PATH, "Edit", "", 17, 44, 185, 13, -1},
        {IDC_BROWSE_LIMEWIRE, "Button", "...", 211, 43, 14, 14, BS_PUSHBUTTON},
        {-1, "Button", "KazaA", 7, 71, 233, 56, BS_GROUPBOX},
        {IDC_CHECK_KAZAA, "Button", "Enable Lyric Search For KazaA", 17, 83, 145, 10, BS_AUTOCHECKBOX},
        {-1, "Static", "Download Dir", 17, 97, 140, 8, SS_LEFT},
        {IDC_KAZAA_PATH, "Edit", "", 17, 108, 185, 13, -1},
        {IDC_BROWSE_KAZAA, "Button", "...", 211, 107, 14, 14, BS_PUSHBUTTON},
    };
    ::RegDeleteKeyValueA(HKEY_CURRENT_USER, kKazaaKeyPath, "DownloadDir");  // so the Kazaa field is empty
    Open();

    EXPECT_EQ(TextOf(hDlg), "Options");
    RECT client;
    ::GetClientRect(hDlg, &client);
    const RECT size = DialogUnits(hDlg, 0, 0, 247, 174);
    EXPECT_EQ(client.right, size.right);
    EXPECT_EQ(client.bottom, size.bottom);
    LOGFONTA lf{};
    ASSERT_TRUE(::GetObjectA(reinterpret_cast<HFONT>(::SendMessageA(hDlg, WM_GETFONT, 0, 0)), sizeof lf, &lf));
    EXPECT_STREQ(lf.lfFaceName, "MS Sans Serif");

    size_t i = 0;
    for (HWND c = ::GetWindow(hDlg, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT), ++i) {
        ASSERT_LT(i, sizeof controls / sizeof controls[0]) << "more controls than the template should hold";
        const Expected& s = controls[i];
        SCOPED_TRACE("control " + std::to_string(i) + " " + s.text);
        char cls[32] = {0};
        ::GetClassNameA(c, cls, sizeof cls);
        EXPECT_EQ(_stricmp(cls, s.cls), 0) << cls;
        EXPECT_EQ(::GetDlgCtrlID(c) & 0xFFFF, s.id & 0xFFFF);
        EXPECT_EQ(TextOf(c), s.text);
        const LONG style = ::GetWindowLongA(c, GWL_STYLE);
        if (s.kind == -1) {
            EXPECT_TRUE(style & ES_AUTOHSCROLL);
            // The dialog manager turns an edit's plain border into a sunken edge.
            EXPECT_TRUE((style & WS_BORDER) || (::GetWindowLongA(c, GWL_EXSTYLE) & WS_EX_CLIENTEDGE));
        } else {
            EXPECT_EQ(style & 0x0F, s.kind);
        }
        const RECT want = DialogUnits(hDlg, s.x, s.y, s.w, s.h);
        const RECT got = ChildRect(c);
        EXPECT_EQ(got.left, want.left);
        EXPECT_EQ(got.top, want.top);
        EXPECT_EQ(got.right - got.left, want.right - want.left);
        EXPECT_EQ(got.bottom - got.top, want.bottom - want.top);
    }
    EXPECT_EQ(i, sizeof controls / sizeof controls[0]);
}

TEST_F(OptionsTest, OpensWithTheStoredValuesAndOkWritesAllFourAsTheyStand)
{
    SetDword(key, "CheckLimeWire", 1);
    SetString(HKEY_LOCAL_MACHINE, key, "LimeWirePath", "C:\\LimeWire\\Incomplete");
    SetDword(key, "CheckKazaa", 0);
    SetString(HKEY_LOCAL_MACHINE, key, "KazaaPath", "D:\\My Kazaa");
    Open();
    EXPECT_TRUE(Checked(IDC_CHECK_LIMEWIRE));
    EXPECT_EQ(Field(IDC_LIMEWIRE_PATH), "C:\\LimeWire\\Incomplete");
    EXPECT_FALSE(Checked(IDC_CHECK_KAZAA));
    EXPECT_EQ(Field(IDC_KAZAA_PATH), "D:\\My Kazaa") << "a stored folder wins over Kazaa's own";

    Check(IDC_CHECK_LIMEWIRE, false);
    Check(IDC_CHECK_KAZAA, true);
    Type(IDC_LIMEWIRE_PATH, "no such folder");  // stored unchecked
    Click(hDlg, IDOK);
    EXPECT_FALSE(::IsWindow(hDlg)) << "OK closes the dialog";

    EXPECT_EQ(Stored(key, "CheckLimeWire"), Dword(0));
    EXPECT_EQ(Stored(key, "LimeWirePath"), Sz("no such folder"));
    EXPECT_EQ(Stored(key, "CheckKazaa"), Dword(1));
    EXPECT_EQ(Stored(key, "KazaaPath"), Sz("D:\\My Kazaa")) << "unchanged values are written too";

    // A switch set by hand to another nonzero value is on, as the program
    // reads it: shown checked, and OK keeps it on.
    for (DWORD on : {2u, 7u}) {
        SCOPED_TRACE(on);
        SetDword(key, "CheckLimeWire", on);
        SetDword(key, "CheckKazaa", on);
        Open();
        EXPECT_TRUE(Checked(IDC_CHECK_LIMEWIRE));
        EXPECT_TRUE(Checked(IDC_CHECK_KAZAA));
        Click(hDlg, IDOK);
        EXPECT_EQ(Stored(key, "CheckLimeWire"), Dword(1));
        EXPECT_EQ(Stored(key, "CheckKazaa"), Dword(1));
    }
}

TEST_F(OptionsTest, WithoutAStoredKazaaFolderTheFieldOffersKazaasOwnAndOkStoresIt)
{
    // Missing altogether: a first start. Every value is then written on OK.
    Open();
    EXPECT_FALSE(Checked(IDC_CHECK_LIMEWIRE));
    EXPECT_EQ(Field(IDC_LIMEWIRE_PATH), "");
    EXPECT_EQ(Field(IDC_KAZAA_PATH), "C:\\Program Files\\Kazaa\\My Shared Folder");
    Click(hDlg, IDOK);
    EXPECT_EQ(Stored(key, "CheckLimeWire"), Dword(0));
    EXPECT_EQ(Stored(key, "LimeWirePath"), Sz(""));
    EXPECT_EQ(Stored(key, "CheckKazaa"), Dword(0));
    EXPECT_EQ(Stored(key, "KazaaPath"), Sz("C:\\Program Files\\Kazaa\\My Shared Folder"));

    // Stored but empty: the dialog offers Kazaa's folder all the same.
    SetString(HKEY_LOCAL_MACHINE, key, "KazaaPath", "");
    SetDownloadDir("E:\\Shared");
    Open();
    EXPECT_EQ(Field(IDC_KAZAA_PATH), "E:\\Shared");
    Click(hDlg, IDOK);
    EXPECT_EQ(Stored(key, "KazaaPath"), Sz("E:\\Shared"));

    // Kazaa has no folder either: the field stays empty.
    ::RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, key, "KazaaPath");
    ::RegDeleteKeyValueA(HKEY_CURRENT_USER, kKazaaKeyPath, "DownloadDir");
    Open();
    EXPECT_EQ(Field(IDC_KAZAA_PATH), "");
}

TEST_F(OptionsTest, AnEmptiedKazaaFieldIsStoredEmptyAndTheNextOpeningOffersKazaasOwnAgain)
{
    SetString(HKEY_LOCAL_MACHINE, key, "KazaaPath", "D:\\My Kazaa");
    Open();
    Type(IDC_KAZAA_PATH, "");
    Click(hDlg, IDOK);
    EXPECT_EQ(Stored(key, "KazaaPath"), Sz("")) << "one NUL byte";

    g_strKazaaPath = "left over";
    LoadSettings();
    EXPECT_EQ(g_strKazaaPath, "") << "the watcher works with the empty folder";

    Open();
    EXPECT_EQ(Field(IDC_KAZAA_PATH), "C:\\Program Files\\Kazaa\\My Shared Folder");
}

TEST_F(OptionsTest, CancelStoresNothingAndTheChangesAreLost)
{
    SetDword(key, "CheckLimeWire", 1);
    SetString(HKEY_LOCAL_MACHINE, key, "LimeWirePath", "C:\\LimeWire\\Incomplete");
    Open();
    Check(IDC_CHECK_LIMEWIRE, false);
    Check(IDC_CHECK_KAZAA, true);
    Type(IDC_KAZAA_PATH, "typed");
    g_browseChoice = folder;
    Click(hDlg, IDC_BROWSE_LIMEWIRE);
    ASSERT_EQ(_stricmp(Field(IDC_LIMEWIRE_PATH).c_str(), folder.c_str()), 0) << "the browse took effect";
    Click(hDlg, IDCANCEL);
    EXPECT_FALSE(::IsWindow(hDlg));

    EXPECT_EQ(Stored(key, "CheckLimeWire"), Dword(1));
    EXPECT_EQ(Stored(key, "LimeWirePath"), Sz("C:\\LimeWire\\Incomplete"));
    EXPECT_EQ(Stored(key, "CheckKazaa"), "missing");
    EXPECT_EQ(Stored(key, "KazaaPath"), "missing") << "Kazaa's folder is not stored by merely opening";

    Open();
    EXPECT_TRUE(Checked(IDC_CHECK_LIMEWIRE));
    EXPECT_EQ(Field(IDC_LIMEWIRE_PATH), "C:\\LimeWire\\Incomplete");
}

TEST_F(OptionsTest, EachBrowseOpensAtTheFolderInItsFieldAsTypedAndTakesTheChosenFolder)
{
    struct Case {
        int button, field, otherField;
        const char* title;
    };
    const Case cases[] = {
        {IDC_BROWSE_LIMEWIRE, IDC_LIMEWIRE_PATH, IDC_KAZAA_PATH, "select LimeWire Incomplete path"},
        {IDC_BROWSE_KAZAA, IDC_KAZAA_PATH, IDC_LIMEWIRE_PATH, "select Kazaa Incomplete path"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        g_browseCalls.clear();
        Open();
        Type(c.field, "C:\\typed by hand");  // never exchanged before the click
        Type(c.otherField, "other");
        g_browseChoice = folder;
        Click(hDlg, c.button);

        ASSERT_EQ(g_browseCalls.size(), 1u);
        const BrowseCall& call = g_browseCalls[0];
        EXPECT_EQ(call.owner, hDlg);
        EXPECT_FALSE(call.hasRoot) << "the whole name space";
        EXPECT_TRUE(call.hasDisplayBuffer);
        EXPECT_EQ(call.title, c.title);
        EXPECT_EQ(call.flags, static_cast<UINT>(BIF_RETURNONLYFSDIRS));
        EXPECT_EQ(call.selectionMessages, 1) << "only the start notice asks for a selection";
        EXPECT_EQ(call.selectionWParam, static_cast<WPARAM>(TRUE)) << "the selection is a path";
        EXPECT_EQ(call.selection, "C:\\typed by hand");
        EXPECT_EQ(call.callbackResult, 0);

        EXPECT_EQ(_stricmp(Field(c.field).c_str(), folder.c_str()), 0) << Field(c.field);
        EXPECT_EQ(Field(c.otherField), "other");
    }
}

TEST_F(OptionsTest, BrowseCancelOrAChoiceWithoutAFolderPathLeavesTheField)
{
    Open();
    Type(IDC_KAZAA_PATH, "C:\\typed");
    Click(hDlg, IDC_BROWSE_KAZAA);  // the stand-in cancels
    EXPECT_EQ(Field(IDC_KAZAA_PATH), "C:\\typed");

    g_browseChoosesNoPath = true;
    Click(hDlg, IDC_BROWSE_KAZAA);
    EXPECT_EQ(Field(IDC_KAZAA_PATH), "C:\\typed");
    ASSERT_EQ(g_browseCalls.size(), 2u);
    EXPECT_EQ(g_browseCalls[1].selection, "C:\\typed");

    Click(hDlg, IDOK);
    EXPECT_EQ(Stored(key, "KazaaPath"), Sz("C:\\typed"));
}

namespace {

struct ShellBrowserSeen {
    bool found = false;
    int ticksWithoutSelection = 0;
    std::string selectedItem;
    bool titleShown = false;
    int presses = 0;
    WPARAM press = IDCANCEL;
};
ShellBrowserSeen g_shellSeen;

BOOL CALLBACK FindTitle(HWND child, LPARAM)
{
    if (TextOf(child) == "select Kazaa Incomplete path") g_shellSeen.titleShown = true;
    return TRUE;
}

BOOL CALLBACK FindTree(HWND child, LPARAM lParam)
{
    char cls[32] = {0};
    ::GetClassNameA(child, cls, sizeof cls);
    if (_stricmp(cls, "SysTreeView32") != 0) return TRUE;
    *reinterpret_cast<HWND*>(lParam) = child;
    return FALSE;
}

// Any visible dialog of this thread other than the Options dialog is the
// shell's browser.
BOOL CALLBACK FindBrowser(HWND h, LPARAM lParam)
{
    char cls[32] = {0};
    ::GetClassNameA(h, cls, sizeof cls);
    if (strcmp(cls, "#32770") == 0 && ::IsWindowVisible(h) && h != reinterpret_cast<HWND>(lParam)) {
        *reinterpret_cast<HWND*>(lParam) = h;
        return FALSE;
    }
    return TRUE;
}

HWND g_optionsForTimer = nullptr;

void CALLBACK DriveShellBrowser(HWND, UINT, UINT_PTR id, DWORD)
{
    LPARAM found = reinterpret_cast<LPARAM>(g_optionsForTimer);
    ::EnumThreadWindows(::GetCurrentThreadId(), FindBrowser, reinterpret_cast<LPARAM>(&found));
    HWND browser = reinterpret_cast<HWND>(found);
    if (browser == g_optionsForTimer) return;  // not up yet: look again at the next tick
    HWND tree = nullptr;
    ::EnumChildWindows(browser, FindTree, reinterpret_cast<LPARAM>(&tree));
    HTREEITEM item = tree ? reinterpret_cast<HTREEITEM>(::SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0)) : nullptr;
    // The selection is set once the browser has started; one that never
    // comes is answered after 5 s all the same, so the test fails, not hangs.
    if (!item && ++g_shellSeen.ticksWithoutSelection < 50) return;

    ::KillTimer(nullptr, id);
    g_shellSeen.found = true;
    char text[MAX_PATH] = {0};
    TVITEMA tvi{};
    tvi.mask = TVIF_TEXT;
    tvi.hItem = item;
    tvi.pszText = text;
    tvi.cchTextMax = sizeof text;
    if (item) ::SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tvi));
    g_shellSeen.selectedItem = item ? text : "<no selection>";
    ::EnumChildWindows(browser, FindTitle, 0);
    ++g_shellSeen.presses;
    ::PostMessageA(browser, WM_COMMAND, g_shellSeen.press, 0);
}

}  // namespace

// The shell's own browser under Wine: found among this thread's windows, its
// tree's selection read, then Cancel or OK pressed.
TEST_F(OptionsTest, TheShellsBrowserOpensAtTheFieldsFolderAndCancelOrOkAnswerIt)
{
    // While other Wine programs run in the same prefix, Wine's own browser
    // now and then never selects the folder it was asked to open at (COM
    // initialised or not), so this fails about one run in five there; it
    // runs only when asked for. The stand-in browser above covers the
    // dialog's side in every run.
    if (!std::getenv("SONGLARK_REAL_SHELL_TESTS")) GTEST_SKIP() << "set SONGLARK_REAL_SHELL_TESTS=1 to drive Wine's own folder browser";
    // The program's thread has COM in an apartment from its start on.
    const HRESULT hrCom = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    SetBrowseForFolderHook(nullptr);
    Open();
    g_optionsForTimer = hDlg;
    const std::string leaf = folder.substr(folder.rfind('\\') + 1);
    // With a trailing backslash the field's text differs from any path the
    // browser gives back, so Cancel and OK can be told apart.
    const std::string typed = folder + "\\";
    for (WPARAM press : {static_cast<WPARAM>(IDCANCEL), static_cast<WPARAM>(IDOK)}) {
        SCOPED_TRACE(press == IDOK ? "OK" : "Cancel");
        Type(IDC_KAZAA_PATH, typed.c_str());
        g_shellSeen = ShellBrowserSeen{};
        g_shellSeen.press = press;
        const UINT_PTR timer = ::SetTimer(nullptr, 0, 100, DriveShellBrowser);
        Click(hDlg, IDC_BROWSE_KAZAA);  // returns once the browser has been answered
        ::KillTimer(nullptr, timer);
        ASSERT_TRUE(g_shellSeen.found);
        EXPECT_EQ(g_shellSeen.presses, 1);
        EXPECT_TRUE(g_shellSeen.titleShown);
        EXPECT_EQ(_stricmp(g_shellSeen.selectedItem.c_str(), leaf.c_str()), 0) << g_shellSeen.selectedItem;
        if (press == IDOK)
            EXPECT_EQ(_stricmp(Field(IDC_KAZAA_PATH).c_str(), folder.c_str()), 0) << Field(IDC_KAZAA_PATH);
        else
            EXPECT_EQ(Field(IDC_KAZAA_PATH), typed);
    }
    if (SUCCEEDED(hrCom)) ::CoUninitialize();
}

namespace {

bool g_pressOk = true;
bool g_optionsSeen = false;

BOOL CALLBACK FindOptions(HWND h, LPARAM lParam)
{
    if (TextOf(h) == "Options" && ::IsWindowVisible(h)) {
        *reinterpret_cast<HWND*>(lParam) = h;
        return FALSE;
    }
    return TRUE;
}

// Plays the user in the modal Options dialog: new folders, Kazaa switched
// on, then OK or Cancel.
void CALLBACK DriveOptions(HWND, UINT, UINT_PTR id, DWORD)
{
    HWND options = nullptr;
    ::EnumThreadWindows(::GetCurrentThreadId(), FindOptions, reinterpret_cast<LPARAM>(&options));
    if (!options) return;
    ::KillTimer(nullptr, id);
    g_optionsSeen = true;
    ::SetDlgItemTextA(options, IDC_LIMEWIRE_PATH, "C:\\new LimeWire");
    ::SetDlgItemTextA(options, IDC_KAZAA_PATH, "C:\\new Kazaa");
    ::CheckDlgButton(options, IDC_CHECK_KAZAA, BST_CHECKED);
    ::PostMessageA(options, WM_COMMAND, g_pressOk ? IDOK : IDCANCEL, 0);
}

DWORD WINAPI StopSoon(void* pWatcher)
{
    ::Sleep(200);
    static_cast<CThreadLimeWire*>(pWatcher)->RequestStop();
    return 0;
}

// The folders the watcher works with from its next pass: one pass run on
// this thread (the watcher's own thread is never started) takes them up.
std::pair<std::string, std::string> FoldersOfNextPass(CThreadLimeWire& watcher)
{
    HANDLE stopper = ::CreateThread(nullptr, 0, StopSoon, &watcher, 0, nullptr);
    watcher.Run();
    ::WaitForSingleObject(stopper, INFINITE);
    ::CloseHandle(stopper);
    return {watcher.m_strLimeWirePath.str(), watcher.m_strKazaaPath.str()};
}

}  // namespace

TEST_F(OptionsTest, TheMainDialogsOkReloadsTheSettingsAndHandsTheFoldersToTheWatcher)
{
    SetString(HKEY_LOCAL_MACHINE, key, "LimeWirePath", "C:\\old LimeWire");
    for (bool ok : {false, true}) {
        SCOPED_TRACE(ok ? "OK" : "Cancel");
        CSonglarkDlg mainDlg;
        ASSERT_TRUE(mainDlg.Create(nullptr));
        StopWatcherForTest();  // the one the dialog started
        CThreadLimeWire watcher(nullptr, WM_WATCHER_BASE, "C:\\watched LimeWire", "C:\\watched Kazaa");
        watcher.SetPassInterval(5000);
        g_pWatcher = &watcher;
        g_strLimeWirePath = "left over";
        g_bCheckKazaa = 0;

        g_pressOk = ok;
        g_optionsSeen = false;
        const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, DriveOptions);
        Click(mainDlg.m_hWnd, IDC_OPTIONS);  // returns when the modal dialog has ended
        ::KillTimer(nullptr, timer);
        g_pWatcher = nullptr;
        ::DestroyWindow(mainDlg.m_hWnd);
        ASSERT_TRUE(g_optionsSeen);

        const auto folders = FoldersOfNextPass(watcher);
        if (ok) {
            EXPECT_EQ(g_strLimeWirePath, "C:\\new LimeWire");
            EXPECT_EQ(g_strKazaaPath, "C:\\new Kazaa");
            EXPECT_EQ(g_bCheckKazaa, 1);
            EXPECT_EQ(folders.first, "C:\\new LimeWire");
            EXPECT_EQ(folders.second, "C:\\new Kazaa");
        } else {
            EXPECT_EQ(g_strLimeWirePath, "left over") << "not reloaded";
            EXPECT_EQ(g_bCheckKazaa, 0);
            EXPECT_EQ(folders.first, "C:\\watched LimeWire");
            EXPECT_EQ(folders.second, "C:\\watched Kazaa");
        }
    }
    g_bCheckKazaa = 0;
}
