// Whether a command-line program runs with administrator rights. Without them
// a walk meets more folders and keys it may not read; they are listed as not
// accessible like any other, so the programs say why.
#pragma once

#include <string>

// True when the Administrators group is in force in the process's token (a
// token filtered by User Account Control lists the group for denial only).
bool RunsAsAdministrator();

// The note corvane-snap and corvane-capture print on standard error and add
// to their results text when they run without those rights.
extern const char kWithoutAdminRightsNote[];

// The results text with the note as its last line when the program runs
// without administrator rights; the note also goes to standard error.
std::string WithRightsNote(std::string results, const char* program);
