#include "bench/views/ViewBench.h"

#include "bench/snapshot/BenchClock.h"
#include "compare/CompareItem.h"
#include "compare/CompareNode.h"
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

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <memory>
#include <thread>

namespace {

PROCESS_MEMORY_COUNTERS Memory()
{
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof(counters));
    return counters;
}

void PrintMemory(const char* stage)
{
    PROCESS_MEMORY_COUNTERS counters = Memory();
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

// Watches a tree control from inside its window procedure: how long each
// entry handed to it took (the first ones and the last ones are kept), and
// when it was first painted holding an entry.
class CTreeWatch {
public:
    explicit CTreeWatch(HWND tree) : m_hTree(tree)
    {
        s_watches.push_back(this);
        m_original = reinterpret_cast<WNDPROC>(
            ::SetWindowLongPtrA(tree, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CTreeWatch::Proc)));
    }
    CTreeWatch(const CTreeWatch&) = delete;
    CTreeWatch& operator=(const CTreeWatch&) = delete;

    // Hands the tree back its own procedure.
    void Stop()
    {
        if (m_original && ::IsWindow(m_hTree))
            ::SetWindowLongPtrA(m_hTree, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_original));
        m_original = nullptr;
        s_watches.erase(std::remove(s_watches.begin(), s_watches.end(), this), s_watches.end());
    }

    LARGE_INTEGER firstPaint{};

    // Mean microseconds per entry over the first and the last of the entries
    // handed to the tree: a tenth of them, at most kKept.
    void PrintEntryCosts(const char* side) const
    {
        size_t window = std::min<size_t>(kKept, std::max<size_t>(1, m_count / 10));
        double first = 0, last = 0;
        for (size_t i = 0; i < window && i < m_first.size(); ++i)
            first += m_first[i];
        for (size_t i = 0; i < window && i < m_count; ++i)
            last += m_last[(m_count - 1 - i) % kKept];
        std::printf("    one entry handed to the %s tree: %.2f us among its first %zu entries, %.2f us among its "
                    "last %zu (of %zu)\n",
                    side, first / window, window, last / window, window, m_count);
    }

private:
    static LRESULT CALLBACK Proc(HWND h, UINT msg, WPARAM w, LPARAM l)
    {
        // Not a window property: Wine asks its server for those.
        CTreeWatch* self = nullptr;
        for (CTreeWatch* watch : s_watches)
            if (watch->m_hTree == h)
                self = watch;
        if (msg == TVM_INSERTITEMA) {
            LARGE_INTEGER from, to;
            ::QueryPerformanceCounter(&from);
            LRESULT result = ::CallWindowProcA(self->m_original, h, msg, w, l);
            ::QueryPerformanceCounter(&to);
            self->Note(Seconds(from, to) * 1e6);
            return result;
        }
        if (msg == WM_PAINT && !self->firstPaint.QuadPart &&
            ::CallWindowProcA(self->m_original, h, TVM_GETCOUNT, 0, 0) > 0)
            ::QueryPerformanceCounter(&self->firstPaint);
        return ::CallWindowProcA(self->m_original, h, msg, w, l);
    }

    void Note(double microseconds)
    {
        if (m_first.size() < kKept)
            m_first.push_back(microseconds);
        m_last[m_count % kKept] = microseconds;
        ++m_count;
    }

    static std::vector<CTreeWatch*> s_watches;
    static const size_t kKept = 10000;
    HWND m_hTree;
    WNDPROC m_original = nullptr;
    std::vector<double> m_first;
    std::vector<double> m_last = std::vector<double>(kKept);
    size_t m_count = 0;
};

std::vector<CTreeWatch*> CTreeWatch::s_watches;

