// Snapshots of the prefix's whole real registry. The suite adds its own keys
// below HKEY_LOCAL_MACHINE\Software and HKEY_USERS\.DEFAULT\Software, takes a
// snapshot, and checks those keys in the file byte for byte against an
// enumeration of its own; it removes the keys again at the end.
#include "snapshot/RegSnap.h"
#include "compare/RegMine.h"
#include "compare/RegVal.h"
#include "compare/TreeListing.h"
#include "tests/support/SnapshotFiles.h"

#include "framework/AnsiName.h"
#include "snapshot/SnapFormat.h"
#include "tests/snapshot/RegChurnStates.h"
#include "tests/snapshot/RegSnapTesting.h"
#include "tests/support/Recorders.h"
#include "tests/support/WaitFor.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <functional>
#include <set>

namespace {

const char kTestKey[] = "Corvane Reg Test";

std::string Bytes(std::initializer_list<int> bytes)
{
    std::string s;
    for (int b : bytes)
        s += static_cast<char>(b);
    return s;
}

class CWriteKey {
public:
    CWriteKey(HKEY parent, const std::string& name)
    {
        m_ok = ::RegCreateKeyExA(parent, name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &m_h,
                                 nullptr) == ERROR_SUCCESS;
    }
    ~CWriteKey()
    {
        if (m_ok)
            ::RegCloseKey(m_h);
    }
    CWriteKey(const CWriteKey&) = delete;
    CWriteKey& operator=(const CWriteKey&) = delete;
    bool Ok() const { return m_ok; }
    HKEY Get() const { return m_h; }
    bool Set(const char* name, DWORD type, const std::string& data)
    {
        return ::RegSetValueExA(m_h, name, 0, type, reinterpret_cast<const BYTE*>(data.data()),
                                static_cast<DWORD>(data.size())) == ERROR_SUCCESS;
    }

private:
    HKEY m_h = nullptr;
    bool m_ok = false;
};

// The key as the registry lists it: values with name, type and data in one
// call each, then the subkeys, both by index.
bool ListKey(HKEY key, const std::string& name, RegKeyRecord& out)
{
    out.name = name;
    DWORD subkeys = 0, maxSubkey = 0, values = 0, maxName = 0, maxData = 0;
    if (::RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subkeys, &maxSubkey, nullptr, &values,
                           &maxName, &maxData, nullptr, nullptr) != ERROR_SUCCESS)
        return false;
    for (DWORD i = 0; i < values; ++i) {
        std::vector<char> valueName(maxName + 2);
        std::vector<uint8_t> data(maxData + 2);
        DWORD nameLength = static_cast<DWORD>(valueName.size()), type = 0;
        DWORD dataLength = static_cast<DWORD>(data.size());
        if (::RegEnumValueA(key, i, valueName.data(), &nameLength, nullptr, &type, data.data(),
                            &dataLength) != ERROR_SUCCESS)
            return false;
        RegValueRecord v;
        v.name.assign(valueName.data(), nameLength);
        v.type = type;
        v.data.assign(data.begin(), data.begin() + dataLength);
        out.values.push_back(v);
    }
    for (DWORD j = 0; j < subkeys; ++j) {
        std::vector<char> subName(maxSubkey + 2);
        DWORD nameLength = static_cast<DWORD>(subName.size());
        if (::RegEnumKeyExA(key, j, subName.data(), &nameLength, nullptr, nullptr, nullptr,
                            nullptr) != ERROR_SUCCESS)
            return false;
        std::string n(subName.data(), nameLength);
        RegKeyRecord sub;
        HKEY h;
        if (::RegOpenKeyExA(key, n.c_str(), 0, KEY_READ, &h) == ERROR_SUCCESS) {
            bool listed = ListKey(h, n, sub);
            ::RegCloseKey(h);
            if (!listed)
                return false;
        } else {
            sub.name = n;  // recorded as an empty key
        }
        out.subkeys.push_back(sub);
    }
    return true;
}

const RegKeyRecord* FindNoCase(const RegKeyRecord& parent, const std::string& name)
{
    for (const auto& k : parent.subkeys)
        if (_stricmp(k.name.c_str(), name.c_str()) == 0)
            return &k;
    return nullptr;
}

const RegValueRecord* FindValue(const RegKeyRecord& key, const std::string& name)
{
    for (const auto& v : key.values)
        if (v.name == name)
            return &v;
    return nullptr;
}

