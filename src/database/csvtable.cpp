#include "database/csvtable.h"

#include <csv.h>
#include <malloc.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "base/textcodec.h"

namespace flr {

namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";
// Far beyond any catalogue; a larger file is more likely a mistake than a product list.
constexpr size_t kMaxFileBytes = size_t(256) << 20;

// Line breaks inside `text`: CRLF, CR and LF each count once.
size_t LineBreaks(std::string_view text)
{
    size_t count = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n') ++count;
        if (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n')) ++count;
    }
    return count;
}

// The separator the header row uses most outside quotes.
char DetectSeparator(std::string_view text)
{
    std::array<size_t, 3> counts{};
    constexpr std::array<char, 3> kCandidates{',', ';', '\t'};
    bool quoted = false;
    for (const char c : text) {
        if (c == '"') quoted = !quoted;
        if (quoted) continue;
        if (c == '\n' || c == '\r') break;
        for (size_t i = 0; i < kCandidates.size(); ++i)
            if (c == kCandidates[i]) ++counts[i];
    }
    const auto most = std::max_element(counts.begin(), counts.end());
    return *most == 0 ? ',' : kCandidates[size_t(most - counts.begin())];
}

// What the parser's callbacks build; records start at the line after the last row end.
struct Collector {
    CsvTable& table;
    std::vector<std::string> fields;
    size_t line = 1;
    size_t recordStart = 1;
    bool afterCR = false;
    bool haveHeader = false;

    static void Field(void* data, size_t length, void* self)
    {
        auto& c = *static_cast<Collector*>(self);
        std::string text =
            data ? std::string(static_cast<const char*>(data), length) : std::string();
        c.line += LineBreaks(text);
        c.fields.push_back(std::move(text));
        c.afterCR = false;
    }

    static void RowEnd(int terminator, void* self)
    {
        auto& c = *static_cast<Collector*>(self);
        // The LF of a CRLF arrives as a row of its own.
        if (terminator == '\n' && c.afterCR && c.fields.empty()) {
            c.afterCR = false;
            c.recordStart = c.line;
            return;
        }
        const bool blank = std::all_of(c.fields.begin(), c.fields.end(),
                                       [](const std::string& f) { return f.empty(); });
        if (!blank) {
            if (!c.haveHeader) {
                c.table.header = std::move(c.fields);
                c.haveHeader = true;
            } else {
                c.table.records.push_back({c.recordStart, std::move(c.fields)});
            }
        }
        c.fields.clear();
        c.afterCR = terminator == '\r';
        if (terminator == '\n' || terminator == '\r') ++c.line;
        c.recordStart = c.line;
    }
};

// Keeps every blank: a name's spaces are the user's.
int NoSpace(unsigned char) { return 0; }

// The parser grows its field buffer by a fixed block; doubling keeps a 10 MB field linear.
void* GrowBuffer(void* buffer, size_t size)
{
    const size_t usable = buffer ? ::malloc_usable_size(buffer) : 0;
    if (size <= usable) return buffer;
    return std::realloc(buffer, std::max(size, 2 * usable));
}

}  // namespace

bool IsUtf8(std::string_view bytes)
{
    size_t i = 0;
    const size_t n = bytes.size();
    while (i < n) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b < 0x80) {
            ++i;
            continue;
        }
        size_t length = 0;
        uint32_t value = 0;
        if (b >= 0xC2 && b <= 0xDF) {
            length = 2;
            value = b & 0x1F;
        } else if (b >= 0xE0 && b <= 0xEF) {
            length = 3;
            value = b & 0x0F;
        } else if (b >= 0xF0 && b <= 0xF4) {
            length = 4;
            value = b & 0x07;
        } else {
            return false;
        }
        if (n - i < length) return false;
        for (size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(bytes[i + k]);
            if ((next & 0xC0) != 0x80) return false;
            value = (value << 6) | (next & 0x3F);
        }
        if ((length == 3 && value < 0x800) || (length == 4 && value < 0x10000) ||
            (value >= 0xD800 && value <= 0xDFFF) || value > 0x10FFFF)
            return false;
        i += length;
    }
    return true;
}

