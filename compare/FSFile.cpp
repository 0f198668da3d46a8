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
    if (m_dwSize != file.m_dwSize || !(m_ftCreated == file.m_ftCreated) || !(m_ftModified == file.m_ftModified) ||
        (exactness == Exactness::Exact && GetSizeHigh() != file.GetSizeHigh()))
        return false;
    // Contents are compared only where both snapshots hashed them: a file
    // hashed on one side only is compared as any other.
    const unsigned char* hash = GetSha256();
    const unsigned char* otherHash = file.GetSha256();
    return !hash || !otherHash || std::memcmp(hash, otherHash, kSha256Size) == 0;
}

const unsigned char* CFSFile::Extra(uint8_t which) const
{
    if (!(m_extras & which))
        return nullptr;
    const unsigned char* at = reinterpret_cast<const unsigned char*>(this + 1);
    if (which != kLarge && (m_extras & kLarge))
        at += sizeof(uint32_t);
    if (which == kMarked && (m_extras & kHashed))
        at += kSha256Size;
    return at;
}

uint32_t CFSFile::GetSizeHigh() const
{
    uint32_t high = 0;
    if (const unsigned char* at = Extra(kLarge))
        std::memcpy(&high, at, sizeof high);
    return high;
}

HashMark CFSFile::GetHashMark() const
{
    const unsigned char* mark = Extra(kMarked);
    return mark ? static_cast<HashMark>(*mark) : HashMark::Hashed;
}

std::string CFSFile::GetHashText() const
{
    if (const unsigned char* sha256 = GetSha256())
        return Sha256Hex(sha256);
    return HashKnown() ? std::string("not hashed: ") + HashMarkReason(GetHashMark()) : std::string();
}

CFSFile* CFSFile::Place(CTreeStorage& storage, const CFSFile& original, CCompareNode* parent, uint32_t high,
                        const CFileHash* hash)
{
    const bool hashed = hash && hash->mark == HashMark::Hashed;
    const size_t bytes = sizeof(CFSFile) + (high ? sizeof high : 0) + (hash ? (hashed ? kSha256Size : 1) : 0);
    CFSFile* copy = ::new (storage.Allocate(bytes, alignof(CFSFile)))
        CFSFile(storage.Name(original.GetStoredName()), original.GetCreated(), original.GetModified(),
                original.m_dwSize, parent);
    unsigned char* at = reinterpret_cast<unsigned char*>(copy + 1);
    if (high) {
        copy->m_extras |= kLarge;
        std::memcpy(at, &high, sizeof high);
        at += sizeof high;
    }
    if (hashed) {
        copy->m_extras |= kHashed;
        std::memcpy(at, hash->sha256, kSha256Size);
    } else if (hash) {
        copy->m_extras |= kMarked;
        *at = static_cast<unsigned char>(hash->mark);
    }
    copy->CopyPairing(original);
    return copy;
}

CFSFile* CFSFile::PlaceWithParts(CTreeStorage& storage, uint32_t high, const CFileHash* hash) const
{
    return Place(storage, *this, GetParent(), high, hash);
}

CCompareItem* CFSFile::PlaceCopy(CTreeStorage& storage, CCompareNode* parent) const
{
    CFileHash hash;
    hash.mark = GetHashMark();
    if (const unsigned char* sha256 = GetSha256())
        std::memcpy(hash.sha256, sha256, kSha256Size);
    return Place(storage, *this, parent, GetSizeHigh(), HashKnown() ? &hash : nullptr);
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
    texts.m_strHash = GetHashText();
    return texts;
}

std::unique_ptr<IViewerWindow> CFSFile::OpenViewer(IViewerFactory& factory) const
{
    return factory.OpenFileProperties(GetPropertiesTexts(factory.LocalTime()));
}
