// From the second Open dialog's OK to both trees of the file-system results
// view shown, Expand All, View Opposite, a viewer and the view's closing, for
// a generated pair of snapshots in which every one of N files differs: in
// 10,000 folders, or all in the drive's root folder (--one-folder). The
// trees are filled the program's way and, in the same run, the previous way
// (every entry after its previous sibling, depth first), unless --no-before.
// Run under Wine:
//   scripts/wine-run build/win/bench/views/compare_view_bench.exe [N] [--one-folder] [--no-expand] [--no-before]
// The two snapshot files are written to the temp folder by a child process of
// the same program, so the generator's memory is no part of the peaks.
#include "bench/compare/GeneratedSnapshots.h"
#include "bench/views/ViewBench.h"
#include "compare/CompareItem.h"
#include "compare/CompareNode.h"
#include "framework/WaitCursor.h"
#include "res/resource.h"
#include "snapshot/SnapOperation.h"
#include "views/FSView.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

const uint32_t kFolders = 10000;
const char kWriteMode[] = "--write";
const char kWriteOneFolderMode[] = "--write-one-folder";
// Beyond this many files the previous way's Expand All takes over half an hour.
const uint32_t kBeforeExpandLimit = 200000;

// Every file of the first snapshot is in the second with another size.
CGeneratedShape EveryFileDiffers(uint32_t files, bool oneFolder)
{
    if (oneFolder)
        return CGeneratedShape{1, files, 0, 1.0, 0.0, 0.0};
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
int WritePair(uint32_t files, bool oneFolder, const std::string& path1, const std::string& path2)
{
    CGeneratedPair pair = GeneratePair(EveryFileDiffers(files, oneFolder));
    if (!WriteBytes(path1, pair.before.Bytes()) || !WriteBytes(path2, pair.after.Bytes())) {
        std::fprintf(stderr, "could not write the snapshots\n");
        return 1;
    }
    std::printf("snapshots: %llu and %llu files, %.1f and %.1f MB\n",
                static_cast<unsigned long long>(pair.filesBefore), static_cast<unsigned long long>(pair.filesAfter),
                pair.before.Bytes().size() / 1048576.0, pair.after.Bytes().size() / 1048576.0);
    return 0;
}

// The trees filled the previous way: every entry inserted after its
// previous sibling, depth first, in the model's order.
class CAppendingFSView : public CFSView {
public:
    void FillAsBefore(const CCompareMine& result)
    {
        CWaitCursor wait;
        if (result.GetRoot1())
            Append(m_treeLeft, *result.GetRoot1());
        if (result.GetRoot2())
            Append(m_treeRight, *result.GetRoot2());
    }

    // Every container found by asking the tree entry by entry, and expanded
    // children first.
    void ExpandAllAsBefore()
    {
        CWaitCursor wait;
        m_treeLeft.SetRedraw(FALSE);
        m_treeRight.SetRedraw(FALSE);
        for (CTreeCtrl* tree : {&m_treeLeft, &m_treeRight}) {
            std::vector<HTREEITEM> containers, pending{tree->GetRootItem()};
            while (!pending.empty()) {
                HTREEITEM at = pending.back();
                pending.pop_back();
                HTREEITEM child = at ? tree->GetChildItem(at) : nullptr;
                if (!child)
                    continue;
                containers.push_back(at);
                for (; child; child = tree->GetNextSiblingItem(child))
                    pending.push_back(child);
            }
            for (auto at = containers.rbegin(); at != containers.rend(); ++at)
                tree->Expand(*at, TVE_EXPAND);
        }
        m_treeLeft.SetRedraw(TRUE);
        m_treeRight.SetRedraw(TRUE);
        for (CTreeCtrl* tree : {&m_treeLeft, &m_treeRight}) {
            tree->InvalidateRect(nullptr, TRUE);
            tree->UpdateWindow();
        }
    }

private:
    void Append(CTreeCtrl& tree, CCompareNode& root)
    {
        struct Open {
            CCompareNode* node;
            HTREEITEM entry;
            ListPosition next;
            HTREEITEM previous;
            bool unique;
        };
        std::vector<Open> open;
        std::string name;
        auto enter = [&](CCompareNode& n, HTREEITEM parent, HTREEITEM after, bool unique) {
            unique = unique || n.GetState() == csUnique;
            n.GetName(name);
            HTREEITEM entry = tree.InsertItem(name.c_str(), unique ? kUniqueContainerImage : kContainerImage,
                                              unique ? kUniqueOpenContainerImage : kOpenContainerImage,
                                              reinterpret_cast<LPARAM>(&n), parent, after);
            n.SetTreeItem(entry);
            open.push_back(Open{&n, entry, n.Nodes().GetHeadPosition(), TVI_LAST, unique});
            return entry;
        };
        enter(root, TVI_ROOT, TVI_LAST, false);
        while (!open.empty()) {
            size_t at = open.size() - 1;
            if (open[at].next) {
                CCompareNode* child = open[at].node->Nodes().GetNext(open[at].next);
                open[at].previous = enter(*child, open[at].entry, open[at].previous, open[at].unique);
                continue;
            }
            Open& here = open[at];
            for (CCompareItem* item : here.node->Items()) {
                item->GetName(name);
                int image = LeafImage(*item, here.unique);
                here.previous = tree.InsertItem(name.c_str(), image, image, reinterpret_cast<LPARAM>(item),
                                                here.entry, here.previous);
                item->SetTreeItem(here.previous);
            }
            open.pop_back();
        }
    }
};

bool HasFlag(int argc, char** argv, const char* flag)
{
    for (int i = 1; i < argc; ++i)
        if (std::string(argv[i]) == flag)
            return true;
    return false;
}

}  // namespace