// The system registry, with one change made for real between two of the
// walker's calls.
class CChangingRegistry : public CForwardingRegistry {
public:
    // Called after a value named `trigger` has been enumerated.
    std::string valueTrigger;
    std::function<void()> afterValueEnumerated;
    // Called after a subkey named `trigger` has been enumerated.
    std::string keyTrigger;
    std::function<void()> afterKeyEnumerated;

    // Called before the subkey named `trigger` is opened.
    std::string openTrigger;
    std::function<void()> beforeOpen;

    LONG EnumValue(HKEY key, DWORD index, wchar_t* name, DWORD& nameLength, DWORD& type, BYTE* data,
                   DWORD& dataLength) override
    {
        LONG result = CForwardingRegistry::EnumValue(key, index, name, nameLength, type, data, dataLength);
        if (result == ERROR_SUCCESS && AnsiName(name, nameLength) == valueTrigger && afterValueEnumerated)
            afterValueEnumerated();
        return result;
    }
    LONG EnumKey(HKEY key, DWORD index, wchar_t* name, DWORD& nameLength) override
    {
        LONG result = CForwardingRegistry::EnumKey(key, index, name, nameLength);
        if (result == ERROR_SUCCESS && AnsiName(name, nameLength) == keyTrigger && afterKeyEnumerated)
            afterKeyEnumerated();
        return result;
    }
    LONG OpenKey(CRegKeyHandle& handle, HKEY parent, const wchar_t* name) override
    {
        if (AnsiName(name, std::wcslen(name)) == openTrigger && beforeOpen)
            beforeOpen();
        return CForwardingRegistry::OpenKey(handle, parent, name);
    }
};

// Lets nobody read the key, its creator included, until Unlock.
bool LockKey(HKEY parent, const std::string& name)
{
    HKEY h;
    if (::RegOpenKeyExA(parent, name.c_str(), 0, WRITE_DAC, &h) != ERROR_SUCCESS)
        return false;
    SECURITY_DESCRIPTOR sd;
    ACL acl;
    bool ok = ::InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION) &&
              ::InitializeAcl(&acl, sizeof acl, ACL_REVISION) &&
              ::SetSecurityDescriptorDacl(&sd, TRUE, &acl, FALSE) &&
              ::RegSetKeySecurity(h, DACL_SECURITY_INFORMATION, &sd) == ERROR_SUCCESS;
    ::RegCloseKey(h);
    return ok;
}

void UnlockKey(HKEY parent, const std::string& name)
{
    HKEY h;
    if (::RegOpenKeyExA(parent, name.c_str(), 0, WRITE_DAC, &h) != ERROR_SUCCESS)
        return;
    SECURITY_DESCRIPTOR sd;
    ::InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION);
    ::SetSecurityDescriptorDacl(&sd, TRUE, nullptr, FALSE);
    ::RegSetKeySecurity(h, DACL_SECURITY_INFORMATION, &sd);
    ::RegCloseKey(h);
}

