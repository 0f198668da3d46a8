// corvane_remote: drives a running corvane.exe from a script, one step per call.
//   command ID                      posts the command to the main window
//   wait CAPTION [CONTROL [SECONDS]] waits for a dialog (with that control),
//                                   30 s or SECONDS at most
//   press CAPTION CONTROL BUTTON    presses a button of that dialog (CONTROL 0: any)
//   wait-gone CAPTION [CONTROL [SECONDS]] waits until no such dialog is shown
//   served                          waits until the main window has served
//                                   every message posted to it before, such
//                                   as a command (its status bar is hidden
//                                   and shown again on the way)
//   setup-fs LETTER PATH            in "Snap Shot Setup": file system, drive, path
//   setup-reg PATH                  in "Snap Shot Setup": registry, path
//   answer CAPTION TEXT BUTTON      waits for a message box whose text begins
//                                   with TEXT, presses its button and waits
//                                   until it is gone
//   text CAPTION CONTROL            prints the text of a dialog's control
//   status PANE                     prints the text of a pane of the frame's status bar
//   menu LETTER                     opens the main window's menu with Alt+LETTER
//   key VK                          posts a key press (virtual-key code) to the main window
//   list                            prints the visible top-level windows, top first
//   rect CAPTION [CONTROL]          prints a window's screen rectangle: x y w h
//                                   (CAPTION "frame": the main window, or its
//                                   child window CONTROL)
//   move CAPTION CONTROL X Y        moves a dialog to that screen position, as
//                                   its caption dragged there would
//   choose TITLE PATH               in the Open dialog titled TITLE: types PATH
//                                   into the file-name box and presses OK
//   tree-expand LEFT|RIGHT TEXT...  in a tree of the comparison: expands the
//                                   entry found by the texts from the root down,
//                                   and each entry on the way
//   tree-select LEFT|RIGHT TEXT...  clicks that entry, which selects it and
//                                   gives its tree the keyboard focus
//   tree-open LEFT|RIGHT TEXT...    double-clicks that entry
//   tree-list LEFT|RIGHT            prints every entry of that tree: depth,
//                                   text, picture/selected picture, " +" when
//                                   expanded
// Exit code 0 on success, 1 when the window did not appear in time.
#include "res/resource.h"
#include "tests/app/RemoteWindows.h"

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

// The deadline of a wait: SECONDS when the argument is there, else the default.
DWORD Deadline(int argc, char** argv, int at)
{
    return argc > at ? static_cast<DWORD>(std::atoi(argv[at])) * 1000 : kPatienceMs;
}

// The main window for "frame", else a dialog with the caption (and the control).
WindowTest Named(const char* caption, int control)
{
    return std::strcmp(caption, "frame") == 0 ? MainFrameWindow() : DialogWith(caption, control);
}

HWND Find(const char* caption, int control, DWORD deadlineMs = kPatienceMs)
{
    return WaitForWindow(0, Named(caption, control), deadlineMs);
}

BOOL CALLBACK PrintWindow(HWND h, LPARAM)
{
    if (::IsWindowVisible(h)) {
        RECT r;
        ::GetWindowRect(h, &r);
        std::printf("%p %-14s owner %p  %ld,%ld %ldx%ld  \"%s\"\n", static_cast<void*>(h), ClassOf(h).c_str(),
                    static_cast<void*>(::GetWindow(h, GW_OWNER)), r.left, r.top, r.right - r.left,
                    r.bottom - r.top, SentText(h).c_str());
    }
    return TRUE;
}

// A message box with the caption whose text begins with `start`.
WindowTest BoxSaying(const char* caption, const std::string& start)
{
    WindowTest box = DialogWith(caption, 0xFFFF);
    return [box, start](HWND h) {
        return box(h) && SentText(::GetDlgItem(h, 0xFFFF)).compare(0, start.size(), start) == 0;
    };
}

int TreeStep(const std::string& verb, int argc, char** argv)
{
    HWND frame = Find("frame", 0);
    std::string side = argv[2];
    HWND tree = frame && (side == "LEFT" || side == "RIGHT") ? FindCompareTree(frame, side == "LEFT") : nullptr;
    if (!tree)
        return 1;
    CRemoteTree remote(tree);
    if (!remote.IsOpen())
        return 1;
    if (verb == "tree-list") {
        std::fputs(remote.Listing().c_str(), stdout);
        return 0;
    }
    std::vector<HTREEITEM> path = remote.Path(std::vector<std::string>(argv + 3, argv + argc));
    if (path.empty()) {
        std::fprintf(stderr, "corvane_remote: no such entry\n");
        return 1;
    }
    if (verb == "tree-select")
        return remote.Click(path.back()) ? 0 : 1;
    if (verb == "tree-open")
        return remote.DoubleClick(path.back()) ? 0 : 1;
    for (HTREEITEM entry : path)
        remote.Expand(entry);
    return 0;
}

