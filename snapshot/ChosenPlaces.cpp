#include "snapshot/ChosenPlaces.h"

#include "compare/AnsiChars.h"

#include <algorithm>
#include <utility>

const SnapPlace* CChosenPlaces::Root(const std::string& recorded) const
{
    for (const SnapPlace& root : m_roots) {
        if (root.recorded == recorded)
            return &root;
    }
    return nullptr;
}

std::string CChosenPlaces::Add(const std::vector<SnapPlace>& steps, const std::string& typed,
                               bool oneRoot)
{
    // Places are told apart by their names as the system holds them: two
    // names that the snapshot records alike are still two places.
    std::vector<std::wstring> names;
    for (const SnapPlace& step : steps)
        names.push_back(step.name);
    for (size_t i = 0; i < m_names.size(); ++i) {
        const std::vector<std::wstring>& other = m_names[i];
        if (oneRoot && other.front() != names.front())
            return typed + " is on another drive than " + m_typed[i] + ".";
        size_t common = static_cast<size_t>(
            std::mismatch(names.begin(), names.end(), other.begin(), other.end()).first - names.begin());
        if (common == names.size() && common == other.size())
            return typed + " is named twice.";
        if (common == other.size())
            return typed + " lies inside " + m_typed[i] + "; name only one of them.";
        if (common == names.size())
            return m_typed[i] + " lies inside " + typed + "; name only one of them.";
    }

    std::vector<SnapPlace>* level = &m_roots;
    SnapPlace* place = nullptr;
    for (const SnapPlace& step : steps) {
        auto known = std::find_if(level->begin(), level->end(),
                                  [&](const SnapPlace& p) { return p.name == step.name; });
        if (known == level->end()) {
            level->push_back(SnapPlace{step.name, step.recorded, false, {}});
            known = level->end() - 1;
        }
        place = &*known;
        level = &place->next;
    }
    place->chosen = true;
    m_names.push_back(std::move(names));
    m_typed.push_back(typed);
    SnapPlacePath recorded;
    for (const SnapPlace& step : steps)
        recorded.push_back(step.recorded);
    m_placePaths.push_back(std::move(recorded));
    return std::string();
}

std::vector<std::string> CChosenPlaces::Paths() const
{
    std::vector<std::string> paths;
    for (const SnapPlacePath& place : m_placePaths)
        paths.push_back(PlacePathText(place));
    return paths;
}

std::string WithChosenPlaces(const std::string& results, const char* heading,
                             const std::vector<std::string>& places)
{
    std::string list = std::string(heading) + "\r\n";
    for (const std::string& place : places)
        AppendShownName(list, place) += "\r\n";
    size_t firstLineEnd = results.find("\r\n\r\n");
    size_t at = firstLineEnd == std::string::npos ? results.size() : firstLineEnd + 4;
    return results.substr(0, at) + list + "\r\n" + results.substr(at);
}

std::string PlaceMissing(const std::string& typed)
{
    return typed + " does not exist.";
}

std::string PlaceIsAFile(const std::string& typed)
{
    return typed + " is a file, not a folder.";
}

std::string PlaceOutsideRoots(const std::string& typed)
{
    return typed + " is not below HKEY_LOCAL_MACHINE or HKEY_USERS.";
}

std::string PlaceNotOnADrive(const std::string& typed)
{
    return typed + " is not on a drive.";
}
