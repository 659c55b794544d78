#include "database/catalogueexport.h"

#include <unistd.h>

#include <QSaveFile>
#include <charconv>
#include <cstring>
#include <memory>

#include "base/textcodec.h"
#include "database/csvtable.h"
#include "database/customertable.h"
#include "database/itemtable.h"
#include "database/manufacturertable.h"

namespace flr {

namespace {

// The shortest text that reads back as the same number, with a point.
std::string DecimalText(double value)
{
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return result.ec == std::errc() ? std::string(text, result.ptr) : std::string("0");
}

bool WriteBeside(const std::string& path, const std::string& bytes, std::string* error)
{
    QSaveFile file(QString::fromStdString(path));
    file.setDirectWriteFallback(false);
    // QSaveFile's commit does not notice a failed flush, so each step is checked here.
    bool ok = file.open(QIODevice::WriteOnly) &&
              file.write(bytes.data(), qint64(bytes.size())) == qint64(bytes.size()) &&
              file.flush() && ::fsync(file.handle()) == 0 && file.commit();
    if (!ok && error) {
        const QString reason = file.errorString();
        *error = "Unable to write \"" + path + "\"" +
                 (reason.isEmpty() ? std::string(".") : ": " + reason.toStdString() + ".");
    }
    return ok;
}

}  // namespace

std::string TableCsv(CRecordset& table)
{
    const std::vector<CRecordset::FieldInfo> fields = table.GetFields();
    const bool items = table.TableName() == "tbFireworks";
    std::vector<std::string> record;
    for (const CRecordset::FieldInfo& field : fields) record.push_back(field.name);
    std::string csv = CsvRecord(record);
    for (table.MoveFirst(); !table.IsEOF(); table.MoveNext()) {
        record.clear();
        for (size_t c = 0; c < fields.size(); ++c) {
            const DBValue value = table.GetFieldValue(c);
            const bool decimal = items && (fields[c].name == "PreFire" || fields[c].name == "Hold");
            switch (value.kind) {
            case FieldKind::Integer: record.push_back(std::to_string(value.integer)); break;
            case FieldKind::Bit: record.push_back(value.bit ? "1" : "0"); break;
            case FieldKind::Text:
                record.push_back(decimal ? DecimalText(ParseDecimalText(value.text))
                                         : Cp1252ToUtf8(value.text));
                break;
            }
        }
        csv += CsvRecord(record);
    }
    return csv;
}

bool ExportCatalogue(CDatabase& database, ExportTable which, const std::string& path, size_t* rows,
                     std::string* error)
{
    std::unique_ptr<CRecordset> table;
    switch (which) {
    case ExportTable::Items: table = std::make_unique<CItemTable>(&database); break;
    case ExportTable::Customers: table = std::make_unique<CCustomerTable>(&database); break;
    case ExportTable::Manufacturers: table = std::make_unique<CManufacturerTable>(&database); break;
    }
    DBError failure;
    if (!table->Open(OpenType::Snapshot, {}, {}, &failure)) {
        if (error) *error = "Unable to read " + table->TableName() + ": " + failure.text;
        return false;
    }
    if (rows) *rows = table->GetRecordCount();
    return WriteBeside(path, TableCsv(*table), error);
}

}  // namespace flr
