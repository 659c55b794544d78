#include "app/commands.h"

#include <map>

namespace flr {

namespace {

MenuEntry C(int id, const char* text) { return MenuEntry{id, text, {}}; }
MenuEntry Sep() { return MenuEntry{}; }
MenuEntry Pop(const char* text, std::vector<MenuEntry> entries)
{
    return MenuEntry{0, text, std::move(entries)};
}

std::vector<Menu> BuildWithoutShow()
{
    using namespace cmd;
    return {
        {"&File",
         {C(FileNew, "&New Firework...\tCtrl+N"), C(FileOpen, "&Open...\tCtrl+O"), Sep(),
          C(FilePrintSetup, "P&rint Setup..."), Sep(), C(FileMruFirst, "Recent File"), Sep(),
          C(AppExit, "E&xit\tCtrl+Q")}},
        {"&Edit",
         {C(EditUndo, "&Undo\tCtrl+Z"), C(EditRedo, "&Redo\tCtrl+Y"), Sep(),
          C(EditCut, "Cu&t\tCtrl+X"), C(EditCopy, "&Copy\tCtrl+C"), C(EditPaste, "&Paste\tCtrl+V"),
          C(EditClear, "Clear"), C(EditSelectAll, "Select &All\tCtrl+A"), Sep(),
          C(Settings, "Settings...")}},
        {"&Database",
         {C(ShowDatabase, "Show &Database\tCtrl+D"), C(ShowEditor, "Show &Editor\tCtrl+E"), Sep(),
          C(AddCustomer, "Add &Customer...\tCtrl+K"), C(AddItem, "Add &Item...\tCtrl+I"),
          C(AddManufacturer, "Add &Manufacturer...\tCtrl+M"), Sep(), C(ExportDatabase, "Export..."),
          C(ImportDatabase, "Import...")}},
        {"&View",
         {C(ShowDatabase, "&Database\tCtrl+D"), C(ShowSetup, "&Setup"), Sep(),
          C(ViewToolbar, "&Toolbar"), C(ViewStatusBar, "Status &Bar")}},
        {"&Help", {C(HelpFinder, "&Help Topics"), Sep(), C(AppAbout, "&About FLR...")}},
    };
}

std::vector<Menu> BuildWithShow()
{
    using namespace cmd;
    const std::vector<Menu> without = BuildWithoutShow();
    return {
        {"&File",
         {C(FileNew, "&New Firework...\tCtrl+N"), C(FileOpen, "&Open...\tCtrl+O"),
          C(FileClose, "&Close"), C(FileSave, "&Save\tCtrl+S"), C(FileSaveAs, "Save &As..."), Sep(),
          C(FilePrint, "&Print...\tCtrl+P"),
          Pop("Print Pre&view",
              {C(PreviewFieldList, "&Field List"), C(PreviewShootList, "&Shoot List"), Sep(),
               C(PreviewChains, "&Chains"), C(PreviewEffects, "&Effects"), C(PreviewPods, "&Pods"),
               C(PreviewRacks, "&Racks")}),
          C(FilePrintSetup, "P&rint Setup..."), Sep(), C(FileMruFirst, "Recent File"), Sep(),
          C(AppExit, "E&xit\tCtrl+Q")}},
        without[1],  // the same Edit menu
        {"&Database",
         {C(AddItem, "Add &Item...\tCtrl+I"), C(AddCustomer, "Add &Customer...\tCtrl+K"),
          C(AddManufacturer, "Add &Manufacturer...\tCtrl+M"), Sep(), C(ExportDatabase, "Export..."),
          C(ImportDatabase, "Import...")}},
        {"&Firework",
         {C(AddIgnition, "Add &Ignition\tIns"), C(DeleteIgnition, "&Delete Ignition\tDel"), Sep(),
          C(DeselectTrack, "Deselect C&urrent Track"), C(SelectMusic, "Select &Music Track"), Sep(),
          C(ResetTimer, "R&eset Timer\tF9"), C(Run, "&Run\tF10"), C(Pause, "&Pause\tF11"),
          C(Stop, "&Stop\tF12"), Sep(), C(Transfer, "&Transfer\tCtrl+T"),
          C(CheckShow, "Chec&k Show...\tF7"), Sep(),
          C(CheckOutEffects, "&Check Out Effects\tCtrl+E")}},
        {"&View",
         {C(ShowDatabase, "&Database\tCtrl+D"), C(Racks, "&Racks\tCtrl+R"), C(ShowSetup, "&Setup"),
          Sep(), C(ViewToolbar, "&Toolbar"), C(ViewStatusBar, "Status &Bar")}},
        {"&Window",
         {C(WindowCascade, "&Cascade"), C(WindowTile, "&Tile"),
          C(WindowArrange, "&Arrange Icons")}},
        without[4],  // the same Help menu
    };
}

std::vector<Menu> BuildContextMenus()
{
    using namespace cmd;
    return {
        {"Wave Table",
         {C(SelectMusic, "&Select New Track"), C(DeselectTrack, "&Deselect Current Track"), Sep(),
          C(ZoomIn, "Zoom &In"), C(ZoomOut, "Zoom &Out"), C(ZoomToFit, "Zoom To Fit &Track"), Sep(),
          Pop("Wave Table Options", {C(ShowFrameDigits, "Show &Frame Digits")})}},
        {"Firing Schedule",
         {C(MoveTimerHere, "&Move Timer Here"), Sep(), C(AddIgnition, "&Add Ignition"),
          C(DeleteIgnition, "&Delete Ignition"), C(DuplicateIgnition, "D&uplicate Ignition"), Sep(),
          C(SelectItem, "&Select Item"), C(ReplaceItem, "Re&place Item"),
          C(RemoveItem, "&Remove Item"), Sep(), C(IgnorePrefire, "I&gnore Prefire"), Sep(),
          C(HideChained, "H&ide Chained Effects"), C(RemoveChain, "Remove C&hain"),
          C(SelectChain, "Select &Chain"), Sep(), C(EditIgnitionRack, "&Edit Rack")}},
        {"Rack Tree",
         {C(AddRack, "&Add Rack"), C(DeleteRack, "&Delete Rack"), C(EditRack, "&Edit Rack"), Sep(),
          C(ShowPositions, "&Show Positions")}},
        {"Item DB", {C(AddItemFromBar, "&Add Item ..."), C(DeleteItem, "&Delete Item ...")}},
    };
}

const std::map<int, const char*>& Prompts()
{
    using namespace cmd;
    static const std::map<int, const char*> prompts = {
        // The standard commands.
        {FileNew, "Create a new firework\nNew Firework"},
        {FileOpen, "Open an existing document\nOpen"},
        {FileClose, "Close the active document\nClose"},
        {FileSave, "Save the active document\nSave"},
        {FileSaveAs, "Save the active document with a new name\nSave As"},
        {FilePrintSetup, "Change the printer and printing options\nPrint Setup"},
        {FilePrint, "Print the active document\nPrint"},
        {FileMruFirst, "Open this document"},
        {EditClear, "Erase the selection\nErase"},
        {EditCopy, "Copy the selection and put it on the Clipboard\nCopy"},
        {EditCut, "Cut the selection and put it on the Clipboard\nCut"},
        {EditPaste, "Insert Clipboard contents\nPaste"},
        {EditSelectAll, "Select the entire document\nSelect All"},
        {EditUndo, "Undo the last action\nUndo"},
        {EditRedo, "Redo the previously undone action\nRedo"},
        {WindowArrange, "Arrange icons at the bottom of the window\nArrange Icons"},
        {WindowCascade, "Arrange windows so they overlap\nCascade Windows"},
        {WindowTile, "Arrange windows as non-overlapping tiles\nTile Windows"},
        {AppAbout, "Display program information, version number and copyright\nAbout"},
        {AppExit, "Quit FLR; prompts to save documents\nExit"},
        {HelpFinder, "List Help topics\nHelp Topics"},
        {ContextHelp, "Display help for clicked on buttons, menus and windows\nHelp"},
        {Help, "Display help for current task or command\nHelp"},
        {ViewToolbar, "Show or hide the toolbar\nToggle ToolBar"},
        {ViewStatusBar, "Show or hide the status bar\nToggle StatusBar"},
        // The program's own.
        {Settings, "Change FLR Application Settings\nChange Settings"},
        {ShowDatabase, "Show or hide the FLR database\nToggle Database"},
        {ShowSetup, "Show setup for the current firework\nShow firework setup"},
        {AddIgnition, "Add a new ignition point to current schedule\nAdd Ignition"},
        {DeleteIgnition, "Delete selected ignitions from current schedule\nDelete Ignition"},
        {CheckOutEffects, "Check out used effects from the FLR database\nCheck Out Effects"},
        {Run, "Run a timed simulation of the firework\nRun Simulation"},
        {Stop, "Stop the firework simulation\nStop Simulation"},
        {Pause, "Pause the simulation in progress if any\nPause Simulation"},
        {ResetTimer, "Reset the firework timer to 00:00:00:00\nReset Timer"},
        {Transfer, "Transfer the current firework to the FLR system\nTransfer Firework"},
        {CheckShow, "Check the current firework for faults before a download\nCheck Show"},
        {ShowEditor, "Show the database editor to modify the database\nShow Database Editor"},
        {AddItem, "Add a firework item to the FLR database\nAdd Firework Item"},
        {AddCustomer, "Add a customer to the FLR database\nAdd Customer"},
        {AddManufacturer, "Add a manufacturer to the FLR database\nAdd Manufacturer"},
        {ImportDatabase, "Import database from file\nImport Database"},
        {ExportDatabase, "Export database to file\nExport Database"},
        {SelectMusic, "Select a music track for this firework\nSelect Music"},
        {ZoomIn, "Zoom in on the current wavetable\nZoom In"},
        {ZoomOut, "Zoom out from the current wavetable\nZoom Out"},
        {Racks, "Show or hide the list of racks\nShow or hide racks"},
        {SelectItem, "Select a firework item for selected ignitions\nSelect Firework Item"},
        {RemoveItem, "Remove current item from selected ignitions\nRemove Item"},
        {MoveTimerHere, "Set the music timer to selected ignitions in time\nMove Timer To InTime"},
        {EditIgnitionRack, "Edit the selected ignitions rack\nEdit Ignitions Rack"},
        {AddRack, "Add a rack to this firework\nAdd Rack"},
        {DeleteRack, "Delete selected racks from this firework\nDelete Selected Racks"},
        {EditRack, "Edit the selected firework rack\nEdit Selected Rack"},
        {ShowPositions, "Show the racks positions on the firing field\nShow Rack Positions"},
        {DeselectTrack, "Deselect the current music track\nDeselect Music Track"},
        {DeleteItem, "Delete selected items from the database\nDelete Selected Items"},
        {AddItemFromBar, "Add a firework item to the FLR database.\nAdd Item"},
        {PreviewFieldList,
         "Show a print preview of the field list for the current firework\nField List Preview"},
        {PreviewShootList,
         "Show a print preview of the shoot list for the current firework\nShoot List Preview"},
        {PreviewEffects,
         "Show a print preview of the effect list for the current firework\nEffect List Preview"},
        {PreviewRacks,
         "Show a print preview of the rack list for the current firework\nRack List Preview"},
        {ZoomToFit, "Zoom to fit entire track in the wavetable\nZoom To Fit"},
        {SelectChain, "Select a chain of effects to insert at this position\nSelect Chain"},
        {RemoveChain, "Remove current chain from schedule\nRemove Chain"},
        {PreviewPods,
         "Show a print preview of the pod list for the current firework\nPod List Preview"},
        {PreviewChains,
         "Show a print preview of the chain list for the current firework\nChain List Preview"},
        {ReplaceItem, "Replace current item in selected ignitions\nReplace Item"},
        {ShowFrameDigits, "Show or hide the frame digits in the wavetable\nShow/Hide Frames"},
        {HideChained, "Hide chained effects in the firework schedule\nHide Chained Effects"},
        {IgnorePrefire, "Ignore the prefire value for this ignitions effect\nIgnore Prefire"},
        {DuplicateIgnition, "Duplicate the selected ignitions\nDuplicate Ignitions"},
    };
    return prompts;
}

}  // namespace

const std::vector<Menu>& MenuBarWithoutShow()
{
    static const std::vector<Menu> menus = BuildWithoutShow();
    return menus;
}

const std::vector<Menu>& MenuBarWithShow()
{
    static const std::vector<Menu> menus = BuildWithShow();
    return menus;
}

const std::vector<Menu>& ContextMenus()
{
    static const std::vector<Menu> menus = BuildContextMenus();
    return menus;
}

std::string CommandPromptText(int id)
{
    const auto it = Prompts().find(id);
    return it == Prompts().end() ? std::string() : it->second;
}

std::string CommandPrompt(int id)
{
    const std::string text = CommandPromptText(id);
    return text.substr(0, text.find('\n'));
}

std::string CommandToolTip(int id)
{
    const std::string text = CommandPromptText(id);
    const size_t cut = text.find('\n');
    return cut == std::string::npos ? std::string() : text.substr(cut + 1);
}

std::vector<std::string> ExtraShortcuts(int id)
{
    switch (id) {
    case cmd::EditCopy: return {"Ctrl+Ins"};
    case cmd::EditPaste: return {"Shift+Ins"};
    case cmd::EditCut: return {"Shift+Del"};
    case cmd::EditUndo: return {"Alt+Backspace"};
    case cmd::EditRedo: return {"Ctrl+Shift+Z"};
    case cmd::Help: return {"F1"};
    case cmd::ContextHelp: return {"Shift+F1"};
    default: return {};
    }
}

}  // namespace flr
