// corvane.exe started as a user starts it and given every command a person
// can give it, in every state of its frame: nothing shown, file-system results
// shown, registry results shown, a snapshot running (over file-system
// results), a comparison running (its first Open dialog up). Menu items are
// given as the WM_COMMAND a click on them sends; toolbar buttons get a real
// click, wherever the toolbar sits; the accelerators are real key presses
// through the program's own message loop. What each command promises is
// checked by what the user sees: the windows and their captions, boxes with
// their texts and icons, the trees' entries, the layout of the frame through
// resizes and bar toggles, and where the keyboard focus goes when the frame
// is active again. The close box during a snapshot keeps the frame, says why
// in the status bar, and the program ends by itself after the snapshot.
#include "framework/Wnd.h"
#include "res/resource.h"
#include "tests/app/ProgramUnderTest.h"
#include "tests/app/RealInput.h"
#include "tests/app/RemoteWindows.h"
#include "tests/compare/FSSnapBuilder.h"
#include "tests/compare/RegSnapBuilder.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/DriveFixture.h"
#include "tests/support/SnapshotFiles.h"
#include "tests/support/WaitFor.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

namespace {

const UINT kIdHost = 59648;
const char kSetupCaption[] = "Snap Shot Setup";
const char kSelectSnapshot1[] = "Select Snap Shot 1";
const char kSelectSnapshot2[] = "Select Snap Shot 2";

// The pairs of snapshot files the comparisons read: a file grown on a drive,
// and a number changed in the registry.
struct PairOfFiles {
    std::string first, second;
};

const PairOfFiles& FileSystemPair()
{
    static const PairOfFiles pair = []() {
        const uint64_t time = 130698651090000000ull;
        PairOfFiles files{TempFilePath("corvane commands fs1.tvrec"), TempFilePath("corvane commands fs2.tvrec")};
        SaveSnapshot(files.first, WriteSnapshot(TFolder{"C:", {TFile{"boot.ini", 10, time, time}}, {}}));
        SaveSnapshot(files.second, WriteSnapshot(TFolder{"C:", {TFile{"boot.ini", 12, time, time}}, {}}));
        return files;
    }();
    return pair;
}

const PairOfFiles& RegistryPair()
{
    static const PairOfFiles pair = []() {
        PairOfFiles files{TempFilePath("corvane commands reg1.tvrec"), TempFilePath("corvane commands reg2.tvrec")};
        TRegistry before, after;
        before.machine.values.push_back(Dword("Count", 1));
        after.machine.values.push_back(Dword("Count", 2));
        SaveSnapshot(files.first, WriteSnapshot(before));
        SaveSnapshot(files.second, WriteSnapshot(after));
        return files;
    }();
    return pair;
}

enum class State { Nothing, FileSystemResults, RegistryResults, SnapshotRunning, ComparisonRunning };

bool IsRunning(State s)
{
    return s == State::SnapshotRunning || s == State::ComparisonRunning;
}

// ---------------------------------------------------------------------------
// What the user sees.

HWND TreeOf(HWND frame, bool left)
{
    return FindCompareTree(frame, left, 0);
}

std::string Entries(HWND tree)
{
    if (!tree)
        return "(none)";
    CRemoteTree remote(tree);
    return remote.IsOpen() ? remote.Listing() : "(unreadable)";
}

// Every window of the program shown but its tooltips, by class and caption,
// in a fixed order; whether the frame takes input; which bars are shown; the
// trees' entries.
struct Seen {
    std::string windows, enabled, bars, left, right;
    std::string Text() const { return windows + enabled + bars + "left:\n" + left + "right:\n" + right; }
};

Seen Look(DWORD pid, HWND frame)
{
    std::vector<std::string> windows;
    for (HWND h : FindWindows(pid, [](HWND w) { return ClassOf(w) != TOOLTIPS_CLASSA; }))
        windows.push_back(ClassOf(h) + " \"" + GetWindowTextOf(h) + "\"\n");
    std::sort(windows.begin(), windows.end());
    Seen seen;
    for (const std::string& w : windows)
        seen.windows += w;
    seen.enabled = ::IsWindowEnabled(frame) ? "frame enabled\n" : "frame disabled\n";
    HWND toolBar = FindToolBar(frame), statusBar = FindStatusBar(frame);
    seen.bars = std::string("toolbar ") + (toolBar && ::IsWindowVisible(toolBar) ? "shown" : "hidden") +
                ", status bar " + (statusBar && ::IsWindowVisible(statusBar) ? "shown" : "hidden") + "\n";
    seen.left = Entries(TreeOf(frame, true));
    seen.right = Entries(TreeOf(frame, false));
    return seen;
}

std::string Rect(const RECT& r)
{
    std::ostringstream text;
    text << "(" << r.left << "," << r.top << ")-(" << r.right << "," << r.bottom << ")";
    return text.str();
}

RECT ScreenRect(HWND h, bool client)
{
    RECT r{};
    if (client) {
        ::GetClientRect(h, &r);
        ::MapWindowPoints(h, nullptr, reinterpret_cast<POINT*>(&r), 2);
    } else {
        ::GetWindowRect(h, &r);
    }
    return r;
}

// What is wrong with the frame's layout, or "": the status bar along the
// bottom, the toolbar's strip (when docked) along an edge of the rest, the
// host over all that is left, and the view (the trees' parent) over the whole
// inside of the host.
std::string LayoutFault(HWND frame)
{
    RECT room = ScreenRect(frame, true);
    HWND statusBar = FindStatusBar(frame);
    if (statusBar && ::IsWindowVisible(statusBar)) {
        RECT bar = ScreenRect(statusBar, false);
        if (bar.left != room.left || bar.right != room.right || bar.bottom != room.bottom)
            return "status bar at " + Rect(bar) + " in the client area " + Rect(room);
        room.bottom = bar.top;
    }
    HWND strip = FindToolBar(frame);
    while (strip && ::GetParent(strip) != frame)
        strip = ::GetParent(strip);
    if (strip && ::IsWindowVisible(strip)) {
        RECT bar = ScreenRect(strip, false);
        bool across = bar.left == room.left && bar.right == room.right;
        bool along = bar.top == room.top && bar.bottom == room.bottom;
        if (across && bar.top == room.top)
            room.top = bar.bottom;
        else if (across && bar.bottom == room.bottom)
            room.bottom = bar.top;
        else if (along && bar.left == room.left)
            room.left = bar.right;
        else if (along && bar.right == room.right)
            room.right = bar.left;
        else
            return "toolbar strip at " + Rect(bar) + " along no edge of " + Rect(room);
    }
    if (room.bottom < room.top)
        room.bottom = room.top;
    HWND host = ::GetDlgItem(frame, kIdHost);
    if (!host)
        return "no host window";
    RECT hostRect = ScreenRect(host, false);
    if (!::EqualRect(&hostRect, &room))
        return "host at " + Rect(hostRect) + " instead of " + Rect(room);
    if (HWND tree = TreeOf(frame, true)) {
        HWND view = ::GetParent(tree);
        RECT viewRect = ScreenRect(view, false), inside = ScreenRect(host, true);
        if (::GetParent(view) != host)
            return "the trees' parent is not a child of the host";
        if (!::EqualRect(&viewRect, &inside))
            return "view at " + Rect(viewRect) + " instead of the host's inside " + Rect(inside);
    }
    return "";
}

GUITHREADINFO ThreadInfo(HWND frame)
{
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    ::GetGUIThreadInfo(::GetWindowThreadProcessId(frame, nullptr), &info);
    return info;
}

// The first line of a command's prompt string (the test holds the program's resources).
std::string PromptOf(UINT command)
{
    char text[256] = "";
    ::LoadStringA(::GetModuleHandleA(nullptr), command, text, sizeof text);
    std::string prompt = text;
    return prompt.substr(0, prompt.find('\n'));
}

// Whether every entry with entries below it is expanded, in a listing of
// CRemoteTree (depth, text, pictures, " +" when expanded); false without any.
bool AllExpanded(const std::string& listing)
{
    std::vector<std::string> lines;
    std::istringstream in(listing);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    bool containers = false;
    for (size_t i = 0; i + 1 < lines.size(); ++i) {
        if (std::stoi(lines[i + 1]) <= std::stoi(lines[i]))
            continue;
        containers = true;
        if (lines[i].size() < 2 || lines[i].compare(lines[i].size() - 2, 2, " +") != 0)
            return false;
    }
    return containers;
}

// ---------------------------------------------------------------------------
// The program, brought into a state by the user's steps.

class CSession {
public:
    void Start()
    {
        // The pointer rests in the screen's corner, away from the toolbar,
        // whose buttons show their prompts while it is over them.
        MoveTo(POINT{::GetSystemMetrics(SM_CXSCREEN) - 1, ::GetSystemMetrics(SM_CYSCREEN) - 1});
        ASSERT_TRUE(m_program.Start(ProgramPath())) << ProgramPath();
        m_frame = WaitForWindow(Pid(), MainFrameWindow());
        ASSERT_NE(m_frame, nullptr);
    }
    HWND Frame() const { return m_frame; }
    DWORD Pid() const { return m_program.Pid(); }
    CProgram& Program() { return m_program; }
    Seen Look() const { return ::Look(Pid(), m_frame); }
    // The dialogs with the caption, shown or not.
    size_t Count(const char* caption) const { return FindWindows(Pid(), DialogWith(caption), true).size(); }

