// The results commands on a large file-system result in which every one of N
// files differs (in 10,000 folders), once with the trees filled whole, as
// every result was before, and once the program's way (a result over the
// limit gets a folder's entries when the folder is first opened). For each:
// the comparison; both trees shown; Hide Noise and its undoing; a filter
// that hides the .dll files, which every name is held against, and its
// undoing; Find of the last entry's name from the root; Previous
// Difference from no selection (to the last entry); the text report saved
// against corvane-diff's own time for the same report; the view closed after
// that browsing, and a second view closed after Expand All; the trees'
// memory. Run under Wine:
//   scripts/wine-run build/win/bench/views/results_commands_bench.exe [N [--no-before]]
#include "bench/compare/GeneratedSnapshots.h"
#include "bench/views/ViewBench.h"
#include "compare/FSMine.h"
#include "compare/TreeCursor.h"
#include "framework/AppMessageBox.h"
#include "operation/AppMessages.h"
#include "report/DiffFilter.h"
#include "report/DiffWriter.h"
#include "res/resource.h"
#include "snapshot/StdioFile.h"
#include "views/FSView.h"

#include <windows.h>

#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

namespace {

double Time(const std::function<void()>& what)
{
    LARGE_INTEGER from, to, frequency;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&from);
    what();
    ::QueryPerformanceCounter(&to);
    return double(to.QuadPart - from.QuadPart) / double(frequency.QuadPart);
}

double MegaBytesInUse()
{
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof(counters));
    return counters.PagefileUsage / 1048576.0;
}

bool WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    bool ok = f && std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return f && std::fclose(f) == 0 && ok;
}

// corvane-diff's report of the pair into a file, as a script would write it.
double DiffReportSeconds(const std::string& path1, const std::string& path2, const std::string& out)
{
    std::string exe = "Z:" CORVANE_DIFF_EXE;
    for (char& c : exe)
        if (c == '/')
            c = '\\';
    std::string command = "cmd /c \"\"" + exe + "\" \"" + path1 + "\" \"" + path2 + "\" > \"" + out + "\"\"";
    return Time([&]() {
        STARTUPINFOA startup{};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION process{};
        if (::CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
            ::WaitForSingleObject(process.hProcess, INFINITE);
            ::CloseHandle(process.hThread);
            ::CloseHandle(process.hProcess);
        }
    });
}

struct CRun {
    const char* label;
    uint64_t wholeFillLimit;
};

