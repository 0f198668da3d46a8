#include "compare/RegVal.h"

#include "compare/CompareNode.h"
#include "compare/RegTypes.h"
#include "compare/TreeStorage.h"

#include <cstdint>
#include <cstring>
#include <new>
#include <typeinfo>

// The type and length fill the room the base leaves after the state; the
// data follow right after the value.
static_assert(sizeof(CRegVal) == (sizeof(void*) == 8 ? 56 : 32), "a loaded value grew");

const char* const kRegDefaultValueName = "(Default)";
const char* const kRegUndisplayableType = "Undisplayable type.";

CRegVal::CRegVal(CCompareName name, uint32_t type, uint32_t size, CCompareNode* parent)
    : CCompareItem(std::move(name), parent), m_dwDataSize(size), m_dwType(type)
{
}

CRegVal* CRegVal::Place(CTreeStorage& storage, CCompareName name, uint32_t type, uint32_t size,
                        CCompareNode* parent)
{
    return Place(storage, std::move(name), type, size, parent, nullptr, 0, false);
}

CRegVal* CRegVal::Place(CTreeStorage& storage, CCompareName name, uint32_t type, uint32_t size,
                        CCompareNode* parent, const uint8_t* exact, uint32_t exactSize, bool withExact)
{
    const size_t extra = withExact ? sizeof(uint32_t) + size_t(exactSize) : 0;
    size_t bytes = sizeof(CRegVal) + extra + size;
    if (bytes < size || (withExact && bytes < exactSize))  // past the address space of the 32-bit build
        throw std::bad_alloc();
    void* memory = storage.Allocate(bytes, alignof(CRegVal));
    CRegVal* value = ::new (memory) CRegVal(std::move(name), type, size, parent);
    if (withExact) {
        value->m_bExactData = true;
        std::memcpy(reinterpret_cast<uint8_t*>(value + 1), &exactSize, sizeof exactSize);
        if (exactSize)
            std::memcpy(value->DataStart() + size, exact, exactSize);
    }
    return value;
}

uint32_t CRegVal::GetExactDataSize() const
{
    uint32_t size = 0;
    if (m_bExactData)
        std::memcpy(&size, reinterpret_cast<const uint8_t*>(this + 1), sizeof size);
    return size;
}

CRegVal* CRegVal::PlaceWithExactData(CTreeStorage& storage, const uint8_t* exact, uint32_t exactSize) const
{
    CRegVal* copy = Place(storage, storage.Name(GetStoredName()), m_dwType, m_dwDataSize, GetParent(), exact,
                          exactSize, true);
    if (m_dwDataSize)
        std::memcpy(copy->DataToFill(), GetData(), m_dwDataSize);
    copy->CopyPairing(*this);
    return copy;
}

CCompareItem* CRegVal::PlaceCopy(CTreeStorage& storage, CCompareNode* parent) const
{
    CRegVal* copy = Place(storage, storage.Name(GetStoredName()), m_dwType, m_dwDataSize, parent,
                          GetExactData(), GetExactDataSize(), m_bExactData);
    if (m_dwDataSize)
        std::memcpy(copy->DataToFill(), GetData(), m_dwDataSize);
    copy->CopyPairing(*this);
    return copy;
}

namespace {

bool SameBytes(const uint8_t* a, uint32_t aSize, const uint8_t* b, uint32_t bSize)
{
    return aSize == bSize && (aSize == 0 || std::memcmp(a, b, aSize) == 0);
}

}  // namespace

bool CRegVal::IsEqual(const CCompareItem& other, Exactness exactness) const
{
    if (typeid(other) != typeid(CRegVal))
        return false;
    const CRegVal& value = static_cast<const CRegVal&>(other);
    // Data whose stored form is exact never equal data whose stored form is
    // not: the one reads back as itself, the other does not.
    if (exactness == Exactness::Exact && (m_bExactData || value.m_bExactData))
        return m_bExactData && value.m_bExactData &&
               SameBytes(GetExactData(), GetExactDataSize(), value.GetExactData(), value.GetExactDataSize());
    return SameBytes(GetData(), m_dwDataSize, value.GetData(), value.m_dwDataSize);
}

void CRegVal::GetName(std::string& out) const
{
    out = GetStoredName().empty() ? kRegDefaultValueName : GetStoredName().str();
}

std::string CRegVal::GetViewerCaption() const
{
    std::string root, name;
    GetParent()->GetRoot()->GetName(root);
    GetName(name);
    return root + " : " + name;
}

bool RegViewerFor(uint32_t type, RegViewerKind& kind)
{
    switch (RegTypeOf(type).view) {
    case RegDataView::Text:
        kind = RegViewerKind::String;
        return true;
    case RegDataView::Number:
        kind = RegViewerKind::Dword;
        return true;
    case RegDataView::StringList:
    case RegDataView::HexDump:
        kind = RegViewerKind::Binary;
        return true;
    default:
        return false;
    }
}

std::unique_ptr<IViewerWindow> CRegVal::OpenViewer(IViewerFactory& factory) const
{
    RegViewerKind kind;
    std::unique_ptr<IViewerWindow> viewer;
    if (RegViewerFor(m_dwType, kind))
        viewer = factory.OpenRegValueViewer(kind, GetViewerCaption(), *this);
    if (!viewer)
        factory.ShowNote(kRegUndisplayableType);
    return viewer;
}
