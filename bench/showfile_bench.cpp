// Opening and saving realistic shows of 1,000 to 100,000 entries, and opening crafted ones.
#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>
#include <functional>
#include <map>
#include <memory>

#include "editing/scheduleeditor.h"
#include "model/effectcatalogue.h"
#include "model/flrdoc.h"
#include "model/showfilereader.h"
#include "model/showfilewriter.h"
#include "support/filebytes.h"
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

// Crafted files of the orders that made opening quadratic: stored In Times falling while
// Times rise (the derivation on opening reverses the whole order) and rising runs
// interleaved; with `chains`, also chains of three whose records name their first member.
std::string CraftedShow(int entries, bool chains)
{
    test::FileBytes f;
    f.Header().DefaultSetupChunks().U32(0x600);
    f.Field(0x1610, "P").FieldF64(0x1614, 0.0).End();
    f.End().U32(0x500);
    const auto timeAt = [](uint32_t seconds) {
        return (seconds / 3600) << 24 | (seconds / 60 % 60) << 16 | (seconds % 60) << 8;
    };
    for (int i = 0; i < entries; ++i) {
        const auto n = static_cast<uint32_t>(i);
        const bool chained = chains && i % 4 != 0;
        const int32_t named = chained ? (i / 4) * 4 + (i % 4 == 3 ? 1 : 0) : i;
        const uint32_t inTime = i % 2 ? timeAt(uint32_t(entries) - n) : timeAt(n / 2);
        f.Entry(n, !chained, named, "P", 50, "", false, inTime, timeAt(n + 1),
                static_cast<char>('A' + i % 25), static_cast<uint8_t>(1 + i / 25 % 32), 1);
    }
    f.End().End();
    return f.Bytes();
}

// Reading a crafted file and deriving its In Times as the program does when it opens a show.
void OpenCrafted(benchmark::State& state, bool chains)
{
    const std::string bytes = CraftedShow(static_cast<int>(state.range(0)), chains);
    for (auto _ : state) {
        CEffectCatalogue catalogue;
        auto doc = std::make_unique<CFLRDoc>();
        CShowFileReader reader(catalogue);
        if (reader.ReadBytes(bytes, *doc) != CShowFileReader::Status::Ok) std::abort();
        CScheduleEditor(*doc).SetPrefireOff(doc->GetSetup()->GetPrefireOff());
        state.PauseTiming();
        doc.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
void BM_OpenCraftedOrders(benchmark::State& state) { OpenCrafted(state, false); }
BENCHMARK(BM_OpenCraftedOrders)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
void BM_OpenCraftedChains(benchmark::State& state) { OpenCrafted(state, true); }
BENCHMARK(BM_OpenCraftedChains)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace flr

BENCHMARK_MAIN();
