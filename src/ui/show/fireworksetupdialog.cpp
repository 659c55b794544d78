#include "ui/show/fireworksetupdialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCursor>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QShortcut>
#include <QToolTip>
#include <QVBoxLayout>
#include <QWhatsThis>
#include <algorithm>

#include "base/textcodec.h"
#include "database/customernames.h"
#include "model/fireworksetup.h"

namespace flr {

namespace {

QString ToUi(const std::string& bytes) { return QString::fromStdString(Cp1252ToUtf8(bytes)); }
std::string FromUi(const QString& text) { return Utf8ToCp1252(text.toStdString()); }

QLineEdit* DigitsEdit(int maxChars = 0)
{
    auto* edit = new QLineEdit;
    edit->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
    if (maxChars > 0) edit->setMaxLength(maxChars);
    return edit;
}

// The help pop-up: the text at the mouse, in the default text colour on pale yellow. It is
// the toolkit's what's-this window (which closes on the next click or key), made with the
// tool-tip palette of the moment.
void ShowHelpPopup(const QString& text, QWidget* parent)
{
    const QPalette saved = QToolTip::palette();
    QPalette palette = saved;
    palette.setColor(QPalette::ToolTipBase, QColor(255, 255, 208));
    palette.setColor(QPalette::ToolTipText, parent->palette().color(QPalette::WindowText));
    QToolTip::setPalette(palette);
    QWhatsThis::showText(QCursor::pos(), text, parent);
    QToolTip::setPalette(saved);
}

}  // namespace

CFireworkSetupDialog::CFireworkSetupDialog(CFireworkSetup& setup, CDatabase* database,
                                           QWidget* parent)
    : QDialog(parent), m_setup(setup), m_database(database)
{
    setWindowTitle(tr("Firework Setup"));
    setWindowFlags(windowFlags() | Qt::WindowContextHelpButtonHint);

    // Time settings.
    auto* time = new QGroupBox(tr("Time Settings"));
    auto* timeGrid = new QGridLayout(time);
    m_date = new QDateEdit(QDate::currentDate());
    m_date->setObjectName(QStringLiteral("date"));
    m_date->setCalendarPopup(true);
    m_date->setWhatsThis(tr("Enter the date for this firework here."));
    m_length = new QLineEdit;
    m_length->setObjectName(QStringLiteral("length"));
    m_length->setAlignment(Qt::AlignCenter);
    m_length->setFixedWidth(m_length->fontMetrics().horizontalAdvance(QStringLiteral("00000")) +
                            12);
    m_unit = new QComboBox;
    m_unit->setObjectName(QStringLiteral("unit"));
    m_unit->setWhatsThis(tr("Is your estimation of the firework length in seconds or minutes?"));
    m_fps25 = new QRadioButton(tr("&25 fps"));
    m_fps25->setObjectName(QStringLiteral("fps25"));
    m_fps30 = new QRadioButton(tr("&30 fps"));
    m_fps30->setObjectName(QStringLiteral("fps30"));
    m_usePrefire = new QCheckBox(tr("Use prefire when timing"));
    m_usePrefire->setObjectName(QStringLiteral("usePrefire"));
    timeGrid->addWidget(new QLabel(tr("Date :")), 0, 0);
    timeGrid->addWidget(m_date, 0, 1, 1, 2);
    timeGrid->addWidget(new QLabel(tr("Estimated length :")), 1, 0);
    auto* lengthRow = new QHBoxLayout;
    lengthRow->addWidget(m_length);
    lengthRow->addWidget(m_unit, 1);
    timeGrid->addLayout(lengthRow, 1, 1, 1, 2);
    timeGrid->addWidget(m_fps25, 2, 1);
    timeGrid->addWidget(m_fps30, 2, 2);
    timeGrid->addWidget(m_usePrefire, 3, 0, 1, 3);

    // Price modifiers: a check box that enables its edit.
    auto* prices = new QGroupBox(tr("Price Modifiers"));
    auto* priceGrid = new QGridLayout(prices);
    int row = 0;
    auto addPrice = [&](PriceControls& c, const QString& label, const QString& name,
                        QLineEdit* edit, const QString& suffix) {
        c.check = new QCheckBox(label);
        c.check->setObjectName(name + QStringLiteral("Check"));
        c.edit = edit;
        c.edit->setObjectName(name);
        c.edit->setEnabled(false);
        priceGrid->addWidget(c.check, row, 0);
        priceGrid->addWidget(c.edit, row, 1);
        if (!suffix.isEmpty()) priceGrid->addWidget(new QLabel(suffix), row, 2);
        ++row;
        QLineEdit* target = c.edit;
        connect(c.check, &QCheckBox::clicked, this, [target] {
            target->setEnabled(!target->isEnabled());
            if (target->isEnabled()) target->setFocus();
        });
    };
    addPrice(m_priceLimit, tr("&Use price limit :"), QStringLiteral("priceLimit"), DigitsEdit(),
             {});
    addPrice(m_fixedPrice, tr("&Fixed price :"), QStringLiteral("fixedPrice"), new QLineEdit, {});
    addPrice(m_propDiscount, tr("&Prop discount :"), QStringLiteral("propDiscount"),
             DigitsEdit(SetupForm::kPropDiscountChars), QStringLiteral("%"));
    addPrice(m_fixedDiscount, tr("Fixed &discount :"), QStringLiteral("fixedDiscount"),
             DigitsEdit(), {});
    priceGrid->setColumnStretch(1, 1);

    // Customer and contacts.
    auto* customer = new QGroupBox(tr("Customer"));
    auto* customerRow = new QHBoxLayout(customer);
    m_customer = new QComboBox;
    m_customer->setObjectName(QStringLiteral("customer"));
    m_customer->setMinimumWidth(200);
    m_newCustomer = new QPushButton(tr("New ..."));
    m_newCustomer->setObjectName(QStringLiteral("newCustomer"));
    m_newCustomer->setAutoDefault(false);
    customerRow->addWidget(new QLabel(tr("Name :")));
    customerRow->addWidget(m_customer, 1);
    customerRow->addWidget(m_newCustomer);
    connect(m_newCustomer, &QPushButton::clicked, this, &CFireworkSetupDialog::AddCustomer);
    SetAddCustomer({});

    auto* contacts = new QGroupBox(tr("Contacts"));
    auto* contactGrid = new QGridLayout(contacts);
    auto contactEdit = [](const char* name) {
        auto* edit = new QLineEdit;
        edit->setObjectName(QLatin1String(name));
        return edit;
    };
    m_contact1Name = contactEdit("contact1Name");
    m_contact1Tel = contactEdit("contact1Tel");
    m_contact2Name = contactEdit("contact2Name");
    m_contact2Tel = contactEdit("contact2Tel");
    contactGrid->addWidget(new QLabel(tr("Name :")), 0, 0);
    contactGrid->addWidget(m_contact1Name, 0, 1);
    contactGrid->addWidget(new QLabel(tr("Tel :")), 0, 2);
    contactGrid->addWidget(m_contact1Tel, 0, 3);
    contactGrid->addWidget(new QLabel(tr("Name :")), 1, 0);
    contactGrid->addWidget(m_contact2Name, 1, 1);
    contactGrid->addWidget(new QLabel(tr("Tel :")), 1, 2);
    contactGrid->addWidget(m_contact2Tel, 1, 3);
    contactGrid->setColumnStretch(1, 3);
    contactGrid->setColumnStretch(3, 2);
    // An international number fits whole.
    const int telWidth =
        fontMetrics().horizontalAdvance(QStringLiteral("+44 (0)20 7946 0000")) + 12;
    m_contact1Tel->setMinimumWidth(telWidth);
    m_contact2Tel->setMinimumWidth(telWidth);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &CFireworkSetupDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CFireworkSetupDialog::reject);

