#include "help/manual.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <cmath>

namespace flr {

namespace {

// Lower case without the accents of Latin letters, so "Zündung" is found as "zundung".
QString Folded(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text.normalized(QString::NormalizationForm_D)) {
        if (c.category() != QChar::Mark_NonSpacing) out += c.toLower();
    }
    return out;
}

QStringList Words(const QString& text)
{
    static const QRegularExpression split(QStringLiteral("[^\\w]+"));
    return Folded(text).split(split, Qt::SkipEmptyParts);
}

constexpr qsizetype kShortSection = 40;  // words

bool IsFence(const QString& line) { return line.trimmed().startsWith(QLatin1String("```")); }

// "## Text" gives level 2 and "Text"; anything else level 0.
int HeadingLevel(const QString& line, QString* text)
{
    int level = 0;
    while (level < line.size() && line[level] == QLatin1Char('#')) ++level;
    if (level == 0 || level > 6 || level >= line.size() || line[level] != QLatin1Char(' ')) {
        return 0;
    }
    if (text) *text = CManual::PlainText(line.mid(level + 1)).trimmed();
    return level;
}

struct Section {
    QString heading;
    QString anchor;
    QString text;  // plain
};

std::vector<Section> Sections(const ManualPage& page)
{
    std::vector<Section> out{{page.title, QString(), QString()}};
    QString body;
    bool fenced = false;
    for (const QString& line : page.markdown.split(QLatin1Char('\n'))) {
        if (IsFence(line)) fenced = !fenced;
        QString heading;
        if (!fenced && HeadingLevel(line, &heading) > 0) {
            out.back().text = CManual::PlainText(body);
            body.clear();
            out.push_back({heading, CManual::Anchor(heading), QString()});
            continue;
        }
        body += line + QLatin1Char('\n');
    }
    out.back().text = CManual::PlainText(body);
    // The part above the first heading belongs to the page's top.
    if (out.size() > 1 && out[0].text.trimmed().isEmpty()) {
        out.erase(out.begin());
        out[0].anchor.clear();
    }
    return out;
}

// How often `word` begins a word of `folded`, and where it first does (-1 never).
int CountWordStarts(const QString& folded, const QString& word, qsizetype* first)
{
    int count = 0;
    *first = -1;
    for (qsizetype at = folded.indexOf(word); at >= 0; at = folded.indexOf(word, at + 1)) {
        if (at > 0 && (folded[at - 1].isLetterOrNumber() || folded[at - 1] == QLatin1Char('_'))) {
            continue;
        }
        if (*first < 0) *first = at;
        ++count;
    }
    return count;
}

QString Excerpt(const QString& text, qsizetype at)
{
    constexpr qsizetype kBefore = 40, kLength = 110;
    const qsizetype start = std::max<qsizetype>(0, at - kBefore);
    QString out = text.mid(start, kLength).simplified();
    if (start > 0) out.prepend(QStringLiteral("..."));
    if (start + kLength < text.size()) out += QStringLiteral("...");
    return out;
}

}  // namespace

bool CManual::Load(const QString& folder, QString* error)
{
    m_folder = folder;
    m_pages.clear();
    QStringList unreadable;
    const QDir dir(folder);
    for (const QString& name : dir.entryList({QStringLiteral("*.md")}, QDir::Files, QDir::Name)) {
        QFile file(dir.filePath(name));
        if (!file.open(QIODevice::ReadOnly)) {
            unreadable << name;
            continue;
        }
        ManualPage page;
        page.file = name;
        page.markdown = QString::fromUtf8(file.readAll());
        page.markdown.remove(QLatin1Char('\r'));
        bool fenced = false;
        for (const QString& line : page.markdown.split(QLatin1Char('\n'))) {
            if (IsFence(line)) fenced = !fenced;
            QString text;
            const int level = fenced ? 0 : HeadingLevel(line, &text);
            if (level > 0) page.headings.push_back({level, text, Anchor(text)});
        }
        const auto top = std::find_if(page.headings.begin(), page.headings.end(),
                                      [](const ManualHeading& h) { return h.level == 1; });
        page.title = top != page.headings.end() ? top->text
                     : !page.headings.empty()   ? page.headings.front().text
                                                : QFileInfo(name).completeBaseName();
        m_pages.push_back(std::move(page));
    }

    // The contents page's links give the order.
    QStringList order{QString::fromLatin1(kContentsPage)};
    if (const ManualPage* contents = Find(order.front())) {
        static const QRegularExpression link(QStringLiteral("\\]\\(([^)#\\s]+\\.md)"));
        for (auto it = link.globalMatch(contents->markdown); it.hasNext();) {
            const QString file = it.next().captured(1);
            if (!order.contains(file)) order << file;
        }
    }
    std::stable_sort(m_pages.begin(), m_pages.end(), [&](const ManualPage& a, const ManualPage& b) {
        const qsizetype ia = order.indexOf(a.file), ib = order.indexOf(b.file);
        return (ia < 0 ? order.size() : ia) < (ib < 0 ? order.size() : ib);
    });

    QString message;
    if (m_pages.empty()) {
        message =
            QStringLiteral("The manual has no pages in %1.").arg(QDir::toNativeSeparators(folder));
    } else if (!unreadable.isEmpty()) {
        message = QStringLiteral("These pages of the manual cannot be read: %1.")
                      .arg(unreadable.join(QStringLiteral(", ")));
    }
    if (error) *error = message;
    return !m_pages.empty();
}

