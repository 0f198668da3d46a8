#include "snapshot/SnapAppendix.h"

#include "compare/SnapReader.h"
#include "snapshot/SnapFormat.h"
#include "snapshot/SnapWriter.h"

#include <cstring>
#include <utility>

const uint8_t kAppendixMarker[kAppendixMarkerSize] = {0x89, 'C', 'O', 'R', 'V', 'A', 'N', 'E',
                                                      '.',  'A', 'P', 'X', '\r', '\n', 0x1A, '\n'};

const char* const kAppendixDamaged =
    "Error reading snap shot.  The record of what the snap shot holds, after its last entry, is damaged.";
const char* const kAppendixNewer =
    "Error reading snap shot.  It was written by a later version of Corvane, which this version cannot read.";

namespace {

using Tag = uint32_t;

constexpr Tag MakeTag(const char (&text)[5])
{
    return static_cast<uint32_t>(static_cast<uint8_t>(text[0])) |
           static_cast<uint32_t>(static_cast<uint8_t>(text[1])) << 8 |
           static_cast<uint32_t>(static_cast<uint8_t>(text[2])) << 16 |
           static_cast<uint32_t>(static_cast<uint8_t>(text[3])) << 24;
}

constexpr Tag kCodePageTag = MakeTag("CP  ");
constexpr Tag kWriterTag = MakeTag("WRTR");
constexpr Tag kPlacesTag = MakeTag("PLCS");
constexpr Tag kNamesTag = MakeTag("NAME");
constexpr Tag kStringsTag = MakeTag("STRS");
constexpr Tag kSizesTag = MakeTag("SIZE");
constexpr Tag kHashesTag = MakeTag("HASH");
constexpr Tag kEndTag = MakeTag("END ");

// A section's data, gathered before they are written with their length.
class CSectionBytes {
public:
    void PutU16(uint16_t v)
    {
        uint8_t b[2];
        PutLE16(b, v);
        m_bytes.insert(m_bytes.end(), b, b + 2);
    }
    void PutU32(uint32_t v)
    {
        uint8_t b[4];
        PutLE32(b, v);
        m_bytes.insert(m_bytes.end(), b, b + 4);
    }
    void PutBytes(const void* data, size_t n)
    {
        const uint8_t* bytes = static_cast<const uint8_t*>(data);
        m_bytes.insert(m_bytes.end(), bytes, bytes + n);
    }
    void PutUnits(const std::u16string& units)
    {
        PutU16(static_cast<uint16_t>(units.size()));
        for (char16_t unit : units)
            PutU16(static_cast<uint16_t>(unit));
    }
    void PutText(const std::string& text)
    {
        uint16_t n = CountedNameLength(text.size());
        PutU16(n);
        m_bytes.insert(m_bytes.end(), text.begin(), text.begin() + n);
    }
    void WriteTo(CSnapWriter& out, Tag tag) const
    {
        out.PutU32(tag);
        out.PutU32(static_cast<uint32_t>(m_bytes.size()));
        if (!m_bytes.empty())
            out.PutBytes(m_bytes.data(), static_cast<uint32_t>(m_bytes.size()));
    }

private:
    std::vector<uint8_t> m_bytes;
};

// Reads a section's data, never past its length.
class CSectionReader {
public:
    CSectionReader(CSnapReader& in, uint32_t length) : m_in(in), m_left(length) {}

    bool ReadU16(uint16_t& v) { return Take(2) && m_in.ReadU16(v); }
    bool ReadU32(uint32_t& v) { return Take(4) && m_in.ReadU32(v); }
    bool ReadU64(uint64_t& v) { return Take(8) && m_in.ReadU64(v); }
    bool ReadText(std::string& text)
    {
        uint16_t n;
        if (!ReadU16(n) || !Take(n))
            return false;
        text.resize(n);
        if (n && !m_in.ReadBytes(&text[0], n))
            return false;
        // Cut at a zero byte, as the records' names are read.
        text.resize(std::strlen(text.c_str()));
        return true;
    }
    bool ReadBytes(void* data, uint32_t n) { return Take(n) && m_in.ReadBytes(data, n); }
    uint32_t Left() const { return m_left; }

private:
    bool Take(uint32_t n)
    {
        if (n > m_left)
            return false;
        m_left -= n;
        return true;
    }

