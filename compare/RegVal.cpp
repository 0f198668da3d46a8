#include "compare/RegVal.h"

#include "compare/CompareNode.h"
#include "compare/RegTypes.h"
#include "compare/TreeStorage.h"

#include <cstdint>
#include <cstring>
#include <new>
#include <typeinfo>

const char* const kRegDefaultValueName = "(Default)";
const char* const kRegUndisplayableType = "Undisplayable type.";

CRegVal::CRegVal(CCompareName name, uint32_t type, uint32_t size, CCompareNode* parent)
    : CCompareItem(std::move(name), parent), m_dwDataSize(size), m_dwType(type)
{
}

void* CRegVal::operator new(size_t objectSize, uint32_t dataSize)
{
    if (dataSize > SIZE_MAX - objectSize)
        throw std::bad_alloc();
    return ::operator new(objectSize + dataSize);
}

std::unique_ptr<CRegVal> CRegVal::Create(CCompareName name, uint32_t type, const uint8_t* data,
                                         uint32_t size, CCompareNode* parent)
{
    std::unique_ptr<CRegVal> value(new (size) CRegVal(std::move(name), type, size, parent));
    if (size)
        std::memcpy(reinterpret_cast<uint8_t*>(value.get() + 1), data, size);
    return value;
}

CRegVal* CRegVal::Place(CTreeStorage& storage, CCompareName name, uint32_t type, uint32_t size,
                        CCompareNode* parent)
{
    if (size > kPlacedDataLimit)
        throw std::bad_alloc();
    void* memory = storage.Allocate(sizeof(CRegVal) + size, alignof(CRegVal));
    CRegVal* value = ::new (memory) CRegVal(std::move(name), type, size, parent);
    CTreeStorage::MarkPlaced(value);
    return value;
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

void CRegVal::ShowViewer(IViewerFactory& factory)
{
    CCompareItem::ShowViewer(factory);
    if (GetViewer())
        return;
    RegViewerKind kind;
    if (RegViewerFor(m_dwType, kind))
        SetViewer(factory.OpenRegValueViewer(kind, GetViewerCaption(), *this));
    if (!GetViewer())
        factory.ShowNote(kRegUndisplayableType);
}