    auto* columns = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    left->addWidget(time);
    left->addWidget(prices);
    left->addStretch(1);
    auto* right = new QVBoxLayout;
    right->addWidget(customer);
    right->addWidget(contacts);
    right->addStretch(1);
    columns->addLayout(left);
    columns->addLayout(right, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns);
    layout->addWidget(buttons);

    for (QWidget* w : {static_cast<QWidget*>(m_unit), static_cast<QWidget*>(m_date)})
        w->installEventFilter(this);
    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(help, &QShortcut::activated, this, [this] { ShowHelp(focusWidget()); });

    m_unit->addItems({QStringLiteral("Minutes"), QStringLiteral("Seconds")});
    Load(SetupForm::FromSetup(m_setup));
}

void CFireworkSetupDialog::Load(const SetupForm& form)
{
    m_unit->setCurrentIndex(form.minutes ? 0 : 1);
    if (form.year != 0) m_date->setDate(QDate(form.year, form.month, form.day));
    // The limit is for typing: a longer stored estimate is shown whole.
    m_length->setMaxLength(std::max<int>(SetupForm::kLengthChars, int(form.lengthText.size())));
    m_length->setText(QString::fromStdString(form.lengthText));
    (form.fps30 ? m_fps30 : m_fps25)->setChecked(true);
    m_usePrefire->setChecked(form.usePrefire);
    const std::pair<PriceControls*, const SetupForm::Price*> prices[] = {
        {&m_priceLimit, &form.priceLimit},
        {&m_fixedPrice, &form.fixedPrice},
        {&m_propDiscount, &form.propDiscount},
        {&m_fixedDiscount, &form.fixedDiscount}};
    for (const auto& [controls, price] : prices) {
        controls->check->setChecked(price->used);
        controls->edit->setEnabled(price->used);
        controls->edit->setText(QString::fromStdString(price->text));
    }
    FillCustomers();
    m_contact1Name->setText(ToUi(form.contact1Name));
    m_contact1Tel->setText(ToUi(form.contact1Tel));
    m_contact2Name->setText(ToUi(form.contact2Name));
    m_contact2Tel->setText(ToUi(form.contact2Tel));
    // A text longer than its field shows its start: "+44 20 …", not "… 7946 0000".
    for (QLineEdit* edit : {m_contact1Name, m_contact1Tel, m_contact2Name, m_contact2Tel}) {
        edit->setCursorPosition(0);
    }
}