    CSnapReader& m_in;
    uint32_t m_left;
};

// Places are gathered as they are read: the counts and the section's length
// are the file's word, never room taken ahead of the bytes.
bool ReadPlaces(CSectionReader& section, uint32_t maxNames, std::vector<SnapPlacePath>& places)
{
    uint32_t count;
    if (!section.ReadU32(count) || count == 0)
        return false;
    for (uint32_t i = 0; i < count; ++i) {
        uint16_t names;
        if (!section.ReadU16(names) || names == 0 || names > maxNames)
            return false;
        SnapPlacePath place;
        for (uint16_t n = 0; n < names; ++n) {
            std::string name;
            if (!section.ReadText(name))
                return false;
            place.push_back(std::move(name));
        }
        places.push_back(std::move(place));
    }
    return true;
}

// An entry's record number, after the one before it.
bool ReadRecordNumber(CSectionReader& section, uint32_t& record, bool first, uint32_t previous)
{
    return section.ReadU32(record) && (first || record > previous);
}

// Reads the entries of a section of exact parts: their number, then each
// with its record's number, in ascending order, and readEntry for the rest.
template <class Entry, class ReadEntry>
bool ReadEntries(CSectionReader& section, std::vector<Entry>& entries, ReadEntry readEntry)
{
    uint32_t count;
    if (!section.ReadU32(count) || count == 0)
        return false;
    for (uint32_t i = 0; i < count; ++i) {
        Entry entry{};
        if (!ReadRecordNumber(section, entry.record, i == 0, i ? entries.back().record : 0) ||
            !readEntry(entry))
            return false;
        entries.push_back(std::move(entry));
    }
    return true;
}

// A name of the system: 1 to 65,535 units, none of them zero.
bool ReadExactName(CSectionReader& section, CExactName& entry)
{
    uint16_t units;
    if (!section.ReadU16(units) || units == 0)
        return false;
    entry.name.resize(units);
    for (char16_t& unit : entry.name) {
        uint16_t u;
        if (!section.ReadU16(u) || u == 0)
            return false;
        unit = u;
    }
    return true;
}

bool ReadExactString(CSectionReader& section, CExactString& entry)
{
    uint32_t length;
    if (!section.ReadU32(length) || length == 0 || length > section.Left())
        return false;
    // Room grows with the bytes that arrive, never ahead of them on the
    // word of a length.
    constexpr uint32_t kChunk = 64 * 1024;
    for (uint32_t got = 0; got < length;) {
        uint32_t n = length - got < kChunk ? length - got : kChunk;
        entry.data.resize(got + n);
        if (!section.ReadBytes(entry.data.data() + got, n))
            return false;
        got += n;
    }
    return true;
}

bool ReadLargeSize(CSectionReader& section, CLargeSize& entry)
{
    return section.ReadU32(entry.high) && entry.high != 0;
}

// The hash section's entries arrive one by one: the number of files is the
// file's word, checked against the records when the tree takes them.
bool ReadHashes(CSectionReader& section, CExactParts& exact)
{
    uint32_t count;
    if (!section.ReadU64(exact.hashLimit) || !section.ReadU32(count))
        return false;
    for (uint32_t i = 0; i < count; ++i) {
        CFileHash entry;
        uint8_t mark;
        if (!section.ReadBytes(&mark, 1) || mark > kLastHashMark)
            return false;
        entry.mark = static_cast<HashMark>(mark);
        if (entry.mark == HashMark::Hashed && !section.ReadBytes(entry.sha256, kSha256Size))
            return false;
        exact.hashes.push_back(entry);
    }
    exact.hashed = true;
    return true;
}

AppendixRead ReadSections(CSnapReader& in, uint32_t maxNames, CSnapAppendix& appendix)
{
    bool seenCodePage = false, seenWriter = false, seenPlaces = false;
    bool seenNames = false, seenStrings = false, seenSizes = false, seenHashes = false;
    CExactParts& exact = appendix.exact;
    for (;;) {
        uint32_t tag, length;
        if (!in.ReadU32(tag) || !in.ReadU32(length))
            return AppendixRead::Damaged;
        if (tag == kEndTag)
            return length == 0 && in.AtEnd() ? AppendixRead::Read : AppendixRead::Damaged;
        CSectionReader section(in, length);
        bool ok;
        if (tag == kCodePageTag) {
            ok = !seenCodePage && section.ReadU32(appendix.codePage);
            seenCodePage = true;
        } else if (tag == kWriterTag) {
            ok = !seenWriter && section.ReadText(appendix.program) && section.ReadText(appendix.version);
            seenWriter = true;
        } else if (tag == kPlacesTag) {
            ok = !seenPlaces && ReadPlaces(section, maxNames, appendix.places);
            seenPlaces = true;
        } else if (tag == kNamesTag) {
            ok = !seenNames && ReadEntries(section, exact.names, [&](CExactName& e) { return ReadExactName(section, e); });
            seenNames = true;
        } else if (tag == kStringsTag) {
            ok = !seenStrings &&
                 ReadEntries(section, exact.strings, [&](CExactString& e) { return ReadExactString(section, e); });
            seenStrings = true;
        } else if (tag == kSizesTag) {
            ok = !seenSizes && ReadEntries(section, exact.sizes, [&](CLargeSize& e) { return ReadLargeSize(section, e); });
            seenSizes = true;
        } else if (tag == kHashesTag) {
            ok = !seenHashes && ReadHashes(section, exact);
            seenHashes = true;
        } else {
            // A section of a later version: passed over.
            ok = in.Skip(length);
            if (!ok)
                return AppendixRead::Damaged;
            continue;
        }
        // A known section is read whole, to the byte, and only once.
        if (!ok || section.Left() != 0)
            return AppendixRead::Damaged;
    }
}

}  // namespace

