#include "ui/database/contacteditor.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
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

    // Made in reading order, which is the tab order. The contact person's lines sit in a
    // group of their own, so its "Name :" is not taken for the company's.
    auto* grid = new QGridLayout;
    grid->setObjectName(QStringLiteral("fields"));
    QGridLayout* target = grid;
    int line = 0;
    auto addRow = [&](QWidget* label, QWidget* field) {
        if (label) target->addWidget(label, line, 0);
        target->addWidget(field, line, 1);
        ++line;
    };
    int mainLine = 0;
    // Wide enough for an international number or a street.
    const int lineWidth =
        fontMetrics().horizontalAdvance(QStringLiteral("+44 (0)20 7946 0000")) + 12;
    for (size_t i = 0; i < kind.fields.size(); ++i) {
        const ContactField& field = kind.fields[i];
        if (int(i) == kind.choiceRow) {
            m_choice = new QComboBox(this);
            m_choice->setObjectName(QStringLiteral("country"));
            addRow(new QLabel(QStringLiteral("Country :"), this), m_choice);
        }
        const std::string_view name = field.name;
        if (name == "contact") {
            auto* group = new QGroupBox(QStringLiteral("Contact"), this);
            grid->addWidget(group, line, 0, 1, 2);
            mainLine = line + 1;
            target = new QGridLayout(group);
            line = 0;
        } else if (name == "notes" && target != grid) {
            target = grid;
            line = mainLine;
        }
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QString::fromLatin1(field.name));
        edit->setMinimumWidth(lineWidth);
        if (field.hint) edit->setPlaceholderText(QString::fromLatin1(field.hint));
        addRow(field.label ? new QLabel(QString::fromLatin1(field.label), this) : nullptr, edit);
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
    for (size_t i = 0; i < m_lines.size(); ++i) {
        m_lines[i]->setText(Text(start.texts[i]));
        m_lines[i]->setCursorPosition(0);  // a long text shows its start: "+44 20 …"
    }
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
