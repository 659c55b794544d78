#include "app/showio.h"

#include "base/prompt.h"
#include "model/effectcatalogue.h"
#include "model/flrdoc.h"
#include "model/showfilereader.h"
#include "model/showfilewriter.h"

namespace flr {

std::unique_ptr<CFLRDoc> OpenShowFile(const std::string& path,
                                      CShowFileReader::MissingItemsHandler onMissing)
{
    auto doc = std::make_unique<CFLRDoc>();
    // Items the product database lacks stay in the catalogue for this run, whether or not
    // they are imported.
    CShowFileReader reader(CEffectCatalogue::Program(), std::move(onMissing));
    switch (reader.Read(path, *doc)) {
    case CShowFileReader::Status::Ok:
    case CShowFileReader::Status::Damaged: return doc;  // marked; the reader has said why
    case CShowFileReader::Status::CannotOpen:
        ShowMessage("Cannot open " + path + ".\n\n" + reader.ErrorString(), "File Error",
                    PromptButtons::Ok, PromptIcon::Error);
        return nullptr;
    case CShowFileReader::Status::NotShowFile:
    case CShowFileReader::Status::WrongMagic:
        // A text file or an empty one named ".flr" must not open as nothing without a word.
        ShowMessage("Cannot open " + path + ".\n\nThe file is not an FLR show.", "File Error",
                    PromptButtons::Ok, PromptIcon::Error);
        return nullptr;
    }
    return nullptr;
}

bool SaveShowFile(const CFLRDoc& doc, const std::string& path)
{
    return CShowFileWriter::Save(doc, path);
}

}  // namespace flr
