// What corvane-diff leaves out of its output: entries whose full path, as the
// report prints it, matches an exclusion pattern. A pattern is matched name by
// name against the whole path: "*" stands for any run of characters within one
// name, a name that is just "**" for any number of names (none included), and
// letters match regardless of case exactly as the comparison matches names.
// An excluded folder or key takes everything below it along.
#pragma once

#include "compare/CompareMine.h"
#include "tools/DiffRecords.h"

#include <cstdint>
#include <string>
#include <vector>

class CPathFilter {
public:
    // A pattern as the user wrote it; a closing backslash is ignored.
    void Add(const std::string& pattern);
    // One pattern per line; blank lines and lines that start with '#' are
    // skipped, as are spaces and tabs around a pattern and a line's CR.
    // False with a message when the file cannot be read.
    bool AddFromFile(const std::string& path, std::string& error);
    // The built-in patterns of what changes by itself on every running system.
    void AddNoise(SnapKind kind);

    bool IsEmpty() const { return m_patterns.empty(); }
    bool Excludes(const std::string& path) const;

    // Deletes every excluded entry from both trees of a finished comparison,
    // and then each folder or key that was kept only for what it held and
    // now holds nothing.
    void Apply(CCompareMine& mine) const;

private:
    // Each pattern split into its names, each name folded character by
    // character, "*" kept apart from the characters.
    std::vector<std::vector<std::vector<uint32_t>>> m_patterns;
};

// The patterns AddNoise adds, in the order the README lists them.
const std::vector<std::string>& NoisePatterns(SnapKind kind);
