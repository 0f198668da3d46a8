#include "report/DiffWriter.h"

#include "compare/TreeListing.h"
#include "report/ExactText.h"
#include "report/RegPatch.h"

#include <sys/stat.h>

#include <ctime>

namespace {

const CDiffFormat kFormats[] = {
    {"report",
     [](const CFormatInput& in, CTextSink& out, std::string&) {
         ChangeReport(in.diff.mine, in.diff.kind, in.describer, out, in.options.utf8);
         return FormatOutcome::Written;
     },
     false},
    {"tree",
     [](const CFormatInput& in, CTextSink& out, std::string&) {
         TreeLineName utf8Name;
         if (in.options.utf8)
             utf8Name = [](const CCompareNode& node, const CCompareItem* item) {
                 return item ? DisplayNameUtf8(*item) : DisplayNameUtf8(node);
             };
         ForEachTreeLine(*in.diff.mine.GetRoot1(), *in.diff.mine.GetRoot2(),
                         [&](const std::string& line) { out << line << '\n'; }, utf8Name);
         return FormatOutcome::Written;
     },
     false},
    {"csv",
     [](const CFormatInput& in, CTextSink& out, std::string&) {
         CsvReport(in.diff, out);
         return FormatOutcome::Written;
     },
     true},
    {"json",
     [](const CFormatInput& in, CTextSink& out, std::string&) {
         JsonReport(in.diff, out);
         return FormatOutcome::Written;
     },
     false},
    {"html",
     [](const CFormatInput& in, CTextSink& out, std::string&) {
         HtmlReport(in.diff, out);
         return FormatOutcome::Written;
     },
     false},
    // A REGEDIT4 file, CRLF on every system, that the registry editor imports
    // to turn snapshot 1's state into snapshot 2's (with --reverse, back).
    // It is written only once all of it can be, so it is held until then.
    {"reg",
     [](const CFormatInput& in, CTextSink& out, std::string& message) {
         if (in.diff.kind != SnapKind::Registry) {
             message = "corvane-diff: --format reg takes registry snapshots; these are "
                       "file-system snapshots.";
             return FormatOutcome::Refused;
         }
         std::string text;
         RegPatchOutcome outcome =
             WriteRegPatch(in.diff.mine, CRegPatchOptions{in.options.reverse, &in.trimmed, in.options.allowHiveChanges},
                           text, message);
         message = "corvane-diff: " + message;
         if (outcome == RegPatchOutcome::Refused)
             return FormatOutcome::Refused;
         out << text;
         return outcome == RegPatchOutcome::Nearly ? FormatOutcome::NotExact : FormatOutcome::Written;
     },
     true},
};

}  // namespace

const CDiffFormat* FindDiffFormat(const std::string& name)
{
    for (const CDiffFormat& format : kFormats)
        if (name == format.name)
            return &format;
    return nullptr;
}

std::unique_ptr<IItemDescriber> DescriberFor(SnapKind kind)
{
    if (kind == SnapKind::Registry)
        return std::make_unique<CRegValDescriber>();
    return std::make_unique<CFSFileDescriber>();
}

std::string FileDate(const SystemString& path)
{
#ifdef _WIN32
    struct _stat64 info;
    if (_wstat64(path.c_str(), &info) != 0)
        return "";
#else
    struct stat info;
    if (stat(path.c_str(), &info) != 0)
        return "";
#endif
    std::time_t when = info.st_mtime;
    std::tm* utc = std::gmtime(&when);
    if (!utc)
        return "";
    char text[40];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S UTC", utc);
    return text;
}

