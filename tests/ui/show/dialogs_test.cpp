// The show's dialogs as the user drives them, over the real SQLite sample catalogue, and the
// view's commands that run them: Select Chain / Edit Chain through a dialog runner, Add Rack.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableView>
#include <QTest>
#include <QTreeWidget>
#include <functional>

#include "base/commandids.h"
#include "database/customertable.h"
#include "database/datasource.h"
#include "editing/chaineditor.h"
#include "model/effectcatalogue.h"
#include "model/fireworksetup.h"
#include "model/racktype.h"
#include "support/dbfixture.h"
#include "support/showbuilder.h"
#include "ui/common/celleditors.h"
#include "ui/common/dialogrunner.h"
#include "ui/schedule/flrview.h"
#include "ui/schedule/schedulelist.h"
#include "ui/show/chooseitemdialog.h"
#include "ui/show/fireworksetupdialog.h"
#include "ui/show/racktypedialog.h"
#include "ui/show/selectchaindialog.h"

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

void TypeDelay(CSelectChainDialog& dialog, int row, const char* keys)
{
    ASSERT_TRUE(dialog.EditCell(row, int(ChainColumn::Delay)));
    auto* edit = qobject_cast<CDelayCellEdit*>(dialog.CellEditor());
    ASSERT_NE(edit, nullptr);
    QTest::keyClicks(edit, QString::fromLatin1(keys));
    QTest::keyClick(edit, Qt::Key_Return);
    QApplication::processEvents();
}

std::string Cell(const CSelectChainDialog& dialog, int row, ChainColumn column)
{
    const QAbstractItemModel* model = dialog.List()->model();
    return model->data(model->index(row, int(column))).toString().toStdString();
}

// Runs Select Chain with `answer` driving the dialog.
bool RunSelectChain(CFLRView& view, const std::function<void(CSelectChainDialog&)>& answer)
{
    const DialogRunner previous = InstallDialogRunner([&](QDialog& dialog) {
        auto& chain = static_cast<CSelectChainDialog&>(dialog);
        chain.InitDialog();
        answer(chain);
        return dialog.result();
    });
    const bool ran = view.RunCommand(cmd::SelectChain);
    InstallDialogRunner(previous);
    return ran;
}

// A show of one entry in a view whose chain selector runs the dialog as the frame does.
class ShowViewTest : public testing::Test {
protected:
    ShowViewTest()
    {
        doc.ResetSetup(std::make_unique<CFireworkSetup>());
        target = test::AppendEntry(doc, "00:00:10:00", "A01");
        view.InitialUpdate();
        doc.SetModifiedFlag(false);
        view.SetChainSelector([](CScheduleEditor& show, CIgnition* entry) {
            CSelectChainDialog dialog(nullptr);
            if (entry) dialog.SetChain(show, entry);
            const bool ok = RunDialog(dialog) == QDialog::Accepted;
            return entry || !ok ? nullptr : dialog.TakeTemplate();
        });
    }

    ScriptedPrompter prompter;
    CFLRDoc doc;
    CFLRView view{doc};
    CIgnition* target = nullptr;
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

TEST_F(DialogTest, TheCustomerListFallsBackAddsAndWithoutDatabaseKeepsTheCustomer)
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
    EXPECT_EQ(list->currentText(), "Aardvark Festivals");
    // Adding nothing leaves the choice alone.
    dialog.SetAddCustomer([] {});
    list->setCurrentIndex(list->findText("No Customer"));
    dialog.AddCustomer();
    EXPECT_EQ(list->currentText(), "No Customer");

    list->setCurrentIndex(list->findText("Château de Vérlanges"));
    dialog.accept();
    EXPECT_EQ(setup.GetCustomerName(), std::optional<std::string>("Ch\xE2teau de V\xE9rlanges"));
    EXPECT_EQ(setup.GetCustomerNameStored(), setup.GetCustomerName());

