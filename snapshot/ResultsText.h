// Texts that finished snapshots show in the results dialog.
#pragma once

#include <cstdint>
#include <string>

// Replaces every "\n" by "\r\n", for the multi-line edit of the results dialog.
std::string ToCrLf(const std::string& text);

// The file-system snapshot's totals and the list of folders that could not be
// accessed; ignoredList holds each path preceded by "\n".
std::string FSResultsText(uint32_t filesFound, uint32_t foldersFound, uint32_t foldersIgnored,
                          const std::string& ignoredList);
