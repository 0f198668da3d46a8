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

void CRegSnapWriter::WriteKeyName(const char* name, size_t length, std::u16string_view exact)
{
    if (!exact.empty())
        m_exact.names.push_back(CExactName{m_nRecords, std::u16string(exact)});
    ++m_nRecords;
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
                                const void* data, uint32_t dataLength, const CValueExactParts& exact)
{
    if (!exact.name.empty())
        m_exact.names.push_back(CExactName{m_nRecords, exact.name});
    if (exact.hasData)
        m_exact.strings.push_back(CExactString{m_nRecords, exact.data});
    ++m_nRecords;
    PutValueRecord(m_out, name, nameLength, type, data, dataLength);
}

void CRegSnapWriter::WriteValues(const CRegValueList& values)
{
    const std::vector<uint8_t>& bytes = values.Bytes();
    if (!bytes.empty())
        m_out.PutBytes(bytes.data(), static_cast<uint32_t>(bytes.size()));
    for (const auto& [index, parts] : values.ExactParts()) {
        if (!parts.name.empty())
            m_exact.names.push_back(CExactName{m_nRecords + index, parts.name});
        if (parts.hasData)
            m_exact.strings.push_back(CExactString{m_nRecords + index, parts.data});
    }
    m_nRecords += values.Count();
}

void CRegSnapWriter::WriteAppendix(CSnapAppendix appendix)
{
    appendix.exact = std::move(m_exact);
    ::WriteAppendix(m_out, appendix);
}

void CRegValueList::Clear()
{
    m_bytes.clear();
    m_nCount = 0;
    m_names.clear();
    m_exact.clear();
}

bool CRegValueList::Add(const char* name, size_t nameLength, uint32_t type, const void* data,
                        uint32_t dataLength, CValueExactParts exact)
{
    // An exact name is told from every recorded one by a byte no ANSI name
    // holds first.
    std::string key = exact.name.empty()
                          ? std::string(name, nameLength)
                          : std::string(1, '\0') + std::string(reinterpret_cast<const char*>(exact.name.data()),
                                                               2 * exact.name.size());
    if (!m_names.insert(std::move(key)).second)
        return false;
    PutValueRecord(*this, name, nameLength, type, data, dataLength);
    if (!exact.name.empty() || exact.hasData)
        m_exact.emplace_back(m_nCount, std::move(exact));
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
