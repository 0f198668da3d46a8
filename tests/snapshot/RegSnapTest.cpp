// The registry walker on a registry of the test's own: every failure the real
// registry can report is made to happen at a chosen key or value, and every
// fake key is backed by a real open key handle, so the walker opens and
// closes keys exactly as it does on the system registry.
#include "snapshot/RegSnap.h"

#include "snapshot/SnapFormat.h"
#include "tests/snapshot/RegSnapTesting.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/Recorders.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <stdexcept>

namespace {

enum class Fault {
    None,
    Vanishes,          // deleted while its key is read, before the reader reaches it
    GrowsOnEveryRead,  // longer each time it is read
    UnallocatableLength,  // asks for a length no buffer can hold
    NameTooLong,       // its name does not fit the name buffer
    ClaimsLongerName,  // success, with a name length beyond the room given
    ClaimsLongerData,  // success, with a data length beyond the room given
    EnumFails,
};

struct FakeValue {
    RegValueRecord value;
    Fault fault = Fault::None;
};

struct FakeKey {
    std::string name;
    std::vector<FakeValue> values;
    std::vector<FakeKey> subkeys;
    bool opens = true;
    bool queryFails = false;
    bool nameTooLong = false;
    DWORD extraSubkeys = 0;  // counted but gone when enumerated
    bool vanishesBeforeOpen = false;   // deleted between its parent's listing and its opening
    bool notFoundByName = false;       // listed, but never found by its name
    bool deletedAfterOpen = false;     // deleted as soon as it is open
    int deletedAtValue = -1;           // deleted once this value has been enumerated
    int changingReadings = 0;          // readings of the key during which it changes
    int duplicatedReadings = 0;        // readings that list its first subkey twice
    DWORD changes = 0;                 // how often the key changed: its last-write time
    int queries = 0;                   // QueryInfoKey calls on this key
    bool deleted = false;

    FakeKey& Key(const std::string& n)
    {
        subkeys.push_back(FakeKey{});
        subkeys.back().name = n;
        return subkeys.back();
    }
    FakeValue& Value(const std::string& n, uint32_t type, const std::string& data)
    {
        FakeValue v;
        v.value.name = n;
        v.value.type = type;
        v.value.data.assign(data.begin(), data.end());
        values.push_back(v);
        return values.back();
    }
    // What the snapshot must hold for this key.
    // False for a key the snapshot must leave out: deleted before it is read.
    bool Recorded() const { return !vanishesBeforeOpen && !deletedAfterOpen && deletedAtValue < 0; }
    RegKeyRecord Expected() const
    {
        RegKeyRecord r;
        r.name = name;
        if (!opens || notFoundByName)
            return r;
        for (const auto& v : values)
            if (v.fault != Fault::Vanishes)
                r.values.push_back(v.value);
        for (const auto& k : subkeys)
            if (k.Recorded())
                r.subkeys.push_back(k.Expected());
        return r;
    }
};

// The fake's key names are Latin-1, its real names their characters.
std::wstring RealName(const std::string& name)
{
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(name.data());
    return std::wstring(bytes, bytes + name.size());
}

class CFakeRegistry : public IRegistry {
public:
    FakeKey machine, users;
    std::vector<std::string> valuesRead;  // names of the values whose data were read, in order
    std::vector<HKEY> opened;             // the real handles behind opened fake keys

    CFakeRegistry()
    {
        machine.name = "HKEY_LOCAL_MACHINE";
        users.name = "HKEY_USERS";
    }