const ManualPage* CManual::Find(const QString& file) const
{
    const auto it = std::find_if(m_pages.begin(), m_pages.end(),
                                 [&](const ManualPage& p) { return p.file == file; });
    return it == m_pages.end() ? nullptr : &*it;
}

std::vector<ManualHit> CManual::Search(const QString& query) const
{
    const QStringList words = Words(query);
    std::vector<ManualHit> hits;
    if (words.isEmpty()) return hits;
    for (const ManualPage& page : m_pages) {
        for (const Section& section : Sections(page)) {
            const QString text = Folded(section.text);
            const QString heading = Folded(section.heading);
            int count = 0;
            qsizetype firstAt = -1;
            bool all = true;
            for (const QString& word : words) {
                qsizetype at = -1, inHeading = -1;
                // A word in the heading says more about the section than one in passing.
                const int found = CountWordStarts(text, word, &at) +
                                  5 * CountWordStarts(heading, word, &inHeading);
                if (found == 0) {
                    all = false;
                    break;
                }
                count += found;
                if (firstAt < 0) firstAt = at;
            }
            if (!all) continue;
            // A long section (a tour's step) names many things in passing; a short one that
            // names the words is about them.
            const auto length = std::max<qsizetype>(kShortSection, text.count(QLatin1Char(' ')));
            hits.push_back({{page.file, section.anchor},
                            page.title,
                            section.heading,
                            Excerpt(section.text, std::max<qsizetype>(firstAt, 0)),
                            count / std::sqrt(double(length))});
        }
    }
    std::stable_sort(hits.begin(), hits.end(),
                     [](const ManualHit& a, const ManualHit& b) { return a.score > b.score; });
    return hits;
}

std::optional<ManualLocation> CManual::Resolve(const QString& from, const QString& href) const
{
    const qsizetype hash = href.indexOf(QLatin1Char('#'));
    QString file = hash < 0 ? href : href.left(hash);
    QString anchor = hash < 0 ? QString() : href.mid(hash + 1);
    if (file.startsWith(QLatin1String("./"))) file = file.mid(2);
    if (file.isEmpty()) file = from;
    const ManualPage* page = Find(file);
    if (!page) return std::nullopt;
    const bool known = std::any_of(page->headings.begin(), page->headings.end(),
                                   [&](const ManualHeading& h) { return h.anchor == anchor; });
    return ManualLocation{file, known ? anchor : QString()};
}

QString CManual::DefaultFolder(const QString& programDir)
{
    const QString named = qEnvironmentVariable("FLR_MANUAL_DIR");
    if (!named.isEmpty()) return named;
    const QString installed = QDir(programDir).filePath(QStringLiteral("../share/flr/manual"));
    if (QFileInfo::exists(installed + QLatin1Char('/') + QLatin1String(kContentsPage))) {
        return QDir::cleanPath(installed);
    }
    return QStringLiteral(FLR_SOURCE_MANUAL_DIR);
}

QString CManual::Anchor(const QString& heading)
{
    QString out;
    for (const QChar c : heading.trimmed().toLower()) {
        if (c.isLetterOrNumber() || c == QLatin1Char('-') || c == QLatin1Char('_')) {
            out += c;
        } else if (c.isSpace()) {
            out += QLatin1Char('-');
        }
    }
    return out;
}

QString CManual::PlainText(const QString& markdown)
{
    static const QRegularExpression image(QStringLiteral("!\\[([^\\]]*)\\]\\([^)]*\\)"));
    static const QRegularExpression link(QStringLiteral("\\[([^\\]]*)\\]\\([^)]*\\)"));
    static const QRegularExpression marks(QStringLiteral("\\*\\*|\\*|`|^#{1,6} |^>\\s?|\\|"),
                                          QRegularExpression::MultilineOption);
    QString out = markdown;
    out.replace(image, QStringLiteral("\\1"));
    out.replace(link, QStringLiteral("\\1"));
    out.replace(marks, QStringLiteral(" "));
    return out;
}

}  // namespace flr
