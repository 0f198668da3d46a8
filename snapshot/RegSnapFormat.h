// The registry snapshot file: a 10-byte header (version, keys recorded, root
// count 2), then HKEY_LOCAL_MACHINE and HKEY_USERS, each as a name and a key
// record. A key record is its subkey and value counts, its value records, then
// its subkeys, each as a name followed by its own key record; a value record is
// its name, type, data length and raw data. The counts of a key are known
// before its contents are written, so nothing inside the tree is patched.
#pragma once

#include "snapshot/SnapWriter.h"

#include <cstdint>
#include <string>

constexpr uint32_t kRegSnapRootCount = 2;
extern const char* const kRegSnapRootNames[kRegSnapRootCount];

class CRegSnapWriter {
public:
    explicit CRegSnapWriter(IOutputFile& file) : m_out(file) {}

    // Header with version 0 and keys recorded 2; Finish sets both.
    void WriteHeader();
    // The name of a root or of a subkey entry; its key record follows.
    void WriteKeyName(const char* name, size_t length);
    void WriteKeyName(const std::string& name) { WriteKeyName(name.data(), name.size()); }
    // The head of a key record; exactly that many value records and subkey
    // entries must follow. A key that could not be opened is written as 0, 0.
    void WriteKeyCounts(uint32_t subkeys, uint32_t values);
    void WriteValue(const char* name, size_t nameLength, uint32_t type, const void* data,
                    uint32_t dataLength);
    bool Finish(uint32_t keysRecorded);
    // Hands what is buffered to the file, leaving the version word as it is.
    bool Flush() { return m_out.Flush(); }
    bool Failed() const { return m_out.Failed(); }

private:
    CSnapWriter m_out;
};

// The results text of a finished registry snapshot. With the full-path option
// the keys that could not be opened follow, ignoredList holding each path
// followed by "\r\n".
std::string RegResultsText(uint32_t keysRecorded, uint32_t keysIgnored, bool withList,
                           const std::string& ignoredList);