int Usage()
{
    std::fprintf(stderr, "usage: corvane_remote command ID | wait CAPTION [CONTROL [SECONDS]] | "
                         "press CAPTION CONTROL BUTTON | wait-gone CAPTION [CONTROL [SECONDS]] | served | "
                         "setup-fs LETTER PATH | setup-reg PATH | answer CAPTION TEXT BUTTON | "
                         "text CAPTION CONTROL | menu LETTER | key VK | list | rect CAPTION [CONTROL] | "
                         "move CAPTION CONTROL X Y | choose TITLE PATH | tree-expand LEFT|RIGHT TEXT... | tree-select LEFT|RIGHT TEXT... | "
                         "tree-open LEFT|RIGHT TEXT... | tree-list LEFT|RIGHT\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && std::string(argv[1]) == "list") {
        ::EnumWindows(PrintWindow, 0);
        return 0;
    }
    if (argc == 2 && std::string(argv[1]) == "served") {
        HWND frame = Find("frame", 0);
        return frame && FrameServedPosted(frame) ? 0 : 1;
    }
    if (argc < 3)
        return Usage();
    std::string verb = argv[1];
    int control = argc > 3 ? std::atoi(argv[3]) : 0;
    if (verb == "command") {
        HWND frame = Find("frame", 0);
        return frame && ::PostMessageA(frame, WM_COMMAND, static_cast<WPARAM>(std::atoi(argv[2])), 0) ? 0 : 1;
    }
    if (verb == "menu") {
        HWND frame = Find("frame", 0);
        return frame && ::PostMessageA(frame, WM_SYSCOMMAND, SC_KEYMENU, static_cast<unsigned char>(argv[2][0]))
                   ? 0
                   : 1;
    }
    if (verb == "key") {
        HWND frame = Find("frame", 0);
        WPARAM vk = static_cast<WPARAM>(std::atoi(argv[2]));
        return frame && ::PostMessageA(frame, WM_KEYDOWN, vk, 1) && ::PostMessageA(frame, WM_KEYUP, vk, 0xC0000001)
                   ? 0
                   : 1;
    }
    if (verb == "wait")
        return Find(argv[2], control, Deadline(argc, argv, 4)) ? 0 : 1;
    if (verb == "press" && argc == 5) {
        HWND h = Find(argv[2], control);
        if (!h)
            return 1;
        PressRemote(h, std::atoi(argv[4]));
        return 0;
    }
    if (verb == "wait-gone") {
        HWND h = FindShownWindow(0, Named(argv[2], control));
        return !h || WaitGone(h, Deadline(argc, argv, 4)) ? 0 : 1;
    }
    if (verb == "setup-fs" && argc == 4) {
        HWND setup = Find("Snap Shot Setup", IDC_SETUP_PATH);
        if (!setup)
            return 1;
        ::SendDlgItemMessageA(setup, IDC_SETUP_FILESYSTEM, BM_CLICK, 0, 0);
        std::string drive = std::string(1, argv[2][0]) + ":";
        LRESULT index = ::SendDlgItemMessageA(setup, IDC_SETUP_DRIVE, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                              reinterpret_cast<LPARAM>(drive.c_str()));
        if (index == CB_ERR)
            return 1;
        ::SendDlgItemMessageA(setup, IDC_SETUP_DRIVE, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        ::SendDlgItemMessageA(setup, IDC_SETUP_PATH, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[3]));
        return 0;
    }
    if (verb == "setup-reg" && argc == 3) {
        HWND setup = Find("Snap Shot Setup", IDC_SETUP_PATH);
        if (!setup)
            return 1;
        // The click proposes a path of its own, which the given one replaces.
        ::SendDlgItemMessageA(setup, IDC_SETUP_REGISTRY, BM_CLICK, 0, 0);
        ::SendDlgItemMessageA(setup, IDC_SETUP_PATH, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[2]));
        return 0;
    }
    if (verb == "answer" && argc == 5) {
        HWND box = WaitForWindow(0, BoxSaying(argv[2], argv[3]));
        if (!box)
            return 1;
        PressRemote(box, std::atoi(argv[4]));
        return WaitGone(box) ? 0 : 1;
    }
    if (verb == "status" && argc == 3) {
        HWND frame = Find("frame", 0);
        if (!frame)
            return 1;
        std::printf("%s\n", StatusBarText(frame, std::atoi(argv[2])).c_str());
        return 0;
    }
    if (verb == "text" && argc == 4) {
        HWND dialog = Find(argv[2], control);
        if (!dialog)
            return 1;
        std::printf("%s\n", SentText(::GetDlgItem(dialog, control)).c_str());
        return 0;
    }
    if (verb == "rect") {
        HWND h = Find(argv[2], control);
        // A child of the main window by its id: the toolbar's strip, the host.
        if (h && control && std::strcmp(argv[2], "frame") == 0)
            h = ::GetDlgItem(h, control);
        if (!h)
            return 1;
        RECT r;
        ::GetWindowRect(h, &r);
        std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
        return 0;
    }
    if (verb == "move" && argc == 6) {
        HWND h = Find(argv[2], control);
        return h && ::SetWindowPos(h, nullptr, std::atoi(argv[4]), std::atoi(argv[5]), 0, 0,
                                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE)
                   ? 0
                   : 1;
    }
    if (verb == "choose" && argc == 4) {
        HWND dialog = Find(argv[2], 0);
        if (!dialog)
            return 1;
        const int fileNameBox = 0x47C;
        ::SendMessageA(::GetDlgItem(dialog, fileNameBox), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[3]));
        PressRemote(dialog, IDOK);
        return WaitGone(dialog) ? 0 : 1;
    }
    if ((verb == "tree-expand" || verb == "tree-select" || verb == "tree-open") && argc >= 4)
        return TreeStep(verb, argc, argv);
    if (verb == "tree-list" && argc == 3)
        return TreeStep(verb, argc, argv);
    return Usage();
}