bool CanRead(HKEY parent, const std::string& name)
{
    HKEY h;
    if (::RegOpenKeyExA(parent, name.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS)
        return false;
    ::RegCloseKey(h);
    return true;
}

class RegSnapLive : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        RemoveTestKeys();
        s_ready = Populate();
    }
    static void TearDownTestSuite() { RemoveTestKeys(); }

    void SetUp() override
    {
        ASSERT_TRUE(s_ready) << "could not create the test keys";
        ::DeleteFileA(path.c_str());
    }
    void TearDown() override { ::DeleteFileA(path.c_str()); }

    static void RemoveTestKeys()
    {
        CWriteKey machine(HKEY_LOCAL_MACHINE, "Software");
        UnlockKey(machine.Get(), std::string(kTestKey) + "\\Locked");
        ::RegDeleteTreeA(machine.Get(), kTestKey);
        CWriteKey users(HKEY_USERS, ".DEFAULT\\Software");
        ::RegDeleteTreeA(users.Get(), kTestKey);
    }

    static bool Populate()
    {
        CWriteKey key(HKEY_LOCAL_MACHINE, std::string("Software\\") + kTestKey);
        if (!key.Ok())
            return false;
        for (const auto& v : ExpectedValues())
            if (!key.Set(v.name.c_str(), v.type, std::string(v.data.begin(), v.data.end())))
                return false;
        std::string deep = std::string("Software\\") + kTestKey + "\\Deep";
        for (int level = 1; level <= 20; ++level) {
            deep += "\\level " + std::to_string(level);
            CWriteKey k(HKEY_LOCAL_MACHINE, deep);
            if (!k.Ok() || !k.Set("depth", REG_DWORD, Bytes({level, 0, 0, 0})))
                return false;
        }
        CWriteKey accented(key.Get(), "Sch\xFCssel \xE9\xC4\xFF");
        if (!accented.Ok() || !accented.Set("Gr\xF6\xDF" "e", REG_SZ, "gro\xDF\0"))
            return false;
        CWriteKey users(HKEY_USERS, std::string(".DEFAULT\\Software\\") + kTestKey + "\\Inner");
        if (!users.Ok() || !users.Set(nullptr, REG_SZ, std::string("default of a user\0", 18)) ||
            !users.Set("qword", REG_QWORD, Bytes({8, 7, 6, 5, 4, 3, 2, 1})))
            return false;
        return true;
    }

    // Every value of the main test key, in the order they are created.
    static std::vector<RegValueRecord> ExpectedValues()
    {
        std::vector<RegValueRecord> values;
        auto add = [&](const std::string& name, DWORD type, const std::string& data) {
            values.push_back(RegValueRecord{name, type, std::vector<uint8_t>(data.begin(), data.end())});
        };
        add("", REG_SZ, std::string("the default\0", 12));
        add("none", REG_NONE, Bytes({0x01, 0x02}));
        add("sz", REG_SZ, std::string("abc\0", 4));
        add("expand", REG_EXPAND_SZ, std::string("%SystemRoot%\\x\0", 15));
        add("binary", REG_BINARY, Bytes({0x00, 0xFF, 0x10, 0x80}));
        add("dword", REG_DWORD, Bytes({0xFF, 0xFF, 0xFF, 0xFF}));
        add("big endian", REG_DWORD_BIG_ENDIAN, Bytes({0x12, 0x34, 0x56, 0x78}));
        add("link", REG_LINK, Bytes({'l', 0, 'k', 0}));
        add("multi", REG_MULTI_SZ, std::string("one\0two\0\0", 9));
        add("resource list", REG_RESOURCE_LIST, Bytes({8, 0, 0, 0}));
        add("full descriptor", REG_FULL_RESOURCE_DESCRIPTOR, Bytes({9, 0, 0, 0, 9}));
        add("requirements", REG_RESOURCE_REQUIREMENTS_LIST, Bytes({10, 10}));
        add("qword", REG_QWORD, Bytes({1, 2, 3, 4, 5, 6, 7, 8}));
        add("type 12", 12, Bytes({0xC0, 0xFF, 0xEE}));
        add("empty binary", REG_BINARY, "");
        add("empty sz", REG_SZ, "");
        add("Caf\xE9 \xC4rger \xA9\xFF", REG_SZ, std::string("na\xEFve\0", 6));
        std::string big(1 << 20, '\0');
        for (size_t i = 0; i < big.size(); ++i)
            big[i] = static_cast<char>((i * 131) >> 3);
        add("one megabyte", REG_BINARY, big);
        return values;
    }

    const RegKeyRecord* TestKeyIn(const RegSnapFile& file, size_t root, const char* softwareParent)
    {
        const RegKeyRecord* parent = &file.roots[root];
        if (softwareParent)
            parent = FindNoCase(*parent, softwareParent);
        const RegKeyRecord* software = parent ? FindNoCase(*parent, "Software") : nullptr;
        return software ? FindNoCase(*software, kTestKey) : nullptr;
    }

    static bool s_ready;
    std::string path = RegTempPath("corvane-live.tvrec");
    CRecordingMessages messages;
    CRecordingProgress progress;
};

bool RegSnapLive::s_ready = false;

