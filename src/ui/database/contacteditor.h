#pragma once

#include <QDialog>
#include <vector>

#include "database/contacteditormodel.h"

class QComboBox;
class QLineEdit;
class QPushButton;

namespace flr {

// "Add Customer" / "Edit Manufacturer" and so on: the record editor of a contact kind. Ends with
// kEditorOk after saving, kEditorDeleted after deleting, kEditorCancel otherwise. The lines
// carry the kind's object names ("customerNo", "name", ..., "country") for tests.
class CContactEditor final : public QDialog {
    Q_OBJECT
public:
    // `row`: nullptr for add mode, else the caller's recordset of `kind`'s table on the row (not
    // owned).
    CContactEditor(const CContactKind& kind, CDatabase* database, CRecordset* row,
                   QWidget* parent = nullptr);

    ContactForm Form() const;
    QPushButton* OkButton() const { return m_ok; }
    void reject() override;

private:
    void UpdateOkButton();
    void Save();
    void Delete();

    CContactEditorModel m_model;
    std::vector<QLineEdit*> m_lines;
    QComboBox* m_choice = nullptr;
    QPushButton* m_ok;
    QPushButton* m_cancel;
};

}  // namespace flr