    // Compares the pair of snapshot files of the kind through the menu and
    // waits for both trees.
    void ShowResults(bool registry)
    {
        const PairOfFiles& files = registry ? RegistryPair() : FileSystemPair();
        ::PostMessageA(m_frame, WM_COMMAND, registry ? ID_COMPARE_REGISTRY : ID_COMPARE_FILESYSTEM, 0);
        ASSERT_TRUE(ChooseInOpenDialog(Pid(), kSelectSnapshot1, files.first));
        ASSERT_TRUE(ChooseInOpenDialog(Pid(), kSelectSnapshot2, files.second));
        ASSERT_NE(FindCompareTree(m_frame, true), nullptr);
        ASSERT_NE(FindCompareTree(m_frame, false), nullptr);
        ASSERT_TRUE(WaitOperationEnded());
    }

    // A file-system snapshot of the mapped drive through the menu, the setup
    // dialog and the question, until its results are up.
    void StartSnapshot()
    {
        char drive = FixtureDriveLetter();
        ASSERT_NE(drive, 0) << "run through tests/app/listed-drive, which maps the drive";
        std::string root = std::string(1, drive) + ":";
        ASSERT_TRUE(MakeFile(root + "\\readme.txt", "Corvane's commands"));
        std::string snapshot = TempFilePath("corvane commands.tvrec");
        ::DeleteFileA(snapshot.c_str());
        ::PostMessageA(m_frame, WM_COMMAND, ID_SNAPSHOT_CREATE, 0);
        HWND setup = WaitForWindow(Pid(), DialogWith(kSetupCaption, IDC_SETUP_PATH));
        ASSERT_NE(setup, nullptr);
        ASSERT_TRUE(FillInSetup(setup, root, snapshot)) << "the mapped drive is not in the drive list";
        PressRemote(setup, IDOK);
        ASSERT_TRUE(WaitDestroyed(setup));
        HWND question = WaitForWindow(Pid(), DialogWith("Corvane", 0xFFFF));
        ASSERT_NE(question, nullptr);
        PressRemote(question, IDYES);
        ASSERT_TRUE(WaitDestroyed(question));
        m_hResults = WaitForWindow(Pid(), DialogWith("Results", IDC_RESULTS_TEXT), 2 * kPatienceMs);
        ASSERT_NE(m_hResults, nullptr);
    }
    HWND SnapshotResults() const { return m_hResults; }
    void EndSnapshot()
    {
        PressRemote(m_hResults, IDCANCEL);
        ASSERT_TRUE(WaitDestroyed(m_hResults));
        ASSERT_TRUE(WaitOperationEnded());
    }

