// The formats of corvane-diff that other programs read: CSV and JSON with one
// record per difference, and one HTML page with both trees. Text is UTF-8
// (names converted from the ANSI code page, AnsiText.h).
#pragma once

#include "compare/CompareMine.h"
#include "report/DiffRecords.h"
#include "report/TextSink.h"

#include <string>

// A compared snapshot file: its name as given, and when it was last written,
// e.g. "2026-12-09 17:20:31 UTC".
struct CSnapshotSource {
    std::string name;
    std::string date;
};

// A finished comparison with what the formats tell about it.
struct CDiffOutput {
    const CCompareMine& mine;
    SnapKind kind;
    CSnapshotSource first, second;
};

// A header line, then one row per difference; CRLF line ends, fields quoted
// where they hold a comma, a quote or a line break, a field that a
// spreadsheet would take for a formula behind a single quote, and a UTF-8
// byte-order mark in front so that spreadsheets read names as UTF-8.
void CsvReport(const CDiffOutput& diff, CTextSink& out);

// The text as a JSON string, quotes included.
std::string JsonString(const std::string& utf8);

// One object: the two snapshot files, a summary with the counts, and the
// differences.
void JsonReport(const CDiffOutput& diff, CTextSink& out);

// One self-contained page: the counts, both files' names and dates, and the
// two trees side by side in the results views' colours.
void HtmlReport(const CDiffOutput& diff, CTextSink& out);

// "2015-03-03T14:05:09.0000000Z", or the raw number when it has no date.
std::string IsoFileTime(uint64_t fileTime);

// Every byte as two upper-case hexadecimal digits, nothing between them.
std::string HexData(const uint8_t* data, uint32_t size);
