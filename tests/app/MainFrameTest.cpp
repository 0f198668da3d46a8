// The main frame with its real resources: what it shows at start, the bar
// toggles and prompts, and the commands while an operation runs.
#include "app/MainFrame.h"

#include "app/AboutDlg.h"
#include "framework/WinApp.h"
#include "res/resource.h"
#include "res/Version.h"
#include "tests/app/FrameFixture.h"
#include "tests/app/DialogSteps.h"
#include "tests/support/WaitFor.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <atomic>

namespace {

class CTestFrame : public CMainFrame {
public:
    std::vector<std::string> pages;
    using CMainFrame::IsOperationRunning;

protected:
    void OpenWebPage(const char* url) override { pages.push_back(url); }
};

class CTestAbout : public CAboutDlg {
public:
    std::vector<std::string> pages;

protected:
    void OpenWebPage(const char* url) override { pages.push_back(url); }
};

std::vector<std::string> MenuTexts(HMENU menu)
{
    std::vector<std::string> texts;
    for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
        char text[128] = "";
        ::GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
        texts.push_back(text);
    }
    return texts;
}

std::string StatusText(HWND frame)
{
    char text[256] = "";
    ::SendMessageA(::GetDlgItem(frame, ID_VIEW_STATUS_BAR), SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(text));
    return text;
}

