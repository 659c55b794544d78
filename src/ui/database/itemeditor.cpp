#include "ui/database/itemeditor.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QTimer>

#include "base/prompt.h"
#include "ui/database/editorwidgets.h"

namespace flr {

using namespace editorwidgets;

namespace {

QLineEdit* AddField(QGridLayout* grid, int row, int column, const char* label, const char* name,
                    QWidget* parent)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    grid->addWidget(new QLabel(QString::fromLatin1(label), parent), row, column);
    grid->addWidget(edit, row, column + 1);
    return edit;
}

void FillCombo(QComboBox* combo, const std::vector<EditorChoice>& choices)
{
    for (const EditorChoice& c : choices) combo->addItem(Text(c.name), c.data);
    // Drops down to show every entry.
    combo->setMaxVisibleItems(std::max(1, combo->count()));
}

}  // namespace

CItemEditor::CItemEditor(CDatabase* database, CItemTable* row, CEffectCatalogue& catalogue,
                         QWidget* parent)
    : QDialog(parent), m_model(database, row), m_catalogue(catalogue)
{
    const bool add = m_model.Mode() == EditorMode::Add;
    setWindowTitle(add ? QStringLiteral("Add Firework Item")
                       : QStringLiteral("Edit Firework Item"));

    auto* fields = new QGridLayout;
    m_article = AddField(fields, 0, 0, "Article No :", "article", this);
    m_name = AddField(fields, 1, 0, "Name :", "name", this);
    m_size = AddField(fields, 2, 0, "Size in mm :", "size", this);
    m_weight = AddField(fields, 3, 0, "Weight in grams :", "weight", this);
    m_prefire = AddField(fields, 4, 0, "Prefire :", "prefire", this);
    m_duration = AddField(fields, 5, 0, "Duration :", "duration", this);
    auto* shots = AddField(fields, 6, 0, "Shots :", "shots", this);
    shots->setEnabled(false);

    m_category = new QComboBox(this);
    m_category->setObjectName(QStringLiteral("category"));
    m_manufacturer = new QComboBox(this);
    m_manufacturer->setObjectName(QStringLiteral("manufacturer"));
    fields->addWidget(new QLabel(QStringLiteral("Category :"), this), 0, 2);
    fields->addWidget(m_category, 0, 3);
    fields->addWidget(new QLabel(QStringLiteral("Manufacturer :"), this), 1, 2);
    fields->addWidget(m_manufacturer, 1, 3);
    m_price = AddField(fields, 2, 2, "Price :", "price", this);
    m_priceOut = AddField(fields, 3, 2, "Price Out :", "priceOut", this);
    m_stock = AddField(fields, 4, 2, "Stock :", "stock", this);
    m_description = AddField(fields, 7, 0, "Description :", "description", this);
    fields->removeWidget(m_description);
    fields->addWidget(m_description, 7, 1, 1, 3);

    for (QLineEdit* e : {m_size, m_weight, m_price, m_priceOut, m_stock}) DigitsOnly(e);
    m_prefire->setMaxLength(9);
    m_duration->setMaxLength(9);

    auto* colourGroup = new QGroupBox(QStringLiteral("Color :"), this);
    auto* colourGrid = new QGridLayout(colourGroup);
    const std::vector<EditorChoice>& colours = m_model.Colours();
    for (int i = 0; i < kColourBoxes; ++i) {
        const bool bound = size_t(i) < m_model.BoxCount();
        auto* box = new QCheckBox(bound ? Text(colours[size_t(i)].name) : QStringLiteral("N/A"),
                                  colourGroup);
        box->setObjectName(QStringLiteral("colour%1").arg(i));
        box->setEnabled(bound);
        colourGrid->addWidget(box, i / 4, i % 4);
        m_colours[size_t(i)] = box;
    }

    const EditorButtons buttons = MakeButtons(m_model.Mode(), this);
    m_ok = buttons.ok;
    m_cancel = buttons.cancel;

    auto* left = new QVBoxLayout;
    left->addLayout(fields);
    left->addWidget(colourGroup);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addWidget(buttons.box);

    FillCombo(m_category, m_model.Categories());
    FillCombo(m_manufacturer, m_model.Manufacturers());
    Fill(m_model.Initial());
    m_article->setEnabled(add);

    connect(m_prefire, &QLineEdit::textChanged, this,
            [this] { CheckDecimal(m_prefire, m_lastPrefire); });
    connect(m_duration, &QLineEdit::textChanged, this,
            [this] { CheckDecimal(m_duration, m_lastDuration); });
    connect(m_category, &QComboBox::currentIndexChanged, this,
            [this](int index) { ChooseEntry(m_category, m_chosenCategory, index); });
    connect(m_manufacturer, &QComboBox::currentIndexChanged, this,
            [this](int index) { ChooseEntry(m_manufacturer, m_chosenManufacturer, index); });
    connect(m_ok, &QPushButton::clicked, this, &CItemEditor::Save);
    connect(m_cancel, &QPushButton::clicked, this, &CItemEditor::reject);
    connect(buttons.remove, &QPushButton::clicked, this, &CItemEditor::Delete);

    m_article->setFocus();
    m_ok->setEnabled(false);
    m_timer = new QTimer(this);
    m_timer->setInterval(250);
    connect(m_timer, &QTimer::timeout, this, &CItemEditor::UpdateOkButton);
    m_timer->start();
}

