#pragma once

#include <string>
#include <vector>

#include "base/commandids.h"

namespace flr {

// One entry of a menu: a command (with its text, "\t" then the shortcut as shown), a
// separator (id 0, no text) or a pop-up (id 0, a text and entries).
struct MenuEntry {
    int id = 0;
    std::string text;
    std::vector<MenuEntry> entries;

    bool IsSeparator() const { return id == 0 && text.empty(); }
    bool IsPopup() const { return id == 0 && !text.empty(); }
};

struct Menu {
    std::string title;
    std::vector<MenuEntry> entries;
};

// The menu bar while no show is open, and while one is.
const std::vector<Menu>& MenuBarWithoutShow();
const std::vector<Menu>& MenuBarWithShow();
// The right-click menus: "Wave Table", "Firing Schedule", "Rack Tree", "Item DB".
const std::vector<Menu>& ContextMenus();

// The command's status-bar prompt and tool tip ("prompt\ntip"); empty for an unknown id.
std::string CommandPromptText(int id);
std::string CommandPrompt(int id);   // the part before the line break
std::string CommandToolTip(int id);  // the part after it

// Keys beyond the one shown in the menu text that also run the command ("Ctrl+Ins" for Copy).
std::vector<std::string> ExtraShortcuts(int id);

}  // namespace flr
