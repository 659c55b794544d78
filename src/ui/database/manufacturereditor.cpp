#include "ui/database/manufacturereditor.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>

#include "ui/database/editorwidgets.h"

namespace flr {

using namespace editorwidgets;

namespace {

QLineEdit* Field(QGridLayout* grid, int row, const char* label, const char* name, QWidget* parent)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    grid->addWidget(new QLabel(QString::fromLatin1(label), parent), row, 0);
    grid->addWidget(edit, row, 1);
    return edit;
}

}  // namespace

CManufacturerEditor::CManufacturerEditor(CDatabase* database, CManufacturerTable* row,
                                         QWidget* parent)
    : QDialog(parent), m_model(database, row)
{
    const bool add = m_model.Mode() == EditorMode::Add;
    setWindowTitle(add ? QStringLiteral("Add Manufacturer") : QStringLiteral("Edit Manufacturer"));

    auto* grid = new QGridLayout;
    m_number = Field(grid, 0, "Mfr No :", "number", this);
    m_name = Field(grid, 1, "Name :", "name", this);
    m_address = Field(grid, 2, "Address :", "address", this);
    m_zipCode = Field(grid, 3, "Zip Code :", "zipCode", this);
    m_city = Field(grid, 4, "City :", "city", this);
    m_country = new QComboBox(this);
    m_country->setObjectName(QStringLiteral("country"));
    grid->addWidget(new QLabel(QStringLiteral("Country :"), this), 5, 0);
    grid->addWidget(m_country, 5, 1);
    m_contact = Field(grid, 6, "Name :", "contact", this);
    m_tel = Field(grid, 7, "Tel :", "tel", this);
    m_mob = Field(grid, 8, "Mob :", "mob", this);
    m_fax = Field(grid, 9, "Fax :", "fax", this);
    m_email = Field(grid, 10, "E-Mail :", "email", this);
    m_notes = Field(grid, 11, "Note :", "notes", this);
    DigitsOnly(m_number);

    const EditorButtons buttons = MakeButtons(m_model.Mode(), this);
    m_ok = buttons.ok;
    m_cancel = buttons.cancel;
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(grid, 1);
    layout->addWidget(buttons.box);

    for (const EditorChoice& c : m_model.Countries()) m_country->addItem(Text(c.name), c.data);
    const ManufacturerForm& start = m_model.Initial();
    m_number->setText(Text(start.number));
    m_name->setText(Text(start.name));
    m_address->setText(Text(start.address));
    m_zipCode->setText(Text(start.zipCode));
    m_city->setText(Text(start.city));
    m_contact->setText(Text(start.contact));
    m_tel->setText(Text(start.tel));
    m_mob->setText(Text(start.mob));
    m_fax->setText(Text(start.fax));
    m_email->setText(Text(start.email));
    m_notes->setText(Text(start.notes));
    m_country->setCurrentIndex(start.country);
    m_number->setEnabled(add);

    connect(m_ok, &QPushButton::clicked, this, &CManufacturerEditor::Save);
    connect(m_cancel, &QPushButton::clicked, this, &CManufacturerEditor::reject);
    connect(buttons.remove, &QPushButton::clicked, this, &CManufacturerEditor::Delete);
    m_number->setFocus();
    m_ok->setEnabled(m_model.CanSave());
}

ManufacturerForm CManufacturerEditor::Form() const
{
    return {Bytes(m_number), Bytes(m_name),    Bytes(m_address), Bytes(m_zipCode),
            Bytes(m_city),   Bytes(m_contact), Bytes(m_tel),     Bytes(m_mob),
            Bytes(m_fax),    Bytes(m_email),   Bytes(m_notes),   m_country->currentIndex()};
}

void CManufacturerEditor::Save()
{
    if (!m_model.CanSave()) return;
    m_ok->setEnabled(false);
    m_cancel->setEnabled(false);
    m_model.Save(Form());
    done(kEditorOk);
}

void CManufacturerEditor::Delete()
{
    if (m_model.Delete(Form()) == kEditorDeleted) done(kEditorDeleted);
}

void CManufacturerEditor::reject() { done(kEditorCancel); }

}  // namespace flr
