// The outputs of a finished comparison by their names, as corvane-diff writes
// them and the window saves them: the text report, the two trees, CSV, JSON,
// HTML and the registry patch.
#pragma once

#include "report/DiffFormats.h"
#include "report/DiffReport.h"
#include "report/TextSink.h"
#include "seams/SystemText.h"

#include <memory>
#include <string>
#include <unordered_set>

struct CDiffOptions {
    std::string format = "report";
    bool reverse = false;           // a patch from snapshot 2's state back to 1's
    bool types = false;             // a value whose type alone changed counts as changed
    bool allowHiveChanges = false;  // a patch may delete or create whole hives
    bool utf8 = false;              // the report and the tree in UTF-8, names exact
};

// What a format is given: the finished comparison, the options, and the keys
// that an exclusion took entries from.
struct CFormatInput {
    const CDiffOutput& diff;
    const IItemDescriber& describer;
    const CDiffOptions& options;
    const std::unordered_set<const CCompareNode*>& trimmed;
};

enum class FormatOutcome {
    Written,
    NotExact,  // written; message says what it carries only nearly
    Refused,   // nothing written; message says why (its first line starts "corvane-diff: ")
};

struct CDiffFormat {
    const char* name;
    // Writes the format's text into out as it is produced.
    FormatOutcome (*write)(const CFormatInput& in, CTextSink& out, std::string& message);
    bool binary;  // written byte for byte, its line ends included
};

// The format of that name, or null.
const CDiffFormat* FindDiffFormat(const std::string& name);

// How the report describes the items of the kind.
std::unique_ptr<IItemDescriber> DescriberFor(SnapKind kind);

// "2026-12-09 17:20:31 UTC": when the file was last written; "" when it
// cannot be told.
std::string FileDate(const SystemString& path);
