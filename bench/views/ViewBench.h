// What the results-view benchmarks share: a child process of the benchmark's
// own program that writes the two snapshot files, and the measured run from
// the second Open dialog's OK through the comparison operation to both trees
// of a view shown and Expanded All, with the process's peak memory after each
// stage.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class CCompareMine;
class CCompareView;

// A file of that name in the temp folder.
std::string TempFilePath(const char* name);

// Runs this program again as `EXE MODE COUNT "PATH1" "PATH2"` and waits for it:
// the child writes the two snapshot files, so that what it takes to make them
// is no part of this process's peaks. It shares this process's standard
// output. True when the child exited with 0.
bool RunSnapshotWriter(const char* exe, const char* mode, uint32_t count, const std::string& path1,
                       const std::string& path2);

// One showing of the result in a view of its own window.
struct CViewRun {
    const char* label;
    CCompareView* view;
    // Fills the view's trees from the result; by default ShowComparison.
    std::function<void(CCompareView&, const CCompareMine&)> fill;
    bool expand = true;           // Expand All is measured
    bool closeAsAtExit = false;   // closed as the program's end closes it, not as a new comparison does
    // Expands every entry of both trees; by default the view's Expand All.
    std::function<void(CCompareView&)> expandAll;
};

// Compares the two snapshot files of the kind (kSnapKindRegistry or
// kSnapKindFileSystem) once, through the comparison operation with its Open
// dialogs answered by the paths, then shows the result in each run's view in
// turn, inside a top-level window of its own, and measures: both trees shown
// (their first paint holding an entry), the fill's end, the cost of the
// first and the last entries handed to each tree, Expand All, View Opposite
// (oppositeId) on the last entry of the left tree and the viewer (viewerId)
// of that entry, and the closing of the view. Prints each time and the
// process's memory after each stage. Returns the process's exit code.
int MeasureComparisonInViews(int kind, const std::string& path1, const std::string& path2, UINT oppositeId,
                             UINT viewerId, const std::vector<CViewRun>& runs);
