#include "snapshot/RegSnap.h"

#include "compare/AnsiChars.h"
#include "framework/AnsiName.h"
#include "operation/AppMessages.h"
#include "operation/DiskSnapFile.h"
#include "res/Version.h"
#include "snapshot/ResultsDlg.h"

#include <cstdio>
#include <cstring>
#include <deque>
#include <utility>

const char* const kRegSnapQuestion =
    "Corvane will now create a snap shot of your registry.\n"
    "This may take several seconds or minutes, depending on the speed of your computer.\n\n"
    "Note - It is highly recommended that you do not perform any other tasks and close all\n"
    "other programs during this operation.\n\nContinue?";
const char* const kRegSnapIgnoredRootsNote =
    "Note - The following keys will be ignored because they have no bearing on results.  "
    "For more information on why, see FAQ #5 in Corvane Help.\n\n"
    "HKEY_PERFORMANCE_DATA\nHKEY_DYN_DATA\nHKEY_CLASSES_ROOT\nHKEY_CURRENT_CONFIG\n"
    "HKEY_CURRENT_USER\n\n"
    "And so, only the following keys will be recorded since they are parents to all of the "
    "other keys:\n\nHKEY_LOCAL_MACHINE\nHKEY_USERS";
const char* const kRegSnapCreateError = "ERROR: Could not create snap shot file.";
const char* const kRegSnapQueryKeyError = "ERROR: Could not query key.\nOperation Failed.";
const char* const kRegSnapAccessValueError =
    "ERROR: Could not access a key value.\nOperation Failed.";
const char* const kRegSnapReadValueError = "ERROR: Could not read a key value.\nOperation Failed.";
const char* const kRegSnapSubkeysError = "ERROR: Could not query sub-keys.\nOperation Failed.";
const char* const kRegSnapWriteError =
    "ERROR: Could not write snap shot file. The disk may be full.\n\n"
    "The snap shot is incomplete and cannot be used.";

namespace {

// Room of the shared name buffers, in characters; a terminator follows. Names
// the registry reports as longer make the enumeration fail.
constexpr DWORD kNameChars = 16640;
constexpr uint32_t kInitialDataSize = 4096;

// The registry changes while it is walked. A key whose listing changed while
// it was read is read again up to this many times in all; after that, the
// last reading stands, each entry in it having been there when it was read.
// A failure met in every reading of a key that did not change persists.
constexpr int kListingReadings = 8;
// Readings of one value that grows each time it is read, each in a buffer of
// the size the one before asked for.
constexpr int kValueReadings = 8;

// Some subkeys open as one of the predefined performance-data handles (Wine
// does so for Perflib\009): they are views of the performance data, which
// the snapshot leaves out, not keys that can be queried.
bool IsPerformanceData(HKEY key)
{
    return key == HKEY_PERFORMANCE_DATA || key == HKEY_PERFORMANCE_TEXT ||
           key == HKEY_PERFORMANCE_NLSTEXT;
}

class CSystemRegistry : public IRegistry {
public:
    LONG QueryInfoKey(HKEY key, DWORD& subkeys, DWORD& values, FILETIME& lastWrite) override
    {
        return ::RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr,
                                  &values, nullptr, nullptr, nullptr, &lastWrite);
    }
    LONG EnumValue(HKEY key, DWORD index, wchar_t* name, DWORD& nameLength, DWORD& type, BYTE* data,
                   DWORD& dataLength) override
    {
        return ::RegEnumValueW(key, index, name, &nameLength, nullptr, &type, data, &dataLength);
    }
    LONG EnumKey(HKEY key, DWORD index, wchar_t* name, DWORD& nameLength) override
    {
        return ::RegEnumKeyExW(key, index, name, &nameLength, nullptr, nullptr, nullptr, nullptr);
    }
    LONG OpenKey(CRegKeyHandle& handle, HKEY parent, const wchar_t* name) override
    {
        // The 64-bit view: a 32-bit program on 64-bit Windows would otherwise
        // see Wow6432Node's contents in place of the native keys. Elsewhere
        // the flag changes nothing.
        return handle.Open(parent, name, KEY_READ | KEY_WOW64_64KEY);
    }
};

}  // namespace

IRegistry& SystemRegistry()
{
    static CSystemRegistry registry;
    return registry;
}

