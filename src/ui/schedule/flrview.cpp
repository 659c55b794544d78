#include "ui/schedule/flrview.h"

#include <QClipboard>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QMimeData>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <tuple>
#include <unordered_set>

#include "base/prompt.h"
#include "base/textcodec.h"
#include "database/cellitems.h"
#include "editing/chaineditor.h"
#include "editing/cueclipboard.h"
#include "editing/intimechanges.h"
#include "editing/schedulecells.h"
#include "model/effectcatalogue.h"
#include "model/timecode.h"
#include "music/trackloader.h"
#include "reports/reportkind.h"
#include "ui/music/wavetrack.h"
#include "ui/schedule/schedulelist.h"

namespace flr {

namespace {

// The music strip's height without a track and with one.
constexpr int kStripHeight = 50;
constexpr int kStripHeightWithTrack = 150;

// The transport buttons' faces, drawn here rather than loaded.
QIcon TransportIcon(const QString& kind)
{
    QPixmap pixmap(20, 20);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 40, 40));
    auto triangle = [&p](double x, bool right) {
        QPainterPath path;
        if (right) {
            path.moveTo(x, 4);
            path.lineTo(x + 9, 10);
            path.lineTo(x, 16);
        } else {
            path.moveTo(x + 9, 4);
            path.lineTo(x, 10);
            path.lineTo(x + 9, 16);
        }
        path.closeSubpath();
        p.drawPath(path);
    };
    if (kind == QLatin1String("PLAY")) {
        triangle(6, true);
    } else if (kind == QLatin1String("PAUSE")) {
        p.drawRect(QRectF(5, 4, 3.5, 12));
        p.drawRect(QRectF(11.5, 4, 3.5, 12));
    } else if (kind == QLatin1String("STOP")) {
        p.drawRect(QRectF(5, 5, 10, 10));
    } else if (kind == QLatin1String("REV")) {
        triangle(1, false);
        triangle(9, false);
    } else if (kind == QLatin1String("FF")) {
        triangle(2, true);
        triangle(10, true);
    }
    return QIcon(pixmap);
}

QPushButton* TransportButton(const QString& kind, const QString& tip)
{
    auto* button = new QPushButton;
    button->setObjectName(kind + QStringLiteral("BUTTON"));
    button->setIcon(TransportIcon(kind));
    button->setIconSize(QSize(20, 20));
    button->setFixedSize(34, 30);
    button->setToolTip(tip);
    return button;
}

}  // namespace