    LONG QueryInfoKey(HKEY key, DWORD& subkeys, DWORD& values, FILETIME& lastWrite) override
    {
        FakeKey& k = Find(key);
        if (k.deleted)
            return ERROR_KEY_DELETED;
        if (k.queryFails)
            return ERROR_ACCESS_DENIED;
        // Every second query ends a reading of the key's listing.
        if (++k.queries % 2 == 0 && k.queries / 2 <= k.changingReadings)
            ++k.changes;
        subkeys = static_cast<DWORD>(k.subkeys.size()) + k.extraSubkeys;
        values = static_cast<DWORD>(k.values.size());
        lastWrite.dwLowDateTime = k.changes;
        lastWrite.dwHighDateTime = 0;
        return ERROR_SUCCESS;
    }
    LONG EnumValue(HKEY key, DWORD index, wchar_t* name, DWORD& nameLength, DWORD& type, BYTE* data,
                   DWORD& dataLength) override
    {
        FakeKey& k = Find(key);
        if (k.deleted)
            return ERROR_KEY_DELETED;
        if (index >= k.values.size())
            return ERROR_NO_MORE_ITEMS;
        FakeValue& v = k.values[index];
        if (v.fault == Fault::EnumFails)
            return ERROR_ACCESS_DENIED;
        if (v.fault == Fault::Vanishes) {
            // Gone from the key, which changed: the values after it move up.
            m_vanished.push_back(v.value.name);
            k.values.erase(k.values.begin() + index);
            ++k.changes;
            return EnumValue(key, index, name, nameLength, type, data, dataLength);
        }
        if (v.fault == Fault::ClaimsLongerName) {
            nameLength += 100;
            dataLength = 0;
            return ERROR_SUCCESS;
        }
        if (v.fault == Fault::ClaimsLongerData) {
            dataLength += 1;
            return ERROR_SUCCESS;
        }
        if (v.fault == Fault::GrowsOnEveryRead)
            v.value.data.resize(v.value.data.size() + 4096, 'g');
        // String data as the registry holds them: the fake's bytes as
        // Latin-1 characters.
        const bool text = v.value.type == REG_SZ || v.value.type == REG_EXPAND_SZ || v.value.type == REG_MULTI_SZ;
        std::wstring wideData = RealName(std::string(v.value.data.begin(), v.value.data.end()));
        DWORD size = v.fault == Fault::UnallocatableLength ? 0xFFFFFFFF
                     : text ? static_cast<DWORD>(2 * wideData.size())
                            : static_cast<DWORD>(v.value.data.size());
        std::wstring wideName = RealName(v.value.name);
        bool nameFits = v.fault != Fault::NameTooLong && wideName.size() < nameLength;
        if (size > dataLength || !nameFits) {
            dataLength = size;
            return ERROR_MORE_DATA;
        }
        std::memcpy(name, wideName.c_str(), (wideName.size() + 1) * sizeof(wchar_t));
        nameLength = static_cast<DWORD>(wideName.size());
        type = v.value.type;
        dataLength = size;
        if (size)
            std::memcpy(data, text ? static_cast<const void*>(wideData.data()) : v.value.data.data(), size);
        valuesRead.push_back(v.value.name);
        if (static_cast<int>(index) == k.deletedAtValue)
            k.deleted = true;
        return ERROR_SUCCESS;
    }
    LONG EnumKey(HKEY key, DWORD index, wchar_t* name, DWORD& nameLength) override
    {
        FakeKey& k = Find(key);
        if (k.deleted)
            return ERROR_KEY_DELETED;
        // A subkey created in front of the reader shifts the listing by one.
        if (index > 0 && k.queries / 2 < k.duplicatedReadings)
            --index;
        if (index >= k.subkeys.size())
            return ERROR_NO_MORE_ITEMS;
        const FakeKey& sub = k.subkeys[index];
        if (sub.nameTooLong || sub.name.size() >= nameLength)
            return ERROR_MORE_DATA;
        std::wstring wide = RealName(sub.name);
        std::memcpy(name, wide.c_str(), (wide.size() + 1) * sizeof(wchar_t));
        nameLength = static_cast<DWORD>(sub.name.size());
        return ERROR_SUCCESS;
    }
    LONG OpenKey(CRegKeyHandle& handle, HKEY parent, const wchar_t* name) override
    {
        FakeKey& p = Find(parent);
        for (FakeKey& sub : p.subkeys) {
            if (RealName(sub.name) != name)
                continue;
            if (sub.vanishesBeforeOpen) {
                ++p.changes;
                return ERROR_FILE_NOT_FOUND;
            }
            if (sub.notFoundByName)
                return ERROR_FILE_NOT_FOUND;
            if (!sub.opens)
                return ERROR_ACCESS_DENIED;
            LONG result = handle.Open(HKEY_LOCAL_MACHINE, L"Software");
            if (result != ERROR_SUCCESS)
                return result;
            m_keys[handle.Get()] = &sub;
            opened.push_back(handle.Get());
            sub.deleted = sub.deletedAfterOpen;
            return ERROR_SUCCESS;
        }
        return ERROR_FILE_NOT_FOUND;
    }
    // Values that vanished while their key was read.
    const std::vector<std::string>& Vanished() const { return m_vanished; }

private:
    FakeKey& Find(HKEY key)
    {
        if (key == HKEY_LOCAL_MACHINE)
            return machine;
        if (key == HKEY_USERS)
            return users;
        auto it = m_keys.find(key);
        if (it == m_keys.end())
            throw std::logic_error("the walker used a key it had not opened");
        return *it->second;
    }
    std::map<HKEY, FakeKey*> m_keys;
    std::vector<std::string> m_vanished;
};

// A progress window whose bar shows every percentage as soon as it is set.
class CShowingProgress : public CRecordingProgress {
public:
    void SetPercent(float p) override
    {
        CRecordingProgress::SetPercent(p);
        barPos = p;
    }
};

std::string Data(std::initializer_list<int> bytes)
{
    std::string s;
    for (int b : bytes)
        s += static_cast<char>(b);
    return s;
}

class RegSnapWalk : public ::testing::Test {
protected:
    void SetUp() override { ::DeleteFileA(path.c_str()); }
    void TearDown() override { ::DeleteFileA(path.c_str()); }