// Asks a window, from another thread, to answer an empty message again and
// again, and keeps the longest wait for its answer: how long the window
// went without serving its messages.
class CAnswerProbe {
public:
    explicit CAnswerProbe(HWND window)
        : m_thread([this, window]() {
              while (!m_stop) {
                  LARGE_INTEGER from, to;
                  ::QueryPerformanceCounter(&from);
                  DWORD_PTR answer = 0;
                  ::SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 600000, &answer);
                  ::QueryPerformanceCounter(&to);
                  m_longest = std::max(m_longest, Seconds(from, to));
                  ::Sleep(10);
              }
              m_done = true;
          })
    {
    }
    CAnswerProbe(const CAnswerProbe&) = delete;
    CAnswerProbe& operator=(const CAnswerProbe&) = delete;
    ~CAnswerProbe() { Finish(); }

    // The longest wait. Called on the window's thread, which answers the
    // probe's last question meanwhile.
    double Finish()
    {
        m_stop = true;
        while (!m_done) {
            MSG msg;
            ::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
            ::Sleep(1);
        }
        if (m_thread.joinable())
            m_thread.join();
        return m_longest;
    }

private:
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_done{false};
    double m_longest = 0;
    std::thread m_thread;
};

// The last item of the last container down the first snapshot's tree: an
// entry deep in the left tree, and the last one a folder gets.
CCompareItem* DeepLastItem(const CCompareMine& result)
{
    CCompareNode* node = result.GetRoot1();
    CCompareItem* last = nullptr;
    while (node) {
        for (CCompareItem* item : node->Items())
            last = item;
        CCompareNode* deeper = nullptr;
        for (CCompareNode* child : node->Nodes())
            deeper = child;
        node = deeper;
    }
    return last;
}

double TimeCommand(CCompareView& view, UINT id)
{
    LARGE_INTEGER from, to;
    ::QueryPerformanceCounter(&from);
    view.OnCmdMsg(id);
    ::QueryPerformanceCounter(&to);
    return Seconds(from, to);
}

// View Opposite on the item's entry in the left tree, which has the focus;
// says whether its twin was selected in the right tree.
void MeasureOpposite(CCompareView& view, CCompareItem& item, UINT oppositeId, const char* when)
{
    view.LeftTree().SelectItem(static_cast<HTREEITEM>(item.GetTreeItem()));
    ::SetFocus(view.LeftTree().GetSafeHwnd());
    double took = TimeCommand(view, oppositeId);
    bool selected = item.GetOpposite() &&
                    view.RightTree().GetSelectedItem() == static_cast<HTREEITEM>(item.GetOpposite()->GetTreeItem());
    std::printf("    View Opposite on the deep last entry %s: %.4f s%s\n", when, took,
                selected ? "" : " (its twin was NOT selected)");
}

