#include "compare/RegVal.h"

#include "compare/CompareNode.h"

#include <cstring>

const char* const kRegDefaultValueName = "(Default)";
const char* const kRegUndisplayableType = "Undisplayable type.";

CRegVal::CRegVal(CCompareName name, uint32_t type, std::unique_ptr<uint8_t[]> data, uint32_t size,
                 CCompareNode* parent)
    : CCompareItem(std::move(name), parent), m_pData(std::move(data)), m_dwDataSize(size),
      m_dwType(type)
{
}

bool CRegVal::IsEqual(const CCompareItem& other) const
{
    const CRegVal* value = dynamic_cast<const CRegVal*>(&other);
    return value && m_dwDataSize == value->m_dwDataSize &&
           (m_dwDataSize == 0 || std::memcmp(m_pData.get(), value->m_pData.get(), m_dwDataSize) == 0);
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
    switch (type) {
    case 1:  // REG_SZ
    case 2:  // REG_EXPAND_SZ
        kind = RegViewerKind::String;
        return true;
    case 4:  // REG_DWORD
        kind = RegViewerKind::Dword;
        return true;
    case 3:   // REG_BINARY
    case 6:   // REG_LINK
    case 7:   // REG_MULTI_SZ
    case 8:   // REG_RESOURCE_LIST
    case 9:   // REG_FULL_RESOURCE_DESCRIPTOR
    case 10:  // REG_RESOURCE_REQUIREMENTS_LIST
    case 11:  // REG_QWORD
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
