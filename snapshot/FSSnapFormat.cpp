#include "snapshot/FSSnapFormat.h"

#include "snapshot/SnapFormat.h"

void CFSSnapWriter::WriteHeader(char driveLetter)
{
    m_out.PutU16(0);
    m_out.PutU32(0);
    m_out.PutU8(static_cast<uint8_t>(driveLetter));
}

uint64_t CFSSnapWriter::BeginFolder(const char* name, size_t length)
{
    m_out.PutName(name, length);
    uint64_t countsOffset = m_out.Position();
    m_out.PutU32(0);
    m_out.PutU32(0);
    return countsOffset;
}

void CFSSnapWriter::WriteFile(const char* name, size_t length, uint64_t creationTime,
                              uint64_t lastWriteTime, uint32_t sizeLow)
{
    m_out.PutName(name, length);
    m_out.PutU64(creationTime);
    m_out.PutU64(lastWriteTime);
    m_out.PutU32(sizeLow);
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
