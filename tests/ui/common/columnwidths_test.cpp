// Column widths: wide enough for their usual texts, and what the user drags is kept.
#include "ui/common/columnwidths.h"

#include <gtest/gtest.h>

#include <QHeaderView>
#include <QStandardItemModel>
#include <QTableView>
#include <QTest>
#include <filesystem>

#include "base/settingsstore.h"

namespace flr {
namespace {

TEST(ColumnWidthsTest, SamplesWidenAndDraggedWidthsOutliveTheList)
{
    const auto ini = std::filesystem::temp_directory_path() / "flr-columnwidths-test.ini";
    std::filesystem::remove(ini);
    CSettingsStore store(ini.string());
    InstallColumnWidthStore(&store);
    QStandardItemModel model(1, 3);
    model.setHorizontalHeaderLabels({"Art No", "Size", "Name"});

    auto makeList = [&] {
        auto list = std::make_unique<QTableView>();
        list->setModel(&model);
        list->show();
        for (int c = 0; c < 3; ++c) list->setColumnWidth(c, 20);
        FitColumnsToSamples(list.get(), {QStringLiteral("BM-S050-01"), {}, {}});
        RememberColumnWidths(list.get(), QStringLiteral("Test"));
        return list;
    };
    auto list = makeList();
    const QFontMetrics metrics = list->fontMetrics();
    EXPECT_GT(list->columnWidth(0), metrics.horizontalAdvance(QStringLiteral("BM-S050-01")));
    EXPECT_GT(list->columnWidth(1), metrics.horizontalAdvance(QStringLiteral("Size")));
    EXPECT_EQ(store.ReadText("Columns/Test"), std::nullopt);  // fitting is no user's choice

    // The user drags Name's edge wider; the next list opens with that width.
    QHeaderView* header = list->horizontalHeader();
    const int edge = header->sectionViewportPosition(2) + header->sectionSize(2) - 1;
    const int y = header->height() / 2;
    QTest::mousePress(header->viewport(), Qt::LeftButton, {}, QPoint(edge, y));
    QTest::mouseMove(header->viewport(), QPoint(edge + 100, y));
    QTest::mouseRelease(header->viewport(), Qt::LeftButton, {}, QPoint(edge + 100, y));
    const int dragged = list->columnWidth(2);
    ASSERT_GT(dragged, 100);
    QTest::qWait(600);
    list = makeList();
    EXPECT_EQ(list->columnWidth(2), dragged);

    // A damaged or foreign entry is ignored.
    for (const char* text : {"1,2", "1,2,x", "0,50,50", "50,50,99999", ""}) {
        store.WriteText("Columns/Test", text);
        list = makeList();
        EXPECT_NE(list->columnWidth(2), dragged) << text;
        EXPECT_GE(list->columnWidth(0), metrics.horizontalAdvance(QStringLiteral("BM-S050-01")))
            << text;
    }
    InstallColumnWidthStore(nullptr);
    std::filesystem::remove(ini);
}

}  // namespace
}  // namespace flr
