#pragma once

#include <cstddef>
#include <string>

#include "database/database.h"

namespace flr {

class CRecordset;

// The tables the Export dialog offers.
enum class ExportTable { Items, Customers, Manufacturers };

// The rows of `table` (an open recordset, walked from its first row) as an RFC 4180 file in
// UTF-8: a header row of the table's column names, then one record per row; the item table's
// PreFire and Hold as decimals with a point ("1.8"), whatever the text stored.
std::string TableCsv(CRecordset& table);

// Reads `which` from `database` and writes it to `path` beside the old file, replacing it only
// once all is written. False with `error` (UTF-8) when the table cannot be read or the file
// written; the old file is then untouched. `rows` gets the number of rows written.
bool ExportCatalogue(CDatabase& database, ExportTable which, const std::string& path, size_t* rows,
                     std::string* error);

}  // namespace flr
