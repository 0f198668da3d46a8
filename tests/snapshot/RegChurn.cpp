// A background program that keeps changing the registry below
// HKEY_LOCAL_MACHINE\Software\Corvane Churn: values set, grown and deleted,
// subkeys created with values and deleted again, until the named event
// "Corvane churn stop" is set, or at the latest after five minutes. It prints
// how many changes it made and removes its key on the way out.
#include "tests/snapshot/RegChurnStates.h"

#include <cstdio>

namespace {

void SetChurnValue(HKEY key, const std::string& name, uint32_t generation)
{
    std::vector<uint8_t> data = ChurnData(name, generation);
    ::RegSetValueExA(key, name.c_str(), 0, REG_BINARY, data.data(), static_cast<DWORD>(data.size()));
}

}  // namespace

int main()
{
    HANDLE stop = ::CreateEventA(nullptr, TRUE, FALSE, kChurnStopEvent);
    HKEY churn;
    if (!stop || ::RegCreateKeyExA(HKEY_LOCAL_MACHINE, kChurnKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                                   nullptr, &churn, nullptr) != ERROR_SUCCESS) {
        std::fprintf(stderr, "reg_churn: cannot create its key\n");
        return 2;
    }
    std::printf("started\n");
    std::fflush(stdout);
    DWORD start = ::GetTickCount();
    uint32_t generation = 0;
    while (::WaitForSingleObject(stop, 0) == WAIT_TIMEOUT && ::GetTickCount() - start < 300000) {
        for (int burst = 0; burst < 20; ++burst, ++generation) {
            std::string value = ChurnValueName(static_cast<int>(generation % kChurnValues));
            if (generation % 5 == 4)
                ::RegDeleteValueA(churn, value.c_str());
            else
                SetChurnValue(churn, value, generation);
            if (generation % 3 != 0)
                continue;
            std::string subkey = ChurnSubkeyName(static_cast<int>((generation / 3) % kChurnSubkeys));
            HKEY sub;
            if (::RegOpenKeyExA(churn, subkey.c_str(), 0, KEY_READ, &sub) == ERROR_SUCCESS) {
                ::RegCloseKey(sub);
                ::RegDeleteTreeA(churn, subkey.c_str());
            } else if (::RegCreateKeyExA(churn, subkey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                         nullptr, &sub, nullptr) == ERROR_SUCCESS) {
                for (int v = 0; v < 3; ++v)
                    SetChurnValue(sub, ChurnValueName(v), generation + v);
                ::RegCloseKey(sub);
            }
        }
        // Leaves the registry's server time for the walker between bursts.
        ::Sleep(1);
    }
    ::RegCloseKey(churn);
    ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, kChurnKey);
    std::printf("%u changes\n", static_cast<unsigned>(generation));
    return 0;
}
