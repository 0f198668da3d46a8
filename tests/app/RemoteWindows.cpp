#include "tests/app/RemoteWindows.h"

#include "res/resource.h"

#include <cstring>
#include <functional>

WindowTest MainFrameWindow()
{
    return [](HWND h) { return ClassOf(h) == "CorvaneFrame"; };
}

bool FrameServedPosted(HWND frame, DWORD deadlineMs)
{
    HWND statusBar = ::GetDlgItem(frame, ID_VIEW_STATUS_BAR);
    if (!statusBar)
        return false;
    const bool before = ::IsWindowVisible(statusBar) != FALSE;
    for (bool shown : {!before, before}) {
        ::PostMessageA(frame, WM_COMMAND, ID_VIEW_STATUS_BAR, 0);
        if (!WaitFor([&]() { return (::IsWindowVisible(statusBar) != FALSE) == shown; }, deadlineMs))
            return false;
    }
    // The bar is shown before the frame lays out its children again: the
    // command is over once the frame serves a message sent to it.
    return WaitServing(frame, deadlineMs);
}

namespace {

struct DescendantSearch {
    const char* cls;
    HWND found;
};

BOOL CALLBACK MatchDescendant(HWND h, LPARAM l)
{
    auto* search = reinterpret_cast<DescendantSearch*>(l);
    if (ClassOf(h) != search->cls)
        return TRUE;
    search->found = h;
    return FALSE;
}

// The first window of the class among the descendants of parent, or null.
HWND FindDescendant(HWND parent, const char* cls)
{
    DescendantSearch search{cls, nullptr};
    ::EnumChildWindows(parent, MatchDescendant, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}  // namespace

HWND FindStatusBar(HWND frame)
{
    return FindDescendant(frame, STATUSCLASSNAMEA);
}

std::string StatusBarText(HWND frame, int pane)
{
    HWND bar = FindStatusBar(frame);
    if (!bar)
        return "(no status bar)";
    if (pane >= ::SendMessageA(bar, SB_GETPARTS, 0, 0))
        return "";
    const size_t size = 1024;
    CRemoteMemory text(bar, size);
    char local[size] = "";
    LRESULT result = ::SendMessageA(bar, SB_GETTEXTLENGTHA, static_cast<WPARAM>(pane), 0);
    if (!text.IsOpen() || LOWORD(result) >= size)
        return "(unreadable)";
    ::SendMessageA(bar, SB_GETTEXTA, static_cast<WPARAM>(pane), text.At());
    if (!text.Read(0, local, LOWORD(result) + 1))
        return "(unreadable)";
    return std::string(local, LOWORD(result));
}

HWND FindToolBar(HWND frame)
{
    if (HWND docked = FindDescendant(frame, TOOLBARCLASSNAMEA))
        return docked;
    DWORD pid = 0;
    ::GetWindowThreadProcessId(frame, &pid);
    std::vector<HWND> owned = FindWindows(
        pid, [frame](HWND h) { return ::GetWindow(h, GW_OWNER) == frame; }, true);
    for (HWND floating : owned)
        if (HWND toolBar = FindDescendant(floating, TOOLBARCLASSNAMEA))
            return toolBar;
    return nullptr;
}

bool ToolBarButtonRect(HWND toolBar, UINT command, RECT& screen)
{
    LRESULT index = ::SendMessageA(toolBar, TB_COMMANDTOINDEX, command, 0);
    CRemoteMemory rect(toolBar, sizeof(RECT));
    if (index < 0 || !rect.IsOpen() ||
        !::SendMessageA(toolBar, TB_GETITEMRECT, static_cast<WPARAM>(index), rect.At()) ||
        !rect.Read(0, &screen, sizeof screen))
        return false;
    ::MapWindowPoints(toolBar, nullptr, reinterpret_cast<POINT*>(&screen), 2);
    return true;
}

std::string SentText(HWND h)
{
    LRESULT n = ::SendMessageA(h, WM_GETTEXTLENGTH, 0, 0);
    std::string text(static_cast<size_t>(n) + 1, '\0');
    LRESULT got = ::SendMessageA(h, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]));
    text.resize(static_cast<size_t>(got));
    return text;
}

void PressRemote(HWND dialog, int id)
{
    ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(dialog, id)));
}

HWND FindCompareTree(HWND frame, bool left, DWORD deadlineMs)
{
    const int id = left ? 103 : 102;
    HWND tree = nullptr;
    WaitFor(
        [&]() {
            HWND host = ::GetDlgItem(frame, 59648);
            for (HWND view = host ? ::FindWindowExA(host, nullptr, nullptr, nullptr) : nullptr; view;
                 view = ::GetWindow(view, GW_HWNDNEXT))
                if ((tree = ::GetDlgItem(view, id)) != nullptr && ::IsWindowVisible(tree))
                    return true;
            tree = nullptr;
            return false;
        },
        deadlineMs);
    return tree;
}

namespace {
const size_t kTextMax = 520;
const size_t kBufferSize = sizeof(TVITEMA) + kTextMax + 1;
}  // namespace

