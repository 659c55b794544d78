#include "cli/openshow.h"

#include <cstdio>

#include "base/textcodec.h"
#include "model/effectcatalogue.h"
#include "model/flrdoc.h"
#include "model/showfilereader.h"

namespace flr {

bool OpenShowForCli(const std::string& path, CFLRDoc& doc)
{
    CShowFileReader reader(CEffectCatalogue::Program(), [](const std::vector<CEffectRef>& items) {
        for (const CEffectRef& item : items) {
            std::fprintf(stderr, "flr-cli: item not in the catalogue: %s %s\n",
                         Cp1252ToUtf8(item->GetArticleNumber()).c_str(),
                         Cp1252ToUtf8(item->GetName()).c_str());
        }
    });
    switch (reader.Read(path, doc)) {
    case CShowFileReader::Status::Ok: return true;
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

}  // namespace flr