CFLRView::CFLRView(CFLRDoc& doc, QWidget* parent)
    : QWidget(parent), m_doc(doc), m_history(doc), m_editor(doc), m_clock(doc)
{
    m_editor.SetHistory(&m_history);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(5, 5, 5, 5);
    layout->setSpacing(5);

    auto* top = new QGroupBox;
    auto* topLayout = new QVBoxLayout(top);
    topLayout->setContentsMargins(5, 10, 5, 3);
    auto* controls = new QHBoxLayout;
    m_timeDisplay = new QLineEdit(QStringLiteral("00:00:00:00"));
    m_timeDisplay->setObjectName(QStringLiteral("timeDisplay"));
    m_timeDisplay->setReadOnly(true);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(25);
    m_timeDisplay->setFont(font);
    m_timeDisplay->setAlignment(Qt::AlignCenter);
    m_timeDisplay->setFixedWidth(
        QFontMetrics(font).horizontalAdvance(QStringLiteral("00:00:00:00")) + 16);
    controls->addWidget(m_timeDisplay);
    controls->addSpacing(5);
    m_rev = TransportButton(QStringLiteral("REV"), tr("Rewind"));
    m_stop = TransportButton(QStringLiteral("STOP"), tr("Stop"));
    m_play = TransportButton(QStringLiteral("PLAY"), tr("Play"));
    m_ff = TransportButton(QStringLiteral("FF"), tr("Fast forward"));
    m_rev->setEnabled(false);
    m_ff->setEnabled(false);
    for (QPushButton* b : {m_rev, m_stop, m_play, m_ff}) controls->addWidget(b);
    controls->addSpacing(5);
    m_slider = new QSlider(Qt::Horizontal);
    m_slider->setObjectName(QStringLiteral("positionSlider"));
    controls->addWidget(m_slider, 1);
    // The time display never keeps the focus; the keys move the slider instead.
    m_timeDisplay->setFocusProxy(m_slider);
    topLayout->addLayout(controls);
    m_waveTable = new CWaveTrack(m_doc, [this] { return m_clock.GetPositionMs(); });
    m_waveTable->setFixedHeight(kStripHeight);
    m_clock.SetPlayback(m_waveTable);
    connect(m_waveTable, &CWaveTrack::ContextMenuRequested, this, &CFLRView::WaveMenuRequested);
    topLayout->addWidget(m_waveTable);
    layout->addWidget(top);

    auto* bottom = new QHBoxLayout;
    bottom->setSpacing(5);
    m_scheduleGroup = new QGroupBox(tr("Firing Schedule"));
    auto* scheduleLayout = new QVBoxLayout(m_scheduleGroup);
    scheduleLayout->setContentsMargins(5, 15, 5, 5);
    m_list = new CScheduleList(m_editor);
    scheduleLayout->addWidget(m_list);
    bottom->addWidget(m_scheduleGroup, 1);
    m_racksGroup = new QGroupBox(tr("Firework Racks"));
    m_racksGroup->setFixedWidth(175);
    auto* racksLayout = new QVBoxLayout(m_racksGroup);
    racksLayout->setContentsMargins(5, 15, 5, 5);
    m_rackTree = new QTreeWidget;
    m_rackTree->setObjectName(QStringLiteral("rackTree"));
    m_rackTree->setHeaderHidden(true);
    m_rackTree->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_rackTree, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        emit RackMenuRequested(m_rackTree->viewport()->mapToGlobal(at));
    });
    racksLayout->addWidget(m_rackTree);
    bottom->addWidget(m_racksGroup);
    layout->addLayout(bottom, 1);

    connect(m_list, &CScheduleList::ContextMenuRequested, this, &CFLRView::ContextMenuRequested);
    connect(m_list, &CScheduleList::CellEdited, this, &CFLRView::ApplyCellText);
    connect(m_list, &CScheduleList::RowDropped, this, [this](int from, int to) {
        CIgnition* e = m_list->Model()->EntryAt(from);
        // The editor notifies the document, whose notice rebuilds the list and the totals.
        if (m_editor.MoveRow(e, to)) m_list->SelectEntry(e);
    });

    m_clockTimer = new QTimer(this);
    m_clockTimer->setObjectName(QStringLiteral("showClockTimer"));
    connect(m_clockTimer, &QTimer::timeout, this, &CFLRView::OnClockTimer);
    connect(m_play, &QPushButton::clicked, this, [this] {
        if (m_clock.IsRunning() && !m_clock.IsPaused()) {
            PauseClock();
        } else {
            RunClock();
        }
    });
    connect(m_stop, &QPushButton::clicked, this, &CFLRView::StopClock);
    connect(m_slider, &QAbstractSlider::actionTriggered, this, &CFLRView::OnSliderAction);
    connect(m_slider, &QAbstractSlider::sliderReleased, this, [this] { m_clock.SliderReleased(); });
    m_doc.AddObserver(this);
    m_history.SetSelectionHooks(
        [this] { return m_list->Selected(); },
        [this](const std::vector<CIgnition*>& entries) { SelectEntries(entries); });
}

CFLRView::~CFLRView()
{
    m_clock.SetPlayback(nullptr);
    m_doc.RemoveObserver(this);
}