TEST_F(RegSnapLive, TheWholeRegistryHoldsTheTestKeysByteForByte)
{
    CRecordedRegSnap snap(path, nullptr, &progress, TRUE, &messages);
    snap.Run();
    // The question and the note, no error.
    ASSERT_EQ(messages.shown.size(), 2u) << messages.shown.back().text;

    RegSnapFile file = ReadRegSnap(path);
    EXPECT_EQ(file.version, kRegSnapVersion);
    ASSERT_EQ(file.roots.size(), 2u);
    EXPECT_EQ(file.roots[0].name, "HKEY_LOCAL_MACHINE");
    EXPECT_EQ(file.roots[1].name, "HKEY_USERS");
    EXPECT_EQ(file.keysRecorded, snap.KeysRecorded());
    EXPECT_EQ(file.keysRecorded + snap.KeysIgnored(), file.keyRecords);
    EXPECT_GT(file.keysRecorded, 1000u);

    const RegKeyRecord* machine = TestKeyIn(file, 0, nullptr);
    ASSERT_NE(machine, nullptr);
    HKEY h;
    ASSERT_EQ(::RegOpenKeyExA(HKEY_LOCAL_MACHINE, (std::string("Software\\") + kTestKey).c_str(), 0,
                              KEY_READ, &h),
              ERROR_SUCCESS);
    RegKeyRecord listed;
    bool ok = ListKey(h, machine->name, listed);
    ::RegCloseKey(h);
    ASSERT_TRUE(ok);
    ExpectSameKey(listed, *machine, "HKEY_LOCAL_MACHINE\\Software\\Corvane Reg Test");

    // Every value as it was set, the terminators of the strings included.
    for (const RegValueRecord& e : ExpectedValues()) {
        const RegValueRecord* a = FindValue(*machine, e.name);
        ASSERT_NE(a, nullptr) << e.name;
        EXPECT_EQ(a->type, e.type) << e.name;
        EXPECT_TRUE(a->data == e.data) << e.name << ": " << a->data.size() << " bytes";
    }
    EXPECT_EQ(machine->values.size(), ExpectedValues().size());
    EXPECT_EQ(snap.DataBufferSize(), 1u << 20);

    const RegKeyRecord* level = FindNoCase(*machine, "Deep");
    for (int depth = 1; depth <= 20 && level; ++depth) {
        level = FindNoCase(*level, "level " + std::to_string(depth));
        ASSERT_NE(level, nullptr) << depth;
        ASSERT_EQ(level->values.size(), 1u);
        EXPECT_EQ(level->values[0].data, (std::vector<uint8_t>{static_cast<uint8_t>(depth), 0, 0, 0}));
    }
    ASSERT_NE(level, nullptr);
    EXPECT_TRUE(level->subkeys.empty());

    const RegKeyRecord* accented = FindNoCase(*machine, "Sch\xFCssel \xE9\xC4\xFF");
    ASSERT_NE(accented, nullptr);
    EXPECT_EQ(accented->name, "Sch\xFCssel \xE9\xC4\xFF");
    ASSERT_EQ(accented->values.size(), 1u);
    EXPECT_EQ(accented->values[0].name, "Gr\xF6\xDF" "e");

    const RegKeyRecord* users = TestKeyIn(file, 1, ".DEFAULT");
    ASSERT_NE(users, nullptr);
    ASSERT_EQ(::RegOpenKeyExA(HKEY_USERS, (std::string(".DEFAULT\\Software\\") + kTestKey).c_str(), 0,
                              KEY_READ, &h),
              ERROR_SUCCESS);
    RegKeyRecord listedUsers;
    ok = ListKey(h, users->name, listedUsers);
    ::RegCloseKey(h);
    ASSERT_TRUE(ok);
    ExpectSameKey(listedUsers, *users, "HKEY_USERS\\.DEFAULT\\Software\\Corvane Reg Test");
    ASSERT_EQ(users->subkeys.size(), 1u);
    ASSERT_EQ(users->subkeys[0].values.size(), 2u);
    EXPECT_EQ(users->subkeys[0].values[0].name, "");

    ASSERT_EQ(snap.results.size(), 1u);
    EXPECT_EQ(snap.results[0], RegResultsText(snap.KeysRecorded(), snap.KeysIgnored(), true, snap.IgnoredList()));
    EXPECT_EQ(static_cast<uint32_t>(std::count(snap.IgnoredList().begin(), snap.IgnoredList().end(), '\n')),
              snap.KeysIgnored());
    EXPECT_EQ(progress.percent, 100.0f);
}

TEST_F(RegSnapLive, AKeyNobodyMayReadIsListedCountedAndWrittenEmpty)
{
    std::string parent = std::string("Software\\") + kTestKey;
    {
        CWriteKey locked(HKEY_LOCAL_MACHINE, parent + "\\Locked");
        ASSERT_TRUE(locked.Ok());
        ASSERT_TRUE(locked.Set("hidden", REG_SZ, std::string("x\0", 2)));
        CWriteKey inner(locked.Get(), "inner");
        ASSERT_TRUE(inner.Ok());
    }
    CWriteKey parentKey(HKEY_LOCAL_MACHINE, parent);
    ASSERT_TRUE(LockKey(parentKey.Get(), "Locked"));
    bool readable = CanRead(parentKey.Get(), "Locked");
    if (!readable) {
        CRecordedRegSnap snap(path, nullptr, &progress, TRUE, &messages);
        snap.Run();
        RegSnapFile file = ReadRegSnap(path);
        const RegKeyRecord* key = TestKeyIn(file, 0, nullptr);
        ASSERT_NE(key, nullptr);
        const RegKeyRecord* locked = key->Subkey("Locked");
        ASSERT_NE(locked, nullptr);
        EXPECT_TRUE(locked->values.empty());
        EXPECT_TRUE(locked->subkeys.empty());
        EXPECT_NE(snap.IgnoredList().find("HKEY_LOCAL_MACHINE\\Software\\Corvane Reg Test\\Locked\r\n"),
                  std::string::npos)
            << snap.IgnoredList();
        EXPECT_GE(snap.KeysIgnored(), 1u);
        EXPECT_EQ(file.keysRecorded + snap.KeysIgnored(), file.keyRecords);
    }
    UnlockKey(parentKey.Get(), "Locked");
    ::RegDeleteTreeA(parentKey.Get(), "Locked");
    ASSERT_FALSE(readable) << "the registry let a key with an empty access list be read";
}

