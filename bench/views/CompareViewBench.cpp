// From the second Open dialog's OK to both trees of the file-system results
// view shown, and then Expand All, for a generated pair of snapshots in which
// every one of N files (in 10,000 folders) differs; with the process's peak
// memory after each stage. Run under Wine:
//   scripts/wine-run build/win/bench/views/compare_view_bench.exe [N] [--no-expand]
// (--no-expand stops after the trees are shown.)
// The two snapshot files are written to the temp folder by a child process of
// the same program, so the generator's memory is no part of the peaks.
#include "bench/compare/GeneratedSnapshots.h"
#include "bench/snapshot/BenchClock.h"
#include "compare/CompareOperation.h"
#include "compare/FSMine.h"
#include "framework/AppMessageBox.h"
#include "operation/AppMessages.h"
#include "res/resource.h"
#include "views/FSView.h"

#include <commctrl.h>
#include <psapi.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

namespace {

const uint32_t kFolders = 10000;

// Every file of the first snapshot is in the second with another size.
CGeneratedShape EveryFileDiffers(uint32_t files)
{
    uint32_t perFolder = (files + kFolders - 1) / kFolders;
    return CGeneratedShape{kFolders, perFolder, 8, 1.0, 0.0, 0.0};
}

bool WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

// The child's part: generates the pair and writes both files.
int WritePair(uint32_t files, const std::string& path1, const std::string& path2)
{
    CGeneratedPair pair = GeneratePair(EveryFileDiffers(files));
    if (!WriteBytes(path1, pair.before.Bytes()) || !WriteBytes(path2, pair.after.Bytes())) {
        std::fprintf(stderr, "could not write the snapshots\n");
        return 1;
    }
    std::printf("snapshots: %llu and %llu files, %.1f and %.1f MB\n",
                static_cast<unsigned long long>(pair.filesBefore), static_cast<unsigned long long>(pair.filesAfter),
                pair.before.Bytes().size() / 1048576.0, pair.after.Bytes().size() / 1048576.0);
    return 0;
}

bool RunChild(const char* exe, uint32_t files, const std::string& path1, const std::string& path2)
{
    std::string command = "\"" + std::string(exe) + "\" --write " + std::to_string(files) + " \"" + path1 +
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

// The engine, noting when its comparison returns on the worker thread.
class CTimedFSMine : public CFSMine {
public:
    CTimedFSMine(IUserMessages& messages, LARGE_INTEGER& ended) : CFSMine(messages), m_ended(ended) {}
    bool Compare(IProgress* progress, IInputFile& file1, IInputFile& file2) override
    {
        bool ok = CFSMine::Compare(progress, file1, file2);
        ::QueryPerformanceCounter(&m_ended);
        return ok;
    }

private:
    LARGE_INTEGER& m_ended;
};

// The comparison with both Open dialogs answered by the two paths.
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
        if (kind != 1)
            return nullptr;
        return std::make_unique<CTimedFSMine>(AppMessages(), workerEnded);
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

// Answers (and prints) any message box of the program, so a failure ends the
// run instead of waiting for a person.
class CBoxAnswerer {
public:
    CBoxAnswerer()
        : m_thread([this]() {
              while (!m_stop) {
                  ::EnumWindows(&CBoxAnswerer::Visit, 0);
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
    static BOOL CALLBACK Visit(HWND h, LPARAM)
    {
        DWORD pid = 0;
        ::GetWindowThreadProcessId(h, &pid);
        char cls[16] = {};
        ::GetClassNameA(h, cls, sizeof(cls));
        if (pid == ::GetCurrentProcessId() && std::string(cls) == "#32770" && ::IsWindowVisible(h) &&
            GetWindowTextOf(h) == kProgramCaption) {
            std::printf("  message box: %s\n", GetWindowTextOf(::GetDlgItem(h, 0xFFFF)).c_str());
            std::fflush(stdout);
            ::PostMessageA(h, WM_COMMAND, IDOK, 0);
        }
        return TRUE;
    }

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

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 5 && std::string(argv[1]) == "--write")
        return WritePair(static_cast<uint32_t>(std::strtoul(argv[2], nullptr, 10)), argv[3], argv[4]);
    uint32_t files = argc > 1 ? static_cast<uint32_t>(std::strtoul(argv[1], nullptr, 10)) : 100000;
    bool expand = !(argc > 2 && std::string(argv[2]) == "--no-expand");
    if (files < kFolders) {
        std::fprintf(stderr, "N must be at least %u\n", kFolders);
        return 2;
    }

    char temp[MAX_PATH];
    ::GetTempPathA(MAX_PATH, temp);
    std::string path1 = std::string(temp) + "corvane_view_bench_1.tvrec";
    std::string path2 = std::string(temp) + "corvane_view_bench_2.tvrec";
    std::printf("%u differing files in %u folders\n", files, kFolders);
    if (!RunChild(argv[0], files, path1, path2)) {
        std::fprintf(stderr, "the snapshots were not written\n");
        return 1;
    }

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
    std::unique_ptr<CCompareMine> result = operation.Start(&frame, 1);
    ::QueryPerformanceCounter(&returned);
    if (!result) {
        std::printf("the comparison failed\n");
        return 1;
    }
    double compare = Seconds(operation.secondOk, returned);
    std::printf("comparison (second OK to engine returned): %.3f s; worker end to return %.3f s\n", compare,
                Seconds(operation.workerEnded, returned));
    PrintMemory("after the comparison");

    CFSView view;
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
    // The first entry the left tree was given (its root) and the last: a
    // folder's files follow everything below it, so the last child of the
    // last child... down to a leaf.
    CTreeCtrl& left = view.LeftTree();
    HTREEITEM first = left.GetRootItem(), last = first;
    for (HTREEITEM child = left.GetChildItem(last); child; child = left.GetChildItem(last)) {
        last = child;
        for (HTREEITEM next = child; next; next = left.GetNextSiblingItem(next))
            last = next;
    }
    std::printf("one entry handed to the left tree: %.2f us for its first entry, %.2f us for its last\n",
                MicrosecondsPerLookup(left, first), MicrosecondsPerLookup(left, last));
    std::fflush(stdout);

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
    ::DeleteFileA(path1.c_str());
    ::DeleteFileA(path2.c_str());
    return 0;
}
