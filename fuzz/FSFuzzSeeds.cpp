// Writes the seed corpus of the file-system loader's fuzz target: a few
// valid snapshots with the shapes that matter (files only, nesting, empty
// folders, case-equal siblings, long lists), one file each in the folder given.
#include "snapshot/FSSnapFormat.h"
#include "snapshot/MemoryFile.h"
#include "snapshot/StdioFile.h"

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace {

class CSeed {
public:
    CSeed() : m_writer(m_file) { m_writer.WriteHeader('C'); }
    uint64_t Begin(const std::string& name, std::u16string_view exact = {})
    {
        ++m_folders;
        return m_writer.BeginFolder(name.data(), name.size(), exact);
    }
    void File(const std::string& name, uint64_t size, uint64_t time, std::u16string_view exact = {})
    {
        m_writer.WriteFile(name.data(), name.size(), time, time + 1, size, exact);
    }
    void End(uint64_t counts, uint32_t subfolders, uint32_t files) { m_writer.EndFolder(counts, subfolders, files); }
    // What the appendix says after the records: the writer, and any places.
    void Appendix(std::vector<SnapPlacePath> places) { m_appendix.places = std::move(places); }
    // The contents were hashed: an entry for every file, in file order.
    void Hashes(std::vector<CFileHash> hashes)
    {
        m_appendix.exact.hashed = true;
        m_appendix.exact.hashLimit = 1 << 20;
        m_appendix.exact.hashes = std::move(hashes);
    }
    bool Save(const std::string& path)
    {
        m_writer.WriteAppendix(m_appendix);
        m_writer.Finish(m_folders);
        CStdioFile out;
        const auto& bytes = m_file.Bytes();
        return out.CreateTruncate(path) && out.Write(bytes.data(), static_cast<uint32_t>(bytes.size()));
    }

private:
    CSnapAppendix m_appendix{true, 1252, "corvane-snap", "2.1.0.0", {}, {}};
    CMemoryFile m_file;
    CFSSnapWriter m_writer;
    uint32_t m_folders = 0;
};

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: fs_fuzz_seeds FOLDER\n");
        return 2;
    }
    std::string dir = std::string(argv[1]) + "/";
    bool ok = true;
    {
        CSeed s;  // a drive holding only files
        uint64_t root = s.Begin("C:");
        s.File("boot.ini", 211, 1);
        s.File("BOOT.INI", 5, 2);
        s.End(root, 0, 2);
        ok &= s.Save(dir + "files-only.tvrec");
    }
    {
        CSeed s;  // nesting, empty folders, case-equal folders
        uint64_t root = s.Begin("C:");
        s.File("a", 1, 3);
        uint64_t temp = s.Begin("Temp");
        uint64_t deep = s.Begin("deep");
        s.File("x.txt", 0x80000000u, 4);
        s.End(deep, 0, 1);
        s.End(temp, 1, 0);
        uint64_t temp2 = s.Begin("TEMP");
        s.End(temp2, 0, 0);
        s.End(root, 2, 1);
        ok &= s.Save(dir + "nested.tvrec");
    }
    {
        CSeed s;  // a snapshot of chosen folders
        s.Appendix({{"C:", "Temp", "deep"}, {"C:", "Program Files"}});
        uint64_t root = s.Begin("C:");
        uint64_t temp = s.Begin("Temp");
        uint64_t deep = s.Begin("deep");
        s.File("x.txt", 7, 4);
        s.End(deep, 0, 1);
        s.End(temp, 1, 0);
        uint64_t programs = s.Begin("Program Files");
        s.End(programs, 0, 0);
        s.End(root, 2, 0);
        ok &= s.Save(dir + "chosen-folders.tvrec");
    }
    {
        CSeed s;  // a list long enough to be searched by index
        uint64_t root = s.Begin("D:");
        for (int i = 0; i < 24; ++i)
            s.File((i % 2 ? "File" : "file") + std::to_string(i / 3), static_cast<uint32_t>(i), 5);
        s.End(root, 0, 24);
        ok &= s.Save(dir + "long-list.tvrec");
    }
    {
        CSeed s;  // names the code page cannot hold, and sizes of 4 GiB and more
        uint64_t root = s.Begin("C:");
        s.File("???.txt", 1, 6, u"\u0414\u0438\u0440.txt");
        s.File("???.txt", 5000000000ull, 6, u"\u0416\u0443\u043a.txt");
        uint64_t emoji = s.Begin("??", u"\U0001F30D");
        s.File("disk.vhd", 9ull << 32, 7);
        s.End(emoji, 0, 1);
        s.End(root, 1, 2);
        ok &= s.Save(dir + "exact-forms.tvrec");
    }
    {
        CSeed s;  // contents hashed, one file too large and one in use
        uint64_t root = s.Begin("C:");
        s.File("a.dll", 10, 8);
        s.File("b.iso", 2 << 20, 8);
        s.File("c.log", 0, 8);
        s.End(root, 0, 3);
        CFileHash hashed, tooLarge, inUse;
        for (size_t i = 0; i < kSha256Size; ++i)
            hashed.sha256[i] = static_cast<uint8_t>(i);
        tooLarge.mark = HashMark::TooLarge;
        inUse.mark = HashMark::InUse;
        s.Hashes({hashed, tooLarge, inUse});
        ok &= s.Save(dir + "hashes.tvrec");
    }
    return ok ? 0 : 1;
}