    // A file-system comparison through the menu, until its first Open dialog is up.
    void StartComparison()
    {
        ::PostMessageA(m_frame, WM_COMMAND, ID_COMPARE_FILESYSTEM, 0);
        m_hOpen = WaitForWindow(Pid(), DialogWith(kSelectSnapshot1));
        ASSERT_NE(m_hOpen, nullptr);
    }
    void EndComparison()
    {
        PressRemote(m_hOpen, IDCANCEL);
        ASSERT_TRUE(WaitDestroyed(m_hOpen));
        ASSERT_TRUE(WaitOperationEnded());
    }

    // Once the operation's progress window is gone, the command has returned
    // or shows its last box; then the frame has served what came before.
    bool WaitOperationEnded()
    {
        std::vector<HWND> progress = FindWindows(Pid(), DialogWith("Corvane", IDC_PROGRESS_STATUS), true);
        return (progress.empty() || WaitDestroyed(progress.front())) && FrameServedPosted(m_frame);
    }

    // Exit through the menu: the program ends by itself, with code 0.
    void Exit()
    {
        ::PostMessageA(m_frame, WM_COMMAND, ID_APP_EXIT, 0);
        DWORD code = 99;
        ASSERT_TRUE(m_program.WaitEnded(code, kPatienceMs));
        EXPECT_EQ(code, 0u);
    }

