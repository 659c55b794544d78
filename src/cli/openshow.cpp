#include "cli/openshow.h"

#include <cstdio>
#include <memory>

#include "base/settingsstore.h"
#include "base/textcodec.h"
#include "database/dbconnection.h"
#include "database/itemtable.h"
#include "editing/scheduleeditor.h"
#include "model/effectcatalogue.h"
#include "model/flrdoc.h"
#include "model/showfilereader.h"

namespace flr {

bool OpenShowForCli(const std::string& path, CFLRDoc& doc, bool noteNewItems)
{
    CShowFileReader reader(
        CEffectCatalogue::Program(), [noteNewItems](const std::vector<CEffectRef>& items) {
            if (!noteNewItems) return;
            for (const CEffectRef& item : items) {
                std::fprintf(stderr, "flr-cli: item not in the catalogue: %s %s\n",
                             Cp1252ToUtf8(item->GetArticleNumber()).c_str(),
                             Cp1252ToUtf8(item->GetName()).c_str());
            }
        });
    switch (reader.Read(path, doc)) {
    case CShowFileReader::Status::Ok: return true;
    case CShowFileReader::Status::Damaged:
        std::fprintf(stderr, "flr-cli: %s is damaged: only the part before the damage was read\n",
                     path.c_str());
        return true;
    case CShowFileReader::Status::CannotOpen:
        std::fprintf(stderr, "flr-cli: %s: %s\n", path.c_str(), reader.ErrorString().c_str());
        return false;
    case CShowFileReader::Status::NotShowFile:
    case CShowFileReader::Status::WrongMagic:
        std::fprintf(stderr, "flr-cli: %s: not a show file\n", path.c_str());
        return false;
    }
    return false;
}

void DeriveAsProgram(CFLRDoc& doc)
{
    if (!doc.GetSetup()) return;
    const bool modified = doc.IsModified();
    CScheduleEditor(doc).SetPrefireOff(doc.GetSetup()->GetPrefireOff());
    doc.SetModifiedFlag(modified);
}

std::optional<std::set<std::string>> LoadCatalogue(const std::optional<std::string>& connect)
{
    CSettingsStore settings;
    std::unique_ptr<CDBConnection> connection =
        connect ? std::make_unique<CDBConnection>(settings, Utf8ToCp1252(*connect))
                : std::make_unique<CDBConnection>(settings);
    if (!connection->OpenDatabase() || !connection->CheckVersion()) return std::nullopt;
    CItemTable items(&connection->GetDatabase());
    if (!items.OpenTable()) return std::nullopt;
    std::set<std::string> known;
    for (; !items.IsEOF(); items.MoveNext()) {
        const CEffectRef item = items.MakeItem();
        known.insert(item->GetArticleNumber());
        CEffectCatalogue::Program().Insert(item);
    }
    return known;
}

}  // namespace flr
