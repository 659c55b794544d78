#pragma once

#include <QIcon>

namespace flr {

// Icons drawn by the program itself, so it looks the same with or without an icon theme.
QIcon AppIcon();
QIcon ToolIcon(int commandId);  // a null icon for commands without one of their own

}  // namespace flr