    void Run(BOOL fullPaths = FALSE, IProgress* otherProgress = nullptr)
    {
        snap.reset(new CRecordedRegSnap(target.empty() ? path : target, nullptr,
                                        otherProgress ? otherProgress : &progress, fullPaths,
                                        &messages, &registry));
        snap->Run();
    }
    void ExpectAbortedWith(const char* error)
    {
        ASSERT_EQ(messages.shown.size(), 3u);
        EXPECT_EQ(messages.shown[2].text, error);
        EXPECT_EQ(messages.shown[2].icon, MsgIcon::Exclamation);
        EXPECT_EQ(messages.shown[2].buttons, MsgButtons::Ok);
        EXPECT_TRUE(snap->results.empty());
        EXPECT_EQ(FileHead(path, 10), AbortedHeader());
        EXPECT_NE(progress.events.back(), "refresh wait");
        for (float p : progress.percents)
            EXPECT_NE(p, 100.0f);
        ExpectEveryKeyClosed();
    }
    void ExpectEveryKeyClosed()
    {
        for (HKEY h : registry.opened) {
            DWORD s, v;
            EXPECT_NE(::RegQueryInfoKeyA(h, nullptr, nullptr, nullptr, &s, nullptr, nullptr, &v,
                                         nullptr, nullptr, nullptr, nullptr),
                      ERROR_SUCCESS);
        }
    }

