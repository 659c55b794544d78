#pragma once

#include <QByteArray>
#include <optional>
#include <string>

namespace flr {

// An item dragged from the database bar onto a schedule: its article number (bytes) and
// whether Ctrl was down when the drag began (replace mode), as drag data of kItemMimeType.
inline constexpr const char* kItemMimeType = "application/x-flr-item";

struct DraggedItem {
    std::string articleNumber;
    bool replace = false;
};

QByteArray EncodeDraggedItem(const DraggedItem& item);
// Nothing for data that is not a dragged item.
std::optional<DraggedItem> DecodeDraggedItem(const QByteArray& bytes);

// Replace mode is chosen when the drag begins and only ever turned off on the way: Ctrl
// released before the drop inserts instead.
inline bool DropReplaces(const DraggedItem& item, bool ctrlAtDrop)
{
    return item.replace && ctrlAtDrop;
}

}  // namespace flr
