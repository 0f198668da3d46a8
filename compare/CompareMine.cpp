#include "compare/CompareMine.h"

const char* const kReadErrorFile1 = "ERROR: Error while reading file 1.";
const char* const kReadErrorFile2 = "ERROR: Error while reading file 2.";
const char* const kComparisonFailed = "Comparison failed.";
const char* const kCompareOutOfMemory = "ERROR: There is not enough memory to compare these snap shots.";

CCompareMine::~CCompareMine()
{
    DeleteTrees();
    // The storage goes with the members: a few hundred blocks.
}

void CCompareMine::DeleteTrees()
{
    for (CCompareNode* root : {m_pRoot1.get(), m_pRoot2.get()})
        if (root)
            root->DeleteBelowWithCounterpart();
    m_pRoot1.reset();
    m_pRoot2.reset();
    m_storage1.Release();
    m_storage2.Release();
}

void CCompareMine::CompactStorage()
{
    for (int tree = 0; tree < 2; ++tree) {
        CCompareNode* root = tree == 0 ? m_pRoot1.get() : m_pRoot2.get();
        CTreeStorage& storage = tree == 0 ? m_storage1 : m_storage2;
        // Worth it, and hardly more at the peak, only when the copies take a
        // sixteenth of the loaded tree or less.
        CTreeStorage fresh;
        if (root->MoveBelowInto(fresh, storage.BlockBytes() / 16))
            storage.Swap(fresh);
        // fresh goes now, with the loaded blocks or with the unused copies.
    }
}

void CCompareMine::SetStatus(const char* text)
{
    if (!m_pProgress)
        return;
    m_pProgress->SetStatusText(text);
    m_pProgress->Refresh(true);
}

bool CCompareMine::Compare(IProgress* progress, IInputFile& file1, IInputFile& file2)
{
    // The progress window goes when the run ends; the engine, which the
    // frame keeps as the result, must not keep pointing at it.
    struct ForgetProgress {
        IProgress*& progress;
        ~ForgetProgress() { progress = nullptr; }
    } forget{m_pProgress};
    m_pProgress = progress;
    DeleteTrees();
    CreateRoots();
    file1.SeekToBegin();
    file2.SeekToBegin();

    SetStatus("Reading snap shot 1 into memory...");
    if (!Load(file1, m_pRoot1.get())) {
        m_messages.Error(kReadErrorFile1);
        return false;
    }
    SetStatus("Reading snap shot 2 into memory...");
    if (!Load(file2, m_pRoot2.get())) {
        m_messages.Error(kReadErrorFile2);
        return false;
    }

    SetStatus("Comparing snapshot 1 against snapshot 2...");
    m_pRoot1->Compare(m_pRoot2.get(), m_pProgress);
    SetStatus("Comparing snapshot 2 against snapshot 1...");
    m_pRoot2->Compare(m_pRoot1.get(), m_pProgress);
    SettlePairs();
    if (m_bMarkTwins) {
        m_pRoot1->MarkTwins();
        m_pRoot2->MarkTwins();
    }

    SetStatus("Removing identicals...");
    m_pRoot1->RemoveIdenticals();
    m_pRoot2->RemoveIdenticals();
    CompactStorage();

    SetStatus("Comparison complete.");
    return true;
}
