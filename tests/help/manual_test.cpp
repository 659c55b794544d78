// The manual's pages as the help window reads them, and the manual kept true to the program.
#include "help/manual.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "app/commands.h"
#include "help/helphistory.h"
#include "help/helptopics.h"

namespace flr {

namespace {

// A small manual: the contents page links its pages out of file-name order.
class SmallManualTest : public testing::Test {
protected:
    void SetUp() override
    {
        const std::pair<const char*, const char*> pages[] = {
            {"index.md", "# Contents\n\n- [Zeta](zeta.md)\n- [Alpha](alpha.md#second)\n"},
            {"alpha.md",
             "# Alpha page\n\nIntro about fuses.\n\n## Second part\n\nThe Zündung starts "
             "downloads.\n\n```\n# not a heading\n```\n\n### Third: (more)\n\nrefuse fuse.\n"},
            {"zeta.md", "No heading, only a [link](alpha.md#nowhere).\n"},
            {"beta.md", "# Beta\n\nUnlinked page about fuses and fuses.\n"}};
        for (const auto& [name, text] : pages) {
            QFile file(m_dir.filePath(name));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(text);
        }
        ASSERT_TRUE(m_manual.Load(m_dir.path()));
    }

    QTemporaryDir m_dir;
    CManual m_manual;
};

TEST_F(SmallManualTest, PagesFollowTheContentsAndLinksResolveToThem)
{
    QStringList pages;
    for (const ManualPage& p : m_manual.Pages()) pages << p.file + ':' + p.title;
    EXPECT_EQ(pages, QStringList({"index.md:Contents", "zeta.md:zeta", "alpha.md:Alpha page",
                                  "beta.md:Beta"}));
    QStringList headings;  // the fenced "#" line is code
    for (const ManualHeading& h : m_manual.Find("alpha.md")->headings) {
        headings << QString::number(h.level) + h.anchor;
    }
    EXPECT_EQ(headings, QStringList({"1alpha-page", "2second-part", "3third-more"}));

    // Links resolve to pages and to headings there are.
    using L = std::optional<ManualLocation>;
    const std::tuple<const char*, const char*, L> cases[] = {
        {"index.md", "alpha.md#second-part", ManualLocation{"alpha.md", "second-part"}},
        {"index.md", "./beta.md", ManualLocation{"beta.md", ""}},
        {"alpha.md", "#third-more", ManualLocation{"alpha.md", "third-more"}},
        {"zeta.md", "alpha.md#nowhere", ManualLocation{"alpha.md", ""}},
        {"index.md", "missing.md", std::nullopt},
        {"index.md", "https://example.org/alpha.md", std::nullopt},
        {"index.md", "../alpha.md", std::nullopt},
    };
    for (const auto& [from, href, expected] : cases) {
        EXPECT_EQ(m_manual.Resolve(from, href), expected) << href;
    }
    QString error;
    EXPECT_FALSE(CManual().Load(m_dir.path() + "/absent", &error));
    EXPECT_TRUE(error.contains("no pages")) << error.toStdString();
}

TEST_F(SmallManualTest, SearchFindsWordStartsInTheRightSectionBestFirst)
{
    const std::pair<const char*, std::vector<ManualLocation>> cases[] = {
        // "fuse" begins "fuses" but not "refuse"; beta says it twice.
        {"fuse", {{"beta.md", ""}, {"alpha.md", ""}, {"alpha.md", "third-more"}}},
        {"ZUNDUNG download", {{"alpha.md", "second-part"}}},  // case and accents aside
        {"fuses zundung", {}},                                // every word in one section
        {"  ", {}},
        {"heading", {{"zeta.md", ""}, {"alpha.md", "second-part"}}},  // fenced text counts
    };
    for (const auto& [query, expected] : cases) {
        std::vector<ManualLocation> found;
        for (const ManualHit& hit : m_manual.Search(query)) found.push_back(hit.where);
        EXPECT_EQ(found, expected) << query;
    }
    const ManualHit hit = m_manual.Search("download").at(0);
    EXPECT_TRUE(hit.heading == "Second part" && hit.excerpt.contains("downloads"));
}

TEST(HelpHistoryTest, BackAndForwardLikeABrowser)
{
    CHelpHistory history;
    EXPECT_EQ(history.Back(), ManualLocation{});  // nothing visited: nowhere to go
    const ManualLocation a{"a.md", ""}, b{"b.md", "x"}, c{"c.md", ""}, d{"d.md", ""};
    for (const ManualLocation& where : {a, b, b, c}) history.Visit(where);  // b once
    EXPECT_EQ(history.Back(), b);
    EXPECT_EQ(history.Back(), a);
    EXPECT_EQ(history.Back(), a);
    EXPECT_EQ(history.Forward(), b);
    history.Visit(d);  // drops c
    EXPECT_EQ(history.Forward(), d);
    EXPECT_EQ(history.Back(), b);
    EXPECT_EQ(history.Forward(), d);
    EXPECT_FALSE(history.CanGoForward());
}

// The manual as shipped.
class ShippedManualTest : public testing::Test {
protected:
    void SetUp() override
    {
        QString error;
        ASSERT_TRUE(m_manual.Load(FLR_MANUAL_DIR, &error) && error.isEmpty())
            << error.toStdString();
    }
    CManual m_manual;
};

void CollectTexts(const std::vector<MenuEntry>& entries, QStringList& out)
{
    for (const MenuEntry& e : entries) {
        QString text = QString::fromStdString(e.text.substr(0, e.text.find('\t'))).remove('&');
        // "Export..." and "Add Item ..." are named without their dots.
        while (text.endsWith('.') || text.endsWith(' ')) text.chop(1);
        if (!text.isEmpty()) out << text;
        CollectTexts(e.entries, out);
    }
}

TEST_F(ShippedManualTest, EveryMenuCommandIsDescribed)
{
    QStringList texts;
    for (const auto* bar : {&MenuBarWithoutShow(), &MenuBarWithShow(), &ContextMenus()}) {
        for (const Menu& m : *bar) CollectTexts(m.entries, texts);
    }
    QString manual;
    for (const ManualPage& p : m_manual.Pages()) manual += p.markdown;
    ASSERT_GT(texts.size(), 60);
    for (const QString& text : texts) {
        EXPECT_TRUE(manual.contains(text))
            << "the manual never names \"" << text.toStdString() << "\"";
    }
}

// A link to a heading that is not there would land on the page's top.
void ExpectLeadsSomewhere(const CManual& manual, const QString& from, const QString& href)
{
    const auto where = manual.Resolve(from, href);
    EXPECT_TRUE(where && href.contains('#') == !where->anchor.isEmpty())
        << from.toStdString() << ": " << href.toStdString();
}

TEST_F(ShippedManualTest, LinksImagesAndHelpPagesLeadSomewhere)
{
    static const QRegularExpression link(R"((!?)\[[^\]]*\]\(([^)\s]+)\))");
    int links = 0;
    for (const ManualPage& page : m_manual.Pages()) {
        for (auto it = link.globalMatch(page.markdown); it.hasNext(); ++links) {
            const auto m = it.next();
            if (m.captured(1).isEmpty()) {
                ExpectLeadsSomewhere(m_manual, page.file, m.captured(2));
            } else {
                EXPECT_TRUE(QFile::exists(QDir(FLR_MANUAL_DIR).filePath(m.captured(2))))
                    << m.captured(2).toStdString();
            }
        }
    }
    EXPECT_GT(links, 30);
    for (const QString& page : HelpTopicPages()) ExpectLeadsSomewhere(m_manual, "", page);
}

TEST_F(ShippedManualTest, SearchLeadsToThePageThatExplains)
{
    const std::pair<const char*, const char*> cases[] = {
        {"bank download serial", "transfer.md"},
        {"field list", "reports.md"},
        {"frame rate", "setup.md"},
        {"zoom to fit", "music.md"},
        {"address conflict", "show-check.md"},
        {"calibre size filter", "database-bar.md"},
        {"prefire", "schedule.md"},
        {"delay chain", "chains.md"},
        {"autosave minutes", "preferences.md"},
        {"CSV", "import-export.md"},
    };
    for (const auto& [query, page] : cases) {
        const auto hits = m_manual.Search(query);
        EXPECT_TRUE(!hits.empty() && hits.front().where.file == page) << query;
    }
}

}  // namespace
}  // namespace flr
