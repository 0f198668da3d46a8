// libFuzzer target of the file-system snapshot loader: any bytes, as snapshot
// 1 against themselves and against a small valid snapshot, through the whole
// comparison. Besides never crashing, an accepted file must compare equal to
// itself, and every link left in the trees must be symmetric.
#include "compare/FSMine.h"
#include "snapshot/MemoryFile.h"
#include "seams/UserMessages.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

class CSilentMessages : public IUserMessages {
public:
    MsgAnswer Show(const std::string&, MsgIcon, MsgButtons) override { return MsgAnswer::Ok; }
};

class CCountingProgress : public CNullProgress {
public:
    void BarStepIt() override { ++steps; }
    uint64_t steps = 0;
};

std::vector<uint8_t> SmallSnapshot()
{
    // C: holding "a" (size 1) and an empty folder "S".
    return {0xAE, 0x00, 0x02, 0x00, 0x00, 0x00, 'C', 0x02, 0x00, 'C', ':', 0x01, 0, 0, 0, 0x01,
            0,    0,    0,    0x01, 0x00, 'a',  1,   2,   3,   4,   5,   6,   7,   8,   9,  10,
            11,   12,   13,   14,   15,   16,   1,   0,   0,   0,   0x01, 0x00, 'S', 0,  0,   0,
            0,    0,    0,    0,    0};
}

void CheckLinks(const CCompareNode& root)
{
    std::vector<const CCompareNode*> pending{&root};
    while (!pending.empty()) {
        const CCompareNode* node = pending.back();
        pending.pop_back();
        if (node->GetOpposite() && node->GetOpposite()->GetOpposite() != node)
            std::abort();
        for (const CCompareItem* item : node->Items()) {
            const CCompareItem* opposite = item->GetOpposite();
            if (opposite && (opposite->GetOpposite() != item || opposite->GetState() != item->GetState()))
                std::abort();
        }
        for (const CCompareNode* child : node->Nodes())
            pending.push_back(child);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<uint8_t> bytes(data, data + size);
    CSilentMessages messages;
    CCountingProgress progress;
    {
        CFSMine mine(messages);
        CMemoryFile file1(bytes), file2(bytes);
        if (mine.Compare(&progress, file1, file2) &&
            !(mine.GetRoot1()->IsEmpty() && mine.GetRoot2()->IsEmpty()))
            std::abort();  // a snapshot differs from itself
    }
    {
        CFSMine mine(messages);
        CMemoryFile file1(bytes), file2(SmallSnapshot());
        if (mine.Compare(&progress, file1, file2)) {
            CheckLinks(*mine.GetRoot1());
            CheckLinks(*mine.GetRoot2());
        }
    }
    return 0;
}
