#pragma once

#include <string>
#include <vector>

namespace flr {

// Command ids of menus, toolbar and accelerators; stored in no file, but kept stable so the
// frames, the view and the tests speak of the same commands.
namespace cmd {
enum : int {
    FileNew = 57600,
    FileOpen = 57601,
    FileClose = 57602,
    FileSave = 57603,
    FileSaveAs = 57604,
    FilePrintSetup = 57606,
    FilePrint = 57607,
    FileMruFirst = 57616,  // "Recent File"
    EditClear = 57632,
    EditCopy = 57634,
    EditCut = 57635,
    EditPaste = 57637,
    EditSelectAll = 57642,
    EditUndo = 57643,
    WindowArrange = 57649,
    WindowCascade = 57650,
    WindowTile = 57651,
    AppAbout = 57664,
    AppExit = 57665,
    HelpFinder = 57667,
    ContextHelp = 57669,
    Help = 57670,
    ViewToolbar = 59392,
    ViewStatusBar = 59393,

    Settings = 32771,
    ShowDatabase = 32772,
    ShowSetup = 32773,
    AddIgnition = 32783,
    DeleteIgnition = 32784,
    CheckOutEffects = 32785,
    Run = 32786,
    Stop = 32788,
    Pause = 32790,
    ResetTimer = 32791,
    Transfer = 32792,
    ShowEditor = 32794,
    AddItem = 32796,
    AddCustomer = 32797,
    AddManufacturer = 32798,
    ImportDatabase = 32800,
    ExportDatabase = 32801,
    SelectMusic = 32802,
    ZoomIn = 32813,
    ZoomOut = 32814,
    Racks = 32816,
    SelectItem = 32817,
    RemoveItem = 32818,
    MoveTimerHere = 32819,
    EditIgnitionRack = 32820,
    AddRack = 32821,
    DeleteRack = 32822,
    EditRack = 32823,
    ShowPositions = 32824,
    DeselectTrack = 32825,
    DeleteItem = 32826,
    AddItemFromBar = 32830,
    PreviewFieldList = 32833,
    PreviewShootList = 32834,
    PreviewEffects = 32836,
    PreviewRacks = 32837,
    ZoomToFit = 32839,
    SelectChain = 32840,
    RemoveChain = 32841,
    PreviewPods = 32842,
    PreviewChains = 32843,
    ReplaceItem = 32844,
    ShowFrameDigits = 32846,
    HideChained = 32847,
    IgnorePrefire = 32848,
    DuplicateIgnition = 32849,
};
}  // namespace cmd

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
