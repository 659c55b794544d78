#include <gtest/gtest.h>
#include <unistd.h>

#include <QPushButton>
#include <QTreeWidget>
#include <filesystem>

#include "database/datasource.h"
#include "model/racktype.h"
#include "support/scriptedprompter.h"
#include "support/showbuilder.h"
#include "ui/schedule/flrview.h"
#include "ui/show/racktypedialog.h"

namespace flr {
namespace {

namespace fs = std::filesystem;

TEST(RackType, PositionsComeFromTheConfigsFirstNumber)
{
    // Blanks pass; unreadable counts give no positions rather than a guess.
    const std::pair<const char*, int> configs[] = {
        {"  5(1:5)", 5},      {"1000", kMaxRackPositions}, {"", 0}, {"none", 0}, {"-3 (1:3)", 0},
        {"1001 (1:1001)", 0}, {"99999999999999999999", 0}};
    for (const auto& [config, count] : configs)
        EXPECT_EQ(RackPositionCount(config), count) << config;
    const CRackType type = MakeRackType("Rack 12", "12 (3:4)");
    EXPECT_EQ(type.positions, std::vector<int16_t>(12, 0));
    EXPECT_EQ(RackNodeText(0, type), "000 - Rack 12");
    EXPECT_EQ(RackPositionText(7), "007 empty");
}

// The sample catalogue in a SQLite file of the test's own, plus a rack type whose Config is not
// a number.
class RackTypeDialogTest : public testing::Test {
protected:
    void SetUp() override
    {
        m_dir = fs::temp_directory_path() / ("flr-racks-" + std::to_string(::getpid()));
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
        DBError error;
        const std::string path = (m_dir / "Racks.sqlite").string();
        ASSERT_TRUE(CreateSqliteDatabase(path, &error)) << error.text;
        ASSERT_TRUE(m_db.OpenEx(SqliteConnectString(path), &error)) << error.text;
        ASSERT_TRUE(
            m_db.ExecuteSQL("INSERT INTO \"tbMortarTypes\" (\"ID\", \"TypeNO\", \"Name\", "
                            "\"Config\", \"Hide\") VALUES (20, 20, 'Broken', 'none', 0)",
                            &error))
            << error.text;
    }
    void TearDown() override
    {
        m_db.Close();
        fs::remove_all(m_dir);
    }

    static QTreeWidgetItem* Root(const CRackTypeDialog& dialog, const QString& name)
    {
        const auto found = dialog.Tree()->findItems(name, Qt::MatchExactly);
        return found.isEmpty() ? nullptr : found.front();
    }

    test::ScriptedPrompter m_prompter;
    fs::path m_dir;
    CDatabase m_db;
};

TEST_F(RackTypeDialogTest, ListsTypesByNameWithTheirPositionsAndChoosesOnlyByTypeNode)
{
    CRackTypeDialog dialog(&m_db);
    QStringList names;
    for (int i = 0; i < dialog.Tree()->topLevelItemCount(); ++i) {
        names << dialog.Tree()->topLevelItem(i)->text(0);
    }
    EXPECT_EQ(names, (QStringList{"Broken", "Cake Plate 1", "Fan 5", "Line 10", "Rack 16",
                                  "Rack 25", "Rack 36", "Rack 9", "Single 150"}));
    QTreeWidgetItem* rack16 = Root(dialog, "Rack 16");
    ASSERT_NE(rack16, nullptr);
    ASSERT_EQ(rack16->childCount(), 16);
    EXPECT_EQ(Root(dialog, "Broken")->childCount(), 0);

    // A position's node before any type: still nothing chosen.
    dialog.Tree()->setCurrentItem(rack16->child(3));
    EXPECT_EQ(dialog.ChosenRackType(), nullptr);
    dialog.Tree()->setCurrentItem(Root(dialog, "Fan 5"));
    ASSERT_NE(dialog.ChosenRackType(), nullptr);
    EXPECT_EQ(*dialog.ChosenRackType(), MakeRackType("Fan 5", "5 (1:5)"));
    // A position's node keeps the type chosen before, even under another type.
    dialog.Tree()->setCurrentItem(rack16->child(0));
    EXPECT_EQ(dialog.ChosenRackType()->name, "Fan 5");
    EXPECT_TRUE(m_prompter.Messages().empty());
}

TEST(RackTree, AddRackFillsTheTreeAndLeavesTheShowAloneAndTransferGetsTheShow)
{
    test::ScriptedPrompter prompter;
    CFLRDoc doc;
    test::AppendEntry(doc, "00:00:01:00", "A01");
    CFLRView view(doc);
    view.InitialUpdate();
    doc.SetModifiedFlag(false);

    EXPECT_FALSE(view.State(cmd::AddRack).enabled);  // no chooser, no dialog to run
    std::optional<CRackType> next = MakeRackType("Cr\xE8me 3", "3 (1:3)");  // Windows-1252 "è"
    int asked = 0;
    view.SetRackTypeChooser([&] {
        ++asked;
        return next;
    });
    EXPECT_TRUE(view.State(cmd::AddRack).enabled);
    for (int id : {cmd::DeleteRack, cmd::EditRack, cmd::ShowPositions, cmd::EditIgnitionRack}) {
        EXPECT_FALSE(view.State(id).enabled) << id;
    }

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
    EXPECT_EQ(test::FiringOrder(doc).size(), 1u);

    // Transfer hands the first firing to the dialog's runner.
    std::vector<CIgnition*> handed;
    view.SetTransferRunner([&](CIgnition* first) { handed.push_back(first); });
    view.RunCommand(cmd::Transfer);
    EXPECT_EQ(handed, std::vector<CIgnition*>{doc.FirstFiring()});
}

}  // namespace
}  // namespace flr
