#include "editing/cueclipboard.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <set>

#include "base/prompt.h"
#include "base/textcodec.h"
#include "editing/schedulecells.h"
#include "editing/scheduleeditor.h"
#include "editing/showhistory.h"
#include "model/flrdoc.h"
#include "model/showfilereader.h"
#include "model/showfilewriter.h"

namespace flr {

namespace {

using Link = CIgnition::Link;

constexpr const char* kPasteCaption = "Paste";
// 99:59:59 and the frames of the last second: the latest Time a show holds.
constexpr int64_t kLastSecond = 99 * 3600 + 59 * 60 + 59;

CIgnition* CopyOf(const CIgnition& source, bool chained)
{
    auto* e = new CIgnition;
    e->SetItem(source.GetItemRef());
    e->SetTimesRaw(source.GetTime(), source.GetInTime());
    e->SetFlagsRaw(source.GetFlags() & CIgnition::kFlagPrefireError);
    e->SetDelayText(source.GetDelayText(), true);
    e->SetNote(source.GetNote());
    e->SetAddress(source.GetLetter(), source.GetAddressNumber());
    e->SetPosition(source.GetPosition());
    e->SetIgnorePrefire(source.GetIgnorePrefire());
    e->SetChained(chained);
    return e;
}

std::string TextLine(const std::vector<std::string>& cells)
{
    std::string line;
    for (size_t i = 0; i < cells.size(); ++i) {
        if (i > 0) line += '\t';
        std::string cell = Cp1252ToUtf8(cells[i]);
        // A tab or a line break inside a note would split the row.
        std::replace_if(
            cell.begin(), cell.end(), [](char c) { return c == '\t' || c == '\n' || c == '\r'; },
            ' ');
        line += cell;
    }
    return line + '\n';
}

// A Time in frames at `fps`, and back; a clip of another frame rate goes by the clock.
int64_t Frames(CTimeCode t, int fps)
{
    return ((int64_t(t.Hours()) * 60 + t.Minutes()) * 60 + t.Seconds()) * fps + t.Frames();
}

TimeCodeParts PartsOf(int64_t frames, int fps)
{
    const int64_t seconds = frames / fps;
    return {int(seconds / 3600), int(seconds / 60 % 60), int(seconds % 60), int(frames % fps)};
}

// Links `e` behind the last entry from `from` on (from the first when none) whose Time is not
// later than its own; in front of the first entry when there is none.
void LinkByTime(CFLRDoc& doc, CIgnition* e, CIgnition* from)
{
    CIgnition* first = doc.FirstSchedule();
    CIgnition* q = from;
    if (!q && first && first->GetTime() <= e->GetTime()) q = first;
    if (!q) {
        e->LinkAfter(first, false);
        if (first) e->MoveBefore(first, false);
        return;
    }
    while (q->GetNextSchedule() && q->GetNextSchedule()->GetTime() <= e->GetTime()) {
        q = q->GetNextSchedule();
    }
    e->LinkAfter(q, false);
}

}  // namespace

CueClip CopyCues(const CFLRDoc& doc, const std::vector<CIgnition*>& selected)
{
    CueClip clip;
    if (selected.empty()) return clip;
    // What is copied, and which of it stays chained.
    std::set<const CIgnition*> taken;
    std::set<const CIgnition*> chained;
    for (CIgnition* e : selected) {
        taken.insert(e);
        if (e->GetChainPrev()) continue;
        for (const CIgnition* c = e->GetChainNext(); c; c = c->GetChainNext()) {
            taken.insert(c);
            chained.insert(c);
        }
    }

    CFLRDoc copy;
    auto setup = std::make_unique<CFireworkSetup>();
    setup->SetFrameRate(doc.GetFrameRate());
    if (doc.GetSetup()) setup->SetPrefireOff(doc.GetSetup()->GetPrefireOff());
    copy.ResetSetup(std::move(setup));
    std::vector<CIgnition*> entries;
    std::map<const CIgnition*, CIgnition*> copies;
    for (CIgnition* e = doc.FirstSchedule(); e; e = e->GetNextSchedule()) {
        if (!taken.count(e)) continue;
        CIgnition* c = CopyOf(*e, chained.count(e) > 0);
        c->LinkScheduleAfter(entries.empty() ? nullptr : entries.back());
        entries.push_back(c);
        copies[e] = c;
    }
    // The copies of a chain keep its order.
    for (const auto& [source, c] : copies) {
        if (source->GetChainPrev() || !source->GetChainNext()) continue;
        std::vector<CIgnition*> chain;
        for (const CIgnition* m = source; m; m = m->GetChainNext()) chain.push_back(copies.at(m));
        CIgnition::LinkChain(chain);
    }
    CIgnition::LinkInReadingOrder(entries);
    copy.SetIgnitions(entries.front()->FirstFiring());
    copy.FirstFiring()->SetNumbers(0);
    copy.FirstFiring()->CheckAddresses();

    clip.bytes = CShowFileWriter::ToBytes(copy);
    clip.count = int(entries.size());
    std::vector<std::string> cells;
    for (int c = 0; c < kScheduleColumnCount; ++c) {
        cells.emplace_back(ColumnInfo(ScheduleColumn(c)).heading);
    }
    clip.text = TextLine(cells);
    for (const CIgnition* e : entries) {
        for (int c = 0; c < kScheduleColumnCount; ++c) {
            cells[c] = ScheduleCellText(*e, ScheduleColumn(c), copy.GetFrameRate());
        }
        clip.text += TextLine(cells);
    }
    return clip;
}

std::vector<CIgnition*> PasteCues(CScheduleEditor& editor, std::string_view bytes, int row,
                                  const std::string& clockText, CEffectCatalogue& catalogue)
{
    CFLRDoc clip;
    CShowFileReader reader(catalogue);
    if (reader.ReadBytes(bytes, clip) != CShowFileReader::Status::Ok || !clip.GetIgnitions()) {
        ShowMessage("The Clipboard holds no cues that FLR can paste.", kPasteCaption,
                    PromptButtons::Ok, PromptIcon::Warning);
        return {};
    }
    CFLRDoc& doc = editor.Doc();
    const int fps = editor.Fps();
    const int clipFps = std::max(1, clip.GetFrameRate());
    std::vector<CIgnition*> pasted;
    for (CIgnition* e = clip.FirstSchedule(); e; e = e->GetNextSchedule()) pasted.push_back(e);

    const std::vector<CIgnition*> rows = editor.Rows();
    CIgnition* at = row >= 0 && row < int(rows.size()) ? rows[row] : nullptr;
    CTimeCode anchor;
    if (at) {
        anchor = at->GetTime();
    } else if (const auto parts = ParseTimeCode(clockText)) {
        anchor = CTimeCode::FromParts(*parts);
    }
    // Every Time the same span after the anchor as after the first cue of the clip.
    const auto shifted = [&](CTimeCode t) {
        const int64_t offset = Frames(t, clipFps) - Frames(pasted.front()->GetTime(), clipFps);
        return Frames(anchor, fps) + std::llround(double(offset) * fps / clipFps);
    };
    if (shifted(pasted.back()->GetTime()) >= (kLastSecond + 1) * fps) {
        ShowMessage("The cues would end after 99:59:59: nothing was pasted.", kPasteCaption,
                    PromptButtons::Ok, PromptIcon::Warning);
        return {};
    }

    CHistoryStep step(editor.History(), "Paste");
    std::vector<int64_t> times;
    for (CIgnition* e : pasted) times.push_back(shifted(e->GetTime()));
    // The clip lets go of its entries; they keep their chains.
    clip.SetIgnitions(nullptr);
    bool prefireError = false;
    CIgnition* previous = nullptr;
    for (size_t i = 0; i < pasted.size(); ++i) {
        CIgnition* e = pasted[i];
        for (Link l :
             {Link::PrevFiring, Link::NextFiring, Link::PrevSchedule, Link::NextSchedule}) {
            e->SetLinkRaw(l, nullptr);
        }
        e->SetTime(PartsOf(times[i], fps), {.prefireOff = editor.PrefireOff(), .fps = fps});
        prefireError = prefireError || e->HasPrefireError();
        if (!doc.GetIgnitions()) {
            e->LinkAfter(nullptr, false);
            doc.SetIgnitions(e);
        } else if (!previous && at) {
            // In front of the selected row, whose Time it takes.
            e->LinkAfter(at, false);
            e->MoveBefore(at, false);
        } else {
            LinkByTime(doc, e, previous);
        }
        previous = e;
    }
    for (CIgnition* e : pasted) {
        if (e->GetChainPrev()) continue;
        if (e->GetChainNext()) e->RetimeChain(fps, editor.PrefireOff());
        e->UpdateDelay(fps);
        if (CIgnition* next = e->NextPrimary()) next->UpdateDelay(fps);
    }
    if (prefireError && !editor.PrefireOff()) Beep(BeepKind::Exclamation);
    editor.Finish();
    return pasted;
}

}  // namespace flr
