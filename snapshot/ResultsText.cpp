#include "snapshot/ResultsText.h"

#include "compare/FileProperties.h"

#include <cstdio>

std::string ToCrLf(const std::string& text)
{
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (char c : text) {
        if (c == '\n')
            out += '\r';
        out += c;
    }
    return out;
}

std::string FSResultsText(uint32_t filesFound, uint32_t foldersFound, uint32_t foldersIgnored,
                          const std::string& ignoredList)
{
    char head[512];
    std::snprintf(head, sizeof head,
                  "OPERATION SUCCESSFUL.\n\n%u files found\n%u directories found\n"
                  "%u directories ignored\n\nThe following directories could not be accessed "
                  "and contents were ignored:\n",
                  static_cast<unsigned>(filesFound), static_cast<unsigned>(foldersFound),
                  static_cast<unsigned>(foldersIgnored));
    return ToCrLf(head + ignoredList);
}

std::string NtfsResultsText(char driveLetter, uint32_t fromTable, uint32_t listed, const std::string& notUsed)
{
    const std::string table = std::string("the NTFS master file table of drive ") + driveLetter + ":";
    if (fromTable == 0)
        return notUsed.empty() ? std::string()
                               : ToCrLf("The directories were listed through the file system: " + table +
                                        " could not be used (" + notUsed + ").\n");
    std::string text = "The directories were read from " + table;
    if (listed)
        text += ", but for " + std::to_string(listed) +
                " listed through the file system (not in the table, or failing its checks)";
    return ToCrLf(text + ".\n");
}

uint32_t CHashCounts::NotHashed() const
{
    uint32_t total = 0;
    for (uint32_t count : byMark)
        total += count;
    return total;
}

std::string HashResultsText(const CHashCounts& counts, uint64_t limit, const std::string& unreadable)
{
    std::string text = std::to_string(counts.hashed) + " files hashed (SHA-256)\n" +
                       std::to_string(counts.NotHashed()) + " files not hashed";
    for (uint8_t mark = 1; mark <= kLastHashMark; ++mark) {
        const uint32_t count = counts.byMark[mark];
        if (count == 0)
            continue;
        text += "\n  " + std::to_string(count) + " " + HashMarkReason(static_cast<HashMark>(mark));
        if (static_cast<HashMark>(mark) == HashMark::TooLarge)
            text += " of " + FormatSizeText(limit);
    }
    if (!unreadable.empty())
        text += "\n\nThe following files could not be read and were not hashed:" + unreadable;
    return ToCrLf(text + "\n");
}

std::string HashedShare(uint64_t read, uint64_t listed)
{
    auto megabytes = [](uint64_t bytes) {
        std::string text = FormatSizeText(bytes / 1000000);
        return text.substr(0, text.size() - 6);  // without " bytes"
    };
    return megabytes(read) + " of " + megabytes(listed) + " MB read";
}
