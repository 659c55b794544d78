// Importing a supplier's CSV file of 10,000 items into the default SQLite catalogue: reading,
// checking every row and writing them in one transaction.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "database/catalogueimport.h"
#include "database/datasource.h"

namespace {

namespace fs = std::filesystem;

std::string SupplierFile(int rows)
{
    std::string csv =
        "SerialID;ProductName;Size;Color;Weight;PreFire;Hold;Stock;Price;"
        "ProductDescription\r\n";
    for (int i = 1; i <= rows; ++i) {
        const int size = 20 + (i % 14) * 10;
        csv += "CSV-" + std::to_string(100000 + i) + ";\"Supplier Shell " + std::to_string(i) +
               "\";" + std::to_string(size) + ";" + std::to_string(i % 65536) + ";" +
               std::to_string(size * 6) + ";" + std::to_string(1 + i % 4) + ",5;4.25;" +
               std::to_string(i % 300) + ";7;\"Peony; gold to red\"\r\n";
    }
    return csv;
}

void BM_ImportItems(benchmark::State& state)
{
    const fs::path folder =
        fs::temp_directory_path() / ("flr-bench-csv-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    const std::string path = (folder / "Database.sqlite").string();
    flr::CDatabase db;
    if (!flr::CreateSqliteDatabase(path, nullptr) || !db.OpenEx(flr::SqliteConnectString(path))) {
        state.SkipWithError("could not make the default database");
        return;
    }
    const std::string csv = SupplierFile(int(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        db.ExecuteSQL("DELETE FROM \"tbFireworks\" WHERE \"SerialID\" LIKE 'CSV-%'");
        state.ResumeTiming();
        flr::CsvTable file;
        flr::ReadCsv(csv, file, nullptr);
        flr::CCatalogueImport import(std::move(file));
        flr::CCatalogueImport::Plan plan;
        if (!import.ReadStored(db, nullptr) || !import.Write(db, &plan, nullptr) ||
            plan.added != size_t(state.range(0)))
            state.SkipWithError("the import failed");
    }
    db.Close();
    fs::remove_all(folder);
}
BENCHMARK(BM_ImportItems)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
