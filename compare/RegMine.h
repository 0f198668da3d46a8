// The registry kind of the comparison engine: reads two registry snapshot
// files into trees of keys and values, sizes the progress bar's steps so that
// loading both files brings it to 75 percent, and runs the comparison.
//
// A value's data grow only as their bytes arrive, so a claimed length of
// 4,294,967,295 in a short file costs nothing; keys nested deeper than the
// registry allows are refused with a message.
#pragma once

#include "compare/CompareMine.h"

#include <cstdint>
#include <string>
#include <vector>

class CRegMine : public CCompareMine {
public:
    // messages: the application-wide message boxes of the comparison run;
    // programMessages: the boxes of the program's own windows, owned by the
    // main window, in which the loader refuses a file.
    CRegMine(IUserMessages& messages, IUserMessages& programMessages);
    explicit CRegMine(IUserMessages& messages) : CRegMine(messages, messages) {}

    // Whether the next comparisons also count a value whose type alone
    // changed as changed. The results views do not: values are equal when
    // their data are.
    void SetTypesCompared(bool compared) { m_bTypesCompared = compared; }

    // The first of the hives that every snapshot of the whole registry holds
    // (HKEY_LOCAL_MACHINE\SOFTWARE, ...\SYSTEM, HKEY_USERS\.DEFAULT) that
    // snapshot 1 or 2 lacks, or an empty text. A file that does not say what
    // it holds and lacks one may be a snapshot of chosen keys.
    const std::string& MissingHive(int snapshot) const { return m_missingHive[snapshot == 2]; }

protected:
    bool ReadHeader(CSnapReader& in, uint32_t& topLevelNodes) override;
    CCompareNode* PlaceNode(CTreeStorage& storage, std::string_view name, CCompareNode* parent) const override;
    CCompareItem* ReadItem(CSnapReader& in, CTreeStorage& storage, CCompareName name, CCompareNode* parent) override;
    bool FinishLoad(CCompareNode* root) override;
    void SettlePairs() override;
    CCompareItem* PlaceWithExactData(CTreeStorage& storage, const CCompareItem& item,
                                     const std::vector<uint8_t>& data) const override;
    CCompareItem* PlaceWithCodePageData(CTreeStorage& storage, const CCompareItem& item,
                                        uint32_t codePage) const override;

private:
    std::vector<uint8_t> m_data;  // a long value's data as they arrive
    std::string m_missingHive[2];
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
