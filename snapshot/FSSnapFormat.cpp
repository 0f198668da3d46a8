#include "snapshot/FSSnapFormat.h"

#include "snapshot/SnapFormat.h"

#include <utility>

void CFSSnapWriter::WriteHeader(char driveLetter)
{
    m_out.PutU16(0);
    m_out.PutU32(0);
    m_out.PutU8(static_cast<uint8_t>(driveLetter));
}

uint64_t CFSSnapWriter::BeginFolder(const char* name, size_t length, std::u16string_view exact)
{
    if (!exact.empty())
        m_exact.names.push_back(CExactName{m_nRecords, std::u16string(exact)});
    ++m_nRecords;
    m_out.PutName(name, length);
    uint64_t countsOffset = m_out.Position();
    m_out.PutU32(0);
    m_out.PutU32(0);
    return countsOffset;
}

void CFSSnapWriter::WriteFile(const char* name, size_t length, uint64_t creationTime,
                              uint64_t lastWriteTime, uint64_t size, std::u16string_view exact)
{
    if (!exact.empty())
        m_exact.names.push_back(CExactName{m_nRecords, std::u16string(exact)});
    if (size >> 32)
        m_exact.sizes.push_back(CLargeSize{m_nRecords, static_cast<uint32_t>(size >> 32)});
    ++m_nRecords;
    m_out.PutName(name, length);
    m_out.PutU64(creationTime);
    m_out.PutU64(lastWriteTime);
    m_out.PutU32(static_cast<uint32_t>(size));
}

void CFSSnapWriter::WriteAppendix(CSnapAppendix appendix)
{
    // The hashes come from the walk's hasher, the rest from the records.
    m_exact.hashes = std::move(appendix.exact.hashes);
    m_exact.hashed = appendix.exact.hashed;
    m_exact.hashLimit = appendix.exact.hashLimit;
    appendix.exact = std::move(m_exact);
    ::WriteAppendix(m_out, appendix);
}

void CFSSnapWriter::EndFolder(uint64_t countsOffset, uint32_t subfolders, uint32_t files)
{
    m_out.PatchU32(countsOffset, subfolders);
    m_out.PatchU32(countsOffset + 4, files);
}

bool CFSSnapWriter::Finish(uint32_t folderCount)
{
    return m_out.Finish(kFSSnapVersion, folderCount);
}

std::string FSRootName(char driveLetter)
{
    return std::string(1, driveLetter) + ":";
}