const char* HashMarkReason(HashMark mark)
{
    switch (mark) {
    case HashMark::Hashed: return "";
    case HashMark::TooLarge: return "larger than the limit";
    case HashMark::InUse: return "in use by another program";
    case HashMark::Denied: return "access denied";
    case HashMark::Unreadable: return "could not be read";
    case HashMark::Changed: return "changed while it was read";
    case HashMark::Online: return "content not on this computer";
    }
    return "";
}

std::string Sha256Hex(const uint8_t* sha256)
{
    static const char digits[] = "0123456789abcdef";
    std::string text(2 * kSha256Size, '0');
    for (size_t i = 0; i < kSha256Size; ++i) {
        text[2 * i] = digits[sha256[i] >> 4];
        text[2 * i + 1] = digits[sha256[i] & 15];
    }
    return text;
}

std::string PlacePathText(const SnapPlacePath& place)
{
    std::string path;
    for (const std::string& name : place)
        (path += path.empty() ? "" : "\\") += name;
    return path;
}

void WriteAppendix(CSnapWriter& out, const CSnapAppendix& appendix)
{
    out.PutBytes(kAppendixMarker, kAppendixMarkerSize);
    out.PutU16(kAppendixVersion);

    CSectionBytes codePage;
    codePage.PutU32(appendix.codePage);
    codePage.WriteTo(out, kCodePageTag);

    CSectionBytes writer;
    writer.PutText(appendix.program);
    writer.PutText(appendix.version);
    writer.WriteTo(out, kWriterTag);

    if (!appendix.places.empty()) {
        CSectionBytes places;
        places.PutU32(static_cast<uint32_t>(appendix.places.size()));
        for (const SnapPlacePath& place : appendix.places) {
            places.PutU16(static_cast<uint16_t>(place.size()));
            for (const std::string& name : place)
                places.PutText(name);
        }
        places.WriteTo(out, kPlacesTag);
    }
    const CExactParts& exact = appendix.exact;
    if (!exact.names.empty()) {
        CSectionBytes names;
        names.PutU32(static_cast<uint32_t>(exact.names.size()));
        for (const CExactName& entry : exact.names) {
            names.PutU32(entry.record);
            names.PutUnits(entry.name);
        }
        names.WriteTo(out, kNamesTag);
    }
    if (!exact.strings.empty()) {
        CSectionBytes strings;
        strings.PutU32(static_cast<uint32_t>(exact.strings.size()));
        for (const CExactString& entry : exact.strings) {
            strings.PutU32(entry.record);
            strings.PutU32(static_cast<uint32_t>(entry.data.size()));
            strings.PutBytes(entry.data.data(), entry.data.size());
        }
        strings.WriteTo(out, kStringsTag);
    }
    if (!exact.sizes.empty()) {
        CSectionBytes sizes;
        sizes.PutU32(static_cast<uint32_t>(exact.sizes.size()));
        for (const CLargeSize& entry : exact.sizes) {
            sizes.PutU32(entry.record);
            sizes.PutU32(entry.high);
        }
        sizes.WriteTo(out, kSizesTag);
    }
    if (exact.hashed) {
        CSectionBytes hashes;
        uint8_t limit[8];
        PutLE64(limit, exact.hashLimit);
        hashes.PutBytes(limit, sizeof limit);
        hashes.PutU32(static_cast<uint32_t>(exact.hashes.size()));
        for (const CFileHash& entry : exact.hashes) {
            hashes.PutBytes(&entry.mark, 1);
            if (entry.mark == HashMark::Hashed)
                hashes.PutBytes(entry.sha256, kSha256Size);
        }
        hashes.WriteTo(out, kHashesTag);
    }
    CSectionBytes().WriteTo(out, kEndTag);
}

AppendixRead ReadAppendix(CSnapReader& in, uint32_t maxNames, CSnapAppendix& appendix)
{
    appendix = CSnapAppendix();
    uint8_t marker[kAppendixMarkerSize];
    uint32_t got = in.ReadUpTo(marker, kAppendixMarkerSize);
    // Bytes after the last record that are no appendix are not looked at,
    // as readers always did; the start of a marker that the file cuts off is
    // an appendix cut short.
    if (got == 0 || std::memcmp(marker, kAppendixMarker, got) != 0)
        return AppendixRead::None;
    uint16_t version;
    if (got < kAppendixMarkerSize || !in.ReadU16(version) || version == 0)
        return AppendixRead::Damaged;
    if (version > kAppendixVersion)
        return AppendixRead::Newer;
    AppendixRead read = ReadSections(in, maxNames, appendix);
    if (read != AppendixRead::Read) {
        appendix = CSnapAppendix();
        return read;
    }
    appendix.present = true;
    return read;
}
