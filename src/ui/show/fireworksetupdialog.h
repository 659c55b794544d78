#pragma once

#include <QDialog>
#include <functional>
#include <vector>

#include "editing/setupform.h"

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace flr {

class CDatabase;
class CFireworkSetup;

// "Firework Setup": date, estimated length, frame rate, prefire, the four price modifiers,
// the customer and two contacts of one show. Works on the setup it is given (not owned, must
// outlive the dialog) and writes into it only on OK. `database` is the application's
// connection (not owned) or nullptr: the customer list then keeps the setup's own customer.
class CFireworkSetupDialog : public QDialog {
    Q_OBJECT
public:
    CFireworkSetupDialog(CFireworkSetup& setup, CDatabase* database, QWidget* parent = nullptr);

    // What "New ..." runs (the main frame's add-customer command). Without it the button is
    // disabled and says why in its tool tip.
    void SetAddCustomer(std::function<void()> addCustomer);

    // The fields as they stand.
    SetupForm Form() const;

    // The confirming step: writes the fields into the setup, then closes with OK.
    void accept() override;

    // Runs "New ...": the add-customer command, then the customer list read again.
    void AddCustomer();

    // The context help text of a control (the two the dialog explains), or "".
    static QString HelpText(const QWidget* control);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Load(const SetupForm& form);
    void FillCustomers();
    void ShowHelp(const QWidget* control);

    CFireworkSetup& m_setup;
    CDatabase* m_database;
    std::function<void()> m_addCustomer;
    std::vector<std::string> m_customers;  // the list's entries, bytes

    QDateEdit* m_date = nullptr;
    QLineEdit* m_length = nullptr;
    QComboBox* m_unit = nullptr;
    QRadioButton* m_fps25 = nullptr;
    QRadioButton* m_fps30 = nullptr;
    QCheckBox* m_usePrefire = nullptr;
    struct PriceControls {
        QCheckBox* check = nullptr;
        QLineEdit* edit = nullptr;
    };
    PriceControls m_priceLimit;
    PriceControls m_fixedPrice;
    PriceControls m_propDiscount;
    PriceControls m_fixedDiscount;
    QComboBox* m_customer = nullptr;
    QPushButton* m_newCustomer = nullptr;
    QLineEdit* m_contact1Name = nullptr;
    QLineEdit* m_contact1Tel = nullptr;
    QLineEdit* m_contact2Name = nullptr;
    QLineEdit* m_contact2Tel = nullptr;
};

}  // namespace flr
