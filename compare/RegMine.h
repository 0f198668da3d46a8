// The registry kind of the comparison engine: reads two registry snapshot
// files into trees of keys and values, sizes the progress bar's steps so that
// loading both files brings it to 75 percent, and runs the comparison.
//
// A snapshot file is untrusted input. Its counts are never believed ahead of
// the records: every key and value is created for a record actually read, a
// short read fails the load, a value's data block grows only as its bytes
// arrive (a claimed length of 4,294,967,295 in a short file costs nothing),
// and keys nested deeper than the registry allows are refused with a message.
#pragma once

#include "compare/CompareMine.h"

#include <cstdint>

class CRegMine : public CCompareMine {
public:
    // messages: the application-wide message boxes of the comparison run;
    // programMessages: the boxes of the program's own windows, owned by the
    // main window, in which the loader refuses a file.
    CRegMine(IUserMessages& messages, IUserMessages& programMessages)
        : CCompareMine(messages), m_programMessages(programMessages)
    {
    }
    explicit CRegMine(IUserMessages& messages) : CRegMine(messages, messages) {}

    bool Compare(IProgress* progress, IInputFile& file1, IInputFile& file2) override;
    bool Load(IInputFile& file, CCompareNode* root) override;
    void CreateRoots() override;
    void FormatNodeCount(std::string& out, unsigned long count) const override;
    void FormatItemCount(std::string& out, unsigned long count) const override;

    // Whether the next comparisons also count a value whose type alone
    // changed as changed. The results views do not: values are equal when
    // their data are.
    void SetTypesCompared(bool compared) { m_bTypesCompared = compared; }

protected:
    void SettlePairs() override;

private:
    IUserMessages& m_programMessages;
    bool m_bTypesCompared = false;
};

// The registry keeps keys at most 512 levels below HKEY_LOCAL_MACHINE or
// HKEY_USERS, whose own records are depth 1 below a root.
constexpr uint32_t kMaxKeyDepth = 513;

// The share of the bar one step advances: loading the key records of both
// files, one step each, brings the bar to 75 percent.
float RegProgressStep(uint32_t keys1, uint32_t keys2);
// What each finished load adds to the bar.
constexpr int kRegLoadedFileStep = 12;

extern const char* const kRegNotASnapshot;
extern const char* const kRegNestedTooDeep;
extern const char* const kRegDataTooLarge;
