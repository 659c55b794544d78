// Reading the whole item table into items through ODBC, as the database bar and flr-cli do.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "base/prompt.h"
#include "database/database.h"
#include "database/datasource.h"
#include "database/itemtable.h"

namespace {

namespace fs = std::filesystem;

// A catalogue of `rows` items in a fresh SQLite file; returns its connect string.
std::string MakeCatalogue(int rows, const fs::path& folder)
{
    fs::create_directories(folder);
    const std::string path = (folder / ("items-" + std::to_string(rows) + ".sqlite")).string();
    fs::remove(path);
    flr::DBError error;
    if (!flr::CreateSqliteDatabase(path, &error)) return {};
    flr::CDatabase db;
    if (!db.OpenEx(flr::SqliteConnectString(path), &error)) return {};
    std::string script = "DELETE FROM \"tbFireworks\";\n";
    for (int i = 1; i <= rows; ++i) {
        const int size = 20 + (i % 14) * 10;
        script += "INSERT INTO \"tbFireworks\" VALUES (" + std::to_string(i) + ", 'BN-" +
                  std::to_string(100000 + i) + "', 'Bench Shell " + std::to_string(i) + "', " +
                  std::to_string(size) + ", " + std::to_string(i % 65536) + ", " +
                  std::to_string(size * 6) + ", '" + std::to_string(1 + i % 4) +
                  ",50', 100, '4.25', 1, 0, " + std::to_string(i % 300) + ", 0, 0, 7, 15, " +
                  std::to_string(1 + i % 6) + ", 'A bench item with a description');\n";
    }
    if (!db.ExecuteScript(script, &error)) return {};
    return flr::SqliteConnectString(path);
}

void BM_ReadAllItems(benchmark::State& state)
{
    const fs::path folder =
        fs::temp_directory_path() / ("flr-bench-db-" + std::to_string(::getpid()));
    const std::string connect = MakeCatalogue(int(state.range(0)), folder);
    flr::CDatabase db;
    if (connect.empty() || !db.OpenEx(connect)) {
        state.SkipWithError("could not make the catalogue");
        return;
    }
    for (auto _ : state) {
        flr::CItemTable rs(&db);
        rs.OpenTable();
        std::vector<flr::CEffectRef> items;
        items.reserve(rs.GetRecordCount());
        for (; !rs.IsEOF(); rs.MoveNext()) items.push_back(rs.MakeItem());
        if (items.size() != size_t(state.range(0))) state.SkipWithError("wrong item count");
        benchmark::DoNotOptimize(items.data());
    }
    db.Close();
    fs::remove_all(folder);
}
BENCHMARK(BM_ReadAllItems)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
