#include "bench/views/ViewBench.h"

#include "bench/snapshot/BenchClock.h"
#include "compare/CompareOperation.h"
#include "compare/FSMine.h"
#include "compare/RegMine.h"
#include "framework/AppMessageBox.h"
#include "operation/AppMessages.h"
#include "res/resource.h"
#include "snapshot/SnapOperation.h"
#include "views/CompareView.h"

#include <commctrl.h>
#include <psapi.h>

#include <atomic>
#include <cstdio>
#include <memory>
#include <thread>

namespace {

void PrintMemory(const char* stage)
{
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof(counters));
    const double mb = 1048576.0;
    std::printf("  memory %-22s peak working set %7.1f MB, peak pagefile %7.1f MB (now %7.1f MB)\n", stage,
                counters.PeakWorkingSetSize / mb, counters.PeakPagefileUsage / mb, counters.PagefileUsage / mb);
    std::fflush(stdout);
}

// The engine of a kind, noting when its comparison returns on the worker
// thread.
template <class Mine>
class CTimedMine : public Mine {
public:
    template <class... MineArguments>
    explicit CTimedMine(LARGE_INTEGER& ended, MineArguments&... arguments) : Mine(arguments...), m_ended(ended)
    {
    }
    bool Compare(IProgress* progress, IInputFile& file1, IInputFile& file2) override
    {
        bool ok = Mine::Compare(progress, file1, file2);
        ::QueryPerformanceCounter(&m_ended);
        return ok;
    }

private:
    LARGE_INTEGER& m_ended;
};

// The comparison with both Open dialogs answered by the two paths, and the
// engines built as the operation builds them, with their timing added.
class CBenchOperation : public CCompareOperation {
public:
    CBenchOperation(const std::string& path1, const std::string& path2) : m_path1(path1), m_path2(path2) {}
    LARGE_INTEGER secondOk{};
    LARGE_INTEGER workerEnded{};

protected:
    bool AskForSnapshot(CFileDialog&, const char* title, std::string& path) override
    {
        bool second = std::string(title) == kSelectSnapshot2;
        path = second ? m_path2 : m_path1;
        if (second)
            ::QueryPerformanceCounter(&secondOk);
        return true;
    }
    std::unique_ptr<CCompareMine> CreateMine(int kind) override
    {
        switch (kind) {
        case kSnapKindFileSystem:
            return std::make_unique<CTimedMine<CFSMine>>(workerEnded, AppMessages());
        case kSnapKindRegistry:
            return std::make_unique<CTimedMine<CRegMine>>(workerEnded, AppMessages(), ProgramMessages());
        default:
            return nullptr;
        }
    }

private:
    std::string m_path1, m_path2;
};

// The top-level window that hosts the view and gives it its whole client area.
class CBenchFrame : public CWnd {
public:
    CWnd* view = nullptr;

    bool Create()
    {
        if (!RegisterWndClass("CorvaneViewBenchFrame", CS_HREDRAW | CS_VREDRAW, ::LoadCursorA(nullptr, IDC_ARROW),
                              ::GetSysColorBrush(COLOR_APPWORKSPACE)))
            return false;
        RECT rect{0, 0, 1024, 768};
        return CreateEx(0, "CorvaneViewBenchFrame", "Corvane view benchmark", WS_OVERLAPPEDWINDOW | WS_VISIBLE, rect,
                        nullptr, 0);
    }

protected:
    LRESULT WindowProc(UINT msg, WPARAM w, LPARAM l) override
    {
        if (msg == WM_SIZE && view && view->GetSafeHwnd()) {
            RECT client;
            GetClientRect(&client);
            view->MoveWindow(0, 0, client.right, client.bottom, TRUE);
            return 0;
        }
        return CWnd::WindowProc(msg, w, l);
    }
};

// Answers (and prints) any message box of the program, those of its own
// windows and the application-wide ones, so a failure ends the run instead of
// waiting for a person. A message box is told by its text's control, which
// the progress window (captioned as the application-wide boxes) lacks.
class CBoxAnswerer {
public:
    CBoxAnswerer()
        : m_appCaption(AppName()), m_thread([this]() {
              while (!m_stop) {
                  ::EnumWindows(&CBoxAnswerer::Visit, reinterpret_cast<LPARAM>(this));
                  ::Sleep(200);
              }
          })
    {
    }
    ~CBoxAnswerer()
    {
        m_stop = true;
        m_thread.join();
    }

private:
    static BOOL CALLBACK Visit(HWND h, LPARAM self)
    {
        DWORD pid = 0;
        ::GetWindowThreadProcessId(h, &pid);
        char cls[16] = {};
        ::GetClassNameA(h, cls, sizeof(cls));
        if (pid != ::GetCurrentProcessId() || std::string(cls) != "#32770" || !::IsWindowVisible(h))
            return TRUE;
        HWND text = ::GetDlgItem(h, kMessageBoxTextId);
        std::string caption = GetWindowTextOf(h);
        if (text && (caption == kProgramCaption || caption == reinterpret_cast<CBoxAnswerer*>(self)->m_appCaption)) {
            std::printf("  message box: %s\n", GetWindowTextOf(text).c_str());
            std::fflush(stdout);
            ::PostMessageA(h, WM_COMMAND, IDOK, 0);
        }
        return TRUE;
    }

