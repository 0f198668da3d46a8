// The registry snapshot: asks the user to confirm, tells which predefined roots
// are left out, walks HKEY_LOCAL_MACHINE and then HKEY_USERS depth-first into
// the snapshot file, keeps the progress window informed and shows the totals
// in the results dialog. Runs on the snapshot worker thread.
#pragma once

#include "framework/AnsiName.h"
#include "seams/Progress.h"
#include "snapshot/ChosenPlaces.h"
#include "snapshot/RegSnapFormat.h"
#include "snapshot/TaggedObject.h"
#include "seams/UserMessages.h"
#include "snapshot/WinTaggedObjects.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

class CWnd;

// The registry calls of the walk, in the shape the walk uses them. The system
// registry forwards each to its advapi32 function and opens every key in the
// 64-bit view, so that on 64-bit Windows the walk records the registry as it
// is (the 32-bit keys once, below Wow6432Node); a test can stand in for the
// registry where it cannot make the real one fail.
class IRegistry {
public:
    virtual ~IRegistry() = default;
    // RegQueryInfoKeyA: the numbers of subkeys and of values, and when the
    // key's listing or values last changed.
    virtual LONG QueryInfoKey(HKEY key, DWORD& subkeys, DWORD& values, FILETIME& lastWrite) = 0;
    // RegEnumValueW: the name, the type and the data of the value at that
    // position of the listing, in one call, as the registry holds them.
    // nameLength: room for characters in, the name's length out; dataLength:
    // room in bytes in, the data's length out, also with ERROR_MORE_DATA when
    // the room is too small.
    virtual LONG EnumValue(HKEY key, DWORD index, wchar_t* name, DWORD& nameLength, DWORD& type,
                           BYTE* data, DWORD& dataLength) = 0;
    // RegEnumKeyExW for the name only, the key's real name, whatever the
    // code page can hold; nameLength as for EnumValue.
    virtual LONG EnumKey(HKEY key, DWORD index, wchar_t* name, DWORD& nameLength) = 0;
    // Opens the subkey for reading into the handle, which then owns it.
    virtual LONG OpenKey(CRegKeyHandle& handle, HKEY parent, const wchar_t* name) = 0;
};

IRegistry& SystemRegistry();

class CRegSnap {
public:
    // path: the snapshot file, by its wide name, created exactly as named.
    // fullPaths: build every key's path, so that keys which cannot be opened
    // are listed in the results. messages: where the question, the note and
    // errors go; the application-wide message box when none is given.
    // registry: the system registry when none is given.
    CRegSnap(const std::wstring& path, CWnd* owner, IProgress* progress, BOOL fullPaths,
             IUserMessages* messages = nullptr, IRegistry* registry = nullptr);
    // A path in the ANSI code page, as the window's dialogs give it, taken as
    // the ANSI functions take it.
    CRegSnap(const std::string& path, CWnd* owner, IProgress* progress, BOOL fullPaths,
             IUserMessages* messages = nullptr, IRegistry* registry = nullptr)
        : CRegSnap(WideName(path), owner, progress, fullPaths, messages, registry)
    {
    }
    virtual ~CRegSnap() = default;
    CRegSnap(const CRegSnap&) = delete;
    CRegSnap& operator=(const CRegSnap&) = delete;

    // Records only these keys, and the path down to each; both roots whole
    // when none are given.
    void ChoosePlaces(CChosenPlaces places) { m_places = std::move(places); }

    // The program named in the snapshot's appendix as its writer.
    void SetProgramName(std::string name) { m_strProgram = std::move(name); }

    void Run();

    // Totals of the last run, as the results dialog shows them.
    uint32_t KeysRecorded() const { return m_nKeysRecorded; }
    uint32_t KeysIgnored() const { return m_nKeysIgnored; }
    const std::string& IgnoredList() const { return m_strIgnored; }
    // Bytes the shared data buffer has grown to.
    uint32_t DataBufferSize() const { return m_data.Size(); }

protected:
    // Shows the finished snapshot's text; the results dialog by default.
    virtual void ShowResults(const std::string& text);

private:
    // What a key said of itself before and after its listing was read.
    struct KeyInfo {
        DWORD subkeys = 0, values = 0;
        FILETIME lastWrite{};
        bool operator==(const KeyInfo& o) const;
    };
    // How reading a key's listing went.
    enum class Listing { Read, Vanished };
    // A subkey of the key being read: its real name, which opens it, and
    // its name as the snapshot records it.
    struct Subkey {
        std::wstring name;
        std::string recorded;
    };

