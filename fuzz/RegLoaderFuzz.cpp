// libFuzzer target of the registry snapshot loader: any bytes, as snapshot 1
// against themselves and against a small valid snapshot, through the whole
// comparison. Besides never crashing, an accepted file must compare equal to
// itself, every link left in the trees must be symmetric, and every value
// must hold exactly its data and choose its viewer without reading them.
#include "compare/ItemViewers.h"
#include "compare/RegMine.h"
#include "compare/RegVal.h"
#include "snapshot/MemoryFile.h"
#include "snapshot/RegSnapFormat.h"
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

// A view that opens nothing and only counts what it was asked.
class CCountingView : public IViewerFactory {
public:
    const ITimeConverter& LocalTime() const override { std::abort(); }
    std::unique_ptr<IViewerWindow> OpenFileProperties(const CFilePropertiesTexts&) override { std::abort(); }
    std::unique_ptr<IViewerWindow> OpenRegValueViewer(RegViewerKind, const std::string& caption,
                                                      const CRegVal& value) override
    {
        RegViewerKind kind;
        if (caption.empty() || !RegViewerFor(value.GetType(), kind))
            std::abort();
        ++opened;
        return nullptr;
    }
    void ShowNote(const std::string&) override { ++notes; }
    uint64_t opened = 0, notes = 0;
};

std::vector<uint8_t> SmallSnapshot()
{
    CMemoryFile file;
    CRegSnapWriter writer(file);
    writer.WriteHeader();
    writer.WriteKeyName("HKEY_LOCAL_MACHINE");
    writer.WriteKeyCounts(1, 1);
    writer.WriteValue("", 0, 1, "x", 2);
    writer.WriteKeyName("Software");
    writer.WriteKeyCounts(0, 1);
    writer.WriteValue("n", 1, 4, "\1\0\0\0", 4);
    writer.WriteKeyName("HKEY_USERS");
    writer.WriteKeyCounts(0, 0);
    writer.Finish(3);
    return file.Bytes();
}

void CheckTree(CCompareNode& root)
{
    CCountingView view;
    CItemViewers viewers;
    std::vector<CCompareNode*> pending{&root};
    while (!pending.empty()) {
        CCompareNode* node = pending.back();
        pending.pop_back();
        if (node->GetOpposite() && node->GetOpposite()->GetOpposite() != node)
            std::abort();
        for (CCompareItem* item : node->Items()) {
            const CCompareItem* opposite = item->GetOpposite();
            if (opposite && (opposite->GetOpposite() != item || opposite->GetState() != item->GetState()))
                std::abort();
            const CRegVal* value = static_cast<const CRegVal*>(item);
            if ((value->GetDataSize() == 0) != (value->GetData() == nullptr))
                std::abort();
            // Every data byte is there to be read (the sanitizer checks the block's size).
            volatile uint8_t sum = 0;
            for (uint32_t i = 0; i < value->GetDataSize(); ++i)
                sum = static_cast<uint8_t>(sum + value->GetData()[i]);
            for (uint32_t i = 0; i < value->GetExactDataSize(); ++i)
                sum = static_cast<uint8_t>(sum + value->GetExactData()[i]);
            viewers.Show(*item, view);
        }
        for (CCompareNode* child : node->Nodes())
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
        CRegMine mine(messages);
        CMemoryFile file1(bytes), file2(bytes);
        if (mine.Compare(&progress, file1, file2) &&
            !(mine.GetRoot1()->IsEmpty() && mine.GetRoot2()->IsEmpty()))
            std::abort();  // a snapshot differs from itself
    }
    {
        CRegMine mine(messages);
        CMemoryFile file1(bytes), file2(SmallSnapshot());
        if (mine.Compare(&progress, file1, file2)) {
            CheckTree(*mine.GetRoot1());
            CheckTree(*mine.GetRoot2());
        }
    }
    return 0;
}
