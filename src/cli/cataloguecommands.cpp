#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#include "base/settingsstore.h"
#include "base/textcodec.h"
#include "cli/verbargs.h"
#include "cli/verbs.h"
#include "database/catalogueexport.h"
#include "database/catalogueimport.h"
#include "database/dbconnection.h"

namespace flr {

namespace {

// As the program starts: the settings' connect string or the registered default, unless the
// run names its own (which is then not saved). Null after the failure has been reported.
std::unique_ptr<CDBConnection> OpenCatalogue(CSettingsStore& settings,
                                             const std::optional<QString>& connect)
{
    auto connection =
        connect ? std::make_unique<CDBConnection>(settings, Utf8ToCp1252(connect->toStdString()))
                : std::make_unique<CDBConnection>(settings);
    if (!connection->OpenDatabase() || !connection->CheckVersion()) return nullptr;
    return connection;
}

std::optional<QString> ConnectOption(const QCommandLineParser& parser,
                                     const QCommandLineOption& option)
{
    if (!parser.isSet(option)) return std::nullopt;
    return parser.value(option);
}

}  // namespace

int RunExportItems(const QStringList& arguments)
{
    QCommandLineParser parser;
    const QCommandLineOption connectOption(QStringLiteral("connect"), QString(),
                                           QStringLiteral("STRING"));
    parser.addOption(connectOption);
    if (!ParseVerbArguments(parser, arguments,
                            "Usage: flr-cli export-items OUT.csv [--connect STRING]\n", 1))
        return 2;
    CSettingsStore settings;
    const auto connection = OpenCatalogue(settings, ConnectOption(parser, connectOption));
    if (!connection) return 1;
    const std::string path = parser.positionalArguments().front().toStdString();
    size_t rows = 0;
    std::string error;
    if (!ExportCatalogue(connection->GetDatabase(), ExportTable::Items, path, &rows, &error)) {
        std::fprintf(stderr, "flr-cli: %s\n", error.c_str());
        return 1;
    }
    std::printf("%zu items written to %s\n", rows, path.c_str());
    return 0;
}

int RunImportItems(const QStringList& arguments)
{
    constexpr const char* kUsage =
        "Usage: flr-cli import-items IN.csv [--connect STRING] [--existing skip|update|add] "
        "[--dry-run]\n";
    QCommandLineParser parser;
    const QCommandLineOption connectOption(QStringLiteral("connect"), QString(),
                                           QStringLiteral("STRING"));
    const QCommandLineOption existingOption(QStringLiteral("existing"), QString(),
                                            QStringLiteral("MODE"));
    const QCommandLineOption dryRunOption(QStringLiteral("dry-run"));
    parser.addOptions({connectOption, existingOption, dryRunOption});
    if (!ParseVerbArguments(parser, arguments, kUsage, 1)) return 2;
    ExistingItems existing = ExistingItems::Skip;
    const QString mode = parser.value(existingOption);
    if (mode == QLatin1String("update")) {
        existing = ExistingItems::Update;
    } else if (mode == QLatin1String("add")) {
        existing = ExistingItems::Add;
    } else if (parser.isSet(existingOption) && mode != QLatin1String("skip")) {
        std::fprintf(stderr, "flr-cli: --existing takes skip, update or add\n%s", kUsage);
        return 2;
    }

    const std::string path = parser.positionalArguments().front().toStdString();
    CsvTable file;
    std::string error;
    if (!ReadCsvFile(path, file, &error)) {
        std::fprintf(stderr, "flr-cli: %s: %s\n", path.c_str(), error.c_str());
        return 1;
    }
    CSettingsStore settings;
    const auto connection = OpenCatalogue(settings, ConnectOption(parser, connectOption));
    if (!connection) return 1;
    CDatabase& database = connection->GetDatabase();

    CCatalogueImport import(std::move(file));
    import.SetExisting(existing);
    DBError failure;
    CCatalogueImport::Plan plan;
    bool ok = import.ReadStored(database, &failure);
    if (ok && parser.isSet(dryRunOption))
        plan = import.Check();
    else if (ok)
        ok = import.Write(database, &plan, &failure);
    if (ok || !plan.refused.empty()) {
        std::printf("%s\n", CCatalogueImport::Summary(plan).c_str());
        for (const CCatalogueImport::Refusal& refusal : plan.refused)
            std::printf("Line %zu: %s\n", refusal.line, refusal.reason.c_str());
    }
    if (!ok) {
        std::fprintf(stderr, "flr-cli: %s\n", failure.text.c_str());
        return 1;
    }
    return plan.refused.empty() ? 0 : 1;
}

}  // namespace flr
