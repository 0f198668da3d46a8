#include "snapshot/RegSnapFormat.h"

#include "snapshot/SnapFormat.h"

#include <cstdio>

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

void CRegSnapWriter::WriteKeyCounts(uint32_t subkeys, uint32_t values)
{
    m_out.PutU32(subkeys);
    m_out.PutU32(values);
}

void CRegSnapWriter::WriteValue(const char* name, size_t nameLength, uint32_t type,
                                const void* data, uint32_t dataLength)
{
    m_out.PutName(name, nameLength);
    m_out.PutU32(type);
    m_out.PutU32(dataLength);
    m_out.PutBytes(data, dataLength);
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