    // Without a database the setup keeps its customer.
    CFireworkSetup offline;
    offline.SetCustomerName(std::string("Harbourside Events Ltd"));
    const std::string tel = "+44 (0)20 7946 0000 extension 4711 (night desk)";
    offline.SetContact1Tel(tel);
    CFireworkSetupDialog without(offline, nullptr);
    EXPECT_EQ(Child<QComboBox>(without, "customer")->currentText(), "Harbourside Events Ltd");
    // An international number keeps and shows its start.
    auto* telEdit = Child<QLineEdit>(without, "contact1Tel");
    EXPECT_EQ(telEdit->text().toStdString(), tel);
    EXPECT_EQ(telEdit->cursorPosition(), 0);
    without.accept();
    EXPECT_EQ(offline.GetCustomerName(), std::optional<std::string>("Harbourside Events Ltd"));
    EXPECT_EQ(offline.GetCustomerNameStored(), std::nullopt);
}

// The lists' logic has its own tests; here, that the combo boxes drive it.
TEST_F(DialogTest, ChooserListsFollowEachOtherAndWithoutDatabaseKeepTheItem)
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

    // Without a database the chooser keeps its item.
    CEffectCatalogue empty;
    CChooseItemDialog chooser(nullptr, empty);
    const CEffectRef item = CEffect::Create();
    chooser.SetItem(item);
    chooser.show();
    EXPECT_EQ(Child<QComboBox>(chooser, "size")->count(), 0);
    chooser.accept();
    EXPECT_EQ(chooser.Item(), item);
    EXPECT_TRUE(m_prompter.Messages().empty());
}

TEST(RackType, PositionsComeFromTheConfigsFirstNumber)
{
    // Blanks pass; unreadable counts give no positions rather than a guess.
    const std::pair<const char*, int> configs[] = {
        {"  5(1:5)", 5},      {"1000", kMaxRackPositions}, {"", 0}, {"none", 0}, {"-3 (1:3)", 0},
        {"1001 (1:1001)", 0}, {"99999999999999999999", 0}};
    for (const auto& [config, count] : configs)
        EXPECT_EQ(RackPositionCount(config), count) << config;
    EXPECT_EQ(MakeRackType("Rack 12", "12 (3:4)").positions, std::vector<int16_t>(12, 0));
}

TEST_F(DialogTest, RackTypesAreListedByNameWithTheirPositionsAndChosenOnlyByTypeNode)
{
    // A rack type whose Config is not a number.
    ASSERT_TRUE(
        m_db.ExecuteSQL("INSERT INTO \"tbMortarTypes\" (\"ID\", \"TypeNO\", \"Name\", "
                        "\"Config\", \"Hide\") VALUES (20, 20, 'Broken', 'none', 0)"));
    auto root = [](const CRackTypeDialog& dialog, const QString& name) {
        const auto found = dialog.Tree()->findItems(name, Qt::MatchExactly);
        return found.isEmpty() ? nullptr : found.front();
    };
    CRackTypeDialog dialog(&m_db);
    QStringList names;
    for (int i = 0; i < dialog.Tree()->topLevelItemCount(); ++i)
        names << dialog.Tree()->topLevelItem(i)->text(0);
    EXPECT_EQ(names, (QStringList{"Broken", "Cake Plate 1", "Fan 5", "Line 10", "Rack 16",
                                  "Rack 25", "Rack 36", "Rack 9", "Single 150"}));
    QTreeWidgetItem* rack16 = root(dialog, "Rack 16");
    ASSERT_NE(rack16, nullptr);
    ASSERT_EQ(rack16->childCount(), 16);
    EXPECT_EQ(root(dialog, "Broken")->childCount(), 0);

    // A position's node before any type: still nothing chosen.
    dialog.Tree()->setCurrentItem(rack16->child(3));
    EXPECT_EQ(dialog.ChosenRackType(), nullptr);
    dialog.Tree()->setCurrentItem(root(dialog, "Fan 5"));
    ASSERT_NE(dialog.ChosenRackType(), nullptr);
    EXPECT_EQ(*dialog.ChosenRackType(), MakeRackType("Fan 5", "5 (1:5)"));
    // A position's node keeps the type chosen before, even under another type.
    dialog.Tree()->setCurrentItem(rack16->child(0));
    EXPECT_EQ(dialog.ChosenRackType()->name, "Fan 5");
    EXPECT_TRUE(m_prompter.Messages().empty());
}

