#include "capture/AdminRights.h"

#include <windows.h>

#include <cstdio>

const char kWithoutAdminRightsNote[] =
    "Note - Not run as administrator: folders and keys that only administrators may read are listed as not "
    "accessible.";

bool RunsAsAdministrator()
{
    SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
    PSID administrators = nullptr;
    if (!::AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0,
                                    &administrators))
        return false;
    BOOL member = FALSE;
    if (!::CheckTokenMembership(nullptr, administrators, &member))
        member = FALSE;
    ::FreeSid(administrators);
    return member != FALSE;
}

std::string WithRightsNote(std::string results, const char* program)
{
    if (RunsAsAdministrator())
        return results;
    std::fprintf(stderr, "%s: %s\n", program, kWithoutAdminRightsNote);
    if (!results.empty() && results.back() != '\n')
        results += "\r\n";
    return results + kWithoutAdminRightsNote + "\r\n";
}