// Serves messages until `done` or the time-out; false on time-out.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = kPatienceMs, bool* quitSeen = nullptr)
{
    DWORD start = ::GetTickCount();
    while (!done()) {
        if (::GetTickCount() - start > timeoutMs)
            return false;
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            int code = 0;
            if (!AppPumpMessage(code)) {
                if (quitSeen)
                    *quitSeen = true;
                return done();
            }
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
}

class MainFrame : public CFrameFixture<CTestFrame> {
protected:
    void SetUp() override
    {
        CFrameFixture::SetUp();
        frame.UpdateWindow();
    }
    void Command(UINT id) { frame.PostMessage(WM_COMMAND, id); }
};

TEST_F(MainFrame, StartsWithTitleMenuToolbarAndReady)
{
    HWND h = frame.GetSafeHwnd();
    EXPECT_EQ(GetWindowTextOf(h), "Corvane");
    HMENU menu = ::GetMenu(h);
    EXPECT_EQ(menu, frame.GetDefaultMenu());
    EXPECT_EQ(MenuTexts(menu), (std::vector<std::string>{"&File", "&View", "&Help"}));
    HMENU file = ::GetSubMenu(menu, 0);
    EXPECT_EQ(MenuTexts(file), (std::vector<std::string>{"&Snap Shot", "", "E&xit"}));
    EXPECT_EQ(MenuTexts(::GetSubMenu(file, 0)), (std::vector<std::string>{"Create...", "Ca&pture...", "&Compare"}));
    EXPECT_EQ(::GetMenuItemID(::GetSubMenu(file, 0), 0), static_cast<UINT>(ID_SNAPSHOT_CREATE));
    EXPECT_EQ(::GetMenuItemID(::GetSubMenu(file, 0), 1), static_cast<UINT>(ID_SNAPSHOT_CAPTURE));
    EXPECT_EQ(MenuTexts(::GetSubMenu(::GetSubMenu(file, 0), 2)),
              (std::vector<std::string>{"&Registry...", "File System..."}));
    EXPECT_EQ(MenuTexts(::GetSubMenu(menu, 1)), (std::vector<std::string>{"&Toolbar", "&Status Bar"}));
    EXPECT_EQ(MenuTexts(::GetSubMenu(menu, 2)), (std::vector<std::string>{"&Contents", "", "&About..."}));

    // The toolbar sits in its strip at the top.
    HWND strip = ::GetDlgItem(h, ID_VIEW_TOOLBAR);
    CToolBar toolBar;
    toolBar.Attach(::GetDlgItem(strip, ID_VIEW_TOOLBAR));
    ASSERT_NE(toolBar.GetSafeHwnd(), nullptr);
    std::vector<UINT> buttons;
    for (int i = 0; i < toolBar.GetButtonCount(); ++i)
        buttons.push_back(toolBar.GetItemID(i));
    EXPECT_EQ(buttons, (std::vector<UINT>{ID_SNAPSHOT_CREATE, 0, ID_COMPARE_REGISTRY, ID_COMPARE_FILESYSTEM, 0,
                                           ID_HELP_INDEX, ID_APP_ABOUT}));
    EXPECT_EQ(StatusText(h), "Ready");

    // The host fills the area between the bars, in the workspace colour.
    HWND host = ::GetDlgItem(h, 59648);
    ASSERT_NE(host, nullptr);
    EXPECT_TRUE(::GetWindowLongA(host, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    EXPECT_FALSE(::GetWindowLongA(host, GWL_STYLE) & WS_BORDER);
    EXPECT_FALSE(::GetWindowLongA(h, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    RECT tb, sb, hostRect;
    ::GetWindowRect(strip, &tb);
    POINT corner{0, 0};
    ::ClientToScreen(h, &corner);
    EXPECT_EQ(tb.top, corner.y);
    ::GetWindowRect(::GetDlgItem(h, ID_VIEW_STATUS_BAR), &sb);
    ::GetWindowRect(host, &hostRect);
    EXPECT_EQ(hostRect.top, tb.bottom);
    EXPECT_EQ(hostRect.bottom, sb.top);
    EXPECT_EQ(::GetClassLongPtrA(host, GCLP_HBRBACKGROUND),
              reinterpret_cast<ULONG_PTR>(::GetSysColorBrush(COLOR_APPWORKSPACE)));
}

TEST_F(MainFrame, PromptsInTheStatusBarAndTooltips)
{
    HWND h = frame.GetSafeHwnd();
    frame.SendMessage(WM_MENUSELECT, MAKEWPARAM(ID_SNAPSHOT_CREATE, MF_STRING),
                      reinterpret_cast<LPARAM>(::GetMenu(h)));
    EXPECT_EQ(StatusText(h), "Create a Snap Shot of Registry or File System.");
    frame.SendMessage(WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
    EXPECT_EQ(StatusText(h), "Ready");

    NMTTDISPINFOA info{};
    info.hdr.hwndFrom = nullptr;
    info.hdr.idFrom = ID_COMPARE_FILESYSTEM;
    info.hdr.code = TTN_GETDISPINFOA;
    frame.SendMessage(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
    ASSERT_NE(info.lpszText, nullptr);
    EXPECT_STREQ(info.lpszText, "Compare File System");

    NMTBHOTITEM hot{};
    hot.hdr.code = TBN_HOTITEMCHANGE;
    hot.idNew = ID_APP_ABOUT;
    frame.SendMessage(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&hot));
    EXPECT_EQ(StatusText(h), "Show information about Corvane.");
    hot.dwFlags = HICF_LEAVING;
    frame.SendMessage(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&hot));
    EXPECT_EQ(StatusText(h), "Ready");
}

TEST_F(MainFrame, TheBarTogglesHideAndShowTheBarsWithCheckMarks)
{
    HWND h = frame.GetSafeHwnd();
    HMENU view = ::GetSubMenu(::GetMenu(h), 1);
    HWND host = ::GetDlgItem(h, 59648);
    frame.SendMessage(WM_COMMAND, ID_VIEW_TOOLBAR);
    frame.SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(view), 1);
    EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(h, ID_VIEW_TOOLBAR)));
    EXPECT_EQ(::GetMenuState(view, ID_VIEW_TOOLBAR, MF_BYCOMMAND) & MF_CHECKED, 0u);
    EXPECT_NE(::GetMenuState(view, ID_VIEW_STATUS_BAR, MF_BYCOMMAND) & MF_CHECKED, 0u);
    RECT r;
    ::GetWindowRect(host, &r);
    POINT origin{0, 0};
    ::ClientToScreen(h, &origin);
    EXPECT_EQ(r.top, origin.y);

    frame.SendMessage(WM_COMMAND, ID_VIEW_STATUS_BAR);
    frame.SendMessage(WM_COMMAND, ID_VIEW_TOOLBAR);
    frame.SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(view), 1);
    EXPECT_TRUE(::IsWindowVisible(::GetDlgItem(h, ID_VIEW_TOOLBAR)));
    EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(h, ID_VIEW_STATUS_BAR)));
    EXPECT_NE(::GetMenuState(view, ID_VIEW_TOOLBAR, MF_BYCOMMAND) & MF_CHECKED, 0u);
    EXPECT_EQ(::GetMenuState(view, ID_VIEW_STATUS_BAR, MF_BYCOMMAND) & MF_CHECKED, 0u);
    RECT client;
    ::GetClientRect(h, &client);
    ::GetWindowRect(host, &r);
    EXPECT_EQ(r.bottom, origin.y + client.bottom);
}

