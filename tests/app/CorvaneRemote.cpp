// corvane_remote: drives a running corvane.exe from a script, one step per call.
//   command ID                      posts the command to the main window
//   wait CAPTION [CONTROL]          waits for a dialog (with that control)
//   press CAPTION CONTROL BUTTON    presses a button of that dialog (CONTROL 0: any)
//   wait-gone CAPTION [CONTROL]     waits until no such dialog is shown
//   setup-fs LETTER PATH            in "Snap Shot Setup": file system, drive, path
//   menu LETTER                     opens the main window's menu with Alt+LETTER
//   key VK                          posts a key press (virtual-key code) to the main window
//   list                            prints the visible top-level windows, top first
//   rect CAPTION [CONTROL]          prints a window's screen rectangle: x y w h
//                                   (CAPTION "frame": the main window)
//   choose TITLE PATH               in the Open dialog titled TITLE: types PATH
//                                   into the file-name box and presses OK
//   tree-expand LEFT|RIGHT TEXT...  in a tree of the comparison: expands the
//                                   entry found by the texts from the root down,
//                                   and each entry on the way
//   tree-select LEFT|RIGHT TEXT...  clicks that entry, which selects it and
//                                   gives its tree the keyboard focus
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

// The main window for "frame", else a dialog with the caption (and the control).
WindowTest Named(const char* caption, int control)
{
    return std::strcmp(caption, "frame") == 0 ? MainFrameWindow() : DialogWith(caption, control);
}

