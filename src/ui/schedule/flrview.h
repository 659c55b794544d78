#pragma once

#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

#include "base/commandids.h"
#include "editing/scheduleeditor.h"
#include "editing/showclock.h"
#include "editing/showhistory.h"
#include "model/flrdoc.h"
#include "model/racktype.h"
#include "reports/reportrequest.h"

class QGroupBox;
class QLineEdit;
class QPushButton;
class QSlider;
class QTimer;
class QTreeWidget;

namespace flr {

class CDatabase;
class CScheduleList;
class CWaveTrack;

// The one view of a show: the music strip, the show clock controls, the firing schedule and
// the racks panel. It carries out the schedule's commands (through CScheduleEditor) and tells
// its frame the show's price and weight. Does not own the document.
class CFLRView : public QWidget, public CFLRDocObserver, public CCommandTarget {
    Q_OBJECT
public:
    explicit CFLRView(CFLRDoc& doc, QWidget* parent = nullptr);
    ~CFLRView() override;

    CFLRDoc& Doc() const { return m_doc; }
    CScheduleEditor& Editor() { return m_editor; }
    // The show's undo history; Undo and Redo run through RunCommand.
    CShowHistory& History() { return m_history; }
    CScheduleList* List() const { return m_list; }
    QLineEdit* TimeDisplay() const { return m_timeDisplay; }
    QSlider* Slider() const { return m_slider; }
    CWaveTrack* WaveTable() const { return m_waveTable; }
    QTreeWidget* RackTree() const { return m_rackTree; }
    int GetFrameRate() const { return m_doc.GetFrameRate(); }

    // The first showing: a setup for a show without one, the rows, the totals, the music.
    void InitialUpdate();
    // The show file's path (UTF-8; empty for a new show): a relative or moved music path is
    // found from it.
    void SetShowPath(const std::string& path) { m_showPath = path; }

    // The product database for the item cells' drop-downs and look-ups (not owned; nullptr
    // when it is not open).
    void SetDatabase(CDatabase* database);

    // Applies the text a cell editor ended with to the entry at `row` (the list's end of edit).
    void ApplyCellText(int row, int column, const QString& text);

    // What the database bar calls when an item is dropped on row `row`.
    CIgnition* AddIgnition(int row, CEffectRef item);
    bool ReplaceItem(int row, CEffectRef item);

    // Where the price and weight texts go (the child frame's panes).
    void SetStatusSink(std::function<void(const QString& price, const QString& weight)> sink)
    {
        m_statusSink = std::move(sink);
    }

    // Runs before a command that needs an item to be chosen (the item chooser); returns the
    // chosen item or none.
    void SetItemChooser(std::function<CEffectRef(const CEffectRef& current)> chooser)
    {
        m_chooseItem = std::move(chooser);
    }

    // Edits a setup in the "Firework Setup" dialog; true on OK.
    void SetSetupEditor(std::function<bool(CFireworkSetup& setup)> editor)
    {
        m_editSetup = std::move(editor);
    }
    // Opens the download of the show, handed the first entry of the firing order (or none).
    // "Check Show": runs the show check and shows its window.
    void SetShowChecker(std::function<void()> checker) { m_checkShow = std::move(checker); }
    void SetTransferRunner(std::function<void(CIgnition* firstFiring)> runner)
    {
        m_transfer = std::move(runner);
    }

    // The "Select rack type..." dialog: returns a copy of the chosen type, or none (cancelled,
    // or nothing chosen).
    void SetRackTypeChooser(std::function<std::optional<CRackType>()> chooser)
    {
        m_chooseRackType = std::move(chooser);
    }

    // "Select Chain"/"Edit Chain": runs the chain dialog on the show of `show`, on the chain of
    // `chainEntry` when it is one of the show's (edited in place), else on a new template,
    // which it returns after OK (nullptr otherwise).
    using ChainSelector =
        std::function<std::unique_ptr<CIgnition>(CScheduleEditor& show, CIgnition* chainEntry)>;
    void SetChainSelector(ChainSelector selector) { m_selectChain = std::move(selector); }

    // Previews or prints a report (the child frame fills in the show's title and owns the
    // printer); `preview` false is "&Print...".
    void SetReportRunner(std::function<void(ReportRequest& request, bool preview)> runner)
    {
        m_runReport = std::move(runner);
    }
    // The kind the last preview chose, which "&Print..." prints.
    int ReportKind() const { return m_reportKind; }
    // The report `kind` of the list as it stands.
    ReportRequest MakeReportRequest(int kind) const;

