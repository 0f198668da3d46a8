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
    size_t bytes = sizeof(CRegVal) + size;
    if (bytes < size)  // past the address space of the 32-bit build
        throw std::bad_alloc();
    void* memory = storage.Allocate(bytes, alignof(CRegVal));
    return ::new (memory) CRegVal(std::move(name), type, size, parent);
}

CCompareItem* CRegVal::PlaceCopy(CTreeStorage& storage, CCompareNode* parent) const
{
    CRegVal* copy = Place(storage, storage.Name(GetStoredName().view()), m_dwType, m_dwDataSize, parent);
    if (m_dwDataSize)
        std::memcpy(copy->DataToFill(), GetData(), m_dwDataSize);
    copy->CopyPairing(*this);
    return copy;
}

bool CRegVal::IsEqual(const CCompareItem& other) const
{
    if (typeid(other) != typeid(CRegVal))
        return false;
    const CRegVal& value = static_cast<const CRegVal&>(other);
    return m_dwDataSize == value.m_dwDataSize &&
           (m_dwDataSize == 0 || std::memcmp(GetData(), value.GetData(), m_dwDataSize) == 0);
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
