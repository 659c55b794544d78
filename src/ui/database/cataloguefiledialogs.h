#pragma once

#include <QDialog>

#include "database/catalogueexport.h"
#include "database/catalogueimport.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QTableWidget;

namespace flr {

// "Export": which table (items, or the customers or the manufacturers) goes to which CSV file.
// OK writes the file; a failure is shown and the dialog stays.
class CExportDialog : public QDialog {
    Q_OBJECT
public:
    // `database` (not owned) is the application's connection; it must outlive the dialog.
    CExportDialog(CDatabase& database, QWidget* parent = nullptr);

    QRadioButton* TableButton(ExportTable table) const;
    QLineEdit* PathEdit() const { return m_path; }

    void accept() override;

private:
    void Browse();

    CDatabase& m_database;
    QRadioButton* m_tables[3];
    QLineEdit* m_path;
};

// "Import": the preview of a CSV file's rows as items. Each file column's match can be
// changed, what happens to stored article numbers is chosen once, and the refused lines and
// the summary follow every change. "Import" is enabled when rows would be written and none is
// refused; it writes them in one transaction and closes with Accepted, or shows the failure.
class CImportDialog : public QDialog {
    Q_OBJECT
public:
    // `database` as for CExportDialog; `import` has read the stored article numbers.
    CImportDialog(CDatabase& database, CCatalogueImport import, QWidget* parent = nullptr);

    QComboBox* MatchBox(int column) const;
    QComboBox* ExistingBox() const { return m_existing; }
    QListWidget* RefusedList() const { return m_refused; }
    QLabel* SummaryLabel() const { return m_summary; }
    QPushButton* ImportButton() const { return m_import; }

    void accept() override;

private:
    void Recheck();

    CDatabase& m_database;
    CCatalogueImport m_rows;
    QTableWidget* m_columns;
    QComboBox* m_existing;
    QListWidget* m_refused;
    QLabel* m_summary;
    QPushButton* m_import;
};

// The Database menu's "Export...": runs the export dialog on `database`.
void RunExportDatabase(CDatabase& database, QWidget* parent);
// The Database menu's "Import...": asks for a CSV file, reads it and runs the preview. True
// when rows were written (the lists showing the catalogue are then out of date).
bool RunImportDatabase(CDatabase& database, QWidget* parent);

}  // namespace flr
