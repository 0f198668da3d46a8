#include "snapshot/ResultsText.h"

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