CRemoteMemory::CRemoteMemory(HWND window, size_t size) : m_size(size)
{
    DWORD pid = 0;
    ::GetWindowThreadProcessId(window, &pid);
    m_process = ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (m_process)
        m_at = static_cast<char*>(::VirtualAllocEx(m_process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
}

CRemoteMemory::~CRemoteMemory()
{
    if (m_at)
        ::VirtualFreeEx(m_process, m_at, 0, MEM_RELEASE);
    if (m_process)
        ::CloseHandle(m_process);
}

bool CRemoteMemory::Write(size_t offset, const void* data, size_t size)
{
    SIZE_T done = 0;
    return m_at && offset + size <= m_size && ::WriteProcessMemory(m_process, m_at + offset, data, size, &done) &&
           done == size;
}

bool CRemoteMemory::Read(size_t offset, void* data, size_t size)
{
    SIZE_T done = 0;
    return m_at && offset + size <= m_size && ::ReadProcessMemory(m_process, m_at + offset, data, size, &done) &&
           done == size;
}

CRemoteTree::CRemoteTree(HWND tree) : m_hTree(tree), m_memory(tree, kBufferSize) {}

std::string CRemoteTree::Text(HTREEITEM entry)
{
    TVITEMA item{};
    item.mask = TVIF_TEXT;
    item.hItem = entry;
    item.pszText = reinterpret_cast<char*>(m_memory.At(sizeof item));
    item.cchTextMax = static_cast<int>(kTextMax);
    char text[kTextMax + 1] = "";
    if (!m_memory.Write(0, &item, sizeof item) || !::SendMessageA(m_hTree, TVM_GETITEMA, 0, m_memory.At(0)) ||
        !m_memory.Read(sizeof item, text, kTextMax))
        return std::string();
    return text;
}

bool CRemoteTree::Images(HTREEITEM entry, int& image, int& selectedImage, bool& expanded)
{
    TVITEMA item{};
    item.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_STATE;
    item.stateMask = TVIS_EXPANDED;
    item.hItem = entry;
    if (!m_memory.Write(0, &item, sizeof item) || !::SendMessageA(m_hTree, TVM_GETITEMA, 0, m_memory.At(0)) ||
        !m_memory.Read(0, &item, sizeof item))
        return false;
    image = item.iImage;
    selectedImage = item.iSelectedImage;
    expanded = (item.state & TVIS_EXPANDED) != 0;
    return true;
}

namespace {
HTREEITEM Next(HWND tree, UINT relation, HTREEITEM from)
{
    return reinterpret_cast<HTREEITEM>(
        ::SendMessageA(tree, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(from)));
}
}  // namespace

std::string CRemoteTree::Listing(HTREEITEM top)
{
    std::string text;
    std::function<void(HTREEITEM, int)> walk = [&](HTREEITEM at, int depth) {
        for (; at; at = depth == 0 && top ? nullptr : Next(m_hTree, TVGN_NEXT, at)) {
            int image = -1, selected = -1;
            bool expanded = false;
            Images(at, image, selected, expanded);
            text += std::to_string(depth) + " " + Text(at) + " " + std::to_string(image) + "/" +
                    std::to_string(selected) + (expanded ? " +" : "") + "\n";
            walk(Next(m_hTree, TVGN_CHILD, at), depth + 1);
        }
    };
    walk(top ? top : Next(m_hTree, TVGN_ROOT, nullptr), 0);
    return text;
}

std::vector<HTREEITEM> CRemoteTree::Path(const std::vector<std::string>& texts)
{
    std::vector<HTREEITEM> path;
    HTREEITEM entry = Next(m_hTree, TVGN_ROOT, nullptr);
    for (const std::string& wanted : texts) {
        while (entry && Text(entry) != wanted)
            entry = Next(m_hTree, TVGN_NEXT, entry);
        if (!entry)
            return {};
        path.push_back(entry);
        entry = Next(m_hTree, TVGN_CHILD, entry);
    }
    return path;
}

void CRemoteTree::Expand(HTREEITEM entry)
{
    ::SendMessageA(m_hTree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(entry));
}

bool CRemoteTree::EntryPoint(HTREEITEM entry, LPARAM& at)
{
    ::SendMessageA(m_hTree, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(entry));
    // In: the entry's handle in the rectangle's first bytes; out: the rectangle.
    RECT r{};
    std::memcpy(&r, &entry, sizeof entry);
    if (!m_memory.Write(0, &r, sizeof r) || !::SendMessageA(m_hTree, TVM_GETITEMRECT, TRUE, m_memory.At(0)) ||
        !m_memory.Read(0, &r, sizeof r))
        return false;
    at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    return true;
}

bool CRemoteTree::Click(HTREEITEM entry)
{
    LPARAM at;
    if (!EntryPoint(entry, at))
        return false;
    ::PostMessageA(m_hTree, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::PostMessageA(m_hTree, WM_LBUTTONUP, 0, at);
    DWORD thread = ::GetWindowThreadProcessId(m_hTree, nullptr);
    return WaitFor([&]() {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        return ::GetGUIThreadInfo(thread, &info) && info.hwndFocus == m_hTree &&
               ::SendMessageA(m_hTree, TVM_GETNEXTITEM, TVGN_CARET, 0) == reinterpret_cast<LRESULT>(entry);
    });
}

bool CRemoteTree::DoubleClick(HTREEITEM entry)
{
    if (!Click(entry))
        return false;
    LPARAM at;
    if (!EntryPoint(entry, at))
        return false;
    ::PostMessageA(m_hTree, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    ::PostMessageA(m_hTree, WM_LBUTTONUP, 0, at);
    return true;
}