int main(int argc, char** argv)
{
    // Every line out at once, should a run not come to its end.
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    if (argc == 5 && (std::string(argv[1]) == kWriteMode || std::string(argv[1]) == kWriteOneFolderMode))
        return WritePair(static_cast<uint32_t>(std::strtoul(argv[2], nullptr, 10)),
                         std::string(argv[1]) == kWriteOneFolderMode, argv[3], argv[4]);
    uint32_t files = argc > 1 && argv[1][0] != '-' ? static_cast<uint32_t>(std::strtoul(argv[1], nullptr, 10)) : 100000;
    bool oneFolder = HasFlag(argc, argv, "--one-folder");
    bool expand = !HasFlag(argc, argv, "--no-expand");
    bool before = !HasFlag(argc, argv, "--no-before");
    if (!oneFolder && files < kFolders) {
        std::fprintf(stderr, "N must be at least %u\n", kFolders);
        return 2;
    }

    // Named by the shape, so runs of different shapes may go side by side.
    std::string stem = "corvane_view_bench_" + std::to_string(files) + (oneFolder ? "_one_folder" : "");
    std::string path1 = TempFilePath((stem + "_1.tvrec").c_str());
    std::string path2 = TempFilePath((stem + "_2.tvrec").c_str());
    if (oneFolder)
        std::printf("%u differing files in one folder\n", files);
    else
        std::printf("%u differing files in %u folders\n", files, kFolders);
    if (!RunSnapshotWriter(argv[0], oneFolder ? kWriteOneFolderMode : kWriteMode, files, path1, path2)) {
        std::fprintf(stderr, "the snapshots were not written\n");
        return 1;
    }
    // Closed as at the program's end, the last view leaves its trees' entries
    // to the process's end, so it goes last.
    CFSView closedByNewComparison, closedAtEnd;
    CAppendingFSView previous;
    std::vector<CViewRun> runs{
        {"filled the program's way, closed as a new comparison closes it", &closedByNewComparison, nullptr, expand,
         false, nullptr}};
    if (before)
        runs.push_back(CViewRun{"filled the previous way", &previous,
                                [](CCompareView& view, const CCompareMine& result) {
                                    static_cast<CAppendingFSView&>(view).FillAsBefore(result);
                                },
                                expand && files <= kBeforeExpandLimit, false,
                                [](CCompareView& view) { static_cast<CAppendingFSView&>(view).ExpandAllAsBefore(); }});
    runs.push_back(CViewRun{"filled the program's way, closed as the program's end closes it", &closedAtEnd, nullptr,
                            false, true, nullptr});
    int code = MeasureComparisonInViews(kSnapKindFileSystem, path1, path2, ID_FS_VIEW_OPPOSITE,
                                        ID_FS_VIEW_PROPERTIES, runs);
    ::DeleteFileA(path1.c_str());
    ::DeleteFileA(path2.c_str());
    return code;
}