void CFLRView::InitialUpdate()
{
    if (m_initialised) return;
    m_initialised = true;
    m_list->Refresh();
    if (!m_doc.GetSetup()) {
        RunSetup();  // a new show: its setup is asked for on first showing
        m_history.Clear(true);
    }
    ApplySetup();
    LoadStoredTrack();
    if (const CFireworkSetup* setup = m_doc.GetSetup()) m_trackShown = setup->GetMusicFile();
    m_trackKnown = true;
}

void CFLRView::LoadStoredTrack()
{
    const CFireworkSetup* setup = m_doc.GetSetup();
    if (!setup || !setup->GetMusicFile() || setup->GetMusicFile()->empty()) return;
    const std::string stored = Cp1252ToUtf8(*setup->GetMusicFile());
    const TrackLocation location = LocateTrack(stored, m_showPath);
    const TrackLoadResult result = m_waveTable->LoadTrack(location.path);
    if (result.loaded && (result.pickedAnother || location.foundNextToShow)) {
        // The show remembers where its music is now, once it is saved.
        m_doc.GetSetup()->SetMusicFile(Utf8ToCp1252(result.path));
        m_doc.SetModifiedFlag(true);
    }
    if (result.loaded && location.foundNextToShow && !result.pickedAnother) {
        ShowMessage("The music track \"" + stored + "\" is not there any more.\n\nFLR plays \"" +
                        result.path + "\", found next to the show, instead.",
                    "Music track moved", PromptButtons::Ok);
    }
    if (result.loaded || !m_waveTable->HasTrack()) ApplyTrackLayout(true);
}

void CFLRView::SelectTrack()
{
    if (m_clock.IsRunning()) return;
    CHistoryStep step(&m_history, "Select Music Track");
    const TrackLoadResult result = m_waveTable->LoadTrack(std::nullopt);
    if (result.loaded) {
        if (CFireworkSetup* setup = m_doc.GetSetup()) {
            setup->SetMusicFile(Utf8ToCp1252(result.path));
            m_trackShown = setup->GetMusicFile();
            m_doc.SetModifiedFlag(true);
        }
        m_clock.Reset();
    }
    ApplyTrackLayout(false);
}

void CFLRView::DeselectTrack()
{
    if (m_clock.IsRunning() || !m_waveTable->HasTrack()) return;
    CHistoryStep step(&m_history, "Deselect Track");
    m_waveTable->ClearTrack();
    if (CFireworkSetup* setup = m_doc.GetSetup()) {
        setup->SetMusicFile(std::string());
        m_trackShown = setup->GetMusicFile();
        m_doc.SetModifiedFlag(true);
    }
    ApplyTrackLayout(false);
}

void CFLRView::ApplyTrackLayout(bool initial)
{
    m_waveTable->setFixedHeight(m_waveTable->HasTrack() ? kStripHeightWithTrack : kStripHeight);
    if (m_waveTable->HasTrack()) {
        const int frameMs = 1000 / std::clamp(m_doc.GetFrameRate(), 1, 255);
        m_clock.SetSliderMaximum(int(m_waveTable->GetTrackLengthMs() / frameMs) +
                                 (initial ? 1 : 0));
    } else if (const CFireworkSetup* setup = m_doc.GetSetup()) {
        m_clock.SetSliderMaximum(setup->GetEstimatedLength());
    }
    ShowClockState();
    m_waveTable->update();
    if (m_waveTable->HasTrack() && m_waveTable->IsSilent()) {
        emit StatusMessage(tr("No sound output: the music track shows and the clock keeps time."));
    }
}

void CFLRView::RunSetup()
{
    const bool isNew = m_doc.GetSetup() == nullptr;
    auto edited = isNew ? std::make_unique<CFireworkSetup>()
                        : std::make_unique<CFireworkSetup>(*m_doc.GetSetup());
    const bool ok = m_editSetup && m_editSetup(*edited);
    if (!ok && !isNew) return;
    m_editor.ApplySetup(std::move(edited));
}

