// The setup dialog and the item chooser as the user drives them, over the real SQLite sample
// catalogue.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "database/customertable.h"
#include "database/datasource.h"
#include "model/effectcatalogue.h"
#include "model/fireworksetup.h"
#include "support/dbfixture.h"
#include "ui/show/chooseitemdialog.h"
#include "ui/show/fireworksetupdialog.h"

namespace flr::test {

namespace {

class DialogTest : public IsolatedHomeTest {
protected:
    void SetUp() override
    {
        IsolatedHomeTest::SetUp();
        const std::string path = (m_home / "Test.sqlite").string();
        DBError error;
        ASSERT_TRUE(CreateSqliteDatabase(path, &error)) << error.text;
        ASSERT_TRUE(m_db.OpenEx(SqliteConnectString(path, 2000), &error)) << error.text;
    }
    void TearDown() override
    {
        m_db.Close();
        IsolatedHomeTest::TearDown();
    }

    template <typename W>
    static W* Child(QWidget& dialog, const char* name)
    {
        W* w = dialog.findChild<W*>(QLatin1String(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }

    CDatabase m_db;
    ScriptedPrompter m_prompter;
};

}  // namespace

TEST_F(DialogTest, SetupLengthRoundTripsThroughTheFactors)
{
    CFireworkSetup setup;
    {
        CFireworkSetupDialog dialog(setup, &m_db);
        EXPECT_EQ(Child<QLineEdit>(dialog, "length")->text(), "3");
        EXPECT_EQ(Child<QComboBox>(dialog, "unit")->currentText(), "Minutes");
        EXPECT_TRUE(Child<QRadioButton>(dialog, "fps25")->isChecked());
        EXPECT_TRUE(Child<QCheckBox>(dialog, "usePrefire")->isChecked());
        EXPECT_EQ(Child<QDateEdit>(dialog, "date")->date(), QDate::currentDate());
        Child<QLineEdit>(dialog, "length")->setText("200");
        Child<QComboBox>(dialog, "unit")->setCurrentIndex(1);
        Child<QRadioButton>(dialog, "fps30")->setChecked(true);
        Child<QCheckBox>(dialog, "usePrefire")->setChecked(false);
        dialog.accept();
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
    }
    EXPECT_EQ(setup.GetEstimatedLength(), 7500);
    EXPECT_EQ(setup.GetFrameRate(), 30);
    EXPECT_TRUE(setup.GetPrefireOff());
    int32_t y, m, d;
    setup.GetDate(y, m, d);
    EXPECT_EQ(QDate(y, m, d), QDate::currentDate());  // a year of 0 stores today

    // Opening again shows minutes, so confirming unchanged shortens the estimate.
    CFireworkSetupDialog again(setup, &m_db);
    EXPECT_EQ(Child<QLineEdit>(again, "length")->text(), "3");
    EXPECT_TRUE(Child<QRadioButton>(again, "fps30")->isChecked());
    again.accept();
    EXPECT_EQ(setup.GetEstimatedLength(), 6750);
}

TEST_F(DialogTest, PriceCheckBoxesEnableTheirEditsAndCancelChangesNothing)
{
    CFireworkSetup setup;
    setup.SetFixedPrice(250);
    CFireworkSetupDialog dialog(setup, &m_db);
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    auto* fixedCheck = Child<QCheckBox>(dialog, "fixedPriceCheck");
    auto* fixed = Child<QLineEdit>(dialog, "fixedPrice");
    EXPECT_TRUE(fixedCheck->isChecked());
    EXPECT_TRUE(fixed->isEnabled());
    EXPECT_EQ(fixed->text(), "250");
    auto* limitCheck = Child<QCheckBox>(dialog, "priceLimitCheck");
    auto* limit = Child<QLineEdit>(dialog, "priceLimit");
    EXPECT_FALSE(limit->isEnabled());
    EXPECT_TRUE(limit->text().isEmpty());
    limitCheck->click();
    EXPECT_TRUE(limit->isEnabled());
    EXPECT_TRUE(limit->hasFocus());
    limitCheck->click();
    EXPECT_FALSE(limit->isEnabled());
    fixedCheck->click();
    EXPECT_FALSE(fixed->isEnabled());
    Child<QCheckBox>(dialog, "propDiscountCheck")->click();
    Child<QLineEdit>(dialog, "propDiscount")->setText("15");
    EXPECT_EQ(Child<QLineEdit>(dialog, "propDiscount")->maxLength(), 3);
    dialog.reject();
    EXPECT_EQ(setup.GetFixedPrice(), 250);
    EXPECT_EQ(setup.GetPropDiscount(), CFireworkSetup::kNotUsed);

    CFireworkSetupDialog confirm(setup, &m_db);
    Child<QCheckBox>(confirm, "fixedPriceCheck")->click();
    Child<QCheckBox>(confirm, "fixedDiscountCheck")->click();
    Child<QLineEdit>(confirm, "fixedDiscount")->setText("40");
    confirm.accept();
    EXPECT_EQ(setup.GetFixedPrice(), CFireworkSetup::kNotUsed);
    EXPECT_EQ(setup.GetFixedDiscount(), 40);
}

TEST_F(DialogTest, CustomerListFallsBackToNoCustomerAndNewCustomerKeepsTheSelection)
{
    CFireworkSetup setup;
    setup.SetCustomerName(std::string("Gone Ltd"));
    setup.SetCustomerNameStored(std::string("Gone Ltd"));
    CFireworkSetupDialog dialog(setup, &m_db);
    auto* list = Child<QComboBox>(dialog, "customer");
    EXPECT_EQ(list->currentText(), "No Customer");
    EXPECT_EQ(list->maxVisibleItems(), list->count());
    EXPECT_FALSE(Child<QPushButton>(dialog, "newCustomer")->isEnabled());
    EXPECT_FALSE(Child<QPushButton>(dialog, "newCustomer")->toolTip().isEmpty());
    EXPECT_EQ(CFireworkSetupDialog::HelpText(Child<QComboBox>(dialog, "unit")),
              "Is your estimation of the firework length in seconds or minutes?");
    EXPECT_EQ(CFireworkSetupDialog::HelpText(Child<QDateEdit>(dialog, "date")),
              "Enter the date for this firework here.");
    EXPECT_TRUE(CFireworkSetupDialog::HelpText(Child<QLineEdit>(dialog, "length")).isEmpty());

    dialog.SetAddCustomer([this] {
        CCustomerTable customers(&m_db);
        ASSERT_TRUE(customers.OpenTable());
        customers.AddNew();
        customers.m_CustomerName = "Aardvark Festivals";
        ASSERT_TRUE(customers.Update());
    });
    const int before = list->count();
    dialog.AddCustomer();
    EXPECT_EQ(list->count(), before + 1);
    EXPECT_EQ(list->itemText(0), "Aardvark Festivals");
    EXPECT_EQ(list->currentText(), "No Customer");

    list->setCurrentIndex(list->findText("Château de Vérlanges"));
    dialog.accept();
    EXPECT_EQ(setup.GetCustomerName(), std::optional<std::string>("Ch\xE2teau de V\xE9rlanges"));
    EXPECT_EQ(setup.GetCustomerNameStored(), setup.GetCustomerName());
}

TEST_F(DialogTest, WithoutDatabaseTheSetupKeepsItsCustomerAndTheChooserItsItem)
{
    CFireworkSetup setup;
    setup.SetCustomerName(std::string("Harbourside Events Ltd"));
    CFireworkSetupDialog dialog(setup, nullptr);
    EXPECT_EQ(Child<QComboBox>(dialog, "customer")->currentText(), "Harbourside Events Ltd");
    dialog.accept();
    EXPECT_EQ(setup.GetCustomerName(), std::optional<std::string>("Harbourside Events Ltd"));
    EXPECT_EQ(setup.GetCustomerNameStored(), std::nullopt);

    CEffectCatalogue catalogue;
    CChooseItemDialog chooser(nullptr, catalogue);
    const CEffectRef item = CEffect::Create();
    chooser.SetItem(item);
    chooser.show();
    EXPECT_EQ(Child<QComboBox>(chooser, "size")->count(), 0);
    chooser.accept();
    EXPECT_EQ(chooser.Item(), item);
    EXPECT_TRUE(m_prompter.Messages().empty());
}

TEST_F(DialogTest, ChooserListsFollowEachOther)
{
    CEffectCatalogue catalogue;
    CChooseItemDialog dialog(&m_db, catalogue, nullptr, CItemChooser::MissingItems::AddFromRow);
    dialog.show();
    auto* size = Child<QComboBox>(dialog, "size");
    auto* serial = Child<QComboBox>(dialog, "serial");
    auto* name = Child<QComboBox>(dialog, "name");
    auto* description = Child<QLabel>(dialog, "description");
    EXPECT_EQ(size->currentText(), "20");
    EXPECT_EQ(name->currentText(), "Glitzerregen 100");
    EXPECT_EQ(serial->currentText(), "GM-C020-01");
    EXPECT_EQ(description->text(), "100 shots, 20 mm");

    size->setCurrentIndex(size->findText("50"));
    emit size->activated(size->currentIndex());
    EXPECT_EQ(name->currentText(), "Carcasa Roja 50");
    EXPECT_EQ(serial->currentText(), "PS-S050-01");
    EXPECT_EQ(description->text(), "No description available.");

    serial->setCurrentIndex(serial->findText("BM-S050-01"));
    emit serial->activated(serial->currentIndex());
    EXPECT_EQ(name->currentText(), "Red Peony 50");
    EXPECT_EQ(description->text(), "Red peony shell");
    dialog.accept();
    ASSERT_TRUE(dialog.Item());
    EXPECT_EQ(dialog.Item()->GetArticleNumber(), "BM-S050-01");
    EXPECT_EQ(dialog.Item().get(), catalogue.Find("BM-S050-01"));
}

}  // namespace flr::test