bool ReadCsv(std::string_view bytes, CsvTable& table, std::string* error)
{
    table = CsvTable();
    std::string converted;
    if (bytes.starts_with(kBom)) {
        bytes.remove_prefix(kBom.size());
        table.encoding = CsvTable::Encoding::Utf8Bom;
    }
    if (!IsUtf8(bytes)) {
        converted = Cp1252ToUtf8(bytes);
        bytes = converted;
        table.encoding = CsvTable::Encoding::Windows1252;
    }
    table.separator = DetectSeparator(bytes);

    csv_parser parser;
    if (csv_init(&parser, CSV_STRICT | CSV_STRICT_FINI | CSV_REPALL_NL) != 0) {
        if (error) *error = "Out of memory.";
        return false;
    }
    const std::unique_ptr<csv_parser, void (*)(csv_parser*)> freeing(&parser, csv_free);
    csv_set_delim(&parser, static_cast<unsigned char>(table.separator));
    csv_set_space_func(&parser, NoSpace);
    csv_set_realloc_func(&parser, GrowBuffer);
    csv_set_blk_size(&parser, 4096);
    Collector collector{table, {}, 1, 1, false, false};
    const size_t parsed = csv_parse(&parser, bytes.data(), bytes.size(), Collector::Field,
                                    Collector::RowEnd, &collector);
    std::string reason;
    size_t line = 0;
    if (parsed != bytes.size()) {
        line = 1 + LineBreaks(bytes.substr(0, parsed));
        reason = csv_error(&parser) == CSV_EPARSE ? "text follows a closing quote"
                                                  : csv_strerror(csv_error(&parser));
    } else if (csv_fini(&parser, Collector::Field, Collector::RowEnd, &collector) != 0) {
        line = collector.recordStart;
        reason = "a quoted field is not closed";
    } else if (!collector.haveHeader) {
        reason = "the file has no header row";
    }
    if (reason.empty()) return true;
    if (error)
        *error = line ? "Line " + std::to_string(line) + ": " + reason + "."
                      : "The file has no header row.";
    table = CsvTable();
    return false;
}

bool ReadCsvFile(const std::string& path, CsvTable& table, std::string* error)
{
    table = CsvTable();
    // A FIFO or a device would block or be disturbed by reading.
    std::error_code ignored;
    if (!std::filesystem::is_regular_file(path, ignored)) {
        if (error) *error = "Unable to read \"" + path + "\".";
        return false;
    }
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"),
                                                         std::fclose);
    std::string bytes;
    bool ok = file != nullptr;
    if (ok) {
        char block[65536];
        size_t got = 0;
        while (ok && (got = std::fread(block, 1, sizeof block, file.get())) > 0) {
            bytes.append(block, got);
            ok = bytes.size() <= kMaxFileBytes;
        }
        if (!ok) {
            if (error) *error = "\"" + path + "\" is larger than 256 MB.";
            return false;
        }
        ok = !std::ferror(file.get());
    }
    if (!ok) {
        if (error) *error = "Unable to read \"" + path + "\".";
        return false;
    }
    return ReadCsv(bytes, table, error);
}

std::string CsvRecord(const std::vector<std::string>& fields)
{
    std::string line;
    for (size_t i = 0; i < fields.size(); ++i) {
        const std::string& field = fields[i];
        if (i) line += ',';
        const bool quote = field.find_first_of(",\"\r\n") != std::string::npos ||
                           (!field.empty() && (field.front() == ' ' || field.back() == ' '));
        if (!quote) {
            line += field;
            continue;
        }
        line += '"';
        for (const char c : field) {
            if (c == '"') line += '"';
            line += c;
        }
        line += '"';
    }
    line += "\r\n";
    return line;
}

}  // namespace flr
