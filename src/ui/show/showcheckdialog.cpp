#include "ui/show/showcheckdialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "base/textcodec.h"

namespace flr {

namespace {

QString SummaryText(const ShowCheckResult& r, CShowCheckDialog::Purpose purpose)
{
    if (r.findings.empty()) {
        return QStringLiteral("No errors and no warnings: the show is ready for download.");
    }
    const QString counts = QString::fromStdString(FindingSummary(r));
    if (r.HasErrors()) {
        return counts + QStringLiteral(
                            ": the show cannot be downloaded until the errors are mended. "
                            "Double-click a line to select its cue.");
    }
    return purpose == CShowCheckDialog::Purpose::BeforeDownload
               ? counts + QStringLiteral(": download anyway?")
               : counts + QStringLiteral(": the show may be downloaded.");
}

}  // namespace

CShowCheckDialog::CShowCheckDialog(ShowCheckResult result, Purpose purpose, QWidget* parent)
    : QDialog(parent), m_result(std::move(result))
{
    // What refuses the download comes first.
    std::stable_partition(
        m_result.findings.begin(), m_result.findings.end(),
        [](const ShowFinding& f) { return f.severity == FindingSeverity::Error; });
    setWindowTitle(QStringLiteral("Show Check"));
    auto* layout = new QVBoxLayout(this);
    m_summary = new QLabel(SummaryText(m_result, purpose));
    m_summary->setWordWrap(true);
    m_summary->setTextFormat(Qt::PlainText);
    layout->addWidget(m_summary);

    m_list = new QTreeWidget;
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setAlternatingRowColors(true);
    m_list->setHeaderLabels({QStringLiteral(""), QStringLiteral("IP"), QStringLiteral("Addr"),
                             QStringLiteral("Time"), QStringLiteral("Finding")});
    const QIcon errorIcon = style()->standardIcon(QStyle::SP_MessageBoxCritical);
    const QIcon warningIcon = style()->standardIcon(QStyle::SP_MessageBoxWarning);
    QList<QTreeWidgetItem*> items;
    for (const ShowFinding& f : m_result.findings) {
        const bool error = f.severity == FindingSeverity::Error;
        auto* item = new QTreeWidgetItem(
            {error ? QStringLiteral("Error") : QStringLiteral("Warning"),
             f.number >= 0 ? QStringLiteral("%1").arg(f.number, 3, 10, QLatin1Char('0'))
                           : QString(),
             QString::fromStdString(Cp1252ToUtf8(f.address)), QString::fromStdString(f.time),
             QString::fromStdString(Cp1252ToUtf8(f.message))});
        item->setIcon(0, error ? errorIcon : warningIcon);
        item->setToolTip(4, item->text(4));
        items.append(item);
    }
    m_list->addTopLevelItems(items);
    for (int c = 0; c < 4; ++c) m_list->resizeColumnToContents(c);
    m_list->header()->setStretchLastSection(true);
    m_list->setMinimumSize(720, 260);
    connect(m_list, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem* item) { Activate(m_list->indexOfTopLevelItem(item)); });
    layout->addWidget(m_list, 1);

    auto* buttons = new QDialogButtonBox;
    if (purpose == Purpose::BeforeDownload && !m_result.HasErrors()) {
        m_download = buttons->addButton(QStringLiteral("&Download"), QDialogButtonBox::AcceptRole);
        buttons->addButton(QDialogButtonBox::Cancel);
        m_download->setDefault(true);
    } else {
        buttons->addButton(QDialogButtonBox::Close);
    }
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    if (!items.isEmpty()) m_list->setCurrentItem(items.front());
}

void CShowCheckDialog::Activate(int row)
{
    if (row < 0 || row >= static_cast<int>(m_result.findings.size()) || !m_select) return;
    if (const CIgnition* entry = m_result.findings[static_cast<size_t>(row)].entry) {
        m_select(entry);
    }
}

}  // namespace flr
