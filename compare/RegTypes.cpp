#include "compare/RegTypes.h"

namespace {

using P = RegValuePicture;
using V = RegDataView;
using F = RegFileForm;

// By number. REG_DWORD_BIG_ENDIAN has a number's picture and no viewer; the
// three resource types share one viewer line.
constexpr CRegType kTypes[] = {
    {kRegNone, "REG_NONE", false, P::Binary, V::None, nullptr, F::TypedHex},
    {kRegSz, "REG_SZ", true, P::Text, V::Text, "REG_SZ (Normal String)", F::Text},
    {kRegExpandSz, "REG_EXPAND_SZ", true, P::Text, V::Text, "REG_EXPAND_SZ (Expandable String)", F::TypedHex},
    {kRegBinary, "REG_BINARY", false, P::Binary, V::HexDump, "REG_BINARY (binary data)", F::Hex},
    {kRegDword, "REG_DWORD", false, P::Number, V::Number, "REG_DWORD (32-bit Number)", F::Dword},
    {kRegDwordBigEndian, "REG_DWORD_BIG_ENDIAN", false, P::Number, V::None, nullptr, F::TypedHex},
    {kRegLink, "REG_LINK", false, P::Binary, V::HexDump, "REG_LINK (unicode symbolic link)", F::TypedHex},
    {kRegMultiSz, "REG_MULTI_SZ", true, P::Text, V::StringList, "REG_MULTI_SZ (array of strings)", F::TypedHex},
    {kRegResourceList, "REG_RESOURCE_LIST", false, P::Binary, V::HexDump, "REG_RESOURCE_LIST, ... (resource list)",
     F::TypedHex},
    {kRegFullResourceDescriptor, "REG_FULL_RESOURCE_DESCRIPTOR", false, P::Binary, V::HexDump,
     "REG_RESOURCE_LIST, ... (resource list)", F::TypedHex},
    {kRegResourceRequirementsList, "REG_RESOURCE_REQUIREMENTS_LIST", false, P::Binary, V::HexDump,
     "REG_RESOURCE_LIST, ... (resource list)", F::TypedHex},
    {kRegQword, "REG_QWORD", false, P::Binary, V::HexDump, "REG_QWORD (64-bit Number)", F::TypedHex},
};

constexpr CRegType kUnnamed = {0xFFFFFFFFu, nullptr, false, P::Binary, V::None, nullptr, F::TypedHex};

constexpr uint32_t kTypeCount = sizeof kTypes / sizeof kTypes[0];

constexpr bool InNumberOrder()
{
    for (uint32_t i = 0; i < kTypeCount; ++i)
        if (kTypes[i].number != i)
            return false;
    return true;
}
static_assert(InNumberOrder(), "a type's row sits at its number");

}  // namespace

const CRegType& RegTypeOf(uint32_t type)
{
    return type < kTypeCount ? kTypes[type] : kUnnamed;
}

std::string RegTypeName(uint32_t type)
{
    const char* name = RegTypeOf(type).name;
    return name ? name : "type " + std::to_string(type);
}