void CFireworkSetupDialog::FillCustomers()
{
    const std::string chosen = m_setup.GetCustomerName().value_or("");
    m_customer->clear();
    if (!ReadCustomerNames(m_database, m_customers)) {
        // Without the customer table the show keeps the customer it has.
        m_customers.clear();
        if (!chosen.empty()) m_customers.push_back(chosen);
    }
    for (const std::string& name : m_customers) m_customer->addItem(ToUi(name));
    // The drop-down shows every entry.
    m_customer->setMaxVisibleItems(std::max(1, m_customer->count()));
    m_customer->setCurrentIndex(CustomerIndex(m_customers, chosen));
}

void CFireworkSetupDialog::SetAddCustomer(std::function<void()> addCustomer)
{
    m_addCustomer = std::move(addCustomer);
    m_newCustomer->setEnabled(bool(m_addCustomer));
    m_newCustomer->setToolTip(m_addCustomer
                                  ? tr("Add a customer to the FLR database")
                                  : tr("Customers are added with the customer record editor, "
                                       "which this version does not have yet."));
}

void CFireworkSetupDialog::AddCustomer()
{
    if (!m_addCustomer) return;
    const std::vector<std::string> before = m_customers;
    m_addCustomer();
    FillCustomers();
    // The customer just added is the one the designer came for.
    for (size_t i = 0; i < m_customers.size(); ++i) {
        if (std::find(before.begin(), before.end(), m_customers[i]) == before.end()) {
            m_customer->setCurrentIndex(int(i));
            break;
        }
    }
}

SetupForm CFireworkSetupDialog::Form() const
{
    SetupForm f;
    const QDate date = m_date->date();
    f.year = date.year();
    f.month = date.month();
    f.day = date.day();
    f.lengthText = m_length->text().toStdString();
    f.minutes = m_unit->currentIndex() != 1;
    f.fps30 = !m_fps25->isChecked();
    f.usePrefire = m_usePrefire->isChecked();
    auto price = [](const PriceControls& c) {
        return SetupForm::Price{c.check->isChecked(), c.edit->text().toStdString()};
    };
    f.priceLimit = price(m_priceLimit);
    f.fixedPrice = price(m_fixedPrice);
    f.propDiscount = price(m_propDiscount);
    f.fixedDiscount = price(m_fixedDiscount);
    const int index = m_customer->currentIndex();
    if (index >= 0 && size_t(index) < m_customers.size()) f.customer = m_customers[size_t(index)];
    f.contact1Name = FromUi(m_contact1Name->text());
    f.contact1Tel = FromUi(m_contact1Tel->text());
    f.contact2Name = FromUi(m_contact2Name->text());
    f.contact2Tel = FromUi(m_contact2Tel->text());
    return f;
}

void CFireworkSetupDialog::accept()
{
    const SetupForm form = Form();
    form.ApplyTo(m_setup);
    if (auto stored = FindCustomerName(m_database, *m_setup.GetCustomerName()))
        m_setup.SetCustomerNameStored(*stored);
    QDialog::accept();
}

QString CFireworkSetupDialog::HelpText(const QWidget* control)
{
    return control ? control->whatsThis() : QString();
}

void CFireworkSetupDialog::ShowHelp(const QWidget* control)
{
    // A control inside a compound one (the date picker's edit) asks for its owner's text.
    while (control && control != this && HelpText(control).isEmpty())
        control = control->parentWidget();
    if (control && control != this) ShowHelpPopup(HelpText(control), this);
}

bool CFireworkSetupDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::WhatsThis) {
        ShowHelp(qobject_cast<QWidget*>(watched));
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace flr