void CFLRView::ApplySetup()
{
    const CFireworkSetup* setup = m_doc.GetSetup();
    if (!setup) return;
    if (m_trackKnown && setup->GetMusicFile() != m_trackShown) {
        // An undo or redo gave the setup another track.
        m_waveTable->ClearTrack();
        LoadStoredTrack();
        m_trackShown = m_doc.GetSetup()->GetMusicFile();
    }
    ApplyTrackLayout(false);
    RederiveInTimes();
    UpdateStatusTexts();
}

void CFLRView::CatalogueChanged()
{
    RederiveInTimes();
    UpdateStatusTexts();
    m_clock.ShowChanged(m_list->Model()->Rows());
    m_waveTable->ShowChanged();
}

void CFLRView::RederiveInTimes()
{
    const CFireworkSetup* setup = m_doc.GetSetup();
    if (!setup) return;
    const bool modified = m_doc.IsModified();
    const CInTimeSnapshot before(m_doc);
    m_list->SetPrefireOff(setup->GetPrefireOff());
    // Deriving the same In Times again changes nothing real; other prefires do.
    const std::string changes = before.ChangesNote(m_doc);
    m_doc.SetModifiedFlag(modified || !changes.empty());
    Note(changes);
}

void CFLRView::UpdateStatusTexts()
{
    if (m_statusSink) {
        m_statusSink(QString::fromStdString(PriceText(m_doc)),
                     QString::fromStdString(WeightText(m_doc)));
    }
}

void CFLRView::SetDatabase(CDatabase* database)
{
    m_database = database;
    m_list->SetDatabase(database);
}

void CFLRView::ApplyCellText(int row, int column, const QString& text)
{
    CIgnition* e = m_list->Model()->EntryAt(row);
    if (!e) return;
    const std::string bytes = Utf8ToCp1252(text.toStdString());
    const auto kind = static_cast<ScheduleColumn>(column);
    // A change notifies the document: the list, the modified flag and the totals follow.
    switch (kind) {
    case ScheduleColumn::Size:
    case ScheduleColumn::ArtNo:
    case ScheduleColumn::Name:
        m_editor.ApplyCellItem(
            e, ItemForCellText(m_database, CEffectCatalogue::Program(), kind, bytes));
        break;
    case ScheduleColumn::Note: m_editor.ApplyNote(e, bytes); break;
    case ScheduleColumn::Delay: m_editor.ApplyDelay(e, bytes); break;
    case ScheduleColumn::Time: m_editor.ApplyTime(e, bytes); break;
    case ScheduleColumn::InTime: m_editor.ApplyInTime(e, bytes); break;
    case ScheduleColumn::Addr: m_editor.ApplyAddress(e, bytes); break;
    case ScheduleColumn::Pos: m_editor.ApplyPosition(e, bytes); break;
    default: return;
    }
    m_list->Model()->Redraw();
}

CIgnition* CFLRView::AddIgnition(int row, CEffectRef item)
{
    CIgnition* e = m_editor.AddIgnition(row, std::move(item), m_timeDisplay->text().toStdString());
    m_list->SelectEntry(e);
    return e;
}

bool CFLRView::ReplaceItem(int row, CEffectRef item)
{
    // The editor notifies the document, whose notice rebuilds the list and the totals.
    return m_editor.ReplaceItem(m_list->Model()->EntryAt(row), item);
}

void CFLRView::ToggleRacks()
{
    m_racksVisible = !m_racksVisible;
    m_racksGroup->setVisible(m_racksVisible);
}

void CFLRView::AddRack()
{
    if (!m_chooseRackType) return;
    // The chosen type lives only for this step; the show itself gets nothing.
    const std::optional<CRackType> type = m_chooseRackType();
    if (!type) return;
    auto text = [](const std::string& bytes) {
        return QString::fromStdString(Cp1252ToUtf8(bytes));
    };
    auto* rack = new QTreeWidgetItem(m_rackTree, {text(RackNodeText(0, *type))});
    for (int16_t value : type->positions) {
        new QTreeWidgetItem(rack, {text(RackPositionText(value))});
    }
}