// Keys and values whose names code page 1252 cannot hold (Cyrillic, emoji),
// two keys whose names read the same in it, and string data outside it: each
// recorded as the ANSI functions list it, with all it holds, nothing ignored.
TEST_F(RegSnapLive, KeysAndValuesOfAnyNameAreRecordedWithWhatTheyHold)
{
    // Below Names, in the order the registry lists them (by name): a subkey
    // (none: Names itself) and its REG_SZ value, as set and as recorded.
    const struct {
        const wchar_t *key, *value, *data;
        const char *recordedKey, *recordedValue, *recordedData;
    } kNamed[] = {
        {L"", L"plain", L"x", "", "plain", "x"},
        {L"", L"\u0437\u043d\u0430\u0447", L"\u0437\u043d\u0430\u0447\u0435\u043d\u0438\u0435", "", "????", "????????"},
        {L"\\\u0414\u0438\u0440", L"\u0437\u043d\u0430\u0447", L"a", "???", "????", "a"},
        {L"\\\u0416\u0443\u043a", L"plain", L"b", "???", "plain", "b"},  // reads as the key before
        {L"\\\U0001F30E\U0001F30F\U0001F30D", L"\U0001F30D", L"c", "??????", "??", "c"},
    };
    const std::wstring names = L"Software\\Corvane Reg Test\\Names";
    RegKeyRecord expected{"Names", {}, {}};
    for (const auto& n : kNamed) {
        HKEY key;
        ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, (names + n.key).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                    nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        ::RegSetValueExW(key, n.value, 0, REG_SZ, reinterpret_cast<const BYTE*>(n.data),
                         static_cast<DWORD>((std::wcslen(n.data) + 1) * sizeof(wchar_t)));
        ::RegCloseKey(key);
        if (*n.key)
            expected.subkeys.push_back(RegKeyRecord{n.recordedKey, {}, {}});
        std::string data(n.recordedData, std::strlen(n.recordedData) + 1);
        (*n.key ? expected.subkeys.back() : expected)
            .values.push_back(RegValueRecord{n.recordedValue, REG_SZ, {data.begin(), data.end()}});
    }
    CRecordedRegSnap snap(path, nullptr, &progress, TRUE, &messages);
    snap.Run();
    ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, names.c_str());

    RegSnapFile file = ReadRegSnap(path);
    const RegKeyRecord* test = TestKeyIn(file, 0, nullptr);
    ASSERT_TRUE(test && test->Subkey("Names"));
    ExpectSameKey(expected, *test->Subkey("Names"), "HKEY_LOCAL_MACHINE\\Software\\Corvane Reg Test\\Names");
    EXPECT_EQ(snap.IgnoredList().find("Names"), std::string::npos) << snap.IgnoredList();

    // Loaded again, every name and string is what the registry held: what the
    // records lost came back from the appendix.
    CRecordingMessages loadMessages;
    CRegMine mine(loadMessages);
    const CCompareNode* loaded =
        LoadedNode(mine, ReadWholeFile(path), {"HKEY_LOCAL_MACHINE", "Software", kTestKey, "Names"});
    ASSERT_NE(loaded, nullptr);
    std::multiset<std::u16string> held, wanted;
    WalkTree(
        *loaded, [](const CCompareNode&, unsigned) { return true; },
        [&](const CCompareItem& item, unsigned) {
            const CRegVal& value = static_cast<const CRegVal&>(item);
            const uint8_t* data = value.HasExactData() ? value.GetExactData() : value.GetData();
            std::u16string text = value.HasExactData()
                                      ? std::u16string(reinterpret_cast<const char16_t*>(data), value.GetExactDataSize() / 2)
                                      : std::u16string(data, data + value.GetDataSize());
            held.insert(SystemName(value.GetParent()->GetStoredName()) + u"/" + SystemName(value.GetStoredName()) +
                        u"=" + text);
        });
    for (const auto& n : kNamed) {
        std::u16string key(ExactUnits(*n.key ? n.key + 1 : L"Names", std::wcslen(*n.key ? n.key + 1 : L"Names")));
        wanted.insert(key + u"/" + std::u16string(ExactUnits(n.value, std::wcslen(n.value))) + u"=" +
                      std::u16string(ExactUnits(n.data, std::wcslen(n.data) + 1)));
    }
    EXPECT_EQ(held, wanted);
}