    std::string path = RegTempPath("corvane-regwalk.tvrec");  // removed after each test
    std::string target;  // written to instead of path when set, never removed
    CFakeRegistry registry;
    CRecordingMessages messages;
    CRecordingProgress progress;
    std::unique_ptr<CRecordedRegSnap> snap;
};

TEST_F(RegSnapWalk, AsksThenNotesTheIgnoredRootsAndWritesEveryKeyInRegistryOrder)
{
    FakeKey& software = registry.machine.Key("SOFTWARE");
    software.Value("", 1, Data({'a', 'b', 'c', 0}));
    software.Value("Empty", 3, "");
    for (uint32_t type = 0; type <= 12; ++type)
        software.Value("type " + std::to_string(type), type, Data({1, 2, 3, static_cast<int>(type)}));
    software.Value("Caf\xE9 \xC4rger \xFF", 4, Data({0xFF, 0xFF, 0xFF, 0xFF}));
    FakeKey* deep = &software.Key("Deep");
    for (int level = 1; level < 20; ++level) {
        deep = &deep->Key("level " + std::to_string(level));
        deep->Value("depth", 4, Data({level, 0, 0, 0}));
    }
    software.Key("Locked").opens = false;
    software.Key("\xC0 after");
    registry.machine.Key("SYSTEM").Value("x", 7, Data({'a', 0, 'b', 0, 0}));
    registry.users.Key(".DEFAULT").Key("Software");

    Run();

    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown[0].text, kRegSnapQuestion);
    EXPECT_EQ(messages.shown[0].icon, MsgIcon::Question);
    EXPECT_EQ(messages.shown[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(messages.shown[1].text,
              "Note - The following keys will be ignored because they have no bearing on results.  "
              "For more information on why, see FAQ #5 in Corvane Help.\n\nHKEY_PERFORMANCE_DATA\n"
              "HKEY_DYN_DATA\nHKEY_CLASSES_ROOT\nHKEY_CURRENT_CONFIG\nHKEY_CURRENT_USER\n\nAnd so, "
              "only the following keys will be recorded since they are parents to all of the other "
              "keys:\n\nHKEY_LOCAL_MACHINE\nHKEY_USERS");
    EXPECT_EQ(messages.shown[1].icon, MsgIcon::Information);
    EXPECT_EQ(messages.shown[1].buttons, MsgButtons::Ok);

    RegSnapFile file = ReadRegSnap(path);
    EXPECT_EQ(file.version, kRegSnapVersion);
    EXPECT_EQ(file.rootCount, 2u);
    ASSERT_EQ(file.roots.size(), 2u);
    ExpectSameKey(registry.machine.Expected(), file.roots[0], "HKEY_LOCAL_MACHINE");
    ExpectSameKey(registry.users.Expected(), file.roots[1], "HKEY_USERS");

    // 2 roots, SOFTWARE, Deep and its 19 levels, "\xC0 after", SYSTEM, .DEFAULT, Software.
    EXPECT_EQ(file.keysRecorded, 27u);
    EXPECT_EQ(file.keyRecords, 28u);  // and the empty record of Locked
    EXPECT_EQ(snap->KeysRecorded(), 27u);
    EXPECT_EQ(snap->KeysIgnored(), 1u);
    EXPECT_EQ(snap->IgnoredList(), "");
    ASSERT_EQ(snap->results.size(), 1u);
    EXPECT_EQ(snap->results[0], "OPERATION SUCCESSFUL.\r\n\r\n27 key(s) recorded\r\n1 key(s) ignored");

    ASSERT_GE(progress.events.size(), 3u);
    EXPECT_EQ(progress.events[0], "title Creating Registry Snapshot...");
    EXPECT_EQ(progress.events[1], "status Creating snap shot file...");
    EXPECT_EQ(progress.events.back(), "refresh wait");
    EXPECT_EQ(progress.percent, 100.0f);
    ExpectEveryKeyClosed();
}

TEST_F(RegSnapWalk, EachDirectSubkeyOfARootAddsItsShareToThePositionTheBarShows)
{
    for (int i = 0; i < 4; ++i)
        registry.machine.Key("m" + std::to_string(i)).Key("below").Key("further");
    registry.users.Key("u0");
    registry.users.Key("u1").Key("below");
    CShowingProgress showing;
    Run(FALSE, &showing);

    // The base is the bar's position read back as a whole number.
    EXPECT_EQ(showing.percents, (std::vector<float>{12.5f, 24.5f, 36.5f, 48.5f, 73.0f, 98.0f, 100.0f}));
    std::vector<std::string> statuses;
    for (const auto& e : showing.events)
        if (e.rfind("status Keys written: ", 0) == 0)
            statuses.push_back(e.substr(7));
    EXPECT_EQ(statuses, (std::vector<std::string>{"Keys written: 4", "Keys written: 7", "Keys written: 10",
                                                  "Keys written: 13", "Keys written: 15",
                                                  "Keys written: 17"}));
}

TEST_F(RegSnapWalk, StepsBetweenTwoRefreshesOfTheBarStartFromTheSameBase)
{
    for (int i = 0; i < 4; ++i)
        registry.machine.Key("m" + std::to_string(i));
    Run();  // the recorder's bar never moves
    EXPECT_EQ(progress.percents, (std::vector<float>{12.5f, 12.5f, 12.5f, 12.5f, 100.0f}));
}

TEST_F(RegSnapWalk, ARegistryOfTwoEmptyRootsRecordsTwoKeys)
{
    Run(TRUE);
    RegSnapFile file = ReadRegSnap(path);
    EXPECT_EQ(file.keysRecorded, 2u);
    EXPECT_EQ(file.keyRecords, 2u);
    EXPECT_EQ(progress.percents, std::vector<float>{100.0f});
    ASSERT_EQ(snap->results.size(), 1u);
    EXPECT_EQ(snap->results[0],
              "OPERATION SUCCESSFUL.\r\n\r\n2 key(s) recorded\r\n0 key(s) ignored\r\n\r\n"
              "The following keys could not be accessed and were ignored:\r\n");
}

TEST_F(RegSnapWalk, WithFullPathsEveryKeyThatDoesNotOpenIsListedInWalkOrder)
{
    FakeKey& software = registry.machine.Key("SOFTWARE");
    software.Key("Locked A").opens = false;
    FakeKey* deep = &software.Key("Deep");
    std::string deepPath = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Deep";
    for (int level = 0; level < 6; ++level) {
        std::string name(250, static_cast<char>('a' + level));
        deep = &deep->Key(name);
        deepPath += "\\" + name;
    }
    FakeKey& lockedDeep = deep->Key("Locked \xE9");
    lockedDeep.opens = false;
    lockedDeep.Key("never seen");
    registry.users.Key("S-1-5-18").opens = false;

    Run(TRUE);

    std::string list = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Locked A\r\n" + deepPath +
                       "\\Locked \xE9\r\nHKEY_USERS\\S-1-5-18\r\n";
    ASSERT_GT(deepPath.size(), 1024u);  // listed whole, however long
    EXPECT_EQ(snap->IgnoredList(), list);
    EXPECT_EQ(snap->KeysIgnored(), 3u);
    ASSERT_EQ(snap->results.size(), 1u);
    EXPECT_EQ(snap->results[0],
              "OPERATION SUCCESSFUL.\r\n\r\n10 key(s) recorded\r\n3 key(s) ignored\r\n\r\n"
              "The following keys could not be accessed and were ignored:\r\n" + list);
    RegSnapFile file = ReadRegSnap(path);
    ExpectSameKey(registry.machine.Expected(), file.roots[0], "HKEY_LOCAL_MACHINE");
    ExpectSameKey(registry.users.Expected(), file.roots[1], "HKEY_USERS");
    EXPECT_EQ(file.keyRecords - file.keysRecorded, 3u);
}

TEST_F(RegSnapWalk, ChosenKeysAreFoundByTheirRealNamesAndAChosenKeyThatDoesNotOpenIsListed)
{
    FakeKey& software = registry.machine.Key("SOFTWARE");
    software.Value("on the way", 4, Data({1, 0, 0, 0}));
    software.Key("Locked").opens = false;
    FakeKey& deep = software.Key("Deep");
    FakeKey& chosen = deep.Key("level 1");
    chosen.Value("kept", 1, Data({'k', 0}));
    chosen.Key("level 2").Value("kept too", 3, Data({7}));
    registry.users.Key(".DEFAULT").Key("Software");
    CChosenPlaces places;
    for (const wchar_t* typed : {L"HKLM\\software\\locked", L"hklm\\SOFTWARE\\\\Deep\\LEVEL 1\\"})
        ASSERT_EQ(ChooseKey(typed, places, registry), "");
    snap.reset(new CRecordedRegSnap(path, nullptr, &progress, TRUE, &messages, &registry));
    snap->ChoosePlaces(std::move(places));
    snap->Run();

    RegSnapFile file = ReadRegSnap(path);
    RegKeyRecord way{"SOFTWARE", {}, {{"Locked", {}, {}}, {"Deep", {}, {chosen.Expected()}}}};
    ExpectSameKey(RegKeyRecord{"HKEY_LOCAL_MACHINE", {}, {way}}, file.roots[0], "HKEY_LOCAL_MACHINE");
    ExpectSameKey(RegKeyRecord{"HKEY_USERS", {}, {}}, file.roots[1], "HKEY_USERS");
    // Each chosen key carries its share of the bar.
    EXPECT_EQ(progress.percents, (std::vector<float>{50.0f, 100.0f}));
    ASSERT_EQ(snap->results.size(), 1u);
    EXPECT_EQ(snap->results[0],
              "OPERATION SUCCESSFUL.\r\n\r\nOnly the following keys and their contents were recorded:\r\n"
              "HKEY_LOCAL_MACHINE\\SOFTWARE\\Locked\r\nHKEY_LOCAL_MACHINE\\SOFTWARE\\Deep\\level 1\r\n\r\n"
              "6 key(s) recorded\r\n1 key(s) ignored\r\n\r\n"
              "The following keys could not be accessed and were ignored:\r\nHKEY_LOCAL_MACHINE\\SOFTWARE\\Locked\r\n");
    ExpectEveryKeyClosed();
}

// The registry changes while it is walked: what vanished before it was read
// is left out, what grew is read again, and a key whose listing changed while
// it was read is read again; the snapshot succeeds and holds true counts.
class RegSnapLiveRegistry : public RegSnapWalk {
protected:
    void ExpectRecordedAsExpected()
    {
        ASSERT_EQ(messages.shown.size(), 2u) << messages.shown.back().text;
        ASSERT_EQ(snap->results.size(), 1u);
        RegSnapFile file = ReadRegSnap(path);
        EXPECT_EQ(file.version, kRegSnapVersion);
        EXPECT_EQ(file.keysRecorded, snap->KeysRecorded());
        EXPECT_EQ(file.keysRecorded + snap->KeysIgnored(), file.keyRecords);
        ExpectSameKey(registry.machine.Expected(), file.roots[0], "HKEY_LOCAL_MACHINE");
        ExpectSameKey(registry.users.Expected(), file.roots[1], "HKEY_USERS");
        ExpectEveryKeyClosed();
    }
};

TEST_F(RegSnapLiveRegistry, AValueDeletedWhileItsKeyIsReadIsLeftOut)
{
    FakeKey& software = registry.machine.Key("SOFTWARE");
    software.Value("kept", 4, Data({1, 0, 0, 0}));
    software.Value("gone", 1, "x").fault = Fault::Vanishes;
    software.Key("after").Value("read", 1, "y");
    Run(TRUE);
    ExpectRecordedAsExpected();
    EXPECT_EQ(registry.Vanished(), std::vector<std::string>{"gone"});
    // The key changed, so its listing was read again.
    EXPECT_EQ(registry.valuesRead, (std::vector<std::string>{"kept", "kept", "read"}));
    EXPECT_EQ(snap->IgnoredList(), "");
}

TEST_F(RegSnapLiveRegistry, AValueLargerThanTheBufferIsReadAgainInABufferOfItsSize)
{
    registry.machine.Key("SOFTWARE").Value("grew", 3, std::string(5000, 'g'));
    Run();
    ExpectRecordedAsExpected();
    EXPECT_EQ(registry.valuesRead, (std::vector<std::string>{"grew"}));
    EXPECT_EQ(snap->DataBufferSize(), 5000u);
}

TEST_F(RegSnapLiveRegistry, ASubkeyDeletedBetweenItsParentsListingAndItsOpeningIsLeftOut)
{
    FakeKey& software = registry.machine.Key("SOFTWARE");
    software.Key("a").Value("v", 4, Data({1, 0, 0, 0}));
    software.Key("gone").vanishesBeforeOpen = true;
    software.Key("c").Key("inner");
    Run(TRUE);
    ExpectRecordedAsExpected();
    RegSnapFile file = ReadRegSnap(path);
    EXPECT_EQ(file.roots[0].subkeys[0].subkeys.size(), 2u);  // the count was corrected
    EXPECT_EQ(snap->KeysIgnored(), 0u);
    EXPECT_EQ(snap->KeysRecorded(), 6u);
}

TEST_F(RegSnapLiveRegistry, AKeyDeletedAsSoonAsItIsOpenOrWhileItsValuesAreReadIsLeftOut)
{
    FakeKey& software = registry.machine.Key("SOFTWARE");
    software.Key("opened then deleted").deletedAfterOpen = true;
    FakeKey& midway = software.Key("deleted midway");
    for (const char* name : {"one", "two", "three"})
        midway.Value(name, 1, "x");
    midway.Key("below").Value("never", 1, "n");
    midway.deletedAtValue = 1;
    software.Key("kept");
    Run(TRUE);
    ExpectRecordedAsExpected();
    EXPECT_EQ(std::count(registry.valuesRead.begin(), registry.valuesRead.end(), "never"), 0);
    EXPECT_EQ(snap->KeysRecorded(), 4u);
}

TEST_F(RegSnapLiveRegistry, AListedSubkeyThatIsNotFoundByItsNameIsRecordedAsIgnored)
{
    // The key did not change, so the subkey is still there, but it does not
    // open by the name its parent lists.
    registry.machine.Key("SOFTWARE").Key("unreachable").notFoundByName = true;
    Run(TRUE);
    ExpectRecordedAsExpected();
    EXPECT_EQ(snap->IgnoredList(), "HKEY_LOCAL_MACHINE\\SOFTWARE\\unreachable\r\n");
}

TEST_F(RegSnapLiveRegistry, AListingThatShiftedWhileItWasReadIsReadAgain)
{
    FakeKey& software = registry.machine.Key("SOFTWARE");
    for (const char* name : {"a", "b", "c"})
        software.Key(name);
    software.changingReadings = 1;
    software.duplicatedReadings = 1;
    Run();
    ExpectRecordedAsExpected();
    EXPECT_EQ(software.queries, 4);  // two readings, each between two queries
}

TEST_F(RegSnapLiveRegistry, AKeyThatNeverStandsStillIsRecordedAsLastReadWithEachNameOnce)
{
    FakeKey& software = registry.machine.Key("SOFTWARE");
    for (const char* name : {"a", "b", "c"})
        software.Key(name).Value("v", 1, name);
    software.Value("value", 4, Data({7, 0, 0, 0}));
    software.changingReadings = 1000;
    software.duplicatedReadings = 1000;
    Run();
    ASSERT_EQ(messages.shown.size(), 2u) << messages.shown.back().text;
    EXPECT_EQ(software.queries, 16);  // eight readings, then the last one stands
    // Each reading lists a, a, b: the name met twice is recorded once, and
    // the parent's count says so.
    RegSnapFile file = ReadRegSnap(path);
    const RegKeyRecord& recorded = file.roots[0].subkeys[0];
    ASSERT_EQ(recorded.subkeys.size(), 2u);
    EXPECT_EQ(recorded.subkeys[0].name, "a");
    EXPECT_EQ(recorded.subkeys[1].name, "b");
    ASSERT_EQ(recorded.values.size(), 1u);
    EXPECT_EQ(recorded.values[0].name, "value");
    EXPECT_EQ(file.keysRecorded, 5u);
}

TEST_F(RegSnapWalk, AValueThatGrowsOnEveryReadingAborts)
{
    registry.machine.Key("SOFTWARE").Value("grows", 3, "abc").fault = Fault::GrowsOnEveryRead;
    Run();
    ExpectAbortedWith(kRegSnapReadValueError);
}

TEST_F(RegSnapWalk, ADataLengthNoBufferCanHoldIsNeverRead)
{
    if (sizeof(void*) == 8)
        GTEST_SKIP() << "a length no buffer can hold exists only in a 32-bit address space";
    FakeKey& software = registry.machine.Key("SOFTWARE");
    software.Value("huge", 3, "abc").fault = Fault::UnallocatableLength;
    Run();
    ExpectAbortedWith(kRegSnapReadValueError);
    EXPECT_TRUE(registry.valuesRead.empty());
}

TEST_F(RegSnapWalk, AMegabyteValueGrowsTheDataBufferToItsSize)
{
    std::string big(1 << 20, '\0');
    for (size_t i = 0; i < big.size(); ++i)
        big[i] = static_cast<char>(i * 31);
    FakeKey& software = registry.machine.Key("SOFTWARE");
    software.Value("small", 3, "s");
    software.Value("big", 3, big);
    software.Value("after", 3, "t");
    Run();
    EXPECT_EQ(snap->DataBufferSize(), 1u << 20);
    RegSnapFile file = ReadRegSnap(path);
    ExpectSameKey(registry.machine.Expected(), file.roots[0], "HKEY_LOCAL_MACHINE");
}

// Room for 16,640 characters of two bytes each.
TEST_F(RegSnapWalk, AValueNameLongerThanTheBufferAborts)
{
    registry.machine.Key("SOFTWARE").Value(std::string(16640, 'n'), 1, "x");
    Run();
    ExpectAbortedWith(kRegSnapAccessValueError);
    EXPECT_TRUE(registry.valuesRead.empty());
}

TEST_F(RegSnapWalk, AValueNameOfTheLongestLengthThatFitsIsRecorded)
{
    std::string name(16639, 'n');
    registry.machine.Key("SOFTWARE").Value(name, 1, "x");
    Run();
    RegSnapFile file = ReadRegSnap(path);
    ExpectSameKey(registry.machine.Expected(), file.roots[0], "HKEY_LOCAL_MACHINE");
}

TEST_F(RegSnapWalk, ANameLengthBeyondTheRoomGivenIsNotBelieved)
{
    registry.machine.Key("SOFTWARE").Value("v", 1, "x").fault = Fault::ClaimsLongerName;
    Run();
    ExpectAbortedWith(kRegSnapAccessValueError);
    EXPECT_TRUE(registry.valuesRead.empty());
}

TEST_F(RegSnapWalk, ADataLengthBeyondTheRoomGivenIsNotBelieved)
{
    registry.machine.Key("SOFTWARE").Value("v", 1, "x").fault = Fault::ClaimsLongerData;
    Run();
    ExpectAbortedWith(kRegSnapReadValueError);
}

TEST_F(RegSnapWalk, AValueThatCannotBeEnumeratedAborts)
{
    registry.users.Key("u").Value("v", 1, "x").fault = Fault::EnumFails;
    Run();
    ExpectAbortedWith(kRegSnapAccessValueError);
}

TEST_F(RegSnapWalk, ASubkeyNameLongerThanTheBufferAborts)
{
    registry.machine.Key("SOFTWARE").Key("long").nameTooLong = true;
    Run();
    ExpectAbortedWith(kRegSnapSubkeysError);
}

TEST_F(RegSnapWalk, ASubkeyCountTheListingNeverReachesWhileTheKeyStaysTheSameAborts)
{
    FakeKey& software = registry.machine.Key("SOFTWARE");
    software.Key("present").Key("inner");
    software.extraSubkeys = 1;
    Run(TRUE);
    ExpectAbortedWith(kRegSnapSubkeysError);
}

TEST_F(RegSnapWalk, AKeyThatCannotBeQueriedAborts)
{
    registry.machine.Key("SOFTWARE").Key("a").Key("b").queryFails = true;
    Run();
    ExpectAbortedWith(kRegSnapQueryKeyError);
}

TEST_F(RegSnapWalk, NoAnswerOtherThanYesWritesNothing)
{
    messages.answers.push_back(MsgAnswer::No);
    Run();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(::GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(progress.events.empty());
    EXPECT_TRUE(snap->results.empty());
}

TEST_F(RegSnapWalk, ASnapshotFileThatCannotBeCreatedEndsWithItsError)
{
    path = RegTempPath("no such folder\\corvane.tvrec");
    Run();
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown[1].text, "ERROR: Could not create snap shot file.");
    EXPECT_EQ(messages.shown[1].icon, MsgIcon::Exclamation);
    EXPECT_TRUE(snap->results.empty());
    EXPECT_EQ(progress.events, (std::vector<std::string>{"title Creating Registry Snapshot...",
                                                         "status Creating snap shot file..."}));
}

TEST_F(RegSnapWalk, ASecondRunStartsItsCountsAndListAfresh)
{
    registry.machine.Key("Locked").opens = false;
    Run(TRUE);
    snap->Run();
    EXPECT_EQ(snap->KeysRecorded(), 2u);
    EXPECT_EQ(snap->KeysIgnored(), 1u);
    EXPECT_EQ(snap->IgnoredList(), "HKEY_LOCAL_MACHINE\\Locked\r\n");
    ASSERT_EQ(snap->results.size(), 2u);
    EXPECT_EQ(snap->results[0], snap->results[1]);
}

// Wine's drive Z: is the host's root, so Z:\dev\full is a file that can be
// created but never written: a disk that is full from the first byte.
TEST_F(RegSnapWalk, AFullDiskDuringTheWalkEndsWithTheWriteErrorAndNoResults)
{
    target = "Z:\\dev\\full";
    FakeKey& software = registry.machine.Key("SOFTWARE");
    software.Value("big", 3, std::string(300 * 1024, 'b'));  // more than the writer buffers
    software.Key("after").Value("never", 1, "y");
    Run();
    ASSERT_EQ(messages.shown.size(), 3u);
    EXPECT_EQ(messages.shown[2].text, kRegSnapWriteError);
    EXPECT_EQ(messages.shown[2].icon, MsgIcon::Exclamation);
    EXPECT_TRUE(snap->results.empty());
    EXPECT_EQ(std::find(registry.valuesRead.begin(), registry.valuesRead.end(), "never"),
              registry.valuesRead.end());
    ExpectEveryKeyClosed();
}

TEST_F(RegSnapWalk, AFullDiskAtTheEndEndsWithTheWriteErrorAndNoResults)
{
    target = "Z:\\dev\\full";
    registry.machine.Key("SOFTWARE").Value("small", 3, "s");
    Run();
    ASSERT_EQ(messages.shown.size(), 3u);
    EXPECT_EQ(messages.shown[2].text, kRegSnapWriteError);
    EXPECT_TRUE(snap->results.empty());
    for (float p : progress.percents)
        EXPECT_NE(p, 100.0f);
}

// The real message boxes and the real results dialog, answered as a person would.
TEST(RegSnapDialogs, TheQuestionTheNoteAndTheResultsAreShownForReal)
{
    std::string path = RegTempPath("corvane-regdialogs.tvrec");
    CFakeRegistry registry;
    registry.machine.Key("SOFTWARE");
    CRecordingProgress progress;
    CRegSnap snap(path, nullptr, &progress, FALSE, nullptr, &registry);
    CDialogDriver boxes, results;
    boxes.Answer("Corvane", {IDYES, IDOK});
    results.Answer("Results", IDCANCEL);
    snap.Run();
    const auto& seenBoxes = boxes.Join();
    const auto& seenResults = results.Join();
    ASSERT_EQ(seenBoxes.size(), 2u);
    EXPECT_EQ(seenBoxes[0].MessageText(), kRegSnapQuestion);
    EXPECT_EQ(seenBoxes[0].buttons, (std::vector<std::string>{"&Yes", "&No"}));
    EXPECT_EQ(seenBoxes[1].MessageText(), kRegSnapIgnoredRootsNote);
    ASSERT_EQ(seenResults.size(), 1u);
    ASSERT_EQ(seenResults[0].edits.size(), 1u);
    EXPECT_EQ(seenResults[0].edits[0], "OPERATION SUCCESSFUL.\r\n\r\n3 key(s) recorded\r\n0 key(s) ignored");
    ::DeleteFileA(path.c_str());
}

}  // namespace