void CItemEditor::Fill(const ItemForm& form)
{
    m_article->setText(Text(form.article));
    m_name->setText(Text(form.name));
    m_size->setText(Text(form.size));
    m_weight->setText(Text(form.weight));
    m_prefire->setText(Text(form.prefire));
    m_duration->setText(Text(form.duration));
    m_description->setText(Text(form.description));
    m_price->setText(Text(form.price));
    m_priceOut->setText(Text(form.priceOut));
    m_stock->setText(Text(form.stock));
    m_category->setCurrentIndex(form.category);
    m_manufacturer->setCurrentIndex(form.manufacturer);
    for (size_t i = 0; i < form.colours.size() && i < m_colours.size(); ++i) {
        m_colours[i]->setChecked(form.colours[i]);
    }
    m_lastPrefire = m_prefire->text();
    m_lastDuration = m_duration->text();
    m_chosenCategory = m_category->currentIndex();
    m_chosenManufacturer = m_manufacturer->currentIndex();
}

ItemForm CItemEditor::Form() const
{
    ItemForm form;
    form.article = Bytes(m_article);
    form.name = Bytes(m_name);
    form.size = Bytes(m_size);
    form.weight = Bytes(m_weight);
    form.prefire = Bytes(m_prefire);
    form.duration = Bytes(m_duration);
    form.description = Bytes(m_description);
    form.price = Bytes(m_price);
    form.priceOut = Bytes(m_priceOut);
    form.stock = Bytes(m_stock);
    form.category = m_category->currentIndex();
    form.manufacturer = m_manufacturer->currentIndex();
    for (size_t i = 0; i < m_model.BoxCount(); ++i)
        form.colours.push_back(m_colours[i]->isChecked());
    return form;
}

void CItemEditor::CheckDecimal(QLineEdit* edit, QString& lastAccepted)
{
    if (IsDecimalTextAccepted(edit->text().toStdString())) {
        lastAccepted = edit->text();
        return;
    }
    flr::Beep(BeepKind::Exclamation);
    const QSignalBlocker block(edit);
    edit->setText(lastAccepted);
}

void CItemEditor::ChooseEntry(QComboBox* combo, int& remembered, int index)
{
    const ComboVerdict verdict =
        index < 0 ? ComboVerdict::Take
                  : JudgeComboEntry(Utf8ToCp1252(combo->itemText(index).toStdString()));
    if (verdict == ComboVerdict::Take) {
        remembered = index;
        return;
    }
    if (verdict == ComboVerdict::RestoreWithBeep) flr::Beep(BeepKind::Exclamation);
    const QSignalBlocker block(combo);
    combo->setCurrentIndex(remembered);
}

void CItemEditor::UpdateOkButton()
{
    const ItemForm form = Form();
    m_ok->setEnabled(m_model.IsChanged(form) && m_model.IsValid(form));
}

void CItemEditor::Save()
{
    const ItemForm form = Form();
    if (!m_model.IsValid(form)) return;
    m_timer->stop();
    m_ok->setEnabled(false);
    m_cancel->setEnabled(false);
    const int result = m_model.Save(form, m_catalogue);
    if (result == 0) {
        // The article number was taken meanwhile, or the user goes back after a conflict.
        m_cancel->setEnabled(true);
        m_timer->start();
        return;
    }
    done(result);
}

void CItemEditor::Delete()
{
    if (m_model.Delete(Form(), m_catalogue) == kEditorDeleted) done(kEditorDeleted);
}

void CItemEditor::reject()
{
    m_timer->stop();
    done(kEditorCancel);
}

}  // namespace flr
