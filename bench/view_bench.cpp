// The schedule view on a 10,000-entry show: rebuilding the list and painting what is visible,
// one edit command with everything the view does after it, and its undo and redo. Each should
// fit in a frame.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QLineEdit>
#include <QPainter>

#include "base/prompt.h"
#include "bench/longwave.h"
#include "model/flrdoc.h"
#include "support/showgenerator.h"
#include "support/wavebuilder.h"
#include "ui/music/wavetrack.h"
#include "ui/schedule/flrview.h"
#include "ui/schedule/schedulelist.h"

namespace flr {
namespace {

constexpr int kEntries = 10000;

// Says Yes to every question, so the edit commands run through.
class YesPrompter final : public CPrompter {
public:
    PromptAnswer Ask(std::string_view, std::string_view, PromptButtons buttons, PromptIcon) override
    {
        return buttons == PromptButtons::YesNo ? PromptAnswer::Yes : PromptAnswer::Ok;
    }
    void Beep(BeepKind) override {}
};

struct ViewFixture {
    ViewFixture()
    {
        test::MakeRealisticShow(doc, kEntries, 7, test::MakeCatalogueItems(40));
        view = std::make_unique<CFLRView>(doc);
        view->resize(1280, 800);
        view->InitialUpdate();
        view->show();
        QApplication::processEvents();
    }
    ~ViewFixture() { view.reset(); }

    void Paint()
    {
        QWidget* viewport = view->List()->viewport();
        QImage image(viewport->size(), QImage::Format_ARGB32_Premultiplied);
        viewport->render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }

    CFLRDoc doc;
    std::unique_ptr<CFLRView> view;
};

void BM_RefreshAndPaint(benchmark::State& state)
{
    ViewFixture f;
    for (auto _ : state) {
        f.view->List()->Refresh();
        f.Paint();
    }
}
BENCHMARK(BM_RefreshAndPaint)->Unit(benchmark::kMillisecond);

void BM_AddIgnitionCommand(benchmark::State& state)
{
    ViewFixture f;
    YesPrompter prompter;
    CPrompter* previous = InstallPrompter(&prompter);
    int second = 0;
    for (auto _ : state) {
        f.view->TimeDisplay()->setText(QString::asprintf("00:02:%02d:00", second++ % 60));
        f.view->RunCommand(cmd::AddIgnition);
        f.Paint();
    }
    InstallPrompter(previous);
}
BENCHMARK(BM_AddIgnitionCommand)->Unit(benchmark::kMillisecond);

void BM_DeleteIgnitionCommand(benchmark::State& state)
{
    ViewFixture f;
    YesPrompter prompter;
    CPrompter* previous = InstallPrompter(&prompter);
    for (auto _ : state) {
        f.view->List()->selectRow(kEntries / 2);
        f.view->RunCommand(cmd::DeleteIgnition);
        f.Paint();
    }
    InstallPrompter(previous);
}
BENCHMARK(BM_DeleteIgnitionCommand)->Unit(benchmark::kMillisecond)->Iterations(200);

// Undo or redo of one command on the 10,000-entry show, with the list rebuilt and painted as
// the menu's Undo leaves it: a Time edit that moves an entry across the show, and a deletion
// of the middle row.
void UndoRedo(benchmark::State& state, bool deletion, bool measureUndo)
{
    ViewFixture f;
    YesPrompter prompter;
    CPrompter* previous = InstallPrompter(&prompter);
    CIgnition* entry = f.view->List()->Model()->EntryAt(kEntries / 2);
    if (deletion) {
        f.view->List()->selectRow(kEntries / 2);
        f.view->RunCommand(cmd::DeleteIgnition);
    } else {
        f.view->Editor().ApplyTime(entry, "00:00:30:00");
    }
    for (auto _ : state) {
        if (!measureUndo) {
            state.PauseTiming();
            f.view->RunCommand(cmd::EditUndo);
            state.ResumeTiming();
        }
        f.view->RunCommand(measureUndo ? cmd::EditUndo : cmd::EditRedo);
        f.Paint();
        if (measureUndo) {
            state.PauseTiming();
            f.view->RunCommand(cmd::EditRedo);
            state.ResumeTiming();
        }
    }
    InstallPrompter(previous);
}
void BM_UndoTimeEdit(benchmark::State& state) { UndoRedo(state, false, true); }
void BM_RedoTimeEdit(benchmark::State& state) { UndoRedo(state, false, false); }
void BM_UndoDelete(benchmark::State& state) { UndoRedo(state, true, true); }
void BM_RedoDelete(benchmark::State& state) { UndoRedo(state, true, false); }
BENCHMARK(BM_UndoTimeEdit)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RedoTimeEdit)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UndoDelete)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RedoDelete)->Unit(benchmark::kMillisecond);

// The wave table of a 60-minute track over the 10,000-entry show: one zoom step and the redraw,
// with the whole track fitted (a pixel covers seconds) and at one millisecond a pixel.
void WaveZoomAndRedraw(benchmark::State& state, bool fitted)
{
    test::TempFolder dir;
    const std::string track = dir / "hour.wav";
    if (!bench::WriteLongWave(track, 2, 44100, 16, 3600)) std::abort();
    ViewFixture f;
    CWaveTrack* wave = f.view->WaveTable();
    if (!wave->LoadTrack(track).loaded) std::abort();
    wave->resize(1200, 150);
    if (!fitted) {
        while (wave->CanZoomIn()) wave->ZoomIn();
    }
    QImage image(wave->size(), QImage::Format_ARGB32_Premultiplied);
    bool in = !fitted;
    for (auto _ : state) {
        // Out and back in again, so every step draws the same stretch of the track.
        if (in) {
            wave->ZoomIn();
        } else {
            wave->ZoomOut();
        }
        in = !in;
        wave->render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
}
void BM_WaveZoomFitted(benchmark::State& state) { WaveZoomAndRedraw(state, true); }
void BM_WaveZoomOneMsAPixel(benchmark::State& state) { WaveZoomAndRedraw(state, false); }
BENCHMARK(BM_WaveZoomFitted)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WaveZoomOneMsAPixel)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace flr

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
