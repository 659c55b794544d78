#include "cli/showjson.h"

#include <unordered_map>
#include <unordered_set>

#include "base/textcodec.h"
#include "model/flrdoc.h"

namespace flr {

namespace {

using Json = nlohmann::ordered_json;

Json Text(const OptText& text) { return text ? Json(Cp1252ToUtf8(*text)) : Json(nullptr); }

Json SetupToJson(const CFireworkSetup& s)
{
    int32_t year, month, day;
    s.GetDate(year, month, day);
    Json j;
    j["frameRate"] = s.GetFrameRate();
    j["estimatedLength"] = s.GetEstimatedLength();
    j["lengthUnit"] = Text(s.GetLengthUnitText());
    j["date"] = Json::array({year, month, day});
    j["priceLimit"] = s.GetPriceLimit();
    j["fixedPrice"] = s.GetFixedPrice();
    j["fixedDiscount"] = s.GetFixedDiscount();
    j["propDiscount"] = s.GetPropDiscount();
    j["customerName"] = Text(s.GetCustomerName());
    j["customerNameStored"] = Text(s.GetCustomerNameStored());
    j["contact1Name"] = Text(s.GetContact1Name());
    j["contact1Tel"] = Text(s.GetContact1Tel());
    j["contact2Name"] = Text(s.GetContact2Name());
    j["contact2Tel"] = Text(s.GetContact2Tel());
    j["musicFile"] = Text(s.GetMusicFile());
    j["prefireOff"] = s.GetPrefireOff();
    return j;
}

}  // namespace

nlohmann::ordered_json ShowToJson(const CFLRDoc& doc)
{
    Json out;
    out["setup"] = doc.GetSetup() ? SetupToJson(*doc.GetSetup()) : Json(nullptr);

    std::unordered_map<const CIgnition*, int> index;
    int i = 0;
    for (const CIgnition* e = doc.FirstSchedule(); e; e = e->GetNextSchedule()) index[e] = i++;
    auto indexOf = [&index](const CIgnition* e) { return e ? Json(index.at(e)) : Json(nullptr); };

    Json effects = Json::array();
    Json firing = Json::array();
    std::unordered_set<const CEffect*> seen;
    for (const CIgnition* e = doc.FirstFiring(); e; e = e->GetNextFiring()) {
        firing.push_back(index.at(e));
        const CEffect* item = e->GetItem();
        if (!item || !seen.insert(item).second) continue;
        Json j;
        j["artNo"] = Cp1252ToUtf8(item->GetArticleNumber());
        j["name"] = Cp1252ToUtf8(item->GetName());
        j["size"] = item->GetSize();
        j["weight"] = item->GetWeight();
        j["prefire"] = item->GetPrefire();
        j["duration"] = item->GetDuration();
        j["color"] = item->GetColor();
        effects.push_back(std::move(j));
    }

    Json schedule = Json::array();
    for (const CIgnition* e = doc.FirstSchedule(); e; e = e->GetNextSchedule()) {
        Json j;
        j["index"] = index.at(e);
        j["number"] = e->GetNumber();
        j["flags"] = e->GetFlags();
        j["delay"] = Text(e->GetDelayText());
        j["note"] = Text(e->GetNote());
        j["artNo"] =
            e->GetItem() ? Json(Cp1252ToUtf8(e->GetItem()->GetArticleNumber())) : Json(nullptr);
        j["inTime"] = FormatTimeCode(e->GetInTime());
        j["time"] = FormatTimeCode(e->GetTime());
        j["bank"] = static_cast<unsigned char>(e->GetLetter());
        j["address"] = e->GetAddressNumber();
        j["position"] = e->GetPosition();
        j["chained"] = e->IsChained();
        j["ignorePrefire"] = e->GetIgnorePrefire();
        j["chainPrev"] = indexOf(e->GetChainPrev());
        j["chainNext"] = indexOf(e->GetChainNext());
        schedule.push_back(std::move(j));
    }

    out["effects"] = std::move(effects);
    out["schedule"] = std::move(schedule);
    out["firing"] = std::move(firing);
    return out;
}

}  // namespace flr
