// Folders or keys as a user gives them, on the command line or one a line in
// a dialog, taken into the places of a snapshot of chosen places by the same
// rules and with the same refusals everywhere.
#pragma once

#include "snapshot/ChosenPlaces.h"

#include <string>
#include <vector>

// Adds each place, folders for the file system or keys for the registry, in
// the order given. The first refusal, with the place as typed, or "".
std::string ChooseTypedPlaces(bool fileSystem, const std::vector<std::wstring>& typed, CChosenPlaces& places);

// The lines of a text, blanks and tabs around each taken off, empty ones left out.
std::vector<std::wstring> PlaceLines(const std::wstring& text);
