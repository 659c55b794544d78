#include "ui/database/contacteditor.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>

#include "ui/database/editorwidgets.h"

namespace flr {

using namespace editorwidgets;

CContactEditor::CContactEditor(const CContactKind& kind, CDatabase* database, CRecordset* row,
                               QWidget* parent)
    : QDialog(parent), m_model(kind, database, row)
{
    const bool add = m_model.Mode() == EditorMode::Add;
    setWindowTitle((add ? QStringLiteral("Add ") : QStringLiteral("Edit ")) +
                   QString::fromLatin1(kind.title.data(), qsizetype(kind.title.size())));

    // Made in grid order, which is the tab order.
    auto* grid = new QGridLayout;
    for (size_t i = 0; i < kind.fields.size(); ++i) {
        const int gridRow = int(i) + (kind.choiceRow >= 0 && int(i) >= kind.choiceRow ? 1 : 0);
        if (int(i) == kind.choiceRow) {
            m_choice = new QComboBox(this);
            m_choice->setObjectName(QStringLiteral("country"));
            grid->addWidget(new QLabel(QStringLiteral("Country :"), this), gridRow - 1, 0);
            grid->addWidget(m_choice, gridRow - 1, 1);
        }
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QString::fromLatin1(kind.fields[i].name));
        if (kind.fields[i].label) {
            grid->addWidget(new QLabel(QString::fromLatin1(kind.fields[i].label), this), gridRow,
                            0);
        }
        grid->addWidget(edit, gridRow, 1);
        m_lines.push_back(edit);
    }
    QLineEdit* key = m_lines.front();
    if (kind.numericKey) DigitsOnly(key);

    const EditorButtons buttons = MakeButtons(m_model.Mode(), this);
    m_ok = buttons.ok;
    m_cancel = buttons.cancel;
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(grid, 1);
    layout->addWidget(buttons.box);

    const ContactForm& start = m_model.Initial();
    if (m_choice) {
        for (const EditorChoice& c : m_model.Choices()) m_choice->addItem(Text(c.name), c.data);
        m_choice->setCurrentIndex(start.choice);
    }
    for (size_t i = 0; i < m_lines.size(); ++i) m_lines[i]->setText(Text(start.texts[i]));
    key->setEnabled(add);

    connect(key, &QLineEdit::textChanged, this, &CContactEditor::UpdateOkButton);
    connect(m_ok, &QPushButton::clicked, this, &CContactEditor::Save);
    connect(m_cancel, &QPushButton::clicked, this, &CContactEditor::reject);
    connect(buttons.remove, &QPushButton::clicked, this, &CContactEditor::Delete);
    key->setFocus();
    UpdateOkButton();
}

ContactForm CContactEditor::Form() const
{
    ContactForm form;
    for (const QLineEdit* line : m_lines) form.texts.push_back(Bytes(line));
    form.choice = m_choice ? m_choice->currentIndex() : -1;
    return form;
}

void CContactEditor::UpdateOkButton() { m_ok->setEnabled(m_model.CanSave(Form())); }

void CContactEditor::Save()
{
    const ContactForm form = Form();
    if (!m_model.CanSave(form)) return;
    m_ok->setEnabled(false);
    m_cancel->setEnabled(false);
    const int result = m_model.Save(form);
    if (result == 0) {
        // Back to editing after a conflict with another user.
        m_cancel->setEnabled(true);
        UpdateOkButton();
        return;
    }
    done(result);
}

void CContactEditor::Delete()
{
    if (m_model.Delete(Form()) == kEditorDeleted) done(kEditorDeleted);
}

void CContactEditor::reject() { done(kEditorCancel); }

}  // namespace flr