    // The Setup command: the setup dialog on the show's setup (a new show gets one whatever
    // the dialog's outcome); a change of frame rate re-times the whole show from its delays.
    void RunSetup();
    // The catalogue's items took new values (the database was read again, an item was edited):
    // In Times, price and bars follow them.
    void CatalogueChanged();

    bool RunCommand(int id) override;
    CommandState State(int id) const override;

    void OnDocumentUpdate(CFLRDoc& doc, int hint) override;

    const CShowClock& Clock() const { return m_clock; }
    // Tests drive time by hand; the program keeps the steady clock.
    void SetMsClock(MsClock clock) { m_clock.SetMsClock(std::move(clock)); }
    // Not owned; the wave table until a test hands in another.
    void SetPlayback(CShowPlayback* playback) { m_clock.SetPlayback(playback); }
    // What the clock's 20 ms timer runs: the time display, the slider and the rows reached.
    void OnClockTimer();

signals:
    void ContextMenuRequested(const QPoint& globalPos);
    // A right click on the wave table: its "Wave Table" pop-up is the frame's.
    void WaveMenuRequested(const QPoint& globalPos);
    // A passing note for the status bar.
    void StatusMessage(const QString& text);
    // The clock ran, paused or stopped: the frame's clock commands change with it, whether the
    // change came from a menu, a key or the transport buttons.
    void ClockStateChanged();
    // A right click on the rack tree: its pop-up menu is the frame's.
    void RackMenuRequested(const QPoint& globalPos);

private:
    void ApplySetup();
    void RederiveInTimes();
    void UpdateStatusTexts();
    void ToggleRacks();
    void AddRack();
    void RunClock();
    void PauseClock();
    void StopClock();
    void ResetClock();
    void MoveTimerHere(const std::vector<CIgnition*>& selected);
    // Copy's part of Copy and Cut: false when nothing was selected.
    bool CopySelection(const std::vector<CIgnition*>& selected);
    void Paste(const std::vector<CIgnition*>& selected);
    // Exactly these entries' rows become the selection; the first is focused and shown.
    void SelectEntries(const std::vector<CIgnition*>& entries);
    void SelectChain(const std::vector<CIgnition*>& selected);
    void OnSliderAction(int action);
    // Shows the clock's text, slider range and position, and the PLAY button's face.
    void ShowClockState();
    // The setup's track at the first showing; "Select Music Track"; "Deselect Current Track".
    void LoadStoredTrack();
    void SelectTrack();
    void DeselectTrack();
    // The strip's height and the slider's range follow the track.
    void ApplyTrackLayout(bool initial);

    CFLRDoc& m_doc;
    CDatabase* m_database = nullptr;
    CShowHistory m_history;
    CScheduleEditor m_editor;
    CShowClock m_clock;
    QTimer* m_clockTimer = nullptr;
    QLineEdit* m_timeDisplay = nullptr;
    QSlider* m_slider = nullptr;
    QPushButton* m_play = nullptr;
    QPushButton* m_rev = nullptr;
    QPushButton* m_stop = nullptr;
    QPushButton* m_ff = nullptr;
    CWaveTrack* m_waveTable = nullptr;
    QGroupBox* m_scheduleGroup = nullptr;
    QGroupBox* m_racksGroup = nullptr;
    CScheduleList* m_list = nullptr;
    QTreeWidget* m_rackTree = nullptr;
    bool m_racksVisible = true;
    bool m_initialised = false;
    std::string m_showPath;
    // The setup's music file as the strip last loaded or cleared it: an undo that gives the
    // setup another one reloads the strip.
    OptText m_trackShown;
    bool m_trackKnown = false;
    std::function<void(const QString&, const QString&)> m_statusSink;
    std::function<CEffectRef(const CEffectRef&)> m_chooseItem;
    std::function<bool(CFireworkSetup&)> m_editSetup;
    std::function<void(CIgnition*)> m_transfer;
    std::function<void()> m_checkShow;
    int m_shownClockState = 0;  // 0 stopped, 1 running, 2 paused, as last shown
    std::function<std::optional<CRackType>()> m_chooseRackType;
    std::function<void(ReportRequest&, bool)> m_runReport;
    ChainSelector m_selectChain;
    int m_reportKind = 4;  // the field list until a preview chooses
};

}  // namespace flr
