#include "editing/intimechanges.h"

#include <set>

#include "base/textcodec.h"
#include "model/effect.h"
#include "model/flrdoc.h"
#include "model/ignition.h"

namespace flr {

CInTimeSnapshot::CInTimeSnapshot(const CFLRDoc& doc)
{
    for (const CIgnition* e = doc.FirstSchedule(); e; e = e->GetNextSchedule()) {
        m_inTimes.emplace(e, e->GetInTime());
    }
}

std::string CInTimeSnapshot::ChangesNote(const CFLRDoc& doc) const
{
    int cues = 0;
    std::set<std::string> articles;
    std::string firstName;
    for (const CIgnition* e = doc.FirstSchedule(); e; e = e->GetNextSchedule()) {
        const auto it = m_inTimes.find(e);
        if (it == m_inTimes.end() || it->second == e->GetInTime()) continue;
        ++cues;
        if (const CEffect* item = e->GetItem()) {
            if (articles.insert(item->GetArticleNumber()).second && articles.size() == 1) {
                firstName = Cp1252ToUtf8(item->GetName());
            }
        }
    }
    if (cues == 0) return {};
    std::string text = "The catalogue's prefires moved the In Time of " + std::to_string(cues) +
                       (cues == 1 ? " cue" : " cues");
    if (!articles.empty()) {
        text += " (" + firstName;
        if (articles.size() > 1) {
            const size_t more = articles.size() - 1;
            text += " and " + std::to_string(more) + (more == 1 ? " more item" : " more items");
        }
        text += ")";
    }
    return text + ".";
}

}  // namespace flr