bool CFLRView::RunCommand(int id)
{
    const std::vector<CIgnition*> selected = m_list->Selected();
    switch (id) {
    case cmd::AddIgnition: AddIgnition(-1, {}); return true;
    case cmd::EditCopy: CopySelection(selected); return true;
    case cmd::EditCut:
        if (CopySelection(selected)) {
            CHistoryStep step(&m_history, "Cut");
            m_editor.DeleteIgnitions(selected, false);
        }
        return true;
    case cmd::EditPaste: Paste(selected); return true;
    case cmd::EditUndo: m_history.Undo(); return true;
    case cmd::EditRedo: m_history.Redo(); return true;
    case cmd::DeleteIgnition: m_editor.DeleteIgnitions(selected); break;
    case cmd::EditClear: {
        CHistoryStep step(&m_history, "Clear");
        m_editor.DeleteIgnitions(selected);
        break;
    }
    case cmd::EditSelectAll: m_list->selectAll(); return true;
    case cmd::DuplicateIgnition: m_editor.Duplicate(selected); break;
    case cmd::SelectItem: {
        if (selected.empty() || !m_chooseItem) return true;
        const CEffectRef current =
            selected.size() == 1 ? selected.front()->GetItemRef() : CEffectRef();
        const CEffectRef chosen = m_chooseItem(current);
        if (chosen) m_editor.ApplyChosenItem(selected, chosen);
        break;
    }
    case cmd::RemoveItem: m_editor.RemoveItems(selected); break;
    case cmd::IgnorePrefire: m_editor.ToggleIgnorePrefire(selected); break;
    case cmd::HideChained: m_list->SetShowChained(!m_editor.ShowChained()); return true;
    case cmd::RemoveChain:
        if (!selected.empty()) m_editor.RemoveChain(selected.front());
        break;
    case cmd::SelectChain: SelectChain(selected); return true;
    case cmd::Racks: ToggleRacks(); return true;
    case cmd::AddRack: AddRack(); return true;
    case cmd::Run: RunClock(); return true;
    case cmd::Pause: PauseClock(); return true;
    case cmd::Stop: StopClock(); return true;
    case cmd::ResetTimer: ResetClock(); return true;
    case cmd::MoveTimerHere: MoveTimerHere(selected); return true;
    case cmd::ShowSetup: RunSetup(); return true;
    case cmd::SelectMusic: SelectTrack(); return true;
    case cmd::DeselectTrack: DeselectTrack(); return true;
    case cmd::ZoomIn: m_waveTable->ZoomIn(); return true;
    case cmd::ZoomOut: m_waveTable->ZoomOut(); return true;
    case cmd::ZoomToFit: m_waveTable->ZoomToFit(); return true;
    case cmd::ShowFrameDigits: m_waveTable->ToggleFrameDigits(); return true;
    case cmd::CheckShow:
        if (m_checkShow) m_checkShow();
        return true;
    case cmd::Transfer:
        if (m_transfer) m_transfer(m_doc.FirstFiring());
        return true;
    case cmd::FilePrint:
        if (m_runReport) {
            ReportRequest request = MakeReportRequest(PrintableReportKind(m_reportKind));
            m_runReport(request, false);
        }
        return true;
    case cmd::PreviewComplete:
    case cmd::PreviewEffects:
    case cmd::PreviewFieldList:
    case cmd::PreviewShootList:
    case cmd::PreviewPods:
    case cmd::PreviewChains:
        m_reportKind = ReportKindOfCommand(id);
        if (m_runReport) {
            ReportRequest request = MakeReportRequest(m_reportKind);
            m_runReport(request, true);
        }
        return true;
    default: return false;
    }
    return true;
}

