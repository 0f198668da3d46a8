// Names and paths of a comparison as UTF-8, for the formats that carry it
// (CSV, JSON, HTML, and the report and tree when asked for UTF-8): the exact
// name where an entry has one (the snapshot's appendix kept what the code
// page could not hold), else the recorded name from this machine's code page.
#pragma once

#include "compare/CompareItem.h"
#include "compare/CompareNode.h"

#include <string>

// The name as the views show it ("(Default)" for a key's unnamed value).
std::string DisplayNameUtf8(const CCompareNode& node);
std::string DisplayNameUtf8(const CCompareItem& item);
// Its path below the root, as EntryPath (TreeListing.h) gives it.
std::string EntryPathUtf8(const CCompareNode& node);
std::string EntryPathUtf8(const CCompareItem& item);
