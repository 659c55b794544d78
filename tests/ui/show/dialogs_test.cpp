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

// The form's arithmetic has its own tests; here, that each widget reads and writes its field.
TEST_F(DialogTest, SetupWidgetsShowAndWriteTheSetupAndCancelChangesNothing)
{
    CFireworkSetup setup;
    setup.SetFixedPrice(250);
    {
        CFireworkSetupDialog dialog(setup, &m_db);
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        EXPECT_EQ(Child<QLineEdit>(dialog, "length")->text(), "3");
        EXPECT_EQ(Child<QComboBox>(dialog, "unit")->currentText(), "Minutes");
        EXPECT_TRUE(Child<QRadioButton>(dialog, "fps25")->isChecked());
        EXPECT_TRUE(Child<QCheckBox>(dialog, "usePrefire")->isChecked());
        EXPECT_EQ(Child<QDateEdit>(dialog, "date")->date(), QDate::currentDate());
        auto* fixedCheck = Child<QCheckBox>(dialog, "fixedPriceCheck");
        auto* fixed = Child<QLineEdit>(dialog, "fixedPrice");
        EXPECT_TRUE(fixedCheck->isChecked() && fixed->isEnabled());
        EXPECT_EQ(fixed->text(), "250");
        auto* limitCheck = Child<QCheckBox>(dialog, "priceLimitCheck");
        auto* limit = Child<QLineEdit>(dialog, "priceLimit");
        EXPECT_FALSE(limit->isEnabled());
        limitCheck->click();
        EXPECT_TRUE(limit->isEnabled() && limit->hasFocus());
        fixedCheck->click();
        EXPECT_FALSE(fixed->isEnabled());
        Child<QLineEdit>(dialog, "length")->setText("200");
        dialog.reject();
    }
    EXPECT_EQ(setup.GetFixedPrice(), 250);
    EXPECT_EQ(setup.GetPriceLimit(), CFireworkSetup::kNotUsed);
    EXPECT_EQ(setup.GetEstimatedLength(), 5625);

    CFireworkSetupDialog dialog(setup, &m_db);
    Child<QLineEdit>(dialog, "length")->setText("200");
    Child<QComboBox>(dialog, "unit")->setCurrentIndex(1);
    Child<QRadioButton>(dialog, "fps30")->setChecked(true);
    Child<QCheckBox>(dialog, "usePrefire")->setChecked(false);
    Child<QCheckBox>(dialog, "fixedPriceCheck")->click();
    Child<QCheckBox>(dialog, "fixedDiscountCheck")->click();
    Child<QLineEdit>(dialog, "fixedDiscount")->setText("40");
    Child<QCheckBox>(dialog, "propDiscountCheck")->click();
    Child<QLineEdit>(dialog, "propDiscount")->setText("15");
    dialog.accept();
    EXPECT_EQ(setup.GetEstimatedLength(), 7500);
    EXPECT_EQ(setup.GetFrameRate(), 30);
    EXPECT_TRUE(setup.GetPrefireOff());
    EXPECT_EQ(setup.GetFixedPrice(), CFireworkSetup::kNotUsed);
    EXPECT_EQ(setup.GetFixedDiscount(), 40);
    EXPECT_EQ(setup.GetPropDiscount(), 15);
    int32_t y, m, d;
    setup.GetDate(y, m, d);
    EXPECT_EQ(QDate(y, m, d), QDate::currentDate());  // a year of 0 stores today
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

// The lists' logic has its own tests; here, that the combo boxes drive it.
TEST_F(DialogTest, ChooserListsFollowEachOther)
{
    CEffectCatalogue catalogue;
    CChooseItemDialog dialog(&m_db, catalogue, nullptr, CItemChooser::MissingItems::AddFromRow);
    dialog.show();
    auto* size = Child<QComboBox>(dialog, "size");
    auto* serial = Child<QComboBox>(dialog, "serial");
    auto* name = Child<QComboBox>(dialog, "name");
    auto* description = Child<QLabel>(dialog, "description");
    EXPECT_EQ(description->text(), "100 shots, 20 mm");
    size->setCurrentIndex(size->findText("50"));
    emit size->activated(size->currentIndex());
    EXPECT_EQ(name->currentText(), "Carcasa Roja 50");
    serial->setCurrentIndex(serial->findText("BM-S050-01"));
    emit serial->activated(serial->currentIndex());
    EXPECT_EQ(name->currentText(), "Red Peony 50");
    EXPECT_EQ(description->text(), "Red peony shell");
    dialog.accept();
    ASSERT_TRUE(dialog.Item());
    EXPECT_EQ(dialog.Item().get(), catalogue.Find("BM-S050-01"));
}

}  // namespace flr::test
