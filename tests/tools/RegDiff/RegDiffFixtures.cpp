// Writes the registry snapshot files that the corvane-diff tests compare,
// into the current folder: reg-before.tvrec and reg-after.tvrec, a registry
// before and after an installation, and reg-chosen.tvrec, the installation's
// two keys alone in a snapshot of chosen keys taken after it.
#include "tests/compare/RegSnapBuilder.h"
#include "tests/support/SnapshotFiles.h"

#include <cstdio>

namespace {

TRegistry Before()
{
    TRegistry r;
    r.machine.subkeys.push_back(TKey{
        "SOFTWARE",
        {},
        {TKey{"Pellix",
              {Sz("", "Pellix tools"), Dword("Version", 1), Sz("Path", "%ProgramFiles%\\Pellix"),
               TValue{"Key", 3, std::vector<uint8_t>(40, 0xAB)}},
              {}},
         TKey{"Old", {Dword("x", 3)}, {TKey{"deeper", {Dword("y", 4)}, {}}}}}});
    r.users.subkeys.push_back(TKey{".DEFAULT", {TValue{"Flags", 11, {1, 0, 0, 0, 0, 0, 0, 0}}}, {}});
    return r;
}

TRegistry After()
{
    TRegistry r = Before();
    TKey& pellix = r.machine.subkeys[0].subkeys[0];
    pellix.values[0] = Sz("", "Pellix tools 2");
    pellix.values[1] = Dword("Version", 2);
    pellix.values[2].type = 2;  // the same bytes as REG_EXPAND_SZ: not a change
    pellix.values[3].data[17] = 0xAC;
    pellix.values.push_back(TValue{"Installed", 0, {}});
    r.machine.subkeys[0].subkeys.erase(r.machine.subkeys[0].subkeys.begin() + 1);
    r.users.subkeys[0].values[0].data.push_back(0);  // one byte more
    r.users.subkeys.push_back(TKey{"S-1-5-21", {Sz("Run", "app.exe")}, {TKey{"Sub", {}, {}}}});
    return r;
}

TRegistry Chosen()
{
    TRegistry after = After(), r;
    r.machine.subkeys.push_back(TKey{"SOFTWARE", {}, {after.machine.subkeys[0].subkeys[0]}});
    r.users.subkeys.push_back(after.users.subkeys[1]);
    r.appendix.places = {{"HKEY_LOCAL_MACHINE", "SOFTWARE", "Pellix"}, {"HKEY_USERS", "S-1-5-21"}};
    return r;
}

}  // namespace

int main()
{
    return SaveSnapshot("reg-before.tvrec", WriteSnapshot(Before())) &&
                   SaveSnapshot("reg-after.tvrec", WriteSnapshot(After())) &&
                   SaveSnapshot("reg-chosen.tvrec", WriteSnapshot(Chosen()))
               ? 0
               : 1;
}
