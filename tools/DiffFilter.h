// What corvane-diff leaves out of its output: entries whose full path, as the
// report prints it, matches an exclusion pattern. A pattern is matched name by
// name against the whole path: "*" stands for any run of characters within one
// name, a name that is just "**" for any number of names (none included), and
// letters match regardless of case exactly as the comparison matches names.
// An excluded folder or key takes everything below it along.
//
// The patterns run as one automaton over the names of a path, so a path costs
// at most its names times the patterns' names, however many "**" they hold,
// and a walk of a tree carries the automaton's state down from each folder to
// what it holds instead of matching every path from its root.
#pragma once

#include "compare/CompareMine.h"
#include "seams/SystemText.h"
#include "tools/DiffRecords.h"

#include <cstdint>
#include <string>
#include <unordered_set>
#include <vector>

class CPathFilter {
public:
    // A pattern as the user wrote it; a closing backslash is ignored.
    void Add(const std::string& pattern);
    // One pattern per line; blank lines and lines that start with '#' are
    // skipped, as are spaces and tabs around a pattern, a line's CR and a
    // UTF-8 byte-order mark in front of the first line. The file is opened
    // by its name as the system gives it (wide on Windows), exactly as
    // named. False with a message when the file cannot be read.
    bool AddFromFile(const SystemString& path, std::string& error);
    // The built-in patterns of what changes by itself on every running system.
    void AddNoise(SnapKind kind);

    bool IsEmpty() const { return m_patterns.empty(); }
    bool Excludes(const std::string& path) const;

    // Deletes every excluded entry from both trees of a finished comparison,
    // and then each folder or key that was kept only for what it held and
    // now holds nothing. Every folder or key that an entry was deleted from,
    // at any depth below it, goes into trimmed when it is given.
    void Apply(CCompareMine& mine, std::unordered_set<const CCompareNode*>* trimmed = nullptr) const;

private:
    friend class CTreeFilter;
    using FoldedName = std::vector<uint32_t>;
    // A pattern split into its names, each folded character by character,
    // "*" kept apart from the characters; its automaton's states are the
    // positions 0 to names.size() and take bits from `firstBit` on.
    struct CPattern {
        std::vector<FoldedName> names;
        size_t firstBit;
    };
    // Where the automaton stands: one bit per state of every pattern.
    using State = std::vector<uint64_t>;

    State Start() const;
    // The state after one more name of a path; false when no pattern can
    // match that path or any path below it.
    bool Step(const State& from, const FoldedName& name, State& to) const;
    bool Accepts(const State& state) const;

    std::vector<CPattern> m_patterns;
    size_t m_bits = 0;
};

// The patterns AddNoise adds, in the order docs/command-line.md lists them.
const std::vector<std::string>& NoisePatterns(SnapKind kind);
