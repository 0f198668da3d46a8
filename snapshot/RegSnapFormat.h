// The registry snapshot file: a 10-byte header (version, keys recorded, root
// count 2), then HKEY_LOCAL_MACHINE and HKEY_USERS, each as a name and a key
// record. A key record is its subkey and value counts, its value records, then
// its subkeys, each as a name followed by its own key record; a value record is
// its name, type, data length and raw data. The counts of a key are written
// before its contents; a subkey that vanishes before it is recorded is taken
// off its parent's count afterwards.
#pragma once

#include "snapshot/SnapAppendix.h"
#include "snapshot/SnapWriter.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <unordered_set>
#include <vector>

constexpr uint32_t kRegSnapRootCount = 2;
extern const char* const kRegSnapRootNames[kRegSnapRootCount];

// What a value record cannot hold: the exact name, the exact string data.
struct CValueExactParts {
    std::u16string name;        // empty: the recorded name is exact
    std::vector<uint8_t> data;  // as the registry holds them
    bool hasData = false;       // the recorded data are not exact
};

// The value records of one key, gathered before they are written, so that a
// listing that changed while it was read can be read again, and a value met
// twice (the listing shifted under the reader) is recorded once.
class CRegValueList {
public:
    void Clear();
    // False, and nothing added, when a value of that name is already listed.
    // Names are told apart by what the system holds: the exact name where
    // the recorded one is not exact.
    bool Add(const char* name, size_t nameLength, uint32_t type, const void* data, uint32_t dataLength,
             CValueExactParts exact = {});
    uint32_t Count() const { return m_nCount; }
    const std::vector<uint8_t>& Bytes() const { return m_bytes; }
    // The exact parts of the values that have them, by position in the list.
    const std::vector<std::pair<uint32_t, CValueExactParts>>& ExactParts() const { return m_exact; }

    // The record's fields, appended as the file holds them.
    void PutName(const char* name, size_t length);
    void PutU32(uint32_t v);
    void PutBytes(const void* data, uint32_t n);

private:
    std::vector<uint8_t> m_bytes;
    uint32_t m_nCount = 0;
    std::unordered_set<std::string> m_names;
    std::vector<std::pair<uint32_t, CValueExactParts>> m_exact;
};

class CRegSnapWriter {
public:
    explicit CRegSnapWriter(IOutputFile& file) : m_out(file) {}

    // Header with version 0 and keys recorded 2; Finish sets both.
    void WriteHeader();
    // The name of a root or of a subkey entry; its key record follows.
    // exact: the name the system holds, when name is not it.
    void WriteKeyName(const char* name, size_t length, std::u16string_view exact = {});
    void WriteKeyName(const std::string& name, std::u16string_view exact = {})
    {
        WriteKeyName(name.data(), name.size(), exact);
    }
    // The head of a key record; exactly that many value records and subkey
    // entries must follow, unless the subkey count is patched. A key that
    // could not be opened is written as 0, 0. Returns where the counts are.
    uint64_t WriteKeyCounts(uint32_t subkeys, uint32_t values);
    // Corrects the subkey count of the key record whose counts are at offset.
    void PatchSubkeyCount(uint64_t countsOffset, uint32_t subkeys);
    void WriteValue(const char* name, size_t nameLength, uint32_t type, const void* data,
                    uint32_t dataLength, const CValueExactParts& exact = {});
    void WriteValues(const CRegValueList& values);
    // What the snapshot is, after its last record, with what the records
    // could not hold.
    void WriteAppendix(CSnapAppendix appendix);
    bool Finish(uint32_t keysRecorded);
    // Hands what is buffered to the file, leaving the version word as it is.
    bool Flush() { return m_out.Flush(); }
    bool Failed() const { return m_out.Failed(); }

private:
    CSnapWriter m_out;
    uint32_t m_nRecords = 0;  // written so far, the number of the next
    CExactParts m_exact;
};

// The results text of a finished registry snapshot. With the full-path option
// the keys that could not be opened follow, ignoredList holding each path
// followed by "\r\n".
std::string RegResultsText(uint32_t keysRecorded, uint32_t keysIgnored, bool withList,
                           const std::string& ignoredList);
