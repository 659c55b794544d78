// The manual's pages as the help window reads them, and the manual kept true to the program.
#include "help/manual.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <set>

#include "app/commands.h"
#include "help/helphistory.h"
#include "help/helptopics.h"

namespace flr {

void PrintTo(const ManualLocation& where, std::ostream* out)
{
    *out << (where.file + '#' + where.anchor).toStdString();
}

namespace {

void Write(const QTemporaryDir& dir, const QString& name, const QByteArray& text)
{
    QFile file(dir.filePath(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
}

// A small manual: the contents page links its pages out of file-name order.
class SmallManualTest : public testing::Test {
protected:
    void SetUp() override
    {
        Write(m_dir, "index.md", "# Contents\n\n- [Zeta](zeta.md)\n- [Alpha](alpha.md#second)\n");
        Write(m_dir, "alpha.md",
              "# Alpha page\n\nIntro about fuses.\n\n## Second part\n\nThe Zündung starts "
              "downloads.\n\n```\n# not a heading\n```\n\n### Third: (more)\n\nrefuse fuse.\n");
        Write(m_dir, "zeta.md", "No heading, only a [link](alpha.md#nowhere).\n");
        Write(m_dir, "beta.md", "# Beta\n\nUnlinked page about fuses and fuses.\n");
        ASSERT_TRUE(m_manual.Load(m_dir.path()));
    }

    QTemporaryDir m_dir;
    CManual m_manual;
};

TEST_F(SmallManualTest, PagesFollowTheContentsWithTitlesAndHeadings)
{
    QStringList files, titles;
    for (const ManualPage& p : m_manual.Pages()) {
        files << p.file;
        titles << p.title;
    }
    EXPECT_EQ(files, QStringList({"index.md", "zeta.md", "alpha.md", "beta.md"}));
    EXPECT_EQ(titles, QStringList({"Contents", "zeta", "Alpha page", "Beta"}));
    const ManualPage* alpha = m_manual.Find("alpha.md");
    ASSERT_NE(alpha, nullptr);
    ASSERT_EQ(alpha->headings.size(), 3u);  // the fenced "#" line is code
    EXPECT_EQ(alpha->headings[1].anchor, "second-part");
    EXPECT_EQ(alpha->headings[2].level, 3);
    EXPECT_EQ(alpha->headings[2].anchor, "third-more");
}

TEST_F(SmallManualTest, SearchFindsWholeWordStartsInTheRightSection)
{
    struct Case {
        const char* query;
        std::vector<ManualLocation> expected;  // best first
    };
    const Case cases[] = {
        // "fuse" begins "fuses" but not "refuse"; beta says it twice.
        {"fuse", {{"beta.md", ""}, {"alpha.md", ""}, {"alpha.md", "third-more"}}},
        {"ZUNDUNG download", {{"alpha.md", "second-part"}}},  // case and accents aside
        {"fuses zundung", {}},                                // every word in one section
        {"  ", {}},
        // The fenced line is text, not a heading.
        {"heading", {{"zeta.md", ""}, {"alpha.md", "second-part"}}},
    };
    for (const Case& c : cases) {
        std::vector<ManualLocation> found;
        for (const ManualHit& hit : m_manual.Search(c.query)) found.push_back(hit.where);
        EXPECT_EQ(found, c.expected) << c.query;
    }
    const auto hits = m_manual.Search("download");
    ASSERT_EQ(hits.size(), 1u);
    EXPECT_EQ(hits[0].heading, "Second part");
    EXPECT_TRUE(hits[0].excerpt.contains("downloads")) << hits[0].excerpt.toStdString();
}

TEST_F(SmallManualTest, LinksResolveToPagesAndKnownHeadings)
{
    struct Case {
        const char* from;
        const char* href;
        std::optional<ManualLocation> expected;
    };
    const Case cases[] = {
        {"index.md", "alpha.md#second-part", ManualLocation{"alpha.md", "second-part"}},
        {"index.md", "./beta.md", ManualLocation{"beta.md", ""}},
        {"alpha.md", "#third-more", ManualLocation{"alpha.md", "third-more"}},
        {"zeta.md", "alpha.md#nowhere", ManualLocation{"alpha.md", ""}},
        {"index.md", "missing.md", std::nullopt},
        {"index.md", "https://example.org/alpha.md", std::nullopt},
        {"index.md", "../alpha.md", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(m_manual.Resolve(c.from, c.href), c.expected) << c.href;
}

TEST(ManualLoadTest, AFolderWithoutPagesSaysSo)
{
    QTemporaryDir dir;
    CManual manual;
    QString error;
    EXPECT_FALSE(manual.Load(dir.path() + "/absent", &error));
    EXPECT_TRUE(error.contains("no pages")) << error.toStdString();
    EXPECT_TRUE(manual.Search("anything").empty());
}

TEST(HelpHistoryTest, BackAndForwardLikeABrowser)
{
    CHelpHistory history;
    EXPECT_EQ(history.Back(), ManualLocation{});  // nothing visited: nowhere to go
    const ManualLocation a{"a.md", ""}, b{"b.md", "x"}, c{"c.md", ""}, d{"d.md", ""};
    history.Visit(a);
    history.Visit(b);
    history.Visit(b);  // the same place again is no new step
    history.Visit(c);
    EXPECT_EQ(history.Back(), b);
    EXPECT_EQ(history.Back(), a);
    EXPECT_FALSE(history.CanGoBack());
    EXPECT_EQ(history.Back(), a);
    EXPECT_EQ(history.Forward(), b);
    history.Visit(d);  // drops c
    EXPECT_FALSE(history.CanGoForward());
    EXPECT_EQ(history.Back(), b);
    EXPECT_EQ(history.Forward(), d);
    EXPECT_EQ(history.Forward(), d);
}

// The manual as shipped.
class ShippedManualTest : public testing::Test {
protected:
    void SetUp() override
    {
        QString error;
        ASSERT_TRUE(m_manual.Load(FLR_MANUAL_DIR, &error)) << error.toStdString();
        ASSERT_TRUE(error.isEmpty()) << error.toStdString();
        for (const ManualPage& p : m_manual.Pages()) m_text += p.markdown + '\n';
    }

    CManual m_manual;
    QString m_text;
};

void CollectTexts(const std::vector<MenuEntry>& entries, std::set<QString>& out)
{
    for (const MenuEntry& e : entries) {
        if (e.IsSeparator()) continue;
        QString text = QString::fromStdString(e.text.substr(0, e.text.find('\t')));
        text.remove('&');
        // "Export..." and "Add Item ..." are named without their dots.
        while (text.endsWith('.') || text.endsWith(' ')) text.chop(1);
        out.insert(text);
        CollectTexts(e.entries, out);
    }
}

TEST_F(ShippedManualTest, EveryMenuCommandIsDescribed)
{
    std::set<QString> texts;
    for (const auto* bar : {&MenuBarWithoutShow(), &MenuBarWithShow(), &ContextMenus()}) {
        for (const Menu& m : *bar) CollectTexts(m.entries, texts);
    }
    ASSERT_GT(texts.size(), 60u);
    for (const QString& text : texts) {
        EXPECT_TRUE(m_text.contains(text))
            << "the manual never names \"" << text.toStdString() << "\"";
    }
}

TEST_F(ShippedManualTest, LinksImagesAndHelpPagesLeadSomewhere)
{
    static const QRegularExpression link(R"((!?)\[[^\]]*\]\(([^)\s]+)\))");
    int links = 0, images = 0;
    for (const ManualPage& page : m_manual.Pages()) {
        for (auto it = link.globalMatch(page.markdown); it.hasNext();) {
            const auto m = it.next();
            const QString href = m.captured(2);
            if (!m.captured(1).isEmpty()) {
                ++images;
                EXPECT_TRUE(QFile::exists(QDir(FLR_MANUAL_DIR).filePath(href)))
                    << page.file.toStdString() << ": " << href.toStdString();
                continue;
            }
            if (href.startsWith("https:")) continue;
            ++links;
            const auto where = m_manual.Resolve(page.file, href);
            ASSERT_TRUE(where) << page.file.toStdString() << ": " << href.toStdString();
            // A link to a heading that is not there would land on the page's top.
            EXPECT_EQ(href.contains('#'), !where->anchor.isEmpty())
                << page.file.toStdString() << ": " << href.toStdString();
        }
    }
    EXPECT_GT(links, 20);
    EXPECT_GT(images, 3);
    for (const char* window :
         {"flr::CFLRView", "flr::CDatabaseBar", "flr::CFireworkSetupDialog", "flr::CTransferDialog",
          "flr::CShowCheckDialog", "flr::CFLRPrintDialog", "flr::CItemEditor",
          "flr::CRackTypeDialog", "flr::CContactEditor", "flr::CImportEffectsDialog",
          "flr::CChooseItemDialog", "QPrintPreviewDialog", "flr::CDataSourceDialog",
          "flr::CPreferencesDialog"}) {
        const QString page = HelpPageForClass(window);
        const auto where = m_manual.Resolve(QString(), page);
        ASSERT_TRUE(where) << window;
        EXPECT_EQ(page.contains('#'), !where->anchor.isEmpty()) << page.toStdString();
    }
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
        ASSERT_FALSE(hits.empty()) << query;
        std::string top;
        for (size_t i = 0; i < std::min<size_t>(4, hits.size()); ++i) {
            top += (hits[i].where.file + '#' + hits[i].where.anchor + ' ' +
                    QString::number(hits[i].score, 'f', 2) + "; ").toStdString();
        }
        EXPECT_EQ(hits.front().where.file.toStdString(), page) << query << ": " << top;
    }
}

}  // namespace
}  // namespace flr
