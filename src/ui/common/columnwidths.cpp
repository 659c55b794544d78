#include "ui/common/columnwidths.h"

#include <QGuiApplication>
#include <QHeaderView>
#include <QPointer>
#include <QStringList>
#include <QTableView>
#include <QTimer>
#include <algorithm>

#include "base/settingsstore.h"

namespace flr {

namespace {

CSettingsStore* g_store = nullptr;

constexpr int kMaxWidth = 10000;

std::string Key(const QString& name) { return "Columns/" + name.toStdString(); }

}  // namespace

void InstallColumnWidthStore(CSettingsStore* store) { g_store = store; }

QString FormatColumnWidths(const std::vector<int>& widths)
{
    QStringList parts;
    for (int w : widths) parts << QString::number(w);
    return parts.join(QLatin1Char(','));
}

std::vector<int> ParseColumnWidths(const QString& text, int count)
{
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != count) return {};
    std::vector<int> widths;
    for (const QString& part : parts) {
        bool ok = false;
        const int w = part.trimmed().toInt(&ok);
        if (!ok || w < 1 || w > kMaxWidth) return {};
        widths.push_back(w);
    }
    return widths;
}

void RememberColumnWidths(QTableView* list, const QString& name)
{
    QHeaderView* header = list->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::Interactive);
    const int count = list->model() ? list->model()->columnCount() : 0;
    if (g_store) {
        if (const auto text = g_store->ReadText(Key(name))) {
            const std::vector<int> widths = ParseColumnWidths(QString::fromStdString(*text), count);
            for (size_t c = 0; c < widths.size(); ++c) list->setColumnWidth(int(c), widths[c]);
        }
    }
    auto* save = new QTimer(header);
    save->setSingleShot(true);
    save->setInterval(400);
    QObject::connect(save, &QTimer::timeout, header, [header, name] {
        if (!g_store) return;
        std::vector<int> widths;
        for (int c = 0; c < header->count(); ++c) widths.push_back(header->sectionSize(c));
        // Losing a width costs nothing worth a message.
        g_store->WriteText(Key(name), FormatColumnWidths(widths).toStdString());
    });
    QObject::connect(header, &QHeaderView::sectionResized, save, [save] {
        // Only what the user drags is kept; the program's own fitting is not.
        if (QGuiApplication::mouseButtons() != Qt::NoButton) save->start();
    });
    QObject::connect(header, &QHeaderView::sectionHandleDoubleClicked, save,
                     [save](int) { save->start(); });
}

void FitColumnsToSamples(QTableView* list, const std::vector<QString>& samples)
{
    const QFontMetrics body = list->fontMetrics();
    const QFontMetrics heading = list->horizontalHeader()->fontMetrics();
    const int columns = list->model() ? list->model()->columnCount() : 0;
    for (int c = 0; c < columns; ++c) {
        const QString title = list->model()->headerData(c, Qt::Horizontal).toString();
        // Room for the margins beside a heading or a text.
        int wanted = heading.horizontalAdvance(title) + 16;
        if (size_t(c) < samples.size() && !samples[size_t(c)].isEmpty()) {
            wanted = std::max(wanted, body.horizontalAdvance(samples[size_t(c)]) + 12);
        }
        if (list->columnWidth(c) < wanted) list->setColumnWidth(c, wanted);
    }
}

}  // namespace flr
