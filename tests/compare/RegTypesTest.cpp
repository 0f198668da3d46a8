// What a value's type decides where no other native test holds it type by
// type: the picture of the views and the HTML page, whether its data are
// strings to a registry patch, and its name.
#include "compare/RegTypes.h"

#include <gtest/gtest.h>

namespace {

using P = RegValuePicture;

TEST(RegTypes, PictureStringsAndNameOfEachType)
{
    struct Row {
        uint32_t type;
        P picture;
        bool strings;
        const char* name;
    };
    const Row rows[] = {
        {0, P::Binary, false, "REG_NONE"},      {1, P::Text, true, "REG_SZ"},
        {2, P::Text, true, "REG_EXPAND_SZ"},    {3, P::Binary, false, "REG_BINARY"},
        {4, P::Number, false, "REG_DWORD"},     {5, P::Number, false, "REG_DWORD_BIG_ENDIAN"},
        {6, P::Binary, false, "REG_LINK"},      {7, P::Text, true, "REG_MULTI_SZ"},
        {8, P::Binary, false, "REG_RESOURCE_LIST"},
        {9, P::Binary, false, "REG_FULL_RESOURCE_DESCRIPTOR"},
        {10, P::Binary, false, "REG_RESOURCE_REQUIREMENTS_LIST"},
        {11, P::Binary, false, "REG_QWORD"},    {12, P::Binary, false, "type 12"},
        {0xFFFFFFFFu, P::Binary, false, "type 4294967295"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(RegTypeOf(row.type).picture, row.picture) << row.type;
        EXPECT_EQ(RegTypeOf(row.type).strings, row.strings) << row.type;
        EXPECT_EQ(RegTypeName(row.type), row.name) << row.type;
    }
}

}  // namespace