TEST_F(MainFrame, WhileAnOperationRunsCreateAndExitDoNothingButAboutAndHelpWork)
{
    HWND h = frame.GetSafeHwnd();
    std::atomic<bool> done{false};
    int setupWindows = 0;
    bool aboutOpened = false, frameAfterExit = false, runningSeen = false;
    bool served = false;
    HWND aboutOwner = nullptr, setupWindow = nullptr;
    bool frameEnabledAfterAbout = true, setupEnabledAfterAbout = false;
    CDialogSteps steps("Snap Shot Setup", [&](HWND setup) {
        setupWindow = setup;
        runningSeen = frame.IsOperationRunning() != FALSE;
        ::PostMessageA(h, WM_COMMAND, ID_SNAPSHOT_CREATE, 0);
        ::PostMessageA(h, WM_COMMAND, ID_APP_EXIT, 0);
        served = FrameServedPosted(h);
        // Shown or not yet: a second setup dialog would be one more window.
        setupWindows = static_cast<int>(
            FindWindows(::GetCurrentProcessId(), DialogWith("Snap Shot Setup"), true).size());
        frameAfterExit = ::IsWindow(h) != FALSE;
        ::PostMessageA(h, WM_COMMAND, ID_APP_ABOUT, 0);
        if (HWND about = WaitForDialog("About Corvane")) {
            aboutOpened = true;
            aboutOwner = ::GetWindow(about, GW_OWNER);
            PressButton(about, IDOK);
            WaitGone(about);
            // Closing it gives the setup dialog back, not the frame.
            frameEnabledAfterAbout = ::IsWindowEnabled(h) != FALSE;
            setupEnabledAfterAbout = ::IsWindowEnabled(setup) != FALSE;
        }
        // Posted after the help command, the click comes after it.
        ::PostMessageA(h, WM_COMMAND, ID_HELP_INDEX, 0);
        PressButton(setup, IDCANCEL);
        WaitGone(setup);
        done = true;
    });
    Command(ID_SNAPSHOT_CREATE);
    EXPECT_TRUE(PumpUntil([&]() { return done.load(); }));
    steps.Join();
    EXPECT_TRUE(PumpUntil([&]() { return !frame.IsOperationRunning(); }));
    EXPECT_TRUE(served);
    EXPECT_TRUE(runningSeen);
    EXPECT_EQ(setupWindows, 1);
    EXPECT_TRUE(frameAfterExit);
    EXPECT_TRUE(aboutOpened);
    EXPECT_EQ(aboutOwner, setupWindow);
    EXPECT_FALSE(frameEnabledAfterAbout);
    EXPECT_TRUE(setupEnabledAfterAbout);
    EXPECT_EQ(frame.pages, (std::vector<std::string>{kHelpPage}));
    EXPECT_FALSE(frame.IsOperationRunning());
    EXPECT_TRUE(::IsWindow(h));
    // Idle again, Exit closes the frame.
    Command(ID_APP_EXIT);
    EXPECT_TRUE(PumpUntil([&]() { return !::IsWindow(h); }));
}

TEST_F(MainFrame, TheCloseBoxDuringAnOperationClosesTheFrameAfterIt)
{
    HWND h = frame.GetSafeHwnd();
    bool openWhileRunning = false, served = false, barShown = false;
    std::string said, saidAfterMenu;
    // Even with the status bar hidden the user is told why nothing closes.
    frame.SendMessage(WM_COMMAND, ID_VIEW_STATUS_BAR);
    ASSERT_FALSE(::IsWindowVisible(::GetDlgItem(h, ID_VIEW_STATUS_BAR)));
    CDialogSteps steps("Snap Shot Setup", [&](HWND setup) {
        // (The setup dialog disables the frame, and a disabled frame takes no
        // SC_CLOSE; the end-to-end test uses the close box during a walk.)
        ::PostMessageA(h, WM_CLOSE, 0, 0);
        // Both come from the one close request, the text last.
        WaitFor([&]() { return StatusText(h) == kCloseWhenFinished; });
        said = StatusText(h);
        barShown = ::IsWindowVisible(::GetDlgItem(h, ID_VIEW_STATUS_BAR)) != FALSE;
        ::PostMessageA(h, WM_SYSCOMMAND, SC_CLOSE, 0);
        served = FrameServedPosted(h);
        openWhileRunning = ::IsWindow(h) && ::IsWindow(setup);
        // A menu passed over afterwards does not wipe it out.
        ::SendMessageA(h, WM_MENUSELECT, MAKEWPARAM(ID_APP_ABOUT, MF_STRING), 0);
        ::SendMessageA(h, WM_EXITMENULOOP, 0, 0);
        saidAfterMenu = StatusText(h);
        PressButton(setup, IDCANCEL);
    });
    Command(ID_SNAPSHOT_CREATE);
    bool quit = false;
    EXPECT_TRUE(PumpUntil([&]() { return !::IsWindow(h); }, kPatienceMs, &quit));
    steps.Join();
    EXPECT_TRUE(served);
    EXPECT_TRUE(openWhileRunning);
    EXPECT_TRUE(barShown);
    EXPECT_EQ(said, "Corvane will close when the operation has finished.");
    EXPECT_EQ(saidAfterMenu, said);
    EXPECT_EQ(app.GetMainWnd(), nullptr);
    // The frame's end asks the program to end.
    if (!quit)
        PumpUntil([&]() { return quit; }, kPatienceMs, &quit);
    EXPECT_TRUE(quit);
}

