// The registry's value types and everything the program decides by a value's
// type, in one table: the type's name, whether its data are strings, the
// picture of the value in the results trees and on the HTML page, how the
// viewers show it and the line they name it with, and the form a registry
// patch writes it in. A snapshot records any type number; a type the registry
// does not name gets the row of an unnamed type.
#pragma once

#include <cstdint>
#include <string>

enum : uint32_t {
    kRegNone = 0,
    kRegSz = 1,
    kRegExpandSz = 2,
    kRegBinary = 3,
    kRegDword = 4,
    kRegDwordBigEndian = 5,
    kRegLink = 6,
    kRegMultiSz = 7,
    kRegResourceList = 8,
    kRegFullResourceDescriptor = 9,
    kRegResourceRequirementsList = 10,
    kRegQword = 11,
};

// The picture of a value: text, a number or binary data.
enum class RegValuePicture { Text, Number, Binary };

// How the viewers show a type's data; None when no viewer does.
enum class RegDataView {
    None,
    Text,        // the text viewer: the string as stored
    Number,      // the number viewer: in decimal
    StringList,  // the data viewer: one string per line
    HexDump,     // the data viewer: byte by byte
};

// The form a registry file writes a type's data in when the data fit it;
// hex(N): carries any data of any type.
enum class RegFileForm {
    TypedHex,  // hex(N):
    Text,      // "text"
    Dword,     // dword:
    Hex,       // hex:
};

struct CRegType {
    uint32_t number;   // the row's type; 0xFFFFFFFF in the unnamed type's row
    const char* name;  // "REG_MULTI_SZ"; null for a type the registry does not name
    // Text in the ANSI code page that ends with a zero byte, which the
    // registry editor converts on import and adds when it is missing.
    bool strings;
    RegValuePicture picture;
    RegDataView view;
    const char* viewerLine;  // null when no viewer shows the type
    RegFileForm fileForm;
};

// The row of type, or the unnamed type's row for a type the registry does not name.
const CRegType& RegTypeOf(uint32_t type);

// "REG_MULTI_SZ" for the types the registry names, "type 12" for any other.
std::string RegTypeName(uint32_t type);
