// The places a snapshot of chosen folders or keys records: the tree of the
// paths from a root (a drive's root folder, a registry root) down to each
// chosen place. A step on the way is recorded holding only the next steps of
// the paths; a chosen place is recorded with everything below it, by the
// rules of the whole snapshot. A snapshot with no places is a whole one.
#pragma once

#include "snapshot/SnapAppendix.h"

#include <string>
#include <vector>

struct SnapPlace {
    std::wstring name;       // as the system names it; opens it
    std::string recorded;    // as the snapshot records it
    bool chosen = false;     // recorded with everything below it
    std::vector<SnapPlace> next;  // the steps below, on the way to chosen places
};

class CChosenPlaces {
public:
    bool Empty() const { return m_roots.empty(); }
    // The root of that recorded name, or null when no place lies below it.
    const SnapPlace* Root(const std::string& recorded) const;
    const std::vector<SnapPlace>& Roots() const { return m_roots; }
    // The chosen places' paths, in the order given, as the snapshot records them.
    std::vector<std::string> Paths() const;
    // The same places as names from the root down, as the appendix keeps them.
    const std::vector<SnapPlacePath>& PlacePaths() const { return m_placePaths; }

    // Adds the place at the end of the path, whose steps (root first) are
    // named as the system names them. Returns why the place is refused, with
    // its path as typed, or an empty text: a place named twice, one inside
    // another, or, with oneRoot, one below another root than the others.
    std::string Add(const std::vector<SnapPlace>& steps, const std::string& typed, bool oneRoot);

private:
    std::vector<SnapPlace> m_roots;
    // Each chosen place: its names as recorded, its steps' names, as typed.
    std::vector<SnapPlacePath> m_placePaths;
    std::vector<std::vector<std::wstring>> m_names;
    std::vector<std::string> m_typed;
};

// The results text of a snapshot of chosen places: the whole snapshot's
// text with, after its first line, the heading and the places one per line,
// each shown as AppendShownName shows names.
std::string WithChosenPlaces(const std::string& results, const char* heading,
                             const std::vector<std::string>& places);

// Refusals of a place, each formatted with the place as typed.
std::string PlaceMissing(const std::string& typed);
std::string PlaceIsAFile(const std::string& typed);
std::string PlaceOutsideRoots(const std::string& typed);
std::string PlaceNotOnADrive(const std::string& typed);
