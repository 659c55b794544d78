#include "database/cellitems.h"

#include <charconv>
#include <optional>

#include "database/itemtable.h"
#include "model/effectcatalogue.h"

namespace flr {

namespace {

std::optional<int32_t> ReadSize(const std::string& text)
{
    int32_t value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end) return std::nullopt;
    return value;
}

}  // namespace

std::string NameChoiceText(const std::string& articleNumber, const std::string& name)
{
    return "[" + articleNumber + "] " + name;
}

CellChoices ItemCellChoices(CDatabase* database, ScheduleColumn column, const std::string& sizeCell,
                            const std::string& currentArticle)
{
    CellChoices out;
    if (!database) return out;
    using Order = FireworksQuery::Order;
    const std::optional<int32_t> size = ReadSize(sizeCell);
    CItemTable rs(database);
    switch (column) {
    case ScheduleColumn::Size: {
        if (!rs.OpenTable(FireworksQuery::OrderedBy(Order::Size))) return out;
        bool any = false;
        int32_t last = 0;
        for (; !rs.IsEOF(); rs.MoveNext()) {
            if (any && rs.m_Size == last) continue;
            any = true;
            last = rs.m_Size;
            if (size && *size == last) out.current = static_cast<int>(out.texts.size());
            out.texts.push_back(std::to_string(last));
        }
        break;
    }
    case ScheduleColumn::ArtNo:
    case ScheduleColumn::Name: {
        const Order order = column == ScheduleColumn::ArtNo ? Order::SerialID : Order::ProductName;
        if (!rs.OpenTable(size ? FireworksQuery::OfSize(*size, order)
                               : FireworksQuery::OrderedBy(order))) {
            return out;
        }
        for (; !rs.IsEOF(); rs.MoveNext()) {
            if (rs.m_SerialID == currentArticle && !currentArticle.empty()) {
                out.current = static_cast<int>(out.texts.size());
            }
            out.texts.push_back(column == ScheduleColumn::ArtNo
                                    ? rs.m_SerialID
                                    : NameChoiceText(rs.m_SerialID, rs.m_ProductName));
        }
        break;
    }
    default: break;
    }
    return out;
}

CEffectRef ItemForCellText(CDatabase* database, CEffectCatalogue& catalogue, ScheduleColumn column,
                           const std::string& text)
{
    if (!database) return {};
    CItemTable rs(database);
    bool open = false;
    switch (column) {
    case ScheduleColumn::Size: {
        const std::optional<int32_t> size = ReadSize(text);
        if (!size) return {};
        open = rs.OpenTable(FireworksQuery::OfSize(*size, FireworksQuery::Order::ProductName));
        break;
    }
    case ScheduleColumn::ArtNo: open = rs.OpenTable(FireworksQuery::WithSerialID(text)); break;
    case ScheduleColumn::Name: {
        const size_t bracket = text.find('[');
        const size_t close = bracket == std::string::npos ? bracket : text.find(']', bracket + 1);
        if (close == std::string::npos) return {};
        open = rs.OpenTable(
            FireworksQuery::WithSerialID(text.substr(bracket + 1, close - bracket - 1)));
        break;
    }
    default: return {};
    }
    if (!open || rs.IsEOF()) return {};
    if (CEffect* held = catalogue.Find(rs.m_SerialID)) return CEffectRef(held);
    CEffectRef made = rs.MakeItem();
    catalogue.Insert(made);
    return made;
}

}  // namespace flr