    static const int kMessageBoxTextId = 0xFFFF;
    const std::string m_appCaption;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

// Microseconds per TVM_GETNEXTITEM (TVGN_CHILD) on one entry: how the cost
// of handing the control an entry grows with how late the entry was inserted.
double MicrosecondsPerLookup(const CTreeCtrl& tree, HTREEITEM entry)
{
    const int calls = 1000;
    LARGE_INTEGER from, to;
    ::QueryPerformanceCounter(&from);
    for (int i = 0; i < calls; ++i)
        tree.GetChildItem(entry);
    ::QueryPerformanceCounter(&to);
    return Seconds(from, to) * 1e6 / calls;
}

// The first entry the tree was given (its root) and the last: a container's
// leaves follow everything below it, so the last child of the last child...
// down to a leaf.
void PrintLookupTimes(const CTreeCtrl& tree, const char* side)
{
    HTREEITEM first = tree.GetRootItem(), last = first;
    for (HTREEITEM child = tree.GetChildItem(last); child; child = tree.GetChildItem(last)) {
        last = child;
        for (HTREEITEM next = child; next; next = tree.GetNextSiblingItem(next))
            last = next;
    }
    std::printf("one entry handed to the %s tree: %.2f us for its first entry, %.2f us for its last\n", side,
                MicrosecondsPerLookup(tree, first), MicrosecondsPerLookup(tree, last));
    std::fflush(stdout);
}

}  // namespace

std::string TempFilePath(const char* name)
{
    char temp[MAX_PATH];
    ::GetTempPathA(MAX_PATH, temp);
    return std::string(temp) + name;
}

bool RunSnapshotWriter(const char* exe, const char* mode, uint32_t count, const std::string& path1,
                       const std::string& path2)
{
    std::string command = "\"" + std::string(exe) + "\" " + mode + " " + std::to_string(count) + " \"" + path1 +
                          "\" \"" + path2 + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    std::fflush(stdout);
    if (!::CreateProcessA(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process))
        return false;
    ::WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 1;
    ::GetExitCodeProcess(process.hProcess, &code);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return code == 0;
}

int MeasureComparisonInView(CCompareView& view, int kind, const std::string& path1, const std::string& path2,
                            bool expand)
{
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);
    CBoxAnswerer answerer;
    CBenchFrame frame;
    if (!frame.Create()) {
        std::fprintf(stderr, "no window\n");
        return 1;
    }
    SetAppMainWindow(frame.GetSafeHwnd());
    frame.UpdateWindow();
    PrintMemory("before the comparison");

    CBenchOperation operation(path1, path2);
    LARGE_INTEGER returned, created, filled, painted, expanded, destroyed;
    std::unique_ptr<CCompareMine> result = operation.Start(&frame, kind);
    ::QueryPerformanceCounter(&returned);
    if (!result) {
        std::printf("the comparison failed\n");
        return 1;
    }
    double compare = Seconds(operation.secondOk, returned);
    std::printf("comparison (second OK to engine returned): %.3f s; worker end to return %.3f s\n", compare,
                Seconds(operation.workerEnded, returned));
    PrintMemory("after the comparison");

    frame.view = &view;
    if (!view.CreateView(&frame)) {
        std::printf("no view\n");
        return 1;
    }
    frame.SendMessage(WM_SIZE, 0, 0);
    ::QueryPerformanceCounter(&created);
    view.ShowComparison(*result);
    ::QueryPerformanceCounter(&filled);
    ::RedrawWindow(frame.GetSafeHwnd(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    ::QueryPerformanceCounter(&painted);
    double show = Seconds(returned, painted);
    std::printf("trees shown (CreateView + ShowComparison + first paint): %.3f s "
                "(create %.3f s, fill %.3f s, paint %.3f s); %u + %u entries\n",
                show, Seconds(returned, created), Seconds(created, filled), Seconds(filled, painted),
                view.LeftTree().GetCount(), view.RightTree().GetCount());
    PrintMemory("after the filling");
    std::printf("second OK to trees shown: %.3f s\n", compare + show);
    // The fuller tree: a registry change often adds keys on the right only.
    bool rightFuller = view.RightTree().GetCount() > view.LeftTree().GetCount();
    PrintLookupTimes(rightFuller ? view.RightTree() : view.LeftTree(), rightFuller ? "right" : "left");

    ::QueryPerformanceCounter(&painted);
    expanded = painted;
    if (expand) {
        view.OnCmdMsg(ID_EXPAND_ALL);
        ::QueryPerformanceCounter(&expanded);
        std::printf("Expand All: %.3f s\n", Seconds(painted, expanded));
        PrintMemory("after Expand All");
    }

    view.DestroyWindow();
    result.reset();
    ::QueryPerformanceCounter(&destroyed);
    std::printf("view and result destroyed: %.3f s\n", Seconds(expanded, destroyed));
    frame.DestroyWindow();
    return 0;
}