CRegSnap::CRegSnap(const std::wstring& path, CWnd* owner, IProgress* progress, BOOL fullPaths,
                   IUserMessages* messages, IRegistry* registry)
    : m_bFullPaths(fullPaths), m_pProgress(progress), m_strPath(path), m_pOwner(owner),
      m_messages(messages ? *messages : AppMessages()),
      m_registry(registry ? *registry : SystemRegistry())
{
}

void CRegSnap::Run()
{
    if (!m_messages.AskYesNo(kRegSnapQuestion))
        return;

    m_pProgress->SetTitleText("Creating Registry Snapshot...");
    m_pProgress->SetStatusText("Creating snap shot file...");

    CDiskSnapFile file;
    if (!file.Open(m_strPath.c_str(), CFile::modeCreate | CFile::modeWrite | CFile::shareDenyWrite)) {
        m_messages.Error(kRegSnapCreateError);
        return;
    }
    m_messages.Note(kRegSnapIgnoredRootsNote);

    m_nKeysIgnored = m_nKeysRecorded = 0;
    m_strIgnored.clear();

    CRegSnapWriter writer(file);
    bool finished = false;
    try {
        if (!m_data.Ensure(kInitialDataSize))
            Fail(kRegSnapReadValueError);
        m_subkeyName.assign(kNameChars + 1, 0);
        m_valueName.assign(kNameChars + 1, 0);
        m_data.Zero();

        writer.WriteHeader();
        m_fPlaceShare = m_places.Empty() ? 50.0f : 100.0f / static_cast<float>(m_places.PlacePaths().size());
        for (const char* root : kRegSnapRootNames) {
            std::string path = root;
            HKEY key = root == kRegSnapRootNames[0] ? HKEY_LOCAL_MACHINE : HKEY_USERS;
            const SnapPlace* place = m_places.Root(root);
            const std::string* prefix = m_bFullPaths ? &path : nullptr;
            if (!m_places.Empty() && !(place && place->chosen))
                PassKey(writer, key, path, place, prefix);
            else if (!WalkKey(writer, key, path, prefix, true))
                Fail(kRegSnapQueryKeyError);
        }
        writer.WriteAppendix(CSnapAppendix{true, ::GetACP(), m_strProgram, CORVANE_VERSION, m_places.PlacePaths(), {}});
        if (!writer.Finish(m_nKeysRecorded))
            Fail(kRegSnapWriteError);
        finished = true;
    } catch (const CAbortSignal& signal) {
        if (signal.value != -1)
            throw;
        // What was written reaches the file, still with version 0 in front.
        writer.Flush();
    }
    file.Close();
    if (!finished)
        return;

    m_pProgress->SetPercent(100);
    m_pProgress->Refresh(true);

    std::string results = RegResultsText(m_nKeysRecorded, m_nKeysIgnored, m_bFullPaths != FALSE, m_strIgnored);
    if (!m_places.Empty())
        results = WithChosenPlaces(results, "Only the following keys and their contents were recorded:",
                                   m_places.Paths());
    ShowResults(results);
}

void CRegSnap::ShowResults(const std::string& text)
{
    ShowSnapshotResults(text);
}

void CRegSnap::Fail(const char* text)
{
    m_messages.Error(text);
    RaiseAbortSignal();
}

void CRegSnap::CheckWrites(const CRegSnapWriter& file)
{
    if (file.Failed())
        Fail(kRegSnapWriteError);
}

bool CRegSnap::KeyInfo::operator==(const KeyInfo& o) const
{
    return subkeys == o.subkeys && values == o.values &&
           lastWrite.dwLowDateTime == o.lastWrite.dwLowDateTime &&
           lastWrite.dwHighDateTime == o.lastWrite.dwHighDateTime;
}

LONG CRegSnap::QueryInfo(HKEY key, KeyInfo& info)
{
    return m_registry.QueryInfoKey(key, info.subkeys, info.values, info.lastWrite);
}

bool CRegSnap::ChangedSince(HKEY key, const KeyInfo& listed)
{
    KeyInfo now;
    return QueryInfo(key, now) != ERROR_SUCCESS || !(now == listed);
}

