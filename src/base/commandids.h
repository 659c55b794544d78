#pragma once

#include <string>

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
    EditRedo = 57644,
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
    PreviewComplete = 32838,  // no menu entry
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
    CheckShow = 32850,
};
}  // namespace cmd

// Enabled state, check mark and text of a command for the current selection.
struct CommandState {
    bool enabled = false;
    bool checked = false;
    std::string text;  // empty: keep the menu's own text
};

// Something that carries out commands: the active show's view, for the main frame.
class CCommandTarget {
public:
    virtual ~CCommandTarget() = default;
    // True when the target took the command.
    virtual bool RunCommand(int id) = 0;
    // Disabled for commands the target does not know.
    virtual CommandState State(int id) const = 0;
};

}  // namespace flr