INT_PTR CALLBACK IgnoreAll(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

TEST(AboutDlg, ShowsVersionAndLicenceAt350PixelsOrMoreAndOpensTheSiteEachTime)
{
    CTestAbout about;
    int clientWidth = 0, heightBefore = -1, height = 0, templateWidth = 0;
    bool controlsInside = true;
    std::string licence;
    LONG style = 0;
    std::vector<std::string> statics;
    bool openAfterClicks = false;
    std::vector<COLORREF> licenceColours;
    CDialogSteps steps("About Corvane", [&](HWND h) {
        RECT client, window;
        ::GetClientRect(h, &client);
        ::GetWindowRect(h, &window);
        clientWidth = client.right;
        height = window.bottom - window.top;
        for (int id : {IDOK, IDC_ABOUT_WEBSITE, IDC_ABOUT_LICENCE}) {
            RECT c;
            ::GetWindowRect(::GetDlgItem(h, id), &c);
            ::MapWindowPoints(nullptr, h, reinterpret_cast<POINT*>(&c), 2);
            controlsInside &= c.right <= client.right;
        }
        licence = GetText(h, IDC_ABOUT_LICENCE);
        style = ::GetWindowLongA(::GetDlgItem(h, IDC_ABOUT_LICENCE), GWL_STYLE);
        statics = ReadDialog(h).statics;
        // The licence box asks for its colours as a read-only edit does.
        HWND edit = ::GetDlgItem(h, IDC_ABOUT_LICENCE);
        HDC dc = ::GetDC(edit);
        auto brush = reinterpret_cast<HBRUSH>(
            ::SendMessageA(h, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(edit)));
        LOGBRUSH paint{};
        if (brush)
            ::GetObjectA(brush, sizeof paint, &paint);
        licenceColours = {::GetTextColor(dc), ::GetBkColor(dc), paint.lbColor};
        ::ReleaseDC(edit, dc);
        Click(h, IDC_ABOUT_WEBSITE);
        Click(h, IDC_ABOUT_WEBSITE);
        openAfterClicks = ::IsWindowVisible(h) != FALSE;
        PressButton(h, IDOK);
    });
    // The template's own height, for comparison.
    HWND probe = ::CreateDialogParamA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_ABOUTBOX), nullptr,
                                      IgnoreAll, 0);
    RECT pr, pc;
    ::GetWindowRect(probe, &pr);
    ::GetClientRect(probe, &pc);
    heightBefore = pr.bottom - pr.top;
    templateWidth = pc.right;
    ::DestroyWindow(probe);
    EXPECT_EQ(about.DoModal(), IDOK);
    steps.Join();
    EXPECT_EQ(clientWidth, templateWidth > 350 ? templateWidth : 350);
    EXPECT_TRUE(controlsInside);
    EXPECT_EQ(height, heightBefore);
    EXPECT_EQ(licence, kLicenceText);
    EXPECT_TRUE(style & ES_READONLY);
    EXPECT_TRUE(style & ES_MULTILINE);
    // Black on white, not the greyed colours of a read-only box.
    EXPECT_EQ(licenceColours, (std::vector<COLORREF>{RGB(0, 0, 0), RGB(255, 255, 255), RGB(255, 255, 255)}));
    ASSERT_FALSE(statics.empty());
    bool versionShown = false;
    for (const auto& s : statics)
        versionShown |= s == "Version " CORVANE_VERSION "\r\n\r\nSystem snapshot creation and comparison tool.";
    EXPECT_TRUE(versionShown);
    EXPECT_TRUE(openAfterClicks);
    EXPECT_EQ(about.pages, (std::vector<std::string>{kMakerHomePage, kMakerHomePage}));
}

}  // namespace
