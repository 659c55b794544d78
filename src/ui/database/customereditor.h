#pragma once

#include <QDialog>

#include "database/customereditormodel.h"

class QLineEdit;
class QPushButton;

namespace flr {

class CDatabase;
class CCustomerTable;

// "Add Customer" / "Edit Customer". Ends with kEditorOk after saving, kEditorDeleted after
// deleting, kEditorCancel otherwise. The fields carry object names ("customerNo", "name",
// ...) for tests.
class CCustomerEditor final : public QDialog {
    Q_OBJECT
public:
    // `row`: nullptr for add mode, else the caller's recordset on the row (not owned).
    CCustomerEditor(CDatabase* database, CCustomerTable* row, QWidget* parent = nullptr);

    CustomerForm Form() const;
    QPushButton* OkButton() const { return m_ok; }
    void reject() override;

private:
    void UpdateOkButton();
    void Save();
    void Delete();

    CCustomerEditorModel m_model;
    QLineEdit* m_customerNo;
    QLineEdit* m_name;
    QLineEdit* m_address;
    QLineEdit* m_zipCode;
    QLineEdit* m_city;
    QLineEdit* m_contact;
    QLineEdit* m_tel;
    QLineEdit* m_tel2;
    QLineEdit* m_mob;
    QLineEdit* m_mob2;
    QLineEdit* m_fax;
    QLineEdit* m_email;
    QLineEdit* m_notes;
    QPushButton* m_ok;
    QPushButton* m_cancel;
};

}  // namespace flr
