#include "compare/FSFile.h"

#include "compare/CompareNode.h"
#include "compare/TreeStorage.h"
#include "compare/WideChars.h"

#include <cstring>
#include <new>
#include <typeinfo>

// The file's content fills the room its base leaves after the state.
static_assert(sizeof(CFSFile) == (sizeof(void*) == 8 ? 64 : 44), "a loaded file grew");

CFSFile::CFSFile(CCompareName name, uint64_t created, uint64_t modified, uint32_t size,
                 CCompareNode* parent)
    : CCompareItem(std::move(name), parent), m_dwSize(size), m_ftCreated(created),
      m_ftModified(modified)
{
}

bool CFSFile::IsEqual(const CCompareItem& other, Exactness exactness) const
{
    // Both trees of a comparison are of one kind, so the type check is a
    // comparison of type identities rather than a search of the hierarchy.
    if (typeid(other) != typeid(CFSFile))
        return false;
    const CFSFile& file = static_cast<const CFSFile&>(other);
    return m_dwSize == file.m_dwSize && m_ftCreated == file.m_ftCreated &&
           m_ftModified == file.m_ftModified &&
           (exactness == Exactness::Recorded || GetSizeHigh() == file.GetSizeHigh());
}

uint32_t CFSFile::GetSizeHigh() const
{
    uint32_t high = 0;
    if (m_bLarge)
        std::memcpy(&high, reinterpret_cast<const unsigned char*>(this + 1), sizeof high);
    return high;
}

CFSFile* CFSFile::Place(CTreeStorage& storage, const CFSFile& original, CCompareNode* parent, uint32_t high)
{
    const size_t bytes = sizeof(CFSFile) + (high ? sizeof high : 0);
    CFSFile* copy = ::new (storage.Allocate(bytes, alignof(CFSFile)))
        CFSFile(storage.Name(original.GetStoredName()), original.GetCreated(), original.GetModified(),
                original.m_dwSize, parent);
    if (high) {
        copy->m_bLarge = true;
        std::memcpy(reinterpret_cast<unsigned char*>(copy + 1), &high, sizeof high);
    }
    copy->CopyPairing(original);
    return copy;
}

CFSFile* CFSFile::PlaceWithSizeHigh(CTreeStorage& storage, uint32_t high) const
{
    return Place(storage, *this, GetParent(), high);
}

CCompareItem* CFSFile::PlaceCopy(CTreeStorage& storage, CCompareNode* parent) const
{
    return Place(storage, *this, parent, GetSizeHigh());
}

void CFSFile::GetName(std::string& out) const
{
    out = GetStoredName().str();
}

std::string CFSFile::GetFullPath() const
{
    std::string path = GetStoredName().str();
    for (const CCompareNode* node = GetParent(); node && node->GetParent(); node = node->GetParent())
        path = node->GetStoredName().str() + "\\" + path;
    return path;
}

CFilePropertiesTexts CFSFile::GetPropertiesTexts(const ITimeConverter& localTime) const
{
    CFilePropertiesTexts texts;
    bool exact = GetStoredName().HasExact();
    for (const CCompareNode* node = GetParent(); node && node->GetParent(); node = node->GetParent())
        exact = exact || node->GetStoredName().HasExact();
    if (exact) {
        texts.m_exactName = SystemName(GetStoredName());
        texts.m_exactFullPath = texts.m_exactName;
        for (const CCompareNode* node = GetParent(); node && node->GetParent(); node = node->GetParent())
            texts.m_exactFullPath = SystemName(node->GetStoredName()) + u"\\" + texts.m_exactFullPath;
        std::string rootName;
        GetParent()->GetRoot()->GetName(rootName);
        texts.m_exactTitle = SystemTextToUtf16(rootName + " : ") + texts.m_exactName;
    }
    texts.m_strName = GetStoredName().str();
    std::string rootName;
    GetParent()->GetRoot()->GetName(rootName);
    texts.m_strTitle = rootName + " : " + texts.m_strName;
    texts.m_strFullPath = GetFullPath();
    texts.m_strSize = FormatSizeText(GetWholeSize());
    texts.m_strCreated = FormatFileTime(GetCreated(), localTime);
    texts.m_strModified = FormatFileTime(GetModified(), localTime);
    return texts;
}

std::unique_ptr<IViewerWindow> CFSFile::OpenViewer(IViewerFactory& factory) const
{
    return factory.OpenFileProperties(GetPropertiesTexts(factory.LocalTime()));
}