// The registry changing for real between two of the walker's calls: the
// snapshot succeeds and records the key as it was when it was read.
TEST_F(RegSnapLive, AValueDeletedBetweenListingAndReadingIsLeftOut)
{
    std::string name = std::string("Software\\") + kTestKey + "\\Vanishing";
    CWriteKey key(HKEY_LOCAL_MACHINE, name);
    ASSERT_TRUE(key.Ok());
    ASSERT_TRUE(key.Set("before", REG_DWORD, Bytes({1, 0, 0, 0})));
    ASSERT_TRUE(key.Set("goes away", REG_SZ, std::string("soon\0", 5)));
    ASSERT_TRUE(key.Set("stays", REG_SZ, std::string("here\0", 5)));
    CChangingRegistry registry;
    registry.valueTrigger = "goes away";
    registry.afterValueEnumerated = [&]() { ::RegDeleteValueA(key.Get(), "goes away"); };
    CRecordedRegSnap snap(path, nullptr, &progress, FALSE, &messages, &registry);
    snap.Run();
    ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, name.c_str());

    ASSERT_EQ(messages.shown.size(), 2u) << messages.shown.back().text;
    ASSERT_EQ(snap.results.size(), 1u);
    RegSnapFile file = ReadRegSnap(path);
    const RegKeyRecord* test = TestKeyIn(file, 0, nullptr);
    ASSERT_NE(test, nullptr);
    const RegKeyRecord* vanishing = test->Subkey("Vanishing");
    ASSERT_NE(vanishing, nullptr);
    ASSERT_EQ(vanishing->values.size(), 2u);
    EXPECT_EQ(vanishing->values[0].name, "before");
    EXPECT_EQ(vanishing->values[1].name, "stays");
}

TEST_F(RegSnapLive, AValueThatGrewBeyondTheBufferSinceItWasListedIsRecordedAtItsNewSize)
{
    std::string name = std::string("Software\\") + kTestKey + "\\Growing";
    CWriteKey key(HKEY_LOCAL_MACHINE, name);
    ASSERT_TRUE(key.Ok());
    ASSERT_TRUE(key.Set("grows", REG_BINARY, "tiny"));
    CChangingRegistry registry;
    registry.valueTrigger = "grows";
    // Beyond the largest value read so far, the megabyte of the main test key.
    std::string grown(3 << 20, 'g');
    registry.afterValueEnumerated = [&]() {
        key.Set("grows", REG_BINARY, grown);
        registry.afterValueEnumerated = nullptr;
    };
    CRecordedRegSnap snap(path, nullptr, &progress, FALSE, &messages, &registry);
    snap.Run();
    ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, name.c_str());

    ASSERT_EQ(messages.shown.size(), 2u) << messages.shown.back().text;
    RegSnapFile file = ReadRegSnap(path);
    const RegKeyRecord* test = TestKeyIn(file, 0, nullptr);
    ASSERT_NE(test, nullptr);
    const RegKeyRecord* growing = test->Subkey("Growing");
    ASSERT_NE(growing, nullptr);
    ASSERT_EQ(growing->values.size(), 1u);
    EXPECT_TRUE(growing->values[0].data == std::vector<uint8_t>(grown.begin(), grown.end()));
    EXPECT_EQ(snap.DataBufferSize(), 3u << 20);
}

