// Writes the seed corpus of the registry loader's fuzz target: a few valid
// snapshots with the shapes that matter (every value type, the unnamed value,
// empty data, nesting, empty keys, case-equal siblings, long lists), one file
// each in the folder given.
#include "snapshot/MemoryFile.h"
#include "snapshot/RegSnapFormat.h"
#include "snapshot/StdioFile.h"

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace {

class CSeed {
public:
    CSeed() : m_writer(m_file) { m_writer.WriteHeader(); }
    void Key(const std::string& name, uint32_t subkeys, uint32_t values, std::u16string_view exact = {})
    {
        ++m_keys;
        m_writer.WriteKeyName(name, exact);
        m_writer.WriteKeyCounts(subkeys, values);
    }
    void Value(const std::string& name, uint32_t type, const std::string& data, const CValueExactParts& exact = {})
    {
        m_writer.WriteValue(name.data(), name.size(), type, data.data(), static_cast<uint32_t>(data.size()), exact);
    }
    // What the appendix says after the records: the writer, and any places.
    void Appendix(std::vector<SnapPlacePath> places) { m_appendix.places = std::move(places); }
    bool Save(const std::string& path)
    {
        m_writer.WriteAppendix(m_appendix);
        m_writer.Finish(m_keys);
        CStdioFile out;
        const auto& bytes = m_file.Bytes();
        return out.CreateTruncate(path) && out.Write(bytes.data(), static_cast<uint32_t>(bytes.size()));
    }

private:
    CSnapAppendix m_appendix{true, 1252, "corvane-snap", "2.1.0.0", {}, {}};
    CMemoryFile m_file;
    CRegSnapWriter m_writer;
    uint32_t m_keys = 0;
};

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: reg_loader_seeds FOLDER\n");
        return 2;
    }
    std::string dir = std::string(argv[1]) + "/";
    bool ok = true;
    {
        CSeed s;  // every type, the unnamed value, empty data
        s.Key("HKEY_LOCAL_MACHINE", 1, 0);
        s.Key("Software", 0, 14);
        s.Value("", 1, std::string("default\0", 8));
        for (uint32_t type = 0; type <= 12; ++type)
            s.Value("t" + std::to_string(type), type, type % 3 == 0 ? "" : std::string("\1\0\0\0\0\0\0\0a\0\0", 11));
        s.Key("HKEY_USERS", 0, 0);
        ok &= s.Save(dir + "types.tvrec");
    }
    {
        CSeed s;  // nesting, empty keys, case-equal keys and values
        s.Key("HKEY_LOCAL_MACHINE", 3, 2);
        s.Value("Run", 1, std::string("a.exe\0", 6));
        s.Value("RUN", 1, std::string("b.exe\0", 6));
        s.Key("A", 1, 0);
        s.Key("B", 1, 1);
        s.Value("deep", 4, std::string("\2\0\0\0", 4));
        s.Key("C", 0, 0);
        s.Key("Empty", 0, 0);
        s.Key("EMPTY", 0, 0);
        s.Key("HKEY_USERS", 1, 0);
        s.Key(".DEFAULT", 0, 1);
        s.Value("m", 7, std::string("one\0two\0\0", 9));
        ok &= s.Save(dir + "nesting.tvrec");
    }
    {
        CSeed s;  // a snapshot of chosen keys
        s.Appendix({{"HKEY_LOCAL_MACHINE", "Software", "Vendor"}, {"HKEY_USERS", ".DEFAULT"}});
        s.Key("HKEY_LOCAL_MACHINE", 1, 0);
        s.Key("Software", 1, 0);
        s.Key("Vendor", 1, 1);
        s.Value("v", 4, std::string("\1\0\0\0", 4));
        s.Key("Sub", 0, 0);
        s.Key("HKEY_USERS", 1, 0);
        s.Key(".DEFAULT", 0, 0);
        ok &= s.Save(dir + "chosen-keys.tvrec");
    }
    {
        CSeed s;  // lists long enough to be indexed
        s.Key("HKEY_LOCAL_MACHINE", 20, 20);
        for (int i = 0; i < 20; ++i)
            s.Value("v" + std::to_string(i), 3, std::string(static_cast<size_t>(i), 'x'));
        for (int i = 0; i < 20; ++i)
            s.Key("k" + std::to_string(i % 15), 0, 0);
        s.Key("HKEY_USERS", 0, 0);
        ok &= s.Save(dir + "long-lists.tvrec");
    }
    {
        CSeed s;  // names and string data the code page cannot hold
        CValueExactParts path;
        path.name = u"\u041f\u0443\u0442\u044c";
        const char16_t data[] = u"C:\\Users\\\u0414\u0438\u0440";
        path.data.assign(reinterpret_cast<const uint8_t*>(data), reinterpret_cast<const uint8_t*>(data) + sizeof data);
        path.hasData = true;
        CValueExactParts odd;
        odd.data = {'a', 0, 'b'};  // an odd number of bytes
        odd.hasData = true;
        s.Key("HKEY_LOCAL_MACHINE", 1, 2);
        s.Value("????", 1, std::string("C:\\Users\\???", 13), path);
        s.Value("odd", 2, std::string("a", 1), odd);
        s.Key("??????", 0, 0, u"\U0001F30E\U0001F30F\U0001F30D");
        s.Key("HKEY_USERS", 0, 0);
        ok &= s.Save(dir + "exact-forms.tvrec");
    }
    return ok ? 0 : 1;
}
