#include "ui/database/customereditor.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>

#include "ui/database/editorwidgets.h"

namespace flr {

using namespace editorwidgets;

namespace {

// An edit in `row` of `grid`, labelled `label` unless that is null.
QLineEdit* Field(QGridLayout* grid, int row, const char* label, const char* name, QWidget* parent)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    if (label) grid->addWidget(new QLabel(QString::fromLatin1(label), parent), row, 0);
    grid->addWidget(edit, row, 1);
    return edit;
}

}  // namespace

CCustomerEditor::CCustomerEditor(CDatabase* database, CCustomerTable* row, QWidget* parent)
    : QDialog(parent), m_model(database, row)
{
    const bool add = m_model.Mode() == EditorMode::Add;
    setWindowTitle(add ? QStringLiteral("Add Customer") : QStringLiteral("Edit Customer"));

    auto* grid = new QGridLayout;
    m_customerNo = Field(grid, 0, "Customer No :", "customerNo", this);
    m_name = Field(grid, 1, "Name :", "name", this);
    m_address = Field(grid, 2, "Address :", "address", this);
    m_zipCode = Field(grid, 3, "Zip Code :", "zipCode", this);
    m_city = Field(grid, 4, "City :", "city", this);
    m_contact = Field(grid, 5, "Name :", "contact", this);
    m_tel = Field(grid, 6, "Tel :", "tel", this);
    m_tel2 = Field(grid, 7, nullptr, "tel2", this);
    m_mob = Field(grid, 8, "Mob :", "mob", this);
    m_mob2 = Field(grid, 9, nullptr, "mob2", this);
    m_fax = Field(grid, 10, "Fax :", "fax", this);
    m_email = Field(grid, 11, "E-Mail :", "email", this);
    m_notes = Field(grid, 12, "Note :", "notes", this);

    const EditorButtons buttons = MakeButtons(m_model.Mode(), this);
    m_ok = buttons.ok;
    m_cancel = buttons.cancel;
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(grid, 1);
    layout->addWidget(buttons.box);

    const CustomerForm& start = m_model.Initial();
    m_customerNo->setText(Text(start.customerNo));
    m_name->setText(Text(start.name));
    m_address->setText(Text(start.address));
    m_zipCode->setText(Text(start.zipCode));
    m_city->setText(Text(start.city));
    m_contact->setText(Text(start.contact));
    m_tel->setText(Text(start.tel));
    m_tel2->setText(Text(start.tel2));
    m_mob->setText(Text(start.mob));
    m_mob2->setText(Text(start.mob2));
    m_fax->setText(Text(start.fax));
    m_email->setText(Text(start.email));
    m_notes->setText(Text(start.notes));
    m_customerNo->setEnabled(add);

    connect(m_customerNo, &QLineEdit::textChanged, this, &CCustomerEditor::UpdateOkButton);
    connect(m_ok, &QPushButton::clicked, this, &CCustomerEditor::Save);
    connect(m_cancel, &QPushButton::clicked, this, &CCustomerEditor::reject);
    connect(buttons.remove, &QPushButton::clicked, this, &CCustomerEditor::Delete);
    m_customerNo->setFocus();
    UpdateOkButton();
}

CustomerForm CCustomerEditor::Form() const
{
    return {Bytes(m_customerNo), Bytes(m_name),  Bytes(m_address), Bytes(m_zipCode), Bytes(m_city),
            Bytes(m_contact),    Bytes(m_tel),   Bytes(m_tel2),    Bytes(m_mob),     Bytes(m_mob2),
            Bytes(m_fax),        Bytes(m_email), Bytes(m_notes)};
}

void CCustomerEditor::UpdateOkButton() { m_ok->setEnabled(m_model.CanSave(Form())); }

void CCustomerEditor::Save()
{
    const CustomerForm form = Form();
    if (!m_model.CanSave(form)) return;
    m_ok->setEnabled(false);
    m_cancel->setEnabled(false);
    m_model.Save(form);
    done(kEditorOk);
}

void CCustomerEditor::Delete()
{
    if (m_model.Delete(Form()) == kEditorDeleted) done(kEditorDeleted);
}

void CCustomerEditor::reject() { done(kEditorCancel); }

}  // namespace flr
