#include "ui/database/importeffectsdialog.h"

#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <algorithm>

#include "ui/database/importeffectslist.h"

namespace flr {

namespace {

constexpr int kMargin = 5;
constexpr int kMinNameWidth = 50;
constexpr int kScrollBarWidth = 16;

}  // namespace

CImportEffectsDialog::CImportEffectsDialog(CDatabase* database, QWidget* parent)
    : QDialog(parent), m_database(database)
{
    setWindowTitle(tr("Import effects"));
    setMinimumSize(500, 250);
    setMaximumSize(1280, 1024);
    resize(640, 360);
    m_frame = new QGroupBox(this);
    m_text = new QLabel(this);
    m_text->setTextFormat(Qt::PlainText);  // it shows outside text as typed
    m_text->setWordWrap(true);
    m_text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_text->setText(QStringLiteral("%1 %2 %3 %4")
                        .arg(QStringLiteral("The listed effects from this firework could not be "
                                            "found in the database."),
                             QStringLiteral("Uncheck a given effects import checkbox if you dont "
                                            "want it imported into"),
                             QStringLiteral("your database. Press Cancel if you dont want to "
                                            "import any of the effects."),
                             QStringLiteral("You will still be able to see all of the effects in "
                                            "the firework.")));
    m_list = new CImportEffectsList(m_rows, this);
    m_progress = new QProgressBar(this);
    m_progress->setTextVisible(false);
    m_progress->setEnabled(false);
    m_import = new QPushButton(tr("Import"), this);
    m_import->setDefault(true);
    m_cancel = new QPushButton(tr("Cancel"), this);
    connect(m_import, &QPushButton::clicked, this, &CImportEffectsDialog::OnImport);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void CImportEffectsDialog::Initialise()
{
    if (m_controlsExist) return;
    m_rows.SortBySize();
    m_list->Model()->Refresh();
    m_controlsExist = true;
    Layout();
}

void CImportEffectsDialog::OnImport()
{
    m_import->setEnabled(false);
    m_cancel->setEnabled(false);
    m_progress->setEnabled(true);
    m_rows.Import(m_database, [this](int done, int count) {
        m_progress->setRange(0, count);
        m_progress->setValue(done);
    });
    accept();
}

void CImportEffectsDialog::showEvent(QShowEvent* event)
{
    Initialise();
    QDialog::showEvent(event);
}

void CImportEffectsDialog::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    Layout();
}

void CImportEffectsDialog::Layout()
{
    if (!m_controlsExist) return;
    const QRect client = rect().adjusted(kMargin, kMargin, -kMargin, -kMargin);
    const int l = client.left();
    const int t = client.top();
    const int r = client.right() + 1;
    const int b = client.bottom() + 1;
    m_frame->setGeometry(QRect(QPoint(l, t), QPoint(r - 1, b - 30 - 1)));
    m_text->setGeometry(l + 5, t + 15, r - 5 - (l + 5), 45);
    m_list->setGeometry(QRect(QPoint(l + 5, t + 70), QPoint(r - 5 - 1, b - 35 - 1)));

    const QSize cancel = m_cancel->sizeHint();
    const QSize import = m_import->sizeHint();
    m_cancel->setGeometry(r - cancel.width(), b - cancel.height(), cancel.width(), cancel.height());
    const int importRight = m_cancel->x() - 15;
    m_import->setGeometry(importRight - import.width(), b - import.height(), import.width(),
                          import.height());
    m_progress->setGeometry(l, m_import->y(), std::max(0, m_import->x() - 15 - l), import.height());

    // The Name column takes what the other columns leave.
    int others = 0;
    for (int c = 0; c < kImportColumns; ++c) {
        if (c != int(ImportColumn::Name)) others += m_list->columnWidth(c);
    }
    int width = m_list->width() - others - 4;
    const int rows = m_list->Model()->rowCount();
    const int listed = rows * m_list->verticalHeader()->defaultSectionSize();
    const int room = m_list->height() - m_list->horizontalHeader()->sizeHint().height() - 4;
    if (listed > room) width -= kScrollBarWidth;
    m_list->setColumnWidth(int(ImportColumn::Name), std::max(kMinNameWidth, width));
}

}  // namespace flr
