#include "ui/transfer/transferdialog.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace flr {

namespace {

QString FromUtf8(const std::string& text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

void FillList(QComboBox* list, const std::vector<std::string>& items, int selected)
{
    const QSignalBlocker blocker(list);
    list->clear();
    for (const std::string& item : items) list->addItem(FromUtf8(item));
    list->setCurrentIndex(selected);
}

}  // namespace

CTransferDialog::CTransferDialog(CIgnition* first, const CPortMap& ports, QWidget* parent,
                                 CTickClock* clock)
    : QDialog(parent), m_portMap(ports), m_clock(clock ? *clock : m_steadyClock)
{
    setWindowTitle(QStringLiteral("Transfering \"Firework\""));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    m_portList = new QComboBox;
    m_portList->setObjectName(QStringLiteral("portList"));
    m_bankList = new QComboBox;
    m_bankList->setObjectName(QStringLiteral("bankList"));
    // Wide enough for "COM4" and for a bank number, like fixed-width drop-down lists.
    const int listWidth = fontMetrics().horizontalAdvance(QStringLiteral("COM44")) + 40;
    m_portList->setMinimumWidth(listWidth);
    m_bankList->setMinimumWidth(listWidth);
    auto* portLabel = new QLabel(QStringLiteral("Port :"));
    portLabel->setBuddy(m_portList);
    auto* bankLabel = new QLabel(QStringLiteral("Bankselect :"));
    bankLabel->setBuddy(m_bankList);

    m_status = new QLabel;
    m_status->setTextFormat(Qt::PlainText);  // it shows outside text as typed
    m_status->setObjectName(QStringLiteral("statusText"));
    // A long status must not widen the window while the download runs.
    m_status->setMinimumWidth(fontMetrics().horizontalAdvance(
        QStringLiteral("Select bank and port and press \"Download\" ...")));
    m_progress = new QProgressBar;
    m_progress->setRange(0, 100);
    m_progress->setValue(0);
    m_progress->setTextVisible(false);
    m_percent = new QLabel;
    m_percent->setObjectName(QStringLiteral("percentText"));
    m_percent->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_percent->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("1000%")));

    m_download = new QPushButton(QStringLiteral("Download"));
    m_download->setDefault(true);
    m_cancel = new QPushButton(QStringLiteral("Cancel"));

    auto* lists = new QGridLayout;
    lists->addWidget(portLabel, 0, 0);
    lists->addWidget(m_portList, 0, 1);
    lists->addWidget(bankLabel, 1, 0);
    lists->addWidget(m_bankList, 1, 1);
    lists->setColumnStretch(2, 1);

    auto* progress = new QHBoxLayout;
    progress->addWidget(m_progress, 1);
    progress->addWidget(m_percent);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_download);
    buttons->addWidget(m_cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(lists);
    layout->addSpacing(6);
    layout->addWidget(m_status);
    layout->addLayout(progress);
    layout->addSpacing(6);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    m_watchdog.setTimerType(Qt::CoarseTimer);
    connect(&m_watchdog, &QTimer::timeout, this, &CTransferDialog::OnWatchdog);
    connect(m_download, &QPushButton::clicked, this,
            [this] { WithEngine([](CTransferEngine& e) { e.Download(); }); });
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    // The engine reads the item the user settled on whenever a list closes on one.
    connect(m_portList, &QComboBox::activated, this, [this](int index) {
        const std::string item = m_portList->itemText(index).toStdString();
        WithEngine([&item](CTransferEngine& e) { e.SelectPortItem(item); });
    });
    connect(m_bankList, &QComboBox::activated, this, [this](int index) {
        const std::string item = m_bankList->itemText(index).toStdString();
        WithEngine([&item](CTransferEngine& e) { e.SelectBankItem(item); });
    });

    CTransferObserver& observer = *this;
    CWatchdogTimer& timer = *this;
    m_engine = std::make_unique<CTransferEngine>(first, m_portMap, observer, m_clock, timer);
    // Before any port runs: a monitor thread that posts a notification queues the drain here.
    m_engine->Mailbox().SetPostedHook([this] {
        if (!m_drainQueued.exchange(true)) {
            QMetaObject::invokeMethod(this, &CTransferDialog::DrainMailbox, Qt::QueuedConnection);
        }
    });
    WithEngine([](CTransferEngine& e) { e.Start(); });
}

CTransferDialog::~CTransferDialog()
{
    // The ports' monitor threads call back into this object: they end before it does.
    m_engine.reset();
}

template <typename Call>
void CTransferDialog::WithEngine(Call call)
{
    // The engine's question ("Communications Failure") runs an event loop; a call arriving
    // from that loop would re-enter the engine in the middle of its step: it waits.
    if (!m_engine || m_engineCalls > 0) return;
    ++m_engineCalls;
    call(*m_engine);
    --m_engineCalls;
    if (m_releaseEngine) {
        m_engine.reset();
        return;
    }
    // Notifications that came while the engine was busy are handled next.
    if (m_drainDeferred) {
        m_drainDeferred = false;
        QMetaObject::invokeMethod(this, &CTransferDialog::DrainMailbox, Qt::QueuedConnection);
    }
}

void CTransferDialog::DrainMailbox()
{
    m_drainQueued.store(false);
    if (m_engineCalls > 0) {
        m_drainDeferred = true;
        return;
    }
    WithEngine([](CTransferEngine& e) { e.Mailbox().Dispatch(std::chrono::milliseconds(0)); });
}

void CTransferDialog::OnWatchdog()
{
    const unsigned id = m_watchdogId;
    WithEngine([id](CTransferEngine& e) { e.OnTimer(id); });
}

void CTransferDialog::done(int result)
{
    m_watchdog.stop();
    m_watchdogId = 0;
    if (m_engineCalls > 0) {
        m_releaseEngine = true;  // WithEngine lets it go once the engine's call returns
    } else {
        m_engine.reset();
    }
    QDialog::done(result);
}

void CTransferDialog::OnStatusText(const std::string& text) { m_status->setText(FromUtf8(text)); }

void CTransferDialog::OnPercentText(const std::string& text) { m_percent->setText(FromUtf8(text)); }

void CTransferDialog::OnProgress(int percent) { m_progress->setValue(percent); }

void CTransferDialog::OnPortList(const std::vector<std::string>& items, int selected)
{
    FillList(m_portList, items, selected);
    // Which device stands behind each port, as the settings or the machine map it.
    for (int i = 0; i < m_portList->count(); ++i) {
        const QString text = m_portList->itemText(i);
        const unsigned number = text.mid(3).toUInt();
        if (const auto device = m_portMap.DevicePath(number)) {
            m_portList->setItemData(i, FromUtf8(*device), Qt::ToolTipRole);
        }
    }
}

void CTransferDialog::OnBankList(const std::vector<std::string>& items, int selected)
{
    FillList(m_bankList, items, selected);
}

void CTransferDialog::OnDownloadEnabled(bool enabled) { m_download->setEnabled(enabled); }

void CTransferDialog::OnPortListEnabled(bool enabled) { m_portList->setEnabled(enabled); }

void CTransferDialog::OnBankListEnabled(bool enabled) { m_bankList->setEnabled(enabled); }

void CTransferDialog::OnClose() { accept(); }

void CTransferDialog::Start(unsigned id, uint32_t periodMs)
{
    m_watchdogId = id;
    m_watchdog.start(static_cast<int>(periodMs));
}

void CTransferDialog::Kill(unsigned id)
{
    if (id != m_watchdogId) return;
    m_watchdog.stop();
    m_watchdogId = 0;
}

}  // namespace flr