void RunView(const CViewRun& run, const CCompareMine& result, LARGE_INTEGER secondOk, LARGE_INTEGER returned,
             UINT oppositeId, UINT viewerId)
{
    std::printf("%s:\n", run.label);
    CCompareView& view = *run.view;
    CBenchFrame frame;
    if (!frame.Create()) {
        std::printf("    no window\n");
        return;
    }
    SetAppMainWindow(frame.GetSafeHwnd());
    frame.UpdateWindow();
    PROCESS_MEMORY_COUNTERS before = Memory();

    LARGE_INTEGER start, created, filled, painted, expanded, closed;
    ::QueryPerformanceCounter(&start);
    frame.view = &view;
    if (!view.CreateView(&frame)) {
        std::printf("    no view\n");
        return;
    }
    frame.SendMessage(WM_SIZE, 0, 0);
    ::QueryPerformanceCounter(&created);
    CTreeWatch left(view.LeftTree().GetSafeHwnd()), right(view.RightTree().GetSafeHwnd());
    CAnswerProbe fillProbe(frame.GetSafeHwnd());
    if (run.fill)
        run.fill(view, result);
    else
        view.ShowComparison(result);
    ::QueryPerformanceCounter(&filled);
    double unanswered = fillProbe.Finish();
    ::RedrawWindow(frame.GetSafeHwnd(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    ::QueryPerformanceCounter(&painted);
    left.Stop();
    right.Stop();
    // A run starts right after the comparison, as the program shows a result.
    LARGE_INTEGER shown = left.firstPaint.QuadPart > right.firstPaint.QuadPart ? left.firstPaint : right.firstPaint;
    if (!left.firstPaint.QuadPart || !right.firstPaint.QuadPart)
        shown = painted;
    double compare = Seconds(secondOk, returned);
    double shownAfter = compare + Seconds(start, shown);
    std::printf("    second OK to both trees shown: %.3f s (%.2f times the comparison); to the fill's end %.3f s "
                "(create %.3f s, fill %.3f s); %u + %u entries\n",
                shownAfter, shownAfter / compare, compare + Seconds(start, filled), Seconds(start, created),
                Seconds(created, filled), view.LeftTree().GetCount(), view.RightTree().GetCount());
    std::printf("    the longest the window went without answering while the trees filled: %.3f s\n", unanswered);
    left.PrintEntryCosts("left");
    right.PrintEntryCosts("right");
    PROCESS_MEMORY_COUNTERS after = Memory();
    unsigned entries = view.LeftTree().GetCount() + view.RightTree().GetCount();
    PrintMemory("after the filling");
    std::printf("    the trees take %.0f bytes an entry\n",
                entries ? double(after.PagefileUsage - before.PagefileUsage) / entries : 0.0);

    // View Opposite on a collapsed tree opens the entry's folders, which lays
    // them out: before Expand All only where Expand All is not measured.
    CCompareItem* deep = DeepLastItem(result);
    if (deep && !run.expand)
        MeasureOpposite(view, *deep, oppositeId, "in the collapsed trees");
    ::QueryPerformanceCounter(&painted);
    expanded = painted;
    if (run.expand) {
        CAnswerProbe expandProbe(frame.GetSafeHwnd());
        if (run.expandAll)
            run.expandAll(view);
        else
            view.OnCmdMsg(ID_EXPAND_ALL);
        ::QueryPerformanceCounter(&expanded);
        double expandUnanswered = expandProbe.Finish();
        std::printf("    Expand All: %.3f s (%.2f times the comparison); the longest without answering %.3f s\n",
                    Seconds(painted, expanded), Seconds(painted, expanded) / compare, expandUnanswered);
        PrintMemory("after Expand All");
        if (deep)
            MeasureOpposite(view, *deep, oppositeId, "after Expand All");
    }
    if (deep) {
        view.LeftTree().SelectItem(static_cast<HTREEITEM>(deep->GetTreeItem()));
        ::SetFocus(view.LeftTree().GetSafeHwnd());
        std::printf("    its viewer opened: %.4f s\n", TimeCommand(view, viewerId));
    }

    ::QueryPerformanceCounter(&expanded);
    if (run.closeAsAtExit)
        view.LeaveEntriesToProcessEnd();
    view.DestroyWindow();
    ::QueryPerformanceCounter(&closed);
    std::printf("    view closed %s: %.3f s\n", run.closeAsAtExit ? "as at the program's end" : "as by a new comparison",
                Seconds(expanded, closed));
    frame.DestroyWindow();
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

int MeasureComparisonInViews(int kind, const std::string& path1, const std::string& path2, UINT oppositeId,
                             UINT viewerId, const std::vector<CViewRun>& runs)
{
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);
    CBoxAnswerer answerer;
    PrintMemory("before the comparison");

    CBenchOperation operation(path1, path2);
    LARGE_INTEGER returned, destroyed;
    CBenchFrame owner;
    if (!owner.Create()) {
        std::fprintf(stderr, "no window\n");
        return 1;
    }
    SetAppMainWindow(owner.GetSafeHwnd());
    std::unique_ptr<CCompareMine> result = operation.Start(&owner, kind);
    ::QueryPerformanceCounter(&returned);
    if (!result) {
        std::printf("the comparison failed\n");
        return 1;
    }
    std::printf("comparison (second OK to engine returned): %.3f s; worker end to return %.3f s\n",
                Seconds(operation.secondOk, returned), Seconds(operation.workerEnded, returned));
    PrintMemory("after the comparison");
    owner.DestroyWindow();
    for (const CViewRun& run : runs)
        RunView(run, *result, operation.secondOk, returned, oppositeId, viewerId);

    ::QueryPerformanceCounter(&returned);
    result.reset();
    ::QueryPerformanceCounter(&destroyed);
    std::printf("result destroyed: %.3f s\n", Seconds(returned, destroyed));
    return 0;
}
