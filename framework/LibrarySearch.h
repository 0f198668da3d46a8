// Where the program may load libraries from.
#pragma once

// Takes the current folder (and, where the system can, every folder of PATH)
// out of the search for libraries that load later, by name, into this
// process: the common dialogs, the shell and delay-loaded system libraries.
// A program that runs elevated must never load a library from a folder a user
// can write. Returns false when the system refused both ways of doing it.
bool RestrictLibrarySearch();
