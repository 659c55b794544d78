#include "ui/show/chooseitemdialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "base/textcodec.h"

namespace flr {

namespace {

QString ToUi(const std::string& bytes) { return QString::fromStdString(Cp1252ToUtf8(bytes)); }

// Puts `texts` into `combo` unless it holds them already, then selects `index`.
void Show(QComboBox* combo, const QStringList& texts, int index)
{
    const QSignalBlocker block(combo);
    QStringList current;
    for (int i = 0; i < combo->count(); ++i) current << combo->itemText(i);
    if (current != texts) {
        combo->clear();
        combo->addItems(texts);
    }
    combo->setCurrentIndex(index);
}

}  // namespace

CChooseItemDialog::CChooseItemDialog(CDatabase* database, CEffectCatalogue& catalogue,
                                     QWidget* parent, CItemChooser::MissingItems missing)
    : QDialog(parent), m_chooser(database, catalogue, missing)
{
    setWindowTitle(tr("Choose firework item"));
    m_size = new QComboBox;
    m_size->setObjectName(QStringLiteral("size"));
    m_size->setMinimumWidth(80);
    m_serial = new QComboBox;
    m_serial->setObjectName(QStringLiteral("serial"));
    m_serial->setMinimumWidth(140);
    m_name = new QComboBox;
    m_name->setObjectName(QStringLiteral("name"));
    m_name->setMinimumWidth(320);
    m_name->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_description = new QLabel(QString::fromLatin1(CItemChooser::kInitialDescription));
    m_description->setTextFormat(Qt::PlainText);  // it shows outside text as typed
    m_description->setObjectName(QStringLiteral("description"));
    m_description->setWordWrap(true);
    m_description->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_description->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    m_description->setMargin(4);
    m_description->setMinimumHeight(m_description->fontMetrics().lineSpacing() * 4 + 10);

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(tr("Size :")), 0, 0);
    grid->addWidget(m_size, 0, 1);
    grid->addWidget(new QLabel(tr("Art No :")), 0, 2, Qt::AlignRight);
    grid->addWidget(m_serial, 0, 3);
    grid->addWidget(new QLabel(tr("Name :")), 1, 0);
    grid->addWidget(m_name, 1, 1, 1, 3);
    grid->addWidget(new QLabel(tr("Description :")), 2, 0, 1, 4);
    grid->addWidget(m_description, 3, 0, 1, 4);
    grid->setColumnStretch(3, 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(buttons);

    // Only the user's picks change the choice, not the lists being filled.
    connect(m_size, &QComboBox::activated, this, [this](int i) {
        m_chooser.ChangeSize(i);
        Sync();
    });
    connect(m_serial, &QComboBox::activated, this, [this](int i) {
        m_chooser.ChangeSerial(i);
        Sync();
    });
    connect(m_name, &QComboBox::activated, this, [this](int i) {
        m_chooser.ChangeName(i);
        Sync();
    });
}

void CChooseItemDialog::SetItem(CEffectRef item)
{
    m_chooser.SetItem(std::move(item));
    if (m_chooser.IsInitialised()) Sync();
}

void CChooseItemDialog::InitDialog()
{
    if (m_chooser.IsInitialised()) return;
    m_chooser.Open();
    Sync();
}

void CChooseItemDialog::showEvent(QShowEvent* event)
{
    InitDialog();
    QDialog::showEvent(event);
}

void CChooseItemDialog::Sync()
{
    QStringList sizes;
    for (int32_t s : m_chooser.Sizes()) sizes << QString::number(s);
    Show(m_size, sizes, m_chooser.SizeIndex());
    QStringList serials;
    for (const std::string& s : m_chooser.Serials()) serials << ToUi(s);
    Show(m_serial, serials, m_chooser.SerialIndex());
    QStringList names;
    for (const auto& n : m_chooser.Names()) names << ToUi(n.name);
    Show(m_name, names, m_chooser.NameIndex());
    m_description->setText(ToUi(m_chooser.Description()));
}

}  // namespace flr
