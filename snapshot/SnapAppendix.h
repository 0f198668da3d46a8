// The appendix that every snapshot file this program writes carries after its
// last record, where the records end and readers of the records stop: what
// the snapshot is, told in tagged sections so that later sections can be
// added and a reader passes over those it does not know.
//
//   marker    16 bytes  0x89 "CORVANE.APX" CR LF 0x1A LF
//   version    2        kAppendixVersion
//   sections, each:
//     tag      4        four ASCII characters
//     length   4        bytes of the section's data that follow
//     data     length
//   the last section is "END " with length 0; nothing follows it.
//
// Sections of version 1 (integers little-endian, texts counted by a 16-bit
// length as the records' names are):
//   "CP  "  the system's ANSI code page of the records' names and strings: 4
//   "WRTR"  the program that wrote the file and its version: two texts
//   "PLCS"  only in a snapshot of chosen folders or keys: the number of
//           places (4), then each place as the number of its names (2) and
//           the names from the root down, as the records spell them ("C:",
//           "Program Files"; "HKEY_LOCAL_MACHINE", "Software")
// and what the records cannot hold, each section only when it holds
// something, its entries in the order of their records. A record is named
// by its number: the records counted in file order from 0, the root folder
// (HKEY_LOCAL_MACHINE's entry), every folder, file, key and value one.
//   "NAME"  names whose ANSI form does not read back as the name: the number
//           of entries (4), then each as its record's number (4), the name's
//           count of UTF-16 units (2) and the units
//   "STRS"  string data (REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ) whose ANSI
//           form does not read back as the data: the number of entries (4),
//           then each as the record's number (4), the data's length in bytes
//           (4) and the data as the registry holds them
//   "SIZE"  files of 4 GiB and more: the number of entries (4), then each as
//           the record's number (4) and the high 32 bits of the size (4)
// and, only in a file-system snapshot taken with hashes of the files'
// contents:
//   "HASH"  the size limit of the hashing (8; 0: none), the number of file
//           records (4), then one entry for every file record, in file
//           order: its mark (1), and for a file that was hashed (mark 0)
//           the SHA-256 of its content (32); marks 1 to 6 tell why a file
//           was not hashed (HashMark)
//
// A file without the marker after its last record was written before the
// appendix existed, and is read as it always was.
#pragma once

#include "seams/SnapFile.h"

#include <cstdint>
#include <string>
#include <vector>

class CSnapReader;
class CSnapWriter;

constexpr uint16_t kAppendixVersion = 1;
constexpr size_t kAppendixMarkerSize = 16;
extern const uint8_t kAppendixMarker[kAppendixMarkerSize];

// A place of a snapshot of chosen places: its names from the root down.
using SnapPlacePath = std::vector<std::string>;
// The names joined by backslashes: "HKEY_LOCAL_MACHINE\Software\Vendor".
std::string PlacePathText(const SnapPlacePath& place);

// What the records of a snapshot could not hold, by record number.
struct CExactName {
    uint32_t record;
    std::u16string name;
};
struct CExactString {
    uint32_t record;
    std::vector<uint8_t> data;
};
struct CLargeSize {
    uint32_t record;
    uint32_t high;
};

// Whether a file's content was hashed, or why not.
enum class HashMark : uint8_t {
    Hashed = 0,
    TooLarge = 1,    // larger than the limit the snapshot was taken with
    InUse = 2,       // opened by another program that shares it with none
    Denied = 3,      // no right to read it
    Unreadable = 4,  // reading failed, or it was gone before it was read
    Changed = 5,     // its size changed between its listing and its reading
    Online = 6,      // its content is kept elsewhere (offline or in the cloud)
};
constexpr uint8_t kLastHashMark = 6;
constexpr size_t kSha256Size = 32;

// A file's entry of the hash section; sha256 holds something only when hashed.
struct CFileHash {
    HashMark mark = HashMark::Hashed;
    uint8_t sha256[kSha256Size] = {};
};

// Why a file was not hashed, as the results, properties and reports tell
// it: "in use by another program"; empty for a hashed file.
const char* HashMarkReason(HashMark mark);
// The hash as 64 lower-case hexadecimal digits, as certutil and sha256sum
// print it.
std::string Sha256Hex(const uint8_t* sha256);

struct CExactParts {
    std::vector<CExactName> names;
    std::vector<CExactString> strings;
    std::vector<CLargeSize> sizes;
    // One entry for every file record, in file order, when the contents
    // were hashed; none otherwise.
    std::vector<CFileHash> hashes;
    bool hashed = false;
    uint64_t hashLimit = 0;  // 0: none

    bool Empty() const { return names.empty() && strings.empty() && sizes.empty() && !hashed; }
};

struct CSnapAppendix {
    bool present = false;   // the file carries an appendix
    uint32_t codePage = 0;  // 0: not told
    std::string program, version;
    // The chosen places; none in a snapshot of a whole drive or registry.
    std::vector<SnapPlacePath> places;
    CExactParts exact;

    // The file says that it holds the whole drive or registry.
    bool Whole() const { return present && places.empty(); }
};

// Appends the appendix after the last record.
void WriteAppendix(CSnapWriter& out, const CSnapAppendix& appendix);

enum class AppendixRead {
    None,     // nothing after the last record, or bytes that are no appendix
    Read,
    Damaged,  // the marker, and then what no appendix of this version holds
    Newer,    // an appendix of a later version than this program reads
};

// Reads what follows the last record. maxNames: the deepest place a
// snapshot of the kind can hold.
AppendixRead ReadAppendix(CSnapReader& in, uint32_t maxNames, CSnapAppendix& appendix);

// The refusals of a file whose appendix cannot be read.
extern const char* const kAppendixDamaged;
extern const char* const kAppendixNewer;
