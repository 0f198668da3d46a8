// libFuzzer target of the registry snapshot loader alone, many times faster
// than the whole comparison (RegLoaderFuzz.cpp): any bytes loaded into a
// tree, which must then hold every name, datum and exact form whole.
#include "compare/RegMine.h"
#include "compare/RegVal.h"
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

// Reads every byte an entry holds, so that the sanitizer sees each piece's size.
uint32_t Touch(const CCompareName& name)
{
    uint32_t sum = 0;
    for (char c : name.view())
        sum += static_cast<unsigned char>(c);
    for (char16_t unit : name.Exact()) {
        if (unit == 0)
            std::abort();  // the loader lets no exact name hold a zero
        sum += unit;
    }
    return sum;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CSilentMessages messages;
    CRegMine mine(messages);
    CMemoryFile file(std::vector<uint8_t>(data, data + size));
    mine.CreateRoots();
    if (!mine.Load(file, mine.GetRoot1()))
        return 0;
    volatile uint32_t sum = 0;
    std::vector<const CCompareNode*> pending{mine.GetRoot1()};
    while (!pending.empty()) {
        const CCompareNode* node = pending.back();
        pending.pop_back();
        sum = sum + Touch(node->GetStoredName());
        for (const CCompareItem* item : node->Items()) {
            const CRegVal* value = static_cast<const CRegVal*>(item);
            sum = sum + Touch(value->GetStoredName());
            for (uint32_t i = 0; i < value->GetDataSize(); ++i)
                sum = sum + value->GetData()[i];
            for (uint32_t i = 0; i < value->GetExactDataSize(); ++i)
                sum = sum + value->GetExactData()[i];
        }
        for (const CCompareNode* child : node->Nodes())
            pending.push_back(child);
    }
    return 0;
}
