// What the results-view benchmarks share: a child process of the benchmark's
// own program that writes the two snapshot files, and the measured run from
// the second Open dialog's OK through the comparison operation to both trees
// of a view shown and Expanded All, with the process's peak memory after each
// stage.
#pragma once

#include <cstdint>
#include <string>

class CCompareView;

// A file of that name in the temp folder.
std::string TempFilePath(const char* name);

// Runs this program again as `EXE MODE COUNT "PATH1" "PATH2"` and waits for it:
// the child writes the two snapshot files, so that what it takes to make them
// is no part of this process's peaks. It shares this process's standard
// output. True when the child exited with 0.
bool RunSnapshotWriter(const char* exe, const char* mode, uint32_t count, const std::string& path1,
                       const std::string& path2);

// Compares the two snapshot files of the kind (kSnapKindRegistry or
// kSnapKindFileSystem) through the comparison operation, its Open dialogs
// answered with the paths, shows the result in the view inside a top-level
// window, and then runs Expand All unless expand is false. Prints the time of
// each stage and the peak memory after it. Returns the process's exit code.
int MeasureComparisonInView(CCompareView& view, int kind, const std::string& path1, const std::string& path2,
                            bool expand);
