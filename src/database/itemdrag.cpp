#include "database/itemdrag.h"

namespace flr {

QByteArray EncodeDraggedItem(const DraggedItem& item)
{
    return QByteArray(item.replace ? "R" : "N") + QByteArray::fromStdString(item.articleNumber);
}

std::optional<DraggedItem> DecodeDraggedItem(const QByteArray& bytes)
{
    if (bytes.size() < 2 || (bytes[0] != 'R' && bytes[0] != 'N')) return std::nullopt;
    return DraggedItem{bytes.mid(1).toStdString(), bytes[0] == 'R'};
}

}  // namespace flr