TEST_F(RegSnapLive, SubkeysDeletedWhileTheListingIsReadOrBeforeTheyAreOpenedAreLeftOut)
{
    std::string parent = std::string("Software\\") + kTestKey + "\\Doomed";
    CWriteKey a(HKEY_LOCAL_MACHINE, parent + "\\Doomed A");
    CWriteKey b(HKEY_LOCAL_MACHINE, parent + "\\Doomed B");
    CWriteKey c(HKEY_LOCAL_MACHINE, parent + "\\Doomed C");
    CWriteKey d(HKEY_LOCAL_MACHINE, parent + "\\Doomed D");
    ASSERT_TRUE(a.Ok() && b.Ok() && c.Ok() && d.Ok());
    ASSERT_TRUE(d.Set("kept", REG_DWORD, Bytes({4, 0, 0, 0})));
    CChangingRegistry registry;
    registry.keyTrigger = "Doomed A";
    registry.afterKeyEnumerated = [&]() {
        ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, (parent + "\\Doomed B").c_str());
        registry.afterKeyEnumerated = nullptr;
    };
    registry.openTrigger = "Doomed C";
    registry.beforeOpen = [&]() { ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, (parent + "\\Doomed C").c_str()); };
    CRecordedRegSnap snap(path, nullptr, &progress, TRUE, &messages, &registry);
    snap.Run();
    ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, parent.c_str());

    ASSERT_EQ(messages.shown.size(), 2u) << messages.shown.back().text;
    RegSnapFile file = ReadRegSnap(path);
    EXPECT_EQ(file.keysRecorded + snap.KeysIgnored(), file.keyRecords);
    const RegKeyRecord* test = TestKeyIn(file, 0, nullptr);
    ASSERT_NE(test, nullptr);
    const RegKeyRecord* doomed = test->Subkey("Doomed");
    ASSERT_NE(doomed, nullptr);
    ASSERT_EQ(doomed->subkeys.size(), 2u);
    EXPECT_EQ(doomed->subkeys[0].name, "Doomed A");
    EXPECT_EQ(doomed->subkeys[1].name, "Doomed D");
    ASSERT_EQ(doomed->subkeys[1].values.size(), 1u);
    EXPECT_EQ(snap.IgnoredList().find("Doomed"), std::string::npos) << snap.IgnoredList();
}

TEST_F(RegSnapLive, AKeyThatOpensAsAViewOfThePerformanceDataIsNotWalked)
{
    const char perflib[] = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Perflib";
    HKEY parent;
    ASSERT_EQ(::RegOpenKeyExA(HKEY_LOCAL_MACHINE, perflib, 0, KEY_READ, &parent), ERROR_SUCCESS);
    HKEY text;
    LONG opened = ::RegOpenKeyExA(parent, "009", 0, KEY_READ, &text);
    ::RegCloseKey(parent);
    ASSERT_EQ(opened, ERROR_SUCCESS);
    bool performanceView = text == HKEY_PERFORMANCE_TEXT;
    ::RegCloseKey(text);

    CRecordedRegSnap snap(path, nullptr, &progress, TRUE, &messages);
    snap.Run();
    ASSERT_EQ(messages.shown.size(), 2u) << messages.shown.back().text;
    RegSnapFile file = ReadRegSnap(path);
    const RegKeyRecord* key = &file.roots[0];
    for (const char* name : {"Software", "Microsoft", "Windows NT", "CurrentVersion", "Perflib", "009"}) {
        key = FindNoCase(*key, name);
        ASSERT_NE(key, nullptr) << name;
    }
    bool listed = snap.IgnoredList().find(std::string("HKEY_LOCAL_MACHINE\\") + perflib + "\\009\r\n") !=
                  std::string::npos;
    if (performanceView) {
        EXPECT_TRUE(key->values.empty() && key->subkeys.empty());
        EXPECT_TRUE(listed);
    } else {
        EXPECT_FALSE(key->values.empty());
        EXPECT_FALSE(listed);
    }
}

// On 32-bit Windows there is one view of the registry: asking for the 64-bit
// one changes nothing, and the snapshot holds the same bytes as before.
TEST_F(RegSnapLive, OnA32BitSystemTheNativeViewIsTheOnlyViewByteForByte)
{
    CPlainViewRegistry plain;
    CRecordedRegSnap before(path, nullptr, &progress, TRUE, &messages, &plain);
    before.Run();
    std::vector<uint8_t> plainBytes = ReadWholeFile(path);
    CRecordedRegSnap now(path, nullptr, &progress, TRUE, &messages);
    now.Run();
    std::vector<uint8_t> nativeBytes = ReadWholeFile(path);
    ASSERT_EQ(messages.shown.size(), 4u) << messages.shown.back().text;
    ASSERT_GT(plainBytes.size(), 100000u);
    EXPECT_EQ(nativeBytes.size(), plainBytes.size());
    EXPECT_TRUE(nativeBytes == plainBytes);
    EXPECT_EQ(now.IgnoredList(), before.IgnoredList());
}