    // The centre of the toolbar's button of the command; the program's
    // windows over it are moved aside first, as a person drags them away by
    // their captions.
    bool ButtonPoint(UINT command, POINT& at)
    {
        HWND toolBar = FindToolBar(m_frame);
        RECT r;
        if (!toolBar || !::IsWindowVisible(toolBar) || !ToolBarButtonRect(toolBar, command, r))
            return false;
        at = POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        for (HWND h : FindWindows(Pid(), [](HWND w) { return ClassOf(w) != TOOLTIPS_CLASSA; })) {
            RECT covering = ScreenRect(h, false);
            if (h == m_frame || h == ::GetAncestor(toolBar, GA_ROOT) || !::PtInRect(&covering, at))
                continue;
            ::SetWindowPos(h, nullptr, ::GetSystemMetrics(SM_CXSCREEN) - (covering.right - covering.left),
                           ::GetSystemMetrics(SM_CYSCREEN) - (covering.bottom - covering.top), 0, 0,
                           SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        return true;
    }

private:
    CProgram m_program;
    HWND m_frame = nullptr;
    HWND m_hResults = nullptr;
    HWND m_hOpen = nullptr;
};

// ---------------------------------------------------------------------------
// Commands and what they promise.

enum class Outcome {
    Nothing,        // nothing the user sees changes
    TurnedAway,     // no setup or Open dialog comes, not even a hidden one; nothing changes
    SetupDialog,    // "Snap Shot Setup" opens; cancelled, nothing else has changed
    ResultsClosed,  // "Select Snap Shot 1" opens; cancelled, the results are gone
    About,          // "About Corvane" opens; closed, nothing else has changed
    BarToggled,     // the bar goes, and comes back with the command again; the layout holds
    ExpandedAll,    // every entry of both trees with entries below it opens
    Viewer,         // the selected entry's viewer opens
    Opposite,       // the other tree selects the selected entry's counterpart; the focus stays
    Stepped,        // from the only leaf, selected, no next or previous: a box says so, the selection stays
    Recompared,     // the same two files compared again without an Open dialog, shown in a new view
    Ends,           // the program ends
};

struct Promise {
    UINT command;
    const char* name;
    Outcome idle;     // with nothing running
    Outcome running;  // while a snapshot or a comparison runs
};

// Help opens a web page in the browser, which this machine lacks: nothing
// shows (the frame's own test records the page it asks for).
const Promise kPromises[] = {
    {ID_SNAPSHOT_CREATE, "Create", Outcome::SetupDialog, Outcome::TurnedAway},
    {ID_COMPARE_REGISTRY, "Compare Registry", Outcome::ResultsClosed, Outcome::TurnedAway},
    {ID_COMPARE_FILESYSTEM, "Compare File System", Outcome::ResultsClosed, Outcome::TurnedAway},
    {ID_APP_EXIT, "Exit", Outcome::Ends, Outcome::TurnedAway},
    {ID_VIEW_TOOLBAR, "Toolbar", Outcome::BarToggled, Outcome::BarToggled},
    {ID_VIEW_STATUS_BAR, "Status Bar", Outcome::BarToggled, Outcome::BarToggled},
    {ID_HELP_INDEX, "Help", Outcome::Nothing, Outcome::Nothing},
    {ID_APP_ABOUT, "About", Outcome::About, Outcome::About},
    {ID_EXPAND_ALL, "Expand All", Outcome::ExpandedAll, Outcome::ExpandedAll},
    {ID_FS_VIEW_PROPERTIES, "View File Properties", Outcome::Viewer, Outcome::Viewer},
    {ID_FS_VIEW_OPPOSITE, "View Opposite", Outcome::Opposite, Outcome::Opposite},
    {ID_REG_VIEW_VALUE, "View Value", Outcome::Viewer, Outcome::Viewer},
    {ID_REG_VIEW_OPPOSITE, "View Opposite", Outcome::Opposite, Outcome::Opposite},
};

const Promise& PromiseOf(UINT command)
{
    return *std::find_if(std::begin(kPromises), std::end(kPromises),
                         [command](const Promise& p) { return p.command == command; });
}

// The menu bar's commands in each state (the results menus come with the
// results), the toolbar's buttons, and the accelerators.
const std::vector<UINT> kMainMenu = {ID_SNAPSHOT_CREATE, ID_COMPARE_REGISTRY, ID_COMPARE_FILESYSTEM,
                                     ID_VIEW_TOOLBAR,    ID_VIEW_STATUS_BAR,  ID_HELP_INDEX,
                                     ID_APP_ABOUT,       ID_APP_EXIT};
const std::vector<UINT> kFileSystemResultsMenu = {ID_EXPAND_ALL, ID_FS_VIEW_PROPERTIES, ID_FS_VIEW_OPPOSITE};
const std::vector<UINT> kRegistryResultsMenu = {ID_EXPAND_ALL, ID_REG_VIEW_VALUE, ID_REG_VIEW_OPPOSITE};
const std::vector<UINT> kToolBarButtons = {ID_SNAPSHOT_CREATE, ID_COMPARE_REGISTRY, ID_COMPARE_FILESYSTEM,
                                           ID_HELP_INDEX, ID_APP_ABOUT};
// Re-Compare first: the keys after it show that it has arrived, while the
// focus is still where the frame puts it.
const std::vector<std::vector<WORD>> kAccelerators = {
    {VK_CONTROL, VK_SHIFT, 'R'}, {VK_CONTROL, 'N'}, {VK_CONTROL, 'P'}};

enum class Way { Menu, Button, Keys };

struct Trigger {
    std::string name;
    Way way;
    UINT command;            // Menu and Button
    std::vector<WORD> keys;  // Keys: a chord
};

std::vector<Trigger> TriggersOf(State state)
{
    std::vector<UINT> menu = kMainMenu;
    if (state == State::FileSystemResults || state == State::SnapshotRunning)
        menu.insert(menu.end(), kFileSystemResultsMenu.begin(), kFileSystemResultsMenu.end());
    if (state == State::RegistryResults)
        menu.insert(menu.end(), kRegistryResultsMenu.begin(), kRegistryResultsMenu.end());
    std::vector<Trigger> triggers;
    for (UINT id : menu)
        triggers.push_back(Trigger{std::string("menu ") + PromiseOf(id).name, Way::Menu, id, {}});
    for (UINT id : kToolBarButtons)
        triggers.push_back(Trigger{std::string("button ") + PromiseOf(id).name, Way::Button, id, {}});
    for (const std::vector<WORD>& keys : kAccelerators) {
        std::string name = "Ctrl+";
        if (keys.size() == 3)
            name += "Shift+";
        triggers.push_back(Trigger{name + static_cast<char>(keys.back()), Way::Keys, 0, keys});
    }
    return triggers;
}

Outcome Promised(State state, const Trigger& t)
{
    // Next and Previous Difference act on the results shown, also while a
    // snapshot runs; Re-Compare is an operation of its own. Behind the
    // comparison's Open dialog, and with nothing shown, the keys reach nothing.
    if (t.way == Way::Keys) {
        if (state == State::Nothing || state == State::ComparisonRunning)
            return Outcome::Nothing;
        if (t.keys.size() == 3)
            return state == State::SnapshotRunning ? Outcome::Nothing : Outcome::Recompared;
        return Outcome::Stepped;
    }
    // The comparison's Open dialog holds the frame disabled: a click on its
    // toolbar reaches nothing.
    if (t.way == Way::Button && state == State::ComparisonRunning)
        return Outcome::Nothing;
    const Promise& promise = PromiseOf(t.command);
    return IsRunning(state) ? promise.running : promise.idle;
}

// The entry of the left tree that the results commands act on, and the caption of its viewer.
std::vector<std::string> LeafPath(State state)
{
    if (state == State::RegistryResults)
        return {"Registry 1", "HKEY_LOCAL_MACHINE", "Count"};
    return {"File System 1", "C:", "boot.ini"};
}

std::string ViewerCaption(State state)
{
    return state == State::RegistryResults ? "Registry 1 : Count" : "File System 1 : boot.ini";
}

// ---------------------------------------------------------------------------

class CommandsIn : public ::testing::TestWithParam<State> {
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(session.Start());
        frame = session.Frame();
        ASSERT_NO_FATAL_FAILURE(Enter());
    }

    void Enter()
    {
        switch (GetParam()) {
        case State::Nothing:
            break;
        case State::FileSystemResults:
            ASSERT_NO_FATAL_FAILURE(session.ShowResults(false));
            break;
        case State::RegistryResults:
            ASSERT_NO_FATAL_FAILURE(session.ShowResults(true));
            break;
        case State::SnapshotRunning: {
            // The results shown before are kept through the snapshot.
            ASSERT_NO_FATAL_FAILURE(session.ShowResults(false));
            std::string trees = Trees();
            ASSERT_NO_FATAL_FAILURE(session.StartSnapshot());
            EXPECT_EQ(Trees(), trees);
            break;
        }
        case State::ComparisonRunning:
            // The comparison closes the results shown when it starts.
            ASSERT_NO_FATAL_FAILURE(session.ShowResults(true));
            ASSERT_NO_FATAL_FAILURE(session.StartComparison());
            EXPECT_EQ(Trees(), "(none)--\n(none)");
            break;
        }
    }

    void Leave()
    {
        if (GetParam() == State::SnapshotRunning) {
            std::string trees = Trees();
            ASSERT_NO_FATAL_FAILURE(session.EndSnapshot());
            EXPECT_EQ(Trees(), trees) << "the results did not outlast the snapshot";
        }
        if (GetParam() == State::ComparisonRunning) {
            ASSERT_NO_FATAL_FAILURE(session.EndComparison());
        }
    }

    // Shows again the results a comparison closed.
    void Restore(Outcome outcome)
    {
        if (outcome == Outcome::ResultsClosed && GetParam() != State::Nothing) {
            ASSERT_NO_FATAL_FAILURE(session.ShowResults(GetParam() == State::RegistryResults));
        }
    }

    std::string Trees() const { return Entries(TreeOf(frame, true)) + "--\n" + Entries(TreeOf(frame, false)); }

    // Gives the command as the trigger says, and waits until the program has
    // taken it when nothing else will show it: a click by pointing at another
    // button afterwards, which shows that button's prompt once the click has
    // been served (unless the frame takes no input), keys by those after them.
    void Give(const Trigger& t, Outcome outcome)
    {
        switch (t.way) {
        case Way::Menu:
            ::PostMessageA(frame, WM_COMMAND, t.command, 0);
            break;
        case Way::Button: {
            POINT at;
            ASSERT_TRUE(session.ButtonPoint(t.command, at));
            ClickAt(at);
            if ((outcome == Outcome::Nothing || outcome == Outcome::TurnedAway) && ::IsWindowEnabled(frame)) {
                UINT other = t.command == ID_APP_ABOUT ? ID_HELP_INDEX : ID_APP_ABOUT;
                POINT next;
                ASSERT_TRUE(session.ButtonPoint(other, next));
                // The pointer goes on moving over the other button, a pixel
                // to and fro, until its prompt shows: now and then, under
                // Wine, the first move after a click leaves the hot button
                // as it was (once in a whole test run on a fresh machine).
                int polls = 0;
                EXPECT_TRUE(WaitFor([&]() {
                    if (StatusBarText(frame) == PromptOf(other))
                        return true;
                    // About ten moves a second.
                    if (polls++ % 20 == 0)
                        MoveTo(POINT{next.x + (polls / 20) % 2, next.y});
                    return false;
                }))
                    << StatusBarText(frame) << "; the pointer's capture: "
                    << static_cast<void*>(ThreadInfo(frame).hwndCapture) << ", the button's state: "
                    << ::SendMessageA(FindToolBar(frame), TB_GETSTATE, t.command, 0);
            }
            break;
        }
        case Way::Keys:
            // The box that comes shows that the keys have arrived.
            if (outcome == Outcome::Stepped)
                PressKeys({t.keys[0], t.keys[1]});
            else
                ASSERT_NO_FATAL_FAILURE(PressChord(t.keys));
            break;
        }
    }

    // The chord goes to the focus of the program's window in front, and the
    // keys after it show that it has arrived: F10 puts an enabled frame in
    // menu mode and Escape takes it out; behind the Open dialog, a letter
    // typed into its file-name box appears there and is taken back.
    void PressChord(const std::vector<WORD>& keys)
    {
        const bool enabled = ::IsWindowEnabled(frame) != FALSE;
        HWND front = enabled ? frame : ::GetLastActivePopup(frame);
        ASSERT_TRUE(BringToFront(front));
        if (!enabled) {
            HWND nameBox = ::GetDlgItem(front, 0x47C);
            ASSERT_NE(nameBox, nullptr);
            RECT box = ScreenRect(nameBox, false);
            ClickAt(POINT{box.left + 8, (box.top + box.bottom) / 2});
            ASSERT_TRUE(WaitFor([&]() {
                HWND focus = ThreadInfo(frame).hwndFocus;
                return focus == nameBox || ::IsChild(nameBox, focus);
            }));
        }
        HWND focus = ThreadInfo(frame).hwndFocus;
        const std::string text = SentText(focus);
        if (keys.size() == 2)
            PressKeys({keys[0], keys[1]});
        else
            PressKeys({keys[0], keys[1], keys[2]});
        if (enabled) {
            PressKeys({VK_F10});
            ASSERT_TRUE(WaitFor([&]() { return (ThreadInfo(frame).flags & GUI_INMENUMODE) != 0; }));
            PressKeys({VK_ESCAPE});
            ASSERT_TRUE(WaitFor([&]() { return (ThreadInfo(frame).flags & GUI_INMENUMODE) == 0; }));
        } else {
            PressKeys({'X'});
            ASSERT_TRUE(WaitFor([&]() { return SentText(focus) == text + "x"; })) << SentText(focus);
            PressKeys({VK_BACK});
            ASSERT_TRUE(WaitFor([&]() { return SentText(focus) == text; })) << SentText(focus);
        }
    }

    // A click on the entry of the left tree the results commands act on,
    // which selects it and gives that tree the focus.
    void SelectLeaf()
    {
        HWND left = TreeOf(frame, true);
        ASSERT_NE(left, nullptr);
        CRemoteTree tree(left);
        std::vector<HTREEITEM> path = tree.Path(LeafPath(GetParam()));
        ASSERT_EQ(path.size(), 3u) << tree.Listing();
        ASSERT_TRUE(tree.Click(path.back()));
    }

    std::string RightSelection()
    {
        HWND right = TreeOf(frame, false);
        if (!right)
            return "(no tree)";
        CRemoteTree tree(right);
        return tree.Text(reinterpret_cast<HTREEITEM>(::SendMessageA(right, TVM_GETNEXTITEM, TVGN_CARET, 0)));
    }

    void Check(const Trigger& t, Outcome outcome)
    {
        if (outcome == Outcome::Viewer || outcome == Outcome::Opposite || outcome == Outcome::Stepped) {
            ASSERT_NO_FATAL_FAILURE(SelectLeaf());
        }
        const Seen before = session.Look();
        const size_t setups = session.Count(kSetupCaption), opens = session.Count(kSelectSnapshot1);
        const std::string rightSelection = RightSelection();
        const HWND leftTree = TreeOf(frame, true);
        HWND toolBar = FindToolBar(frame), statusBar = FindStatusBar(frame);
        ASSERT_NO_FATAL_FAILURE(Give(t, outcome));
        switch (outcome) {
        case Outcome::Nothing:
        case Outcome::TurnedAway:
            ASSERT_TRUE(FrameServedPosted(frame));
            EXPECT_EQ(session.Count(kSetupCaption), setups);
            EXPECT_EQ(session.Count(kSelectSnapshot1), opens);
            EXPECT_EQ(session.Look().Text(), before.Text());
            break;
        case Outcome::SetupDialog:
        case Outcome::About: {
            const bool about = outcome == Outcome::About;
            HWND dialog = WaitForWindow(session.Pid(), DialogWith(about ? "About Corvane" : kSetupCaption));
            ASSERT_NE(dialog, nullptr);
            PressRemote(dialog, about ? IDOK : IDCANCEL);
            ASSERT_TRUE(WaitDestroyed(dialog));
            ASSERT_TRUE(FrameServedPosted(frame));
            // Over the comparison's Open dialog the frame stays disabled.
            EXPECT_EQ(session.Look().Text(), before.Text());
            break;
        }
        case Outcome::ResultsClosed:
            ASSERT_NO_FATAL_FAILURE(CheckResultsClosed(t.command == ID_COMPARE_REGISTRY, before));
            break;
        case Outcome::BarToggled: {
            HWND bar = t.command == ID_VIEW_TOOLBAR ? toolBar : statusBar;
            // The command hid it; the same command again shows it.
            for (bool shown : {false, true}) {
                if (shown)
                    ::PostMessageA(frame, WM_COMMAND, t.command, 0);
                ASSERT_TRUE(WaitFor([&]() { return (::IsWindowVisible(bar) != FALSE) == shown; }));
                ASSERT_TRUE(FrameServedPosted(frame));
                EXPECT_EQ(LayoutFault(frame), "") << (shown ? "shown again" : "hidden");
            }
            EXPECT_EQ(session.Look().Text(), before.Text());
            break;
        }
        case Outcome::ExpandedAll:
            ASSERT_TRUE(FrameServedPosted(frame));
            EXPECT_FALSE(AllExpanded(before.left)) << "expanded before:\n" << before.left;
            EXPECT_TRUE(AllExpanded(Entries(TreeOf(frame, true)))) << Entries(TreeOf(frame, true));
            EXPECT_TRUE(AllExpanded(Entries(TreeOf(frame, false)))) << Entries(TreeOf(frame, false));
            break;
        case Outcome::Viewer: {
            HWND viewer = WaitForWindow(session.Pid(), DialogWith(ViewerCaption(GetParam()).c_str()));
            ASSERT_NE(viewer, nullptr);
            ::PostMessageA(viewer, WM_SYSCOMMAND, SC_CLOSE, 0);
            ASSERT_TRUE(WaitDestroyed(viewer));
            EXPECT_EQ(session.Look().Text(), before.Text());
            break;
        }
        case Outcome::Opposite:
            ASSERT_TRUE(FrameServedPosted(frame));
            EXPECT_NE(rightSelection, LeafPath(GetParam()).back());
            EXPECT_EQ(RightSelection(), LeafPath(GetParam()).back());
            EXPECT_EQ(ThreadInfo(frame).hwndFocus, TreeOf(frame, true));
            break;
        case Outcome::Stepped: {
            HWND box = WaitForWindow(session.Pid(), DialogWith("Pellix Corvane", 0xFFFF));
            ASSERT_NE(box, nullptr);
            EXPECT_EQ(SentText(::GetDlgItem(box, 0xFFFF)),
                      t.keys.back() == 'N' ? "There is no next difference below the selection."
                                           : "There is no previous difference above the selection.");
            PressRemote(box, IDOK);
            ASSERT_TRUE(WaitDestroyed(box));
            ASSERT_TRUE(FrameServedPosted(frame));
            EXPECT_EQ(session.Look().Text(), before.Text());
            break;
        }
        case Outcome::Recompared: {
            ASSERT_TRUE(session.WaitOperationEnded());
            ASSERT_TRUE(FrameServedPosted(frame));
            EXPECT_EQ(session.Count(kSelectSnapshot1), opens);
            EXPECT_NE(TreeOf(frame, true), leftTree);
            Seen after = session.Look();
            EXPECT_EQ(after.windows + after.enabled + after.bars, before.windows + before.enabled + before.bars);
            EXPECT_NE(after.left.find(LeafPath(GetParam()).back()), std::string::npos) << after.left;
            break;
        }
        case Outcome::Ends:
            ADD_FAILURE() << "Exit is given last";
            break;
        }
    }

    // A comparison's first Open dialog, cancelled: the results shown before
    // are gone; the registry command says that the comparison failed, the
    // file-system command says nothing.
    void CheckResultsClosed(bool registry, const Seen& before)
    {
        HWND open = WaitForWindow(session.Pid(), DialogWith(kSelectSnapshot1));
        ASSERT_NE(open, nullptr);
        PressRemote(open, IDCANCEL);
        ASSERT_TRUE(WaitDestroyed(open));
        if (registry) {
            HWND box = WaitForWindow(session.Pid(), DialogWith("Pellix Corvane", 0xFFFF));
            ASSERT_NE(box, nullptr);
            EXPECT_EQ(Trees(), "(none)--\n(none)") << "the results are still shown under the box";
            SeenDialog seen = ReadDialog(box);
            EXPECT_EQ(SentText(::GetDlgItem(box, 0xFFFF)), "Comparison failed.");
            EXPECT_EQ(seen.icon, "");
            EXPECT_EQ(seen.buttons, std::vector<std::string>{"OK"});
            PressRemote(box, IDOK);
            ASSERT_TRUE(WaitDestroyed(box));
        }
        ASSERT_TRUE(session.WaitOperationEnded());
        Seen after = session.Look();
        EXPECT_EQ(after.windows, "CorvaneFrame \"Corvane\"\n");
        EXPECT_EQ(after.enabled + after.bars, before.enabled + before.bars);
        EXPECT_EQ(after.left, "(none)");
        EXPECT_EQ(after.right, "(none)");
    }

    // The frame restored, resized to a few sizes and maximised: the layout
    // holds after each.
    void CheckLayoutThroughResizes()
    {
        const bool zoomed = ::IsZoomed(frame) != FALSE;
        struct Size {
            int width, height;
        };
        ::ShowWindow(frame, SW_RESTORE);
        ASSERT_TRUE(FrameServedPosted(frame));
        EXPECT_EQ(LayoutFault(frame), "") << "restored";
        for (Size size : {Size{700, 500}, Size{420, 320}, Size{300, 240}, Size{1000, 700}}) {
            ::SetWindowPos(frame, nullptr, 20, 20, size.width, size.height, SWP_NOZORDER | SWP_NOACTIVATE);
            ASSERT_TRUE(FrameServedPosted(frame));
            EXPECT_EQ(LayoutFault(frame), "") << size.width << "x" << size.height;
        }
        ::ShowWindow(frame, SW_MAXIMIZE);
        ASSERT_TRUE(FrameServedPosted(frame));
        EXPECT_EQ(LayoutFault(frame), "") << "maximised";
        if (!zoomed) {
            ::ShowWindow(frame, SW_RESTORE);
            ASSERT_TRUE(FrameServedPosted(frame));
        }
    }

    // Another program's window becomes the active one, then the frame again:
    // the keyboard focus is in the host, also when it was in a tree before.
    void CheckFocusOnReactivation()
    {
        if (HWND left = TreeOf(frame, true)) {
            CRemoteTree tree(left);
            std::vector<HTREEITEM> root = tree.Path({LeafPath(GetParam()).front()});
            ASSERT_EQ(root.size(), 1u);
            ASSERT_TRUE(tree.Click(root.front()));
        }
        HWND other = ::CreateWindowExA(0, "STATIC", "Another program", WS_POPUP | WS_CAPTION | WS_VISIBLE,
                                       ::GetSystemMetrics(SM_CXSCREEN) - 300, 0, 300, 120, nullptr, nullptr,
                                       ::GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(other, nullptr);
        EXPECT_TRUE(BringToFront(other));
        EXPECT_TRUE(WaitFor([&]() { return ThreadInfo(frame).hwndActive != frame; }));
        EXPECT_TRUE(BringToFront(frame));
        HWND host = ::GetDlgItem(frame, kIdHost);
        EXPECT_TRUE(WaitFor([&]() { return ThreadInfo(frame).hwndFocus == host; }))
            << "the focus is in a " << ClassOf(ThreadInfo(frame).hwndFocus) << " window";
        ::DestroyWindow(other);
    }

    CSession session;
    HWND frame = nullptr;
};

TEST_P(CommandsIn, EveryMenuItemButtonAndAcceleratorDoesWhatItPromises)
{
    const State state = GetParam();
    for (const Trigger& t : TriggersOf(state)) {
        SCOPED_TRACE(t.name);
        Outcome outcome = Promised(state, t);
        if (outcome == Outcome::Ends)
            continue;
        ASSERT_NO_FATAL_FAILURE(Check(t, outcome));
        ASSERT_NO_FATAL_FAILURE(Restore(outcome));
    }
    ASSERT_NO_FATAL_FAILURE(CheckLayoutThroughResizes());
    // Behind the Open dialog the frame cannot be made the active window.
    if (state != State::ComparisonRunning) {
        ASSERT_NO_FATAL_FAILURE(CheckFocusOnReactivation());
    }
    ASSERT_NO_FATAL_FAILURE(Leave());
    // Exit, turned away while an operation ran, ends the program now.
    ASSERT_NO_FATAL_FAILURE(session.Exit());
}

std::string StateName(const ::testing::TestParamInfo<State>& info)
{
    const char* const names[] = {"nothingShown", "fileSystemResultsShown", "registryResultsShown",
                                 "snapshotRunning", "comparisonRunning"};
    return names[static_cast<int>(info.param)];
}

INSTANTIATE_TEST_SUITE_P(States, CommandsIn,
                         ::testing::Values(State::Nothing, State::FileSystemResults, State::RegistryResults,
                                           State::SnapshotRunning, State::ComparisonRunning),
                         StateName);

// The close box while a snapshot's results are up: the frame stays and says
// why in the status bar, shown again if it was hidden; the program ends by
// itself once the snapshot has ended.
struct CloseCase {
    const char* name;
    bool statusBarHidden;
    bool overResults;
};

class CloseBoxDuringASnapshot : public ::testing::TestWithParam<CloseCase> {};

TEST_P(CloseBoxDuringASnapshot, ClosesTheProgramWhenTheSnapshotHasEnded)
{
    const CloseCase& c = GetParam();
    CSession session;
    ASSERT_NO_FATAL_FAILURE(session.Start());
    HWND frame = session.Frame();
    if (c.overResults) {
        ASSERT_NO_FATAL_FAILURE(session.ShowResults(false));
    }
    if (c.statusBarHidden) {
        ::PostMessageA(frame, WM_COMMAND, ID_VIEW_STATUS_BAR, 0);
        ASSERT_TRUE(WaitFor([&]() { return !::IsWindowVisible(FindStatusBar(frame)); }));
    }
    ASSERT_NO_FATAL_FAILURE(session.StartSnapshot());
    ::PostMessageA(frame, WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(WaitFor([&]() { return ::IsWindowVisible(FindStatusBar(frame)) != FALSE; }));
    ASSERT_TRUE(FrameServedPosted(frame));
    EXPECT_TRUE(::IsWindowVisible(frame));
    EXPECT_TRUE(::IsWindowVisible(session.SnapshotResults()));
    EXPECT_EQ(StatusBarText(frame), "Corvane will close when the operation has finished.");
    EXPECT_EQ(LayoutFault(frame), "");
    EXPECT_EQ(::WaitForSingleObject(session.Program().Process(), 0), static_cast<DWORD>(WAIT_TIMEOUT));

    PressRemote(session.SnapshotResults(), IDCANCEL);
    DWORD code = 99;
    ASSERT_TRUE(session.Program().WaitEnded(code, kPatienceMs));
    EXPECT_EQ(code, 0u);
}

INSTANTIATE_TEST_SUITE_P(Cases, CloseBoxDuringASnapshot,
                         ::testing::Values(CloseCase{"nothingShown", false, false},
                                           CloseCase{"statusBarHidden", true, false},
                                           CloseCase{"overFileSystemResults", false, true}),
                         [](const ::testing::TestParamInfo<CloseCase>& test) { return std::string(test.param.name); });

}  // namespace