HWND Find(const char* caption, int control)
{
    return WaitForWindow(0, Named(caption, control));
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

// Memory in the process of a window, for the tree messages that carry a
// pointer: the tree reads and writes it in its own address space.
class CRemoteBuffer {
public:
    CRemoteBuffer(HWND owner, size_t size)
    {
        DWORD pid = 0;
        ::GetWindowThreadProcessId(owner, &pid);
        m_process = ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
        if (m_process)
            m_at = static_cast<char*>(
                ::VirtualAllocEx(m_process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    }
    ~CRemoteBuffer()
    {
        if (m_at)
            ::VirtualFreeEx(m_process, m_at, 0, MEM_RELEASE);
        if (m_process)
            ::CloseHandle(m_process);
    }
    CRemoteBuffer(const CRemoteBuffer&) = delete;
    CRemoteBuffer& operator=(const CRemoteBuffer&) = delete;

    bool IsOpen() const { return m_at != nullptr; }
    // The address at offset in the other process.
    LPARAM At(size_t offset) const { return reinterpret_cast<LPARAM>(m_at + offset); }
    bool Write(size_t offset, const void* data, size_t size)
    {
        SIZE_T done = 0;
        return ::WriteProcessMemory(m_process, m_at + offset, data, size, &done) && done == size;
    }
    bool Read(size_t offset, void* data, size_t size)
    {
        SIZE_T done = 0;
        return ::ReadProcessMemory(m_process, m_at + offset, data, size, &done) && done == size;
    }

private:
    HANDLE m_process = nullptr;
    char* m_at = nullptr;
};

// The left (103) or right (102) tree of the comparison view in the frame's
// host window, once it is there.
HWND FindTree(const char* side)
{
    UINT id = std::strcmp(side, "LEFT") == 0 ? 103 : std::strcmp(side, "RIGHT") == 0 ? 102 : 0;
    HWND frame = Find("frame", 0);
    if (!frame || !id)
        return nullptr;
    HWND tree = nullptr;
    WaitFor([&]() {
        HWND host = ::GetDlgItem(frame, 59648);
        for (HWND view = host ? ::FindWindowExA(host, nullptr, nullptr, nullptr) : nullptr; view;
             view = ::GetWindow(view, GW_HWNDNEXT))
            if ((tree = ::GetDlgItem(view, static_cast<int>(id))) != nullptr && ::IsWindowVisible(tree))
                return true;
        return false;
    });
    return tree;
}

const size_t kTextMax = 520;

std::string EntryText(HWND tree, HTREEITEM entry, CRemoteBuffer& buffer)
{
    TVITEMA item{};
    item.mask = TVIF_TEXT;
    item.hItem = entry;
    item.pszText = reinterpret_cast<char*>(buffer.At(sizeof item));
    item.cchTextMax = static_cast<int>(kTextMax);
    char text[kTextMax + 1] = "";
    if (!buffer.Write(0, &item, sizeof item) || !::SendMessageA(tree, TVM_GETITEMA, 0, buffer.At(0)) ||
        !buffer.Read(sizeof item, text, kTextMax))
        return std::string();
    return text;
}

// The entries from the root down to the one the texts name; empty when one
// of them is not there.
std::vector<HTREEITEM> EntryPath(HWND tree, char** texts, int count, CRemoteBuffer& buffer)
{
    std::vector<HTREEITEM> path;
    HTREEITEM entry = reinterpret_cast<HTREEITEM>(::SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
    for (int i = 0; i < count; ++i) {
        while (entry && EntryText(tree, entry, buffer) != texts[i])
            entry = reinterpret_cast<HTREEITEM>(
                ::SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(entry)));
        if (!entry) {
            std::fprintf(stderr, "corvane_remote: no entry \"%s\"\n", texts[i]);
            return {};
        }
        path.push_back(entry);
        entry = reinterpret_cast<HTREEITEM>(
            ::SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(entry)));
    }
    return path;
}

// A click on the entry's text, posted as the mouse would; returns once the
// entry is selected and its tree has the focus.
bool ClickEntry(HWND tree, HTREEITEM entry, CRemoteBuffer& buffer)
{
    ::SendMessageA(tree, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(entry));
    // In: the entry's handle in the rectangle's first bytes; out: the rectangle.
    RECT r{};
    std::memcpy(&r, &entry, sizeof entry);
    if (!buffer.Write(0, &r, sizeof r) || !::SendMessageA(tree, TVM_GETITEMRECT, TRUE, buffer.At(0)) ||
        !buffer.Read(0, &r, sizeof r))
        return false;
    LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    ::PostMessageA(tree, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::PostMessageA(tree, WM_LBUTTONUP, 0, at);
    DWORD thread = ::GetWindowThreadProcessId(tree, nullptr);
    return WaitFor([&]() {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        return ::GetGUIThreadInfo(thread, &info) && info.hwndFocus == tree &&
               ::SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0) == reinterpret_cast<LRESULT>(entry);
    });
}

int TreeStep(const std::string& verb, int argc, char** argv)
{
    HWND tree = FindTree(argv[2]);
    CRemoteBuffer buffer(tree, sizeof(TVITEMA) + kTextMax + 1);
    if (!tree || !buffer.IsOpen())
        return 1;
    std::vector<HTREEITEM> path = EntryPath(tree, argv + 3, argc - 3, buffer);
    if (path.empty())
        return 1;
    if (verb == "tree-select")
        return ClickEntry(tree, path.back(), buffer) ? 0 : 1;
    for (HTREEITEM entry : path)
        ::SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(entry));
    return 0;
}

int Usage()
{
    std::fprintf(stderr, "usage: corvane_remote command ID | wait CAPTION [CONTROL] | "
                         "press CAPTION CONTROL BUTTON | wait-gone CAPTION [CONTROL] | "
                         "setup-fs LETTER PATH | menu LETTER | key VK | list | rect CAPTION [CONTROL] | "
                         "choose TITLE PATH | tree-expand LEFT|RIGHT TEXT... | tree-select LEFT|RIGHT TEXT...\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && std::string(argv[1]) == "list") {
        ::EnumWindows(PrintWindow, 0);
        return 0;
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
        return Find(argv[2], control) ? 0 : 1;
    if (verb == "press" && argc == 5) {
        HWND h = Find(argv[2], control);
        if (!h)
            return 1;
        PressRemote(h, std::atoi(argv[4]));
        return 0;
    }
    if (verb == "wait-gone") {
        HWND h = FindShownWindow(0, Named(argv[2], control));
        return !h || WaitGone(h) ? 0 : 1;
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
    if (verb == "rect") {
        HWND h = Find(argv[2], control);
        if (!h)
            return 1;
        RECT r;
        ::GetWindowRect(h, &r);
        std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
        return 0;
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
    if ((verb == "tree-expand" || verb == "tree-select") && argc >= 4)
        return TreeStep(verb, argc, argv);
    return Usage();
}
