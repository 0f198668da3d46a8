#include "snapshot/RegSnapFormat.h"

#include "snapshot/SnapFormat.h"

#include <cstdio>

namespace {

// One value record, to the file or to a key's list of values.
template <class Out>
void PutValueRecord(Out& out, const char* name, size_t nameLength, uint32_t type, const void* data,
                    uint32_t dataLength)
{
    out.PutName(name, nameLength);
    out.PutU32(type);
    out.PutU32(dataLength);
    out.PutBytes(data, dataLength);
}

}  // namespace

const char* const kRegSnapRootNames[kRegSnapRootCount] = {"HKEY_LOCAL_MACHINE", "HKEY_USERS"};

void CRegSnapWriter::WriteHeader()
{
    m_out.PutU16(0);
    m_out.PutU32(kRegSnapRootCount);
    m_out.PutU32(kRegSnapRootCount);
}

void CRegSnapWriter::WriteKeyName(const char* name, size_t length)
{
    m_out.PutName(name, length);
}

uint64_t CRegSnapWriter::WriteKeyCounts(uint32_t subkeys, uint32_t values)
{
    uint64_t offset = m_out.Position();
    m_out.PutU32(subkeys);
    m_out.PutU32(values);
    return offset;
}

void CRegSnapWriter::PatchSubkeyCount(uint64_t countsOffset, uint32_t subkeys)
{
    m_out.PatchU32(countsOffset, subkeys);
}

void CRegSnapWriter::WriteValue(const char* name, size_t nameLength, uint32_t type,
                                const void* data, uint32_t dataLength)
{
    PutValueRecord(m_out, name, nameLength, type, data, dataLength);
}

void CRegSnapWriter::WriteValues(const CRegValueList& values)
{
    const std::vector<uint8_t>& bytes = values.Bytes();
    if (!bytes.empty())
        m_out.PutBytes(bytes.data(), static_cast<uint32_t>(bytes.size()));
}

void CRegValueList::Clear()
{
    m_bytes.clear();
    m_nCount = 0;
    m_names.clear();
}

bool CRegValueList::Add(const char* name, size_t nameLength, uint32_t type, const void* data,
                        uint32_t dataLength)
{
    if (!m_names.emplace(name, nameLength).second)
        return false;
    PutValueRecord(*this, name, nameLength, type, data, dataLength);
    ++m_nCount;
    return true;
}

void CRegValueList::PutName(const char* name, size_t length)
{
    uint16_t n = CountedNameLength(length);
    uint8_t b[2];
    PutLE16(b, n);
    PutBytes(b, 2);
    PutBytes(name, n);
}

void CRegValueList::PutU32(uint32_t v)
{
    uint8_t b[4];
    PutLE32(b, v);
    PutBytes(b, 4);
}

void CRegValueList::PutBytes(const void* data, uint32_t n)
{
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    m_bytes.insert(m_bytes.end(), bytes, bytes + n);
}

bool CRegSnapWriter::Finish(uint32_t keysRecorded)
{
    return m_out.Finish(kRegSnapVersion, keysRecorded);
}

std::string RegResultsText(uint32_t keysRecorded, uint32_t keysIgnored, bool withList,
                           const std::string& ignoredList)
{
    char head[256];
    std::snprintf(head, sizeof head, "OPERATION SUCCESSFUL.\r\n\r\n%u key(s) recorded\r\n%u key(s) ignored",
                  static_cast<unsigned>(keysRecorded), static_cast<unsigned>(keysIgnored));
    if (!withList)
        return head;
    return std::string(head) +
           "\r\n\r\nThe following keys could not be accessed and were ignored:\r\n" + ignoredList;
}
