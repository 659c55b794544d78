// Opening and saving realistic shows of 1,000 to 100,000 entries.
#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>
#include <functional>
#include <map>
#include <memory>

#include "model/effectcatalogue.h"
#include "model/flrdoc.h"
#include "model/showfilereader.h"
#include "model/showfilewriter.h"
#include "support/showgenerator.h"

namespace flr {
namespace {

QTemporaryDir& Folder()
{
    static QTemporaryDir dir;
    return dir;
}

// One show file per size, written once.
const std::string& ShowPath(int entries)
{
    static std::map<int, std::string> paths;
    auto it = paths.find(entries);
    if (it == paths.end()) {
        CFLRDoc doc;
        test::MakeRealisticShow(doc, entries, 42, test::MakeCatalogueItems(40));
        const std::string path =
            Folder().filePath(QString("show-%1.flr").arg(entries)).toStdString();
        if (!CShowFileWriter::Save(doc, path)) std::abort();
        it = paths.emplace(entries, path).first;
    }
    return it->second;
}

void Open(benchmark::State& state, bool renumberEachLink)
{
    const std::string& path = ShowPath(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        CEffectCatalogue catalogue;
        auto doc = std::make_unique<CFLRDoc>();
        CShowFileReader reader(catalogue);
        reader.SetRenumberEachLink(renumberEachLink);
        if (reader.Read(path, *doc) != CShowFileReader::Status::Ok) std::abort();
        state.PauseTiming();
        doc.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// Reading the file, linking, numbering once, checking addresses.
void BM_OpenShow(benchmark::State& state) { Open(state, false); }
BENCHMARK(BM_OpenShow)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// The same from bytes already in memory: the difference is the file reading.
void BM_OpenShowFromMemory(benchmark::State& state)
{
    QFile file(QString::fromStdString(ShowPath(static_cast<int>(state.range(0)))));
    if (!file.open(QIODevice::ReadOnly)) std::abort();
    const QByteArray bytes = file.readAll();
    for (auto _ : state) {
        CEffectCatalogue catalogue;
        auto doc = std::make_unique<CFLRDoc>();
        CShowFileReader reader(catalogue);
        if (reader.ReadBytes(std::string_view(bytes.constData(), size_t(bytes.size())), *doc) !=
            CShowFileReader::Status::Ok) {
            std::abort();
        }
        state.PauseTiming();
        doc.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_OpenShowFromMemory)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// The same with a renumbering after every link: quadratic, so only the smaller sizes.
void BM_OpenShowRenumberingEachLink(benchmark::State& state) { Open(state, true); }
BENCHMARK(BM_OpenShowRenumberingEachLink)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

void WithShow(benchmark::State& state, const std::function<void(const CFLRDoc&)>& body)
{
    CEffectCatalogue catalogue;
    CFLRDoc doc;
    CShowFileReader reader(catalogue);
    if (reader.Read(ShowPath(static_cast<int>(state.range(0))), doc) !=
        CShowFileReader::Status::Ok) {
        std::abort();
    }
    for (auto _ : state) body(doc);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// Laying out the bytes only.
void BM_SerialiseShow(benchmark::State& state)
{
    WithShow(state,
             [](const CFLRDoc& doc) { benchmark::DoNotOptimize(CShowFileWriter::ToBytes(doc)); });
}
BENCHMARK(BM_SerialiseShow)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// The whole save: bytes, a new file beside the old one, flushed and synced, then renamed.
void BM_SaveShow(benchmark::State& state)
{
    const std::string path = Folder().filePath("saved.flr").toStdString();
    WithShow(state, [&path](const CFLRDoc& doc) {
        if (!CShowFileWriter::Save(doc, path)) std::abort();
    });
}
BENCHMARK(BM_SaveShow)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace flr

BENCHMARK_MAIN();
