#include "ui/database/cataloguefiledialogs.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "base/prompt.h"
#include "ui/common/dialogrunner.h"

namespace flr {

namespace {

constexpr const char* kFilter = "CSV Files (*.csv);;All Files (*)";

QString FromUtf8(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

CExportDialog::CExportDialog(CDatabase& database, QWidget* parent)
    : QDialog(parent), m_database(database)
{
    setWindowTitle(QStringLiteral("Export"));
    auto* layout = new QVBoxLayout(this);
    const char* names[] = {"&Items", "&Customers", "&Manufacturers"};
    for (int i = 0; i < 3; ++i) {
        m_tables[i] = new QRadioButton(QString::fromLatin1(names[i]), this);
        layout->addWidget(m_tables[i]);
    }
    m_tables[0]->setChecked(true);
    auto* fileRow = new QHBoxLayout;
    m_path = new QLineEdit(this);
    auto* browse = new QPushButton(QStringLiteral("&Browse..."), this);
    connect(browse, &QPushButton::clicked, this, &CExportDialog::Browse);
    fileRow->addWidget(new QLabel(QStringLiteral("File :"), this));
    fileRow->addWidget(m_path, 1);
    fileRow->addWidget(browse);
    layout->addLayout(fileRow);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CExportDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CExportDialog::reject);
    layout->addWidget(buttons);
}

QRadioButton* CExportDialog::TableButton(ExportTable table) const
{
    return m_tables[static_cast<int>(table)];
}

void CExportDialog::Browse()
{
    QFileDialog dialog(this, QStringLiteral("Export"), m_path->text(),
                       QString::fromLatin1(kFilter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("csv"));
    if (RunDialog(dialog) == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
        m_path->setText(dialog.selectedFiles().first());
}

void CExportDialog::accept()
{
    if (m_path->text().trimmed().isEmpty()) {
        Beep(BeepKind::Default, "Choose the file to write.");
        return;
    }
    ExportTable table = ExportTable::Items;
    if (m_tables[1]->isChecked()) table = ExportTable::Customers;
    if (m_tables[2]->isChecked()) table = ExportTable::Manufacturers;
    std::string error;
    if (!ExportCatalogue(m_database, table, m_path->text().toStdString(), nullptr, &error)) {
        ShowMessage(error, "Export", PromptButtons::Ok, PromptIcon::Error);
        return;
    }
    QDialog::accept();
}

CImportDialog::CImportDialog(CDatabase& database, CCatalogueImport import, QWidget* parent)
    : QDialog(parent), m_database(database), m_rows(std::move(import))
{
    setWindowTitle(QStringLiteral("Import"));
    auto* layout = new QVBoxLayout(this);
    const std::vector<std::string>& header = m_rows.File().header;
    m_columns = new QTableWidget(int(header.size()), 2, this);
    m_columns->setHorizontalHeaderLabels(
        {QStringLiteral("File column"), QStringLiteral("Item column")});
    m_columns->horizontalHeader()->setStretchLastSection(true);
    m_columns->verticalHeader()->hide();
    QStringList targets{QStringLiteral("(not imported)")};
    for (const CCatalogueImport::Target& target : CCatalogueImport::Targets())
        targets << QString::fromLatin1(target.name);
    for (int c = 0; c < int(header.size()); ++c) {
        auto* name = new QTableWidgetItem(FromUtf8(header[size_t(c)]));
        name->setFlags(Qt::ItemIsEnabled);
        m_columns->setItem(c, 0, name);
        auto* box = new QComboBox(m_columns);
        box->addItems(targets);
        box->setCurrentIndex(m_rows.Matches()[size_t(c)] + 1);
        connect(box, &QComboBox::activated, this, [this, c](int index) {
            m_rows.SetMatch(size_t(c), index - 1);
            Recheck();
        });
        m_columns->setCellWidget(c, 1, box);
    }
    layout->addWidget(m_columns);
    auto* form = new QFormLayout;
    m_existing = new QComboBox(this);
    m_existing->addItems({QStringLiteral("Skip them"), QStringLiteral("Update them"),
                          QStringLiteral("Refuse them (new items only)")});
    connect(m_existing, &QComboBox::activated, this, [this](int index) {
        m_rows.SetExisting(static_cast<ExistingItems>(index));
        Recheck();
    });
    form->addRow(QStringLiteral("Article numbers already in the catalogue :"), m_existing);
    layout->addLayout(form);
    m_refused = new QListWidget(this);
    layout->addWidget(m_refused);
    m_summary = new QLabel(this);
    layout->addWidget(m_summary);
    auto* buttons = new QDialogButtonBox(this);
    m_import = buttons->addButton(QStringLiteral("Import"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &CImportDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CImportDialog::reject);
    layout->addWidget(buttons);
    resize(560, 520);
    Recheck();
}

QComboBox* CImportDialog::MatchBox(int column) const
{
    return qobject_cast<QComboBox*>(m_columns->cellWidget(column, 1));
}

void CImportDialog::Recheck()
{
    const CCatalogueImport::Plan plan = m_rows.Check();
    m_refused->clear();
    for (const CCatalogueImport::Refusal& refusal : plan.refused)
        m_refused->addItem(
            QStringLiteral("Line %1: %2").arg(refusal.line).arg(FromUtf8(refusal.reason)));
    m_summary->setText(FromUtf8(CCatalogueImport::Summary(plan)));
    for (int c = 0; c < m_columns->rowCount(); ++c)
        MatchBox(c)->setCurrentIndex(m_rows.Matches()[size_t(c)] + 1);
    m_import->setEnabled(plan.refused.empty() && plan.added + plan.updated > 0);
}

void CImportDialog::accept()
{
    DBError error;
    if (!m_rows.Write(m_database, nullptr, &error)) {
        ShowMessage("Nothing was imported.\n" + error.text, "Database Error", PromptButtons::Ok,
                    PromptIcon::Error);
        Recheck();
        return;
    }
    QDialog::accept();
}

void RunExportDatabase(CDatabase& database, QWidget* parent)
{
    CExportDialog dialog(database, parent);
    RunDialog(dialog);
}

bool RunImportDatabase(CDatabase& database, QWidget* parent)
{
    QFileDialog chooser(parent, QStringLiteral("Import"), QString(), QString::fromLatin1(kFilter));
    chooser.setAcceptMode(QFileDialog::AcceptOpen);
    chooser.setFileMode(QFileDialog::ExistingFile);
    if (RunDialog(chooser) != QDialog::Accepted || chooser.selectedFiles().isEmpty()) return false;
    const std::string path = chooser.selectedFiles().first().toStdString();
    CsvTable file;
    std::string error;
    if (!ReadCsvFile(path, file, &error)) {
        ShowMessage(error, "Import", PromptButtons::Ok, PromptIcon::Error);
        return false;
    }
    CCatalogueImport import(std::move(file));
    DBError failure;
    if (!import.ReadStored(database, &failure)) {
        ShowMessage("Unable to read tbFireworks - [" + failure.text + "].", "Database Error",
                    PromptButtons::Ok, PromptIcon::Error);
        return false;
    }
    CImportDialog dialog(database, std::move(import), parent);
    return RunDialog(dialog) == QDialog::Accepted;
}

}  // namespace flr
