#pragma once

#include <memory>
#include <optional>
#include <string>

#include "database/contactkind.h"

namespace flr {

class CDatabase;
class CRecordset;

// The customer or manufacturer editor without its window. Failures are reported through the
// prompt layer. User-interface thread only.
class CContactEditorModel {
public:
    // As CItemEditorModel: `row` nullptr for add mode, else the caller's recordset of `kind`'s
    // table positioned on the row (not owned; it must outlive the model).
    CContactEditorModel(const CContactKind& kind, CDatabase* database, CRecordset* row);

    const CContactKind& Kind() const { return m_kind; }
    EditorMode Mode() const { return m_row ? EditorMode::Edit : EditorMode::Add; }
    const std::vector<EditorChoice>& Choices() const { return m_choices; }
    const ContactForm& Initial() const { return m_initial; }
    // Whether OK may be pressed: never without a database; for a kind with unique keys, in add
    // mode only for a key that is filled in and not in the table yet.
    bool CanSave(const ContactForm& form);
    // Writes the row; a failure has been reported. Says how the dialog ends, as
    // SaveEditedRow: kEditorOk, kEditorDeleted, or 0 to stay open after a conflict.
    int Save(const ContactForm& form);
    // As CItemEditorModel::Delete.
    int Delete(const ContactForm& form);

private:
    // Makes the first row of `rows` (open) with the form's key current; false at the end.
    bool MoveToKey(CRecordset& rows, const ContactForm& form) const;
    // A recordset of the kind's table, open, or nullptr.
    std::unique_ptr<CRecordset> OpenRows() const;

    const CContactKind& m_kind;
    CDatabase* m_database;
    CRecordset* m_row;
    std::vector<EditorChoice> m_choices;
    ContactForm m_initial;
    std::optional<std::string> m_checkedKey;
    bool m_checkedKeyIsNew = false;
};

}  // namespace flr