    // Writes the name and key record of an open key and everything below it.
    // prefix: the key's full path with the option on, null otherwise; top:
    // the key is one of the two roots. False, and nothing written, when the
    // key was deleted before its listing could be read.
    // exact: the key's name as the registry holds it, when name is not it.
    bool WalkKey(CRegSnapWriter& file, HKEY key, const std::string& name, const std::string* prefix,
                 bool top, const std::wstring* exact = nullptr);
    // Writes the name and key record of a key on the way to chosen keys,
    // holding only the next steps (none when place is null).
    void PassKey(CRegSnapWriter& file, HKEY key, const std::string& name, const SnapPlace* place,
                 const std::string* prefix, const std::wstring* exact = nullptr);
    // Opens the subkey below key and records it with walk(subkey, exact),
    // exact being its name when recorded does not read back as it, or as a
    // key that cannot be opened. False when it is gone: deleted, or missing while key
    // changed since its listing (listed), or missing at all (no listing: a
    // chosen step). path: the subkey's full path with the option on.
    template <typename Walk>
    bool RecordSubkey(CRegSnapWriter& file, HKEY key, const std::wstring& name, const std::string& recorded,
                      const std::string* path, const KeyInfo* listed, Walk walk);
    // Reads the key's values into m_values and its subkey names, again while
    // the key changes under the reading, a bounded number of times.
    Listing ReadListing(HKEY key, std::vector<Subkey>& subkeys, KeyInfo& info);
    // One reading of the listing; trouble: the message of the first failure
    // met, null when none. False when the key was deleted.
    bool ReadValues(HKEY key, DWORD count, const char*& trouble);
    bool ReadSubkeyNames(HKEY key, DWORD count, std::vector<Subkey>& names, const char*& trouble);
    LONG QueryInfo(HKEY key, KeyInfo& info);
    // The key was deleted or changed since its listing said `listed`.
    bool ChangedSince(HKEY key, const KeyInfo& listed);
    // Adds a direct subkey's share of the bar, for a root or a chosen key.
    void ShowRootProgress(size_t rootSubkeys);
    void CheckWrites(const CRegSnapWriter& file);
    // Shows the error and unwinds the whole walk.
    [[noreturn]] void Fail(const char* text);

    BOOL m_bFullPaths;
    IProgress* m_pProgress;
    std::vector<wchar_t> m_valueName;  // every value name, shared by all levels
    std::vector<wchar_t> m_subkeyName;  // every subkey name, shared by all levels
    CByteBuffer m_data;  // every value's data; only grows
    std::string m_ansiData;  // string data as the ANSI functions give them
    CRegValueList m_values;  // the values of the key being read
    std::unordered_set<std::wstring> m_subkeysSeen;  // the subkey names of the key being read
    uint32_t m_nKeysRecorded = 0;
    uint32_t m_nKeysIgnored = 0;
    std::wstring m_strPath;
    CWnd* m_pOwner;
    std::string m_strIgnored;
    std::string m_strStatus;
    IUserMessages& m_messages;
    IRegistry& m_registry;
    CChosenPlaces m_places;
    std::string m_strProgram = "corvane";
    float m_fPlaceShare = 50;  // of the bar, for each root or chosen key
};

// Adds the key, typed with its root's name or short name (HKLM, HKU), to the
// places of a snapshot of chosen keys, named as the registry names it.
// Returns why it is refused, or an empty text: a key that does not exist,
// one outside both roots, named twice or inside another. A key that exists
// but cannot be opened is taken; the walk lists it as ignored. Every name is
// looked up as typed, so a look-alike (a full-width "＼") is no separator;
// the refusal shows what the code page cannot hold as "?".
std::string ChooseKey(const std::wstring& typed, CChosenPlaces& places, IRegistry& registry);
// Whether a typed place begins with a registry root's name or short name
// (HKLM\..., hku\...): a key, where folders and keys are typed together.
bool BeginsWithARegistryRoot(const std::wstring& typed);

// Texts of the registry snapshot.
extern const char* const kRegSnapQuestion;
extern const char* const kRegSnapIgnoredRootsNote;
extern const char* const kRegSnapCreateError;
extern const char* const kRegSnapQueryKeyError;
extern const char* const kRegSnapAccessValueError;
extern const char* const kRegSnapReadValueError;
extern const char* const kRegSnapSubkeysError;
extern const char* const kRegSnapWriteError;
