#include "snapshot/TypedPlaces.h"

#include "snapshot/FSSnap.h"
#include "snapshot/RegSnap.h"

std::string ChooseTypedPlaces(bool fileSystem, const std::vector<std::wstring>& typed, CChosenPlaces& places)
{
    for (const std::wstring& place : typed) {
        std::string refusal = fileSystem ? ChooseFolder(place, places) : ChooseKey(place, places, SystemRegistry());
        if (!refusal.empty())
            return refusal;
    }
    return "";
}

std::vector<std::wstring> PlaceLines(const std::wstring& text)
{
    std::vector<std::wstring> lines;
    for (size_t at = 0; at <= text.size();) {
        size_t end = text.find_first_of(L"\r\n", at);
        if (end == std::wstring::npos)
            end = text.size();
        size_t first = text.find_first_not_of(L" \t", at);
        if (first < end) {
            size_t last = text.find_last_not_of(L" \t", end - 1);
            lines.push_back(text.substr(first, last + 1 - first));
        }
        at = end + 1;
    }
    return lines;
}
