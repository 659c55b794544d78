#include "database/contacteditormodel.h"

#include "database/recordset.h"

namespace flr {

CContactEditorModel::CContactEditorModel(const CContactKind& kind, CDatabase* database,
                                         CRecordset* row)
    : m_kind(kind), m_database(database), m_row(row)
{
    m_choices = kind.LoadChoices(database);
    m_initial.texts.resize(kind.fields.size());
    if (m_row) m_initial = kind.Read(*m_row, m_choices);
}

std::unique_ptr<CRecordset> CContactEditorModel::OpenRows() const
{
    std::unique_ptr<CRecordset> rows = m_kind.MakeTable(m_database);
    if (!m_kind.OpenTable(*rows)) return nullptr;
    return rows;
}

bool CContactEditorModel::MoveToKey(CRecordset& rows, const ContactForm& form) const
{
    const std::string key = m_kind.StoredKey(form.texts.at(0));
    for (rows.MoveFirst(); !rows.IsEOF(); rows.MoveNext()) {
        if (m_kind.List(rows).Key() == key) return true;
    }
    return false;
}

bool CContactEditorModel::CanSave(const ContactForm& form)
{
    if (!m_database) return false;
    if (m_row) return true;
    // A new row needs its key, or an empty form would write a blank row.
    const std::string& key = form.texts.at(0);
    if (key.empty()) return false;
    if (!m_kind.uniqueKey) return true;
    if (m_checkedKey != key) {
        const std::unique_ptr<CRecordset> rows = OpenRows();
        m_checkedKeyIsNew = rows && !MoveToKey(*rows, form);
        m_checkedKey = key;
    }
    return m_checkedKeyIsNew;
}

int CContactEditorModel::Save(const ContactForm& form)
{
    if (!m_database) return kEditorOk;
    const std::string what(m_kind.what);
    if (m_row) {
        m_row->Edit();
        m_kind.Write(*m_row, form, m_choices);
        return SaveEditedRow(*m_row, what);
    }
    const std::unique_ptr<CRecordset> rows = OpenRows();
    bool stored = false;
    if (rows && rows->CanAppend()) {
        rows->AddNew();
        m_kind.Write(*rows, form, m_choices);
        stored = rows->Update();
    }
    if (!stored) ReportDatabaseError("Unable to append " + what + " to FLR database.");
    return kEditorOk;
}

int CContactEditorModel::Delete(const ContactForm& form)
{
    if (!m_database) return 0;
    const std::unique_ptr<CRecordset> rows = OpenRows();
    if (!rows) return 0;
    if (!MoveToKey(*rows, form)) return kEditorDeleted;
    if (!ConfirmDelete(m_kind.List(*rows).cells[1], m_kind.what)) return 0;
    DBError error;
    if (!rows->Delete(&error) && error.state != kRowGoneState) {
        ReportDatabaseError("Unable to delete " + std::string(m_kind.what) + " from FLR database.");
        return 0;
    }
    return kEditorDeleted;
}

}  // namespace flr
