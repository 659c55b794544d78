#include "help/helptopics.h"

#include <cstring>

namespace flr {

namespace {

struct Topic {
    const char* className;
    const char* page;
};

// Inner windows before the frames that hold them: the first match going outwards wins.
constexpr Topic kTopics[] = {
    {"flr::CFLRView", "schedule.md"},
    {"flr::CScheduleList", "schedule.md"},
    {"flr::CWaveTrack", "music.md"},
    {"flr::CDatabaseBar", "database-bar.md"},
    {"flr::CItemEditor", "database-bar.md#editing-an-item"},
    {"flr::CContactEditor", "database-bar.md#customers-and-manufacturers"},
    {"flr::CImportEffectsDialog", "database-bar.md#items-a-show-brings-with-it"},
    {"flr::CFireworkSetupDialog", "setup.md"},
    {"flr::CRackTypeDialog", "schedule.md#racks"},
    {"flr::CSelectChainDialog", "chains.md"},
    {"flr::CChooseItemDialog", "schedule.md#choosing-an-item"},
    {"flr::CShowCheckDialog", "show-check.md"},
    {"flr::CTransferDialog", "transfer.md"},
    {"flr::CFLRPrintDialog", "reports.md"},
    {"QPrintPreviewDialog", "reports.md#print-preview"},
    {"flr::CPreferencesDialog", "preferences.md"},
    {"flr::CDataSourceDialog", "preferences.md#the-product-database"},
    {"flr::CHelpWindow", "index.md"},
};

}  // namespace

QString HelpPageForClass(const char* className)
{
    if (!className) return {};
    for (const Topic& t : kTopics) {
        if (std::strcmp(t.className, className) == 0) return QString::fromLatin1(t.page);
    }
    return {};
}

std::vector<QString> HelpTopicPages()
{
    std::vector<QString> pages;
    for (const Topic& t : kTopics) pages.push_back(QString::fromLatin1(t.page));
    return pages;
}

}  // namespace flr