void Measure(const CRun& run, const std::string& path1, const std::string& path2)
{
    std::printf("%s:\n", run.label);
    CFSMine mine(AppMessages());
    CStdioFile file1, file2;
    if (!file1.OpenRead(path1) || !file2.OpenRead(path2))
        return;
    double compare = Time([&]() { mine.Compare(nullptr, file1, file2); });
    std::string lastName;
    CTreeCursor last(*mine.GetRoot1());
    last.SeekLast();
    last.Item()->GetName(lastName);

    for (bool expand : {false, true}) {
        HWND window = ::CreateWindowExA(0, "STATIC", "results", WS_POPUP | WS_VISIBLE, 0, 0, 1000, 700, nullptr,
                                        nullptr, ::GetModuleHandleA(nullptr), nullptr);
        SetAppMainWindow(window);
        CWnd host(window);
        CFSView view;
        view.SetWholeFillLimit(run.wholeFillLimit);
        view.CreateView(&host);
        view.MoveWindow(0, 0, 1000, 700, TRUE);
        double memory = MegaBytesInUse();
        double shown = Time([&]() {
            view.ShowComparison(mine);
            ::RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        });
        std::printf("  comparison %.3f s; both trees shown %.3f s (%.2f times the comparison); %u + %u entries in "
                    "the trees, %.1f MB\n",
                    compare, shown, shown / compare, view.LeftTree().GetCount(), view.RightTree().GetCount(),
                    MegaBytesInUse() - memory);
        if (expand) {
            double expanded = Time([&]() { view.OnCmdMsg(ID_EXPAND_ALL); });
            std::printf("  Expand All %.3f s; the trees %.1f MB\n", expanded, MegaBytesInUse() - memory);
        } else {
            CHiddenEntries hidden;
            CPathFilter noise;
            noise.AddNoise(SnapKind::FileSystem);
            double noiseOn = Time([&]() {
                hidden.Hide(mine, noise);
                view.Refill();
            });
            double noiseOff = Time([&]() {
                hidden.ShowAll();
                view.Refill();
            });
            std::printf("  Hide Noise on %.3f s, off %.3f s\n", noiseOn, noiseOff);
            // A pattern that every name must be held against.
            CPathFilter filter;
            filter.Add("**\\*.dll");
            double on = Time([&]() {
                hidden.Hide(mine, filter);
                view.Refill();
            });
            const unsigned long long hiddenCount = hidden.Count();
            double off = Time([&]() {
                hidden.ShowAll();
                view.Refill();
            });
            std::printf("  a filter of the .dll files on %.3f s (%llu entries hidden), off %.3f s\n", on, hiddenCount,
                        off);
            view.LeftTree().SetFocus();
            view.LeftTree().SelectItem(view.LeftTree().GetRootItem());
            double find = Time([&]() { view.FindNext(std::wstring(lastName.begin(), lastName.end())); });
            std::string found = view.LeftTree().GetItemText(view.LeftTree().GetSelectedItem());
            view.LeftTree().SelectItem(nullptr);
            double previous = Time([&]() { view.SelectNextDifference(false); });
            std::printf("  Find of the last entry %.3f s (%s), Previous Difference to it %.3f s; the trees %.1f MB\n",
                        find, found == lastName ? "found" : "NOT found", previous, MegaBytesInUse() - memory);
            const std::string out = TempFilePath("corvane_results_bench_report.txt");
            double save = Time([&]() {
                std::FILE* f = std::fopen(out.c_str(), "w");
                CTextSink sink(f);
                CDiffOptions options;
                std::string message;
                std::unordered_set<const CCompareNode*> trimmed;
                CDiffOutput diff{mine, SnapKind::FileSystem, {path1, ""}, {path2, ""}};
                FindDiffFormat("report")->write(
                    CFormatInput{diff, *DescriberFor(SnapKind::FileSystem), options, trimmed}, sink, message);
                sink.Flush();
                std::fclose(f);
            });
            double tool = DiffReportSeconds(path1, path2, out);
            std::printf("  Save Report %.3f s, corvane-diff's report %.3f s (%.2f times)\n", save, tool,
                        save / tool);
            ::DeleteFileA(out.c_str());
        }
        double closed = Time([&]() { view.DestroyWindow(); });
        std::printf("  closed after %s: %.3f s\n", expand ? "Expand All" : "browsing", closed);
        ::DestroyWindow(window);
        SetAppMainWindow(nullptr);
    }
}

}  // namespace

int main(int argc, char** argv)
{
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    const uint32_t files = argc > 1 ? static_cast<uint32_t>(std::strtoul(argv[1], nullptr, 10)) : 1000000;
    const uint32_t folders = 10000;
    const std::string path1 = TempFilePath("corvane_results_bench_1.tvrec");
    const std::string path2 = TempFilePath("corvane_results_bench_2.tvrec");
    {
        CGeneratedPair pair = GeneratePair(CGeneratedShape{folders, (files + folders - 1) / folders, 8, 1.0, 0.0, 0.0});
        if (!WriteBytes(path1, pair.before.Bytes()) || !WriteBytes(path2, pair.after.Bytes()))
            return 1;
        std::printf("%llu differing files in %u folders\n", static_cast<unsigned long long>(pair.filesBefore),
                    folders);
    }
    const bool before = !(argc > 2 && std::string(argv[2]) == "--no-before");
    for (const CRun& run : {CRun{"every entry inserted at once, as before", UINT64_MAX},
                            CRun{"the program's way", CCompareView::kWholeFillLimit}})
        if (before || run.wholeFillLimit != UINT64_MAX)
            Measure(run, path1, path2);
    ::DeleteFileA(path1.c_str());
    ::DeleteFileA(path2.c_str());
    return 0;
}
