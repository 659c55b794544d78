#pragma once

#include <QDialog>

#include "database/manufacturereditormodel.h"

class QComboBox;
class QLineEdit;
class QPushButton;

namespace flr {

class CDatabase;
class CManufacturerTable;

// "Add Manufacturer" / "Edit Manufacturer". Ends with kEditorOk after saving,
// kEditorDeleted after deleting, kEditorCancel otherwise. The fields carry object names
// ("number", "name", ..., "country") for tests.
class CManufacturerEditor final : public QDialog {
    Q_OBJECT
public:
    // `row`: nullptr for add mode, else the caller's recordset on the row (not owned).
    CManufacturerEditor(CDatabase* database, CManufacturerTable* row, QWidget* parent = nullptr);

    ManufacturerForm Form() const;
    QPushButton* OkButton() const { return m_ok; }
    void reject() override;

private:
    void Save();
    void Delete();

    CManufacturerEditorModel m_model;
    QLineEdit* m_number;
    QLineEdit* m_name;
    QLineEdit* m_address;
    QLineEdit* m_zipCode;
    QLineEdit* m_city;
    QLineEdit* m_contact;
    QLineEdit* m_tel;
    QLineEdit* m_mob;
    QLineEdit* m_fax;
    QLineEdit* m_email;
    QLineEdit* m_notes;
    QComboBox* m_country;
    QPushButton* m_ok;
    QPushButton* m_cancel;
};

}  // namespace flr
