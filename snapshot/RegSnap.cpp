#include "snapshot/RegSnap.h"

#include "operation/AppMessages.h"
#include "operation/DiskSnapFile.h"
#include "snapshot/ResultsDlg.h"

#include <cstdio>

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

// Room of the shared name buffer, in characters; a terminator follows. Names
// the registry reports as longer make the enumeration fail.
constexpr DWORD kNameChars = 16640;
constexpr uint32_t kInitialDataSize = 4096;

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
    LONG QueryInfoKey(HKEY key, DWORD& subkeys, DWORD& values) override
    {
        return ::RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr,
                                  &values, nullptr, nullptr, nullptr, nullptr);
    }
    LONG EnumValue(HKEY key, DWORD index, char* name, DWORD& nameLength, DWORD& dataLength) override
    {
        return ::RegEnumValueA(key, index, name, &nameLength, nullptr, nullptr, nullptr,
                               &dataLength);
    }
    LONG QueryValue(HKEY key, const char* name, DWORD& type, BYTE* data, DWORD& dataLength) override
    {
        return ::RegQueryValueExA(key, name, nullptr, &type, data, &dataLength);
    }
    LONG EnumKey(HKEY key, DWORD index, char* name, DWORD& nameLength) override
    {
        return ::RegEnumKeyExA(key, index, name, &nameLength, nullptr, nullptr, nullptr, nullptr);
    }
    BOOL OpenKey(CRegKeyHandle& handle, HKEY parent, const char* name) override
    {
        return handle.Open(parent, name);
    }
};

}  // namespace

IRegistry& SystemRegistry()
{
    static CSystemRegistry registry;
    return registry;
}

CRegSnap::CRegSnap(const std::string& path, CWnd* owner, IProgress* progress, BOOL fullPaths,
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
        if (!m_name.Reserve(kNameChars) || !m_data.Ensure(kInitialDataSize))
            Fail(kRegSnapReadValueError);
        m_name.Zero();
        m_data.Zero();

        writer.WriteHeader();
        for (const char* root : kRegSnapRootNames) {
            std::string path = root;
            writer.WriteKeyName(path);
            HKEY key = root == kRegSnapRootNames[0] ? HKEY_LOCAL_MACHINE : HKEY_USERS;
            WalkKey(writer, key, m_bFullPaths ? &path : nullptr, true);
        }
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

    ShowResults(RegResultsText(m_nKeysRecorded, m_nKeysIgnored, m_bFullPaths != FALSE, m_strIgnored));
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

void CRegSnap::WalkKey(CRegSnapWriter& file, HKEY key, const std::string* prefix, bool top)
{
    DWORD subkeys = 0, values = 0;
    if (m_registry.QueryInfoKey(key, subkeys, values) != ERROR_SUCCESS)
        Fail(kRegSnapQueryKeyError);
    file.WriteKeyCounts(subkeys, values);
    ++m_nKeysRecorded;
    CheckWrites(file);

    for (DWORD i = 0; i < values; ++i)
        WriteValue(file, key, i);

    char* name = m_name.Data();
    for (DWORD j = 0; j < subkeys; ++j) {
        DWORD nameLength = kNameChars;
        if (m_registry.EnumKey(key, j, name, nameLength) != ERROR_SUCCESS || nameLength > kNameChars)
            Fail(kRegSnapSubkeysError);
        name[nameLength] = 0;
        file.WriteKeyName(name, nameLength);

        std::string path;
        if (prefix)
            path = *prefix + "\\" + std::string(name, nameLength);

        CRegKeyHandle subkey;
        if (m_registry.OpenKey(subkey, key, name) && !IsPerformanceData(subkey.Get())) {
            WalkKey(file, subkey.Get(), prefix ? &path : nullptr, false);
        } else {
            if (prefix)
                m_strIgnored += path + "\r\n";
            ++m_nKeysIgnored;
            file.WriteKeyCounts(0, 0);
        }
        if (top)
            ShowRootProgress(subkeys);
    }
    CheckWrites(file);
}

void CRegSnap::WriteValue(CRegSnapWriter& file, HKEY key, DWORD index)
{
    char* name = m_name.Data();
    DWORD nameLength = kNameChars;
    DWORD dataLength = 0;
    if (m_registry.EnumValue(key, index, name, nameLength, dataLength) != ERROR_SUCCESS ||
        nameLength > kNameChars)
        Fail(kRegSnapAccessValueError);
    name[nameLength] = 0;

    // A length that cannot be had is never read into the smaller buffer.
    if (!m_data.Ensure(dataLength))
        Fail(kRegSnapReadValueError);

    DWORD type = 0;
    dataLength = m_data.Size();
    if (m_registry.QueryValue(key, name, type, m_data.Data(), dataLength) != ERROR_SUCCESS ||
        dataLength > m_data.Size())
        Fail(kRegSnapReadValueError);

    file.WriteValue(name, nameLength, type, m_data.Data(), dataLength);
}

// Each root carries half of the bar; every direct subkey of a root adds its
// share to the position the bar shows.
void CRegSnap::ShowRootProgress(DWORD rootSubkeys)
{
    char status[64];
    std::snprintf(status, sizeof status, "Keys written: %u", static_cast<unsigned>(m_nKeysRecorded));
    m_strStatus = status;
    m_pProgress->SetStatusText(m_strStatus.c_str());
    float position = static_cast<float>(m_pProgress->BarGetPos());
    m_pProgress->SetPercent(50.0f / static_cast<float>(rootSubkeys) + position);
}