CommandState CFLRView::State(int id) const
{
    CommandState s = m_editor.State(id, m_list->Selected(), m_list->hasFocus());
    switch (id) {
    case cmd::EditCopy:
    case cmd::EditCut: s.enabled = !m_list->Selected().empty(); break;
    // Whatever the Clipboard holds: what is not ours is refused with a word why.
    case cmd::EditPaste: s.enabled = true; break;
    case cmd::EditUndo:
        s.enabled = m_history.CanUndo() && !m_history.Recording();
        s.text = s.enabled ? "Undo " + m_history.UndoName() : "Undo";
        break;
    case cmd::EditRedo:
        s.enabled = m_history.CanRedo() && !m_history.Recording();
        s.text = s.enabled ? "Redo " + m_history.RedoName() : "Redo";
        break;
    case cmd::Racks: s.checked = m_racksVisible; break;
    case cmd::SelectItem: s.enabled = s.enabled && m_chooseItem != nullptr; break;
    case cmd::Transfer: s.enabled = m_transfer && m_list->Model()->rowCount() > 0; break;
    case cmd::CheckShow: s.enabled = m_checkShow != nullptr; break;
    case cmd::AddRack: s.enabled = m_chooseRackType != nullptr; break;
    case cmd::ResetTimer: s.enabled = !m_clock.IsRunning() || m_clock.IsPaused(); break;
    case cmd::Run: s.enabled = !m_clock.IsRunning() || m_clock.IsPaused(); break;
    case cmd::Pause: s.enabled = m_clock.IsRunning() && !m_clock.IsPaused(); break;
    case cmd::Stop: s.enabled = m_clock.IsRunning(); break;
    case cmd::MoveTimerHere:
        s.enabled = !m_clock.IsRunning() && m_list->Selected().size() == 1;
        break;
    case cmd::SelectChain: s.enabled = s.enabled && m_selectChain != nullptr; break;
    case cmd::SelectMusic: s.enabled = !m_clock.IsRunning(); break;
    case cmd::DeselectTrack: s.enabled = !m_clock.IsRunning() && m_waveTable->HasTrack(); break;
    case cmd::ZoomIn: s.enabled = m_waveTable->CanZoomIn(); break;
    case cmd::ZoomOut: s.enabled = true; break;
    case cmd::ZoomToFit:
        s.enabled = true;
        s.text = m_waveTable->HasTrack() ? "Zoom To Fit Track" : "Zoom To Fit Firework";
        break;
    case cmd::ShowFrameDigits:
        s.enabled = true;
        s.checked = m_waveTable->FrameDigits();
        break;
    case cmd::FilePrint:
        s.enabled = m_runReport && ReportAvailable(report::FieldList, m_list->Model()->Rows());
        break;
    case cmd::PreviewComplete:
    case cmd::PreviewEffects:
    case cmd::PreviewFieldList:
    case cmd::PreviewShootList:
    case cmd::PreviewPods:
    case cmd::PreviewChains:
        s.enabled =
            m_runReport && ReportAvailable(ReportKindOfCommand(id), m_list->Model()->Rows());
        break;
    default: break;
    }
    return s;
}

ReportRequest CFLRView::MakeReportRequest(int kind) const
{
    ReportRequest request;
    request.kind = kind;
    request.source.doc = &m_doc;
    request.source.rows = m_list->Model()->Rows();
    // The report's lines look like the list's rows: its row height, its full width, its font.
    ListGeometry& list = request.list;
    list.font = m_list->font();
    const QFontMetrics metrics(list.font);
    list.lineHeight = m_list->verticalHeader()->defaultSectionSize();
    if (m_list->Model()->rowCount() > 0) list.lineHeight = m_list->rowHeight(0);
    list.rowWidth = m_list->horizontalHeader()->length();
    list.charWidth = std::max(1, metrics.averageCharWidth());
    list.screenDpiY = std::max(1, m_list->logicalDpiY());
    list.fontPixelHeight = std::max(1, QFontInfo(list.font).pixelSize());
    return request;
}

