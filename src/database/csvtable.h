#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace flr {

// A CSV file as read: the header row and the records below it, every text in UTF-8 whatever
// the file's encoding. Line numbers are the file's (1 is the header), so a refusal can point
// at the line a spreadsheet shows.
struct CsvTable {
    enum class Encoding { Utf8, Utf8Bom, Windows1252 };
    struct Record {
        size_t line = 0;  // where the record starts; a quoted line break spans lines
        std::vector<std::string> fields;
    };

    Encoding encoding = Encoding::Utf8;
    char separator = ',';
    std::vector<std::string> header;
    std::vector<Record> records;  // lines with no text at all are left out
};

// Reads `bytes` as CSV: a UTF-8 BOM is dropped; bytes that are not UTF-8 are read as
// Windows-1252; the separator is whichever of ',' ';' and tab the header row holds most of
// outside quotes (',' when none). Quoted fields may hold separators, quotes ("") and line
// breaks. False, with `error` naming the line, for a quote left open or text after a closing
// quote, and for a file without a header row; `table` is then left empty.
bool ReadCsv(std::string_view bytes, CsvTable& table, std::string* error);
// The file at `path` read as ReadCsv reads bytes; an unreadable file is an error too.
bool ReadCsvFile(const std::string& path, CsvTable& table, std::string* error);

// One record of an RFC 4180 file, CRLF included: a field is quoted when it holds a comma, a
// quote, a line break or starts or ends with a blank (a quote doubled inside).
std::string CsvRecord(const std::vector<std::string>& fields);

// True when `bytes` are well-formed UTF-8 (no overlong forms, surrogates or values past
// U+10FFFF).
bool IsUtf8(std::string_view bytes);

}  // namespace flr
