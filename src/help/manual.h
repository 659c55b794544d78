#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace flr {

struct ManualHeading {
    int level = 1;   // 1 for "#", 2 for "##", ...
    QString text;    // without the marks
    QString anchor;  // "editing-cells" for "Editing cells"
};

struct ManualPage {
    QString file;      // "schedule.md"
    QString title;     // the first heading, else the file name
    QString markdown;  // the page as written
    std::vector<ManualHeading> headings;
};

// A place in the manual: a page and, optionally, one of its headings.
struct ManualLocation {
    QString file;
    QString anchor;

    bool operator==(const ManualLocation&) const = default;
};

struct ManualHit {
    ManualLocation where;
    QString pageTitle;
    QString heading;   // the heading whose section holds the words (the title for the top)
    QString excerpt;   // a line of the section's text around the first word
    double score = 0;  // how often the words occur there, for the section's length
};

// The manual's pages, read from a folder of Markdown files. Pages are ordered as the contents
// page ("index.md") links them; pages it does not link follow by file name.
class CManual {
public:
    static constexpr const char* kContentsPage = "index.md";

    // Reads every "*.md" of `folder`. False, with the reason in `error`, when the folder has
    // no pages; a page that cannot be read is left out and named in `error`.
    bool Load(const QString& folder, QString* error = nullptr);

    const QString& Folder() const { return m_folder; }
    const std::vector<ManualPage>& Pages() const { return m_pages; }
    const ManualPage* Find(const QString& file) const;

    // Sections holding every word of `query` (case and accents of the Latin letters aside),
    // best first; empty for a query without words.
    std::vector<ManualHit> Search(const QString& query) const;

    // Where a link in `from` leads: "setup.md#the-music", "#racks" (the same page). Empty for
    // an outside address or a page the manual lacks; an unknown anchor gives the page's top.
    std::optional<ManualLocation> Resolve(const QString& from, const QString& href) const;

    // The folder the program reads: FLR_MANUAL_DIR when set, the installed "share/flr/manual"
    // beside `programDir`'s "../", else the source tree's pages.
    static QString DefaultFolder(const QString& programDir);
    // A heading's anchor as the usual Markdown renderers make it: lower case, spaces to
    // hyphens, punctuation dropped.
    static QString Anchor(const QString& heading);
    // The words of a Markdown text, without link targets, emphasis and heading marks.
    static QString PlainText(const QString& markdown);

private:
    QString m_folder;
    std::vector<ManualPage> m_pages;
};

}  // namespace flr