TEST(ChainDialog, TemplateRowsFollowTheSpinAndTheCellEdits)
{
    ScriptedPrompter prompter;
    CSelectChainDialog dialog(nullptr);
    dialog.show();
    QApplication::processEvents();
    ASSERT_EQ(dialog.List()->model()->rowCount(), 5);
    // Without a database the item cells open nothing.
    EXPECT_FALSE(dialog.EditCell(1, int(ChainColumn::Name)));

    dialog.findChild<QCheckBox*>(QStringLiteral("sameDelay"))->click();
    EXPECT_TRUE(dialog.Editor().SameDelay());
    TypeDelay(dialog, 2, "2");
    EXPECT_EQ(Cell(dialog, 1, ChainColumn::Delay), "2.00");
    EXPECT_EQ(Cell(dialog, 4, ChainColumn::Total), "8.00");

    TypeDelay(dialog, 0, "4");
    EXPECT_EQ(prompter.Beeps(BeepKind::Exclamation), 1);
    EXPECT_EQ(Cell(dialog, 0, ChainColumn::Delay), "");

    dialog.RowCount()->setValue(3);
    dialog.accept();
    std::unique_ptr<CIgnition> chain = dialog.TakeTemplate();
    ASSERT_NE(chain, nullptr);
    EXPECT_EQ(chain->GetChainNext()->GetChainNext()->GetChainNext(), nullptr);
}

TEST_F(ShowViewTest, SelectChainAppliesTheTemplateAndEditChainShrinksIt)
{
    view.List()->SelectEntry(target);
    ASSERT_TRUE(view.State(cmd::SelectChain).enabled);
    EXPECT_TRUE(RunSelectChain(view, [](CSelectChainDialog& d) { d.accept(); }));
    ExpectInvariants(doc);
    EXPECT_EQ(view.List()->Model()->rowCount(), 5);
    CIgnition* last = target;
    while (last->GetChainNext()) last = last->GetChainNext();

    // Cancelled, the shrink stays: the show's own entries were edited.
    view.List()->SelectEntry(last);
    EXPECT_TRUE(RunSelectChain(view, [](CSelectChainDialog& d) {
        EXPECT_TRUE(d.Editor().SameDelay());
        d.RowCount()->setValue(2);
        d.reject();
    }));
    ExpectInvariants(doc);
    EXPECT_EQ(view.List()->Model()->rowCount(), 2);
    ASSERT_NE(target->GetChainNext(), nullptr);
    EXPECT_EQ(target->GetChainNext()->GetChainNext(), nullptr);

    // Looked at and cancelled without a change: the show is not marked modified.
    doc.SetModifiedFlag(false);
    view.List()->SelectEntry(target->GetChainNext());
    EXPECT_TRUE(RunSelectChain(view, [](CSelectChainDialog& d) { d.reject(); }));
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(ShowViewTest, AddRackFillsTheTreeAndLeavesTheShowAloneAndTransferGetsTheShow)
{
    EXPECT_FALSE(view.State(cmd::AddRack).enabled);  // no chooser, no dialog to run
    std::optional<CRackType> next = MakeRackType("Cr\xE8me 3", "3 (1:3)");  // Windows-1252 "è"
    int asked = 0;
    view.SetRackTypeChooser([&] {
        ++asked;
        return next;
    });
    EXPECT_TRUE(view.State(cmd::AddRack).enabled);

    ASSERT_TRUE(view.RunCommand(cmd::AddRack));
    QTreeWidget* tree = view.RackTree();
    ASSERT_EQ(tree->topLevelItemCount(), 1);
    EXPECT_EQ(tree->topLevelItem(0)->text(0), QString::fromUtf8("000 - Cr\u00e8me 3"));
    ASSERT_EQ(tree->topLevelItem(0)->childCount(), 3);
    EXPECT_EQ(tree->topLevelItem(0)->child(2)->text(0), "000 empty");

    next.reset();  // cancelled, or Select with nothing chosen
    view.RunCommand(cmd::AddRack);
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(tree->topLevelItemCount(), 1);
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(FiringOrder(doc).size(), 1u);

    // Transfer hands the first firing to the dialog's runner.
    std::vector<CIgnition*> handed;
    view.SetTransferRunner([&](CIgnition* first) { handed.push_back(first); });
    view.RunCommand(cmd::Transfer);
    EXPECT_EQ(handed, std::vector<CIgnition*>{doc.FirstFiring()});
}

}  // namespace flr::test