void CFLRView::OnDocumentUpdate(CFLRDoc&, int hint)
{
    if (hint == CFLRDoc::kHintSetup) {
        ApplySetup();
    } else {
        // Rows may have gone with the change: rebuild them before anything paints.
        m_list->Refresh();
        UpdateStatusTexts();
    }
    // The awaited entry may have been destroyed: the clock looks for it again.
    m_clock.ShowChanged(m_list->Model()->Rows());
    m_waveTable->ShowChanged();
}

void CFLRView::ShowClockState()
{
    m_timeDisplay->setText(QString::fromStdString(m_clock.DisplayText()));
    if (m_slider->maximum() != m_clock.SliderMaximum()) {
        m_slider->setRange(0, m_clock.SliderMaximum());
    }
    m_slider->setValue(m_clock.SliderPosition());
    const bool pauseFace = m_clock.IsRunning() && !m_clock.IsPaused();
    if (pauseFace != m_play->property("pauseFace").toBool()) {
        m_play->setProperty("pauseFace", pauseFace);
        m_play->setIcon(
            TransportIcon(pauseFace ? QStringLiteral("PAUSE") : QStringLiteral("PLAY")));
    }
    const int state = m_clock.IsRunning() ? (m_clock.IsPaused() ? 2 : 1) : 0;
    if (state != m_shownClockState) {
        m_shownClockState = state;
        emit ClockStateChanged();
    }
}

void CFLRView::RunClock()
{
    if (m_clock.IsRunning() && !m_clock.IsPaused()) return;
    if (m_clock.Run(m_list->Model()->Rows())) m_list->clearSelection();
    m_clockTimer->start(20);
    ShowClockState();
}

void CFLRView::PauseClock()
{
    if (!m_clock.IsRunning() || m_clock.IsPaused()) return;
    m_clock.Pause();
    m_slider->setFocus();
    ShowClockState();
}

void CFLRView::StopClock()
{
    // The timer keeps running; its ticks do nothing until the next Run.
    m_clock.Stop();
    ShowClockState();
}

void CFLRView::ResetClock()
{
    // A paused clock is reset as a stopped one: back to the start, ready to run.
    if (m_clock.IsPaused()) m_clock.Stop();
    m_clock.Reset();
    ShowClockState();
}

void CFLRView::SelectChain(const std::vector<CIgnition*>& selected)
{
    if (!m_selectChain || selected.empty()) return;
    CIgnition* only = selected.size() == 1 ? selected.front() : nullptr;
    if (only && (only->GetChainPrev() || only->GetChainNext())) {
        // The selected effect may be removed in the dialog; its chain's head never is.
        CIgnition* head = only->ChainHead();
        // A chain looked at and left as it was must not ask to be saved.
        auto chainState = [head] {
            std::vector<std::tuple<const CIgnition*, const CEffect*, OptText, CTimeCode, CTimeCode,
                                   char, uint8_t, uint8_t, OptText>>
                state;
            for (const CIgnition* e = head; e; e = e->GetChainNext()) {
                state.emplace_back(e, e->GetItem(), e->GetDelayText(), e->GetTime(), e->GetInTime(),
                                   e->GetLetter(), e->GetAddressNumber(), e->GetPosition(),
                                   e->GetNote());
            }
            return state;
        };
        // The whole dialog is one step; one that changed nothing leaves no trace.
        CHistoryStep step(&m_history, "Edit Chain");
        const bool wasModified = m_doc.IsModified();
        const auto before = chainState();
        m_selectChain(m_editor, only);
        FinishChainEdit(m_editor, head);
        if (!wasModified && chainState() == before) m_doc.SetModifiedFlag(false);
        return;
    }
    // The template is destroyed when this returns, applied or not.
    const std::unique_ptr<CIgnition> chain = m_selectChain(m_editor, nullptr);
    CHistoryStep step(&m_history, "Select Chain");
    if (chain) ApplyChainToSelection(m_editor, selected, *chain);
}