// The registry churner (reg_churn.exe, beside this test) running in the
// background until Stop, which returns how many changes it made.
class CChurner {
public:
    CChurner()
    {
        m_stop = ::CreateEventA(nullptr, TRUE, FALSE, kChurnStopEvent);
        char exe[MAX_PATH];
        DWORD n = ::GetModuleFileNameA(nullptr, exe, MAX_PATH);
        std::string program(exe, n);
        program = program.substr(0, program.rfind('\\') + 1) + "reg_churn.exe";
        m_output = RegTempPath("corvane-churn.txt");
        SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
        HANDLE out = ::CreateFileA(m_output.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                                   CREATE_ALWAYS, 0, nullptr);
        STARTUPINFOA start = {};
        start.cb = sizeof start;
        start.dwFlags = STARTF_USESTDHANDLES;
        start.hStdOutput = start.hStdError = out;
        PROCESS_INFORMATION process = {};
        std::string command = "\"" + program + "\"";
        if (m_stop && out != INVALID_HANDLE_VALUE &&
            ::CreateProcessA(program.c_str(), &command[0], nullptr, nullptr, TRUE, 0, nullptr,
                             nullptr, &start, &process)) {
            ::CloseHandle(process.hThread);
            m_process = process.hProcess;
        }
        if (out != INVALID_HANDLE_VALUE)
            ::CloseHandle(out);
    }
    ~CChurner() { Stop(); }

    // Waits until the churner has made its key.
    bool Started() const
    {
        return m_process && WaitFor([] {
                   HKEY key;
                   if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kChurnKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
                       return false;
                   ::RegCloseKey(key);
                   return true;
               });
    }
    unsigned Stop()
    {
        unsigned changes = 0;
        if (m_process) {
            ::SetEvent(m_stop);
            if (::WaitForSingleObject(m_process, kPatienceMs) != WAIT_OBJECT_0)
                ::TerminateProcess(m_process, 3);
            ::CloseHandle(m_process);
            m_process = nullptr;
            std::vector<uint8_t> text = ReadWholeFile(m_output);
            text.push_back(0);
            const char* counted = std::strstr(reinterpret_cast<const char*>(text.data()), "started");
            if (counted)
                std::sscanf(counted + 7, " %u changes", &changes);
            ::DeleteFileA(m_output.c_str());
        }
        if (m_stop)
            ::CloseHandle(m_stop);
        m_stop = nullptr;
        return changes;
    }

private:
    HANDLE m_stop = nullptr;
    HANDLE m_process = nullptr;
    std::string m_output;
};

// What a person meets on any running system: another program writing to the
// registry while the snapshot is taken.
TEST_F(RegSnapLive, TenSnapshotsWhileAnotherProgramChangesTheRegistryAllSucceed)
{
    CChurner churner;
    ASSERT_TRUE(churner.Started()) << "reg_churn.exe did not start";
    int succeeded = 0;
    size_t checked = 0, churnedKeys = 0;
    for (int round = 0; round < 10; ++round) {
        CRecordingMessages shown;
        CRecordedRegSnap snap(path, nullptr, &progress, FALSE, &shown);
        snap.Run();
        ASSERT_FALSE(shown.shown.empty());
        EXPECT_EQ(shown.shown.size(), 2u) << round << ": " << shown.shown.back().text;
        if (shown.shown.size() != 2u || snap.results.size() != 1u)
            continue;
        RegSnapFile file = ReadRegSnap(path);
        EXPECT_EQ(file.version, kRegSnapVersion);
        EXPECT_EQ(file.keysRecorded, snap.KeysRecorded());
        const RegKeyRecord* software = FindNoCase(file.roots[0], "Software");
        const RegKeyRecord* churned = software ? FindNoCase(*software, "Corvane Churn") : nullptr;
        ASSERT_NE(churned, nullptr) << round;
        std::vector<const RegKeyRecord*> keys = {churned};
        for (const RegKeyRecord& sub : churned->subkeys)
            keys.push_back(&sub);
        for (const RegKeyRecord* key : keys) {
            for (const RegValueRecord& v : key->values) {
                EXPECT_TRUE(IsChurnState(v.name, v.type, v.data))
                    << round << ": " << key->name << "\\" << v.name << ", " << v.data.size() << " bytes";
                ++checked;
            }
            if (key != churned) {
                EXPECT_TRUE(key->subkeys.empty()) << key->name;
            }
        }
        churnedKeys += keys.size();
        ++succeeded;
    }
    unsigned changes = churner.Stop();
    EXPECT_EQ(succeeded, 10);
    EXPECT_GT(checked, 10u);
    // The churner really kept changing the registry while the snapshots ran.
    EXPECT_GT(changes, 1000u);
    std::printf("10 snapshots under %u changes: %d succeeded, %zu values and %zu keys below the "
                "churned key recorded\n",
                changes, succeeded, checked, churnedKeys);
}

}  // namespace