CRegSnap::Listing CRegSnap::ReadListing(HKEY key, std::vector<Subkey>& subkeys, KeyInfo& info)
{
    for (int reading = 1;; ++reading) {
        const char* trouble = nullptr;
        bool changed = false;
        LONG queried = QueryInfo(key, info);
        if (queried == ERROR_KEY_DELETED)
            return Listing::Vanished;
        if (queried != ERROR_SUCCESS) {
            trouble = kRegSnapQueryKeyError;
        } else {
            if (!ReadValues(key, info.values, trouble) ||
                !ReadSubkeyNames(key, info.subkeys, subkeys, trouble))
                return Listing::Vanished;
            KeyInfo after;
            queried = QueryInfo(key, after);
            if (queried == ERROR_KEY_DELETED)
                return Listing::Vanished;
            if (queried != ERROR_SUCCESS)
                trouble = kRegSnapQueryKeyError;
            else
                changed = !(after == info);
        }
        if (!trouble && !changed)
            return Listing::Read;
        if (reading == kListingReadings) {
            // A key that never stood still: its last reading stands, and what
            // went wrong in it is explained by the change. The same failure
            // in every reading of a key that does not change persists.
            if (changed)
                return Listing::Read;
            Fail(trouble);
        }
    }
}

namespace {

bool IsStringType(DWORD type)
{
    return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

}  // namespace

// Each value is read where the listing has it, its name and data together,
// as the registry holds them, so nothing is asked of the registry twice. The
// record holds what the ANSI functions would have given: the name, and the
// data of a string type, converted as they convert them (an odd last byte
// of string data dropped); what that loses is kept for the appendix.
bool CRegSnap::ReadValues(HKEY key, DWORD count, const char*& trouble)
{
    m_values.Clear();
    wchar_t* name = m_valueName.data();
    for (DWORD i = 0; i < count; ++i) {
        DWORD nameLength = 0, type = 0, dataLength = 0;
        LONG read = ERROR_MORE_DATA;
        // A value larger than the buffer is read again in a buffer of its
        // size, also when it grew meanwhile. A length that cannot be had is
        // never read into the smaller buffer.
        for (int attempt = 0; attempt < kValueReadings && read == ERROR_MORE_DATA; ++attempt) {
            if (attempt > 0 && (dataLength <= m_data.Size() || !m_data.Ensure(dataLength)))
                break;
            nameLength = kNameChars;
            dataLength = m_data.Size();
            read = m_registry.EnumValue(key, i, name, nameLength, type, m_data.Data(), dataLength);
        }
        if (read == ERROR_KEY_DELETED)
            return false;
        if (read == ERROR_MORE_DATA && dataLength <= m_data.Size()) {
            // The data fit, so the name did not.
            trouble = kRegSnapAccessValueError;
            return true;
        }
        if (read == ERROR_MORE_DATA || (read == ERROR_SUCCESS && dataLength > m_data.Size())) {
            trouble = kRegSnapReadValueError;
            continue;
        }
        if (read != ERROR_SUCCESS || nameLength > kNameChars) {
            // Fewer values than counted (some were deleted), or a failure.
            trouble = kRegSnapAccessValueError;
            return true;
        }
        CValueExactParts exact;
        bool nameExact;
        std::string recorded = AnsiName(name, nameLength, nameExact);
        if (!nameExact)
            exact.name.assign(ExactUnits(name, nameLength));
        if (!IsStringType(type)) {
            m_values.Add(recorded.data(), recorded.size(), type, m_data.Data(), dataLength, std::move(exact));
            continue;
        }
        const wchar_t* units = reinterpret_cast<const wchar_t*>(m_data.Data());
        bool dataExact;
        m_ansiData = AnsiName(units, dataLength / 2, dataExact);
        if (!dataExact || dataLength % 2) {
            exact.data.assign(m_data.Data(), m_data.Data() + dataLength);
            exact.hasData = true;
        }
        m_values.Add(recorded.data(), recorded.size(), type, m_ansiData.data(),
                     static_cast<uint32_t>(m_ansiData.size()), std::move(exact));
    }
    return true;
}

bool CRegSnap::ReadSubkeyNames(HKEY key, DWORD count, std::vector<Subkey>& names,
                               const char*& trouble)
{
    names.clear();
    m_subkeysSeen.clear();
    wchar_t* name = m_subkeyName.data();
    for (DWORD j = 0; j < count; ++j) {
        DWORD nameLength = kNameChars;
        LONG listed = m_registry.EnumKey(key, j, name, nameLength);
        if (listed == ERROR_KEY_DELETED)
            return false;
        if (listed != ERROR_SUCCESS || nameLength > kNameChars) {
            trouble = kRegSnapSubkeysError;
            return true;
        }
        // A name met twice: the listing shifted while it was read. Two keys
        // whose names read the same in the code page are two keys.
        std::wstring wide(name, nameLength);
        if (m_subkeysSeen.insert(wide).second) {
            std::string recorded = AnsiName(wide);
            names.push_back(Subkey{std::move(wide), std::move(recorded)});
        }
    }
    return true;
}

bool CRegSnap::WalkKey(CRegSnapWriter& file, HKEY key, const std::string& name,
                       const std::string* prefix, bool top, const std::wstring* exact)
{
    std::vector<Subkey> subkeys;
    KeyInfo info;
    if (ReadListing(key, subkeys, info) == Listing::Vanished)
        return false;
    file.WriteKeyName(name, exact ? ExactUnits(*exact) : std::u16string_view());
    uint64_t counts = file.WriteKeyCounts(static_cast<uint32_t>(subkeys.size()), m_values.Count());
    file.WriteValues(m_values);
    ++m_nKeysRecorded;
    CheckWrites(file);

    uint32_t recorded = 0;
    for (const Subkey& sub : subkeys) {
        std::string path;
        if (prefix)
            path = *prefix + "\\" + sub.recorded;
        const std::string* subPrefix = prefix ? &path : nullptr;
        if (RecordSubkey(file, key, sub.name, sub.recorded, subPrefix, &info,
                         [&](HKEY subkey, const std::wstring* subkeyExact) {
                             return WalkKey(file, subkey, sub.recorded, subPrefix, false, subkeyExact);
                         }))
            ++recorded;
        if (top)
            ShowRootProgress(subkeys.size());
    }
    // Subkeys that vanished before they were recorded are not counted.
    if (recorded != subkeys.size())
        file.PatchSubkeyCount(counts, recorded);
    CheckWrites(file);
    return true;
}

void CRegSnap::PassKey(CRegSnapWriter& file, HKEY key, const std::string& name, const SnapPlace* place,
                       const std::string* prefix, const std::wstring* exact)
{
    const size_t steps = place ? place->next.size() : 0;
    file.WriteKeyName(name, exact ? ExactUnits(*exact) : std::u16string_view());
    uint64_t counts = file.WriteKeyCounts(static_cast<uint32_t>(steps), 0);
    ++m_nKeysRecorded;
    CheckWrites(file);
    uint32_t recorded = 0;
    for (size_t i = 0; i < steps; ++i) {
        const SnapPlace& step = place->next[i];
        std::string path;
        if (prefix)
            path = *prefix + "\\" + step.recorded;
        const std::string* subPrefix = prefix ? &path : nullptr;
        if (RecordSubkey(file, key, step.name, step.recorded, subPrefix, nullptr,
                         [&](HKEY subkey, const std::wstring* subkeyExact) {
                if (step.chosen)
                    return WalkKey(file, subkey, step.recorded, subPrefix, true, subkeyExact);
                PassKey(file, subkey, step.recorded, &step, subPrefix, subkeyExact);
                return true;
            }))
            ++recorded;
    }
    if (recorded != steps)
        file.PatchSubkeyCount(counts, recorded);
    CheckWrites(file);
}

template <typename Walk>
bool CRegSnap::RecordSubkey(CRegSnapWriter& file, HKEY key, const std::wstring& name, const std::string& recorded,
                            const std::string* path, const KeyInfo* listed, Walk walk)
{
    const std::wstring* exact = AnsiNameIsExact(recorded, name) ? nullptr : &name;
    CRegKeyHandle subkey;
    LONG opened = m_registry.OpenKey(subkey, key, name.c_str());
    if (opened == ERROR_SUCCESS && !IsPerformanceData(subkey.Get()))
        return walk(subkey.Get(), exact);
    // Deleted since it was listed or chosen: left out. A subkey that is
    // missing although its key still lists it does not open by its name: it
    // is recorded as one that cannot be opened.
    if (opened == ERROR_KEY_DELETED ||
        (opened == ERROR_FILE_NOT_FOUND && (!listed || ChangedSince(key, *listed))))
        return false;
    if (path)
        AppendShownName(m_strIgnored, *path) += "\r\n";
    ++m_nKeysIgnored;
    file.WriteKeyName(recorded, exact ? ExactUnits(*exact) : std::u16string_view());
    file.WriteKeyCounts(0, 0);
    return true;
}

// Each root carries half of the bar; every direct subkey of a root adds its
// share to the position the bar shows.
void CRegSnap::ShowRootProgress(size_t rootSubkeys)
{
    char status[64];
    std::snprintf(status, sizeof status, "Keys written: %u", static_cast<unsigned>(m_nKeysRecorded));
    m_strStatus = status;
    m_pProgress->SetStatusText(m_strStatus.c_str());
    float position = static_cast<float>(m_pProgress->BarGetPos());
    m_pProgress->SetPercent(m_fPlaceShare / static_cast<float>(rootSubkeys) + position);
}

namespace {

// The root a typed key begins with, by its name or short name, in any case.
HKEY TypedRoot(const std::wstring& name, const char*& recorded)
{
    const struct {
        const wchar_t *name, *shortName;
        HKEY key;
        const char* recorded;
    } roots[] = {{L"HKEY_LOCAL_MACHINE", L"HKLM", HKEY_LOCAL_MACHINE, kRegSnapRootNames[0]},
                 {L"HKEY_USERS", L"HKU", HKEY_USERS, kRegSnapRootNames[1]}};
    for (const auto& root : roots) {
        if (::lstrcmpiW(name.c_str(), root.name) == 0 || ::lstrcmpiW(name.c_str(), root.shortName) == 0) {
            recorded = root.recorded;
            return root.key;
        }
    }
    return nullptr;
}

}  // namespace

bool BeginsWithARegistryRoot(const std::wstring& typed)
{
    const char* recorded = nullptr;
    return TypedRoot(typed.substr(0, typed.find(L'\\')), recorded) != nullptr;
}

namespace {

// The subkey's name as the registry lists it, in its own letter case; the
// typed name when the key cannot be listed. False when it is not listed.
bool ListedName(IRegistry& registry, HKEY key, std::wstring& name)
{
    DWORD subkeys = 0, values = 0;
    FILETIME lastWrite;
    if (registry.QueryInfoKey(key, subkeys, values, lastWrite) != ERROR_SUCCESS)
        return true;
    std::vector<wchar_t> listed(kNameChars + 1);
    for (DWORD j = 0; j < subkeys; ++j) {
        DWORD length = kNameChars;
        if (registry.EnumKey(key, j, listed.data(), length) != ERROR_SUCCESS || length > kNameChars)
            return true;
        if (::CompareStringOrdinal(listed.data(), static_cast<int>(length), name.data(),
                                   static_cast<int>(name.size()), TRUE) == CSTR_EQUAL) {
            name.assign(listed.data(), length);
            return true;
        }
    }
    return false;
}

}  // namespace

std::string ChooseKey(const std::wstring& typed, CChosenPlaces& places, IRegistry& registry)
{
    const std::string shown = StrictAnsiName(typed);
    std::vector<std::wstring> names;
    for (size_t at = 0; at <= typed.size();) {
        size_t end = typed.find(L'\\', at);
        if (end == std::wstring::npos)
            end = typed.size();
        if (end > at)
            names.push_back(typed.substr(at, end - at));
        at = end + 1;
    }
    const char* rootName = nullptr;
    HKEY root = names.empty() ? nullptr : TypedRoot(names[0], rootName);
    if (!root)
        return PlaceOutsideRoots(shown);

    std::vector<SnapPlace> steps{SnapPlace{std::wstring(rootName, rootName + std::strlen(rootName)), rootName,
                                           false, {}}};
    // Each step is looked up in the key above it and opened from it, as the
    // walk opens it; below a key that cannot be opened the typed names stay.
    std::deque<CRegKeyHandle> opened;
    HKEY key = root;
    for (size_t i = 1; i < names.size(); ++i) {
        std::wstring name = names[i];
        if (key) {
            if (!ListedName(registry, key, name))
                return PlaceMissing(shown);
            LONG result = registry.OpenKey(opened.emplace_back(), key, name.c_str());
            if (result == ERROR_FILE_NOT_FOUND)
                return PlaceMissing(shown);
            key = result == ERROR_SUCCESS ? opened.back().Get() : nullptr;
        }
        steps.push_back(SnapPlace{name, AnsiName(name), false, {}});
    }
    return places.Add(steps, shown, false);
}