bool CFLRView::CopySelection(const std::vector<CIgnition*>& selected)
{
    const CueClip clip = CopyCues(m_doc, selected);
    if (clip.count == 0) return false;
    auto* data = new QMimeData;
    data->setData(QString::fromLatin1(kCueMimeType),
                  QByteArray(clip.bytes.data(), qsizetype(clip.bytes.size())));
    data->setText(QString::fromStdString(clip.text));
    QGuiApplication::clipboard()->setMimeData(data);
    return true;
}

void CFLRView::Paste(const std::vector<CIgnition*>& selected)
{
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    const QString type = QString::fromLatin1(kCueMimeType);
    if (!data || !data->hasFormat(type)) {
        ShowMessage("The Clipboard holds no cues: only cues copied in FLR can be pasted.", "Paste",
                    PromptButtons::Ok, PromptIcon::Information);
        return;
    }
    const QByteArray bytes = data->data(type);
    const int row = selected.empty() ? -1 : m_list->Model()->RowOf(selected.front());
    const std::vector<CIgnition*> pasted =
        PasteCues(m_editor, std::string_view(bytes.constData(), size_t(bytes.size())), row,
                  m_timeDisplay->text().toStdString(), CEffectCatalogue::Program());
    if (!pasted.empty()) SelectEntries(pasted);
}

void CFLRView::SelectEntries(const std::vector<CIgnition*>& entries)
{
    // One walk of the rows and one selection of ranges: an undo may give back thousands.
    const std::unordered_set<const CIgnition*> wanted(entries.begin(), entries.end());
    const std::vector<CIgnition*>& rows = m_list->Model()->Rows();
    CScheduleModel* model = m_list->Model();
    QItemSelection selection;
    int start = -1;
    int firstRow = -1;
    for (int r = 0; r <= int(rows.size()); ++r) {
        const bool in = r < int(rows.size()) && wanted.count(rows[r]) > 0;
        if (in && start < 0) start = r;
        if (in && firstRow < 0) firstRow = r;
        if (!in && start >= 0) {
            selection.select(model->index(start, 0), model->index(r - 1, 0));
            start = -1;
        }
    }
    m_list->selectionModel()->select(
        selection, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    if (firstRow < 0) return;
    m_list->selectionModel()->setCurrentIndex(model->index(firstRow, 0),
                                              QItemSelectionModel::NoUpdate);
    m_list->scrollTo(model->index(firstRow, 0));
}

void CFLRView::MoveTimerHere(const std::vector<CIgnition*>& selected)
{
    if (selected.size() != 1) return;
    m_clock.MoveTimerHere(*selected.front());
    ShowClockState();
}

void CFLRView::OnSliderAction(int action)
{
    if (action == QAbstractSlider::SliderNoAction) return;
    m_clock.SliderMoved(m_slider->sliderPosition());
    ShowClockState();
    // Only a drag holds the clock until the mouse lets go; a key or a page click is over
    // at once, and no release would follow it.
    if (!m_slider->isSliderDown()) m_clock.SliderReleased();
}

void CFLRView::OnClockTimer()
{
    const std::vector<CIgnition*>& rows = m_list->Model()->Rows();
    const ClockTick tick = m_clock.Tick(rows);
    if (!tick.newFrame) return;
    ShowClockState();
    if (tick.selectRows.empty() && tick.nextIgnitionRow < 0) return;
    CScheduleModel* model = m_list->Model();
    for (int row : tick.selectRows) {
        m_list->selectionModel()->select(model->index(row, 0),
                                         QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    if (tick.scrollToRow >= 0) {
        m_list->scrollTo(model->index(tick.scrollToRow, 0));
        m_list->viewport()->update();
    }
    if (tick.nextIgnitionRow >= 0) m_list->scrollTo(model->index(tick.nextIgnitionRow, 0));
}

}  // namespace flr
