#pragma once

#include <memory>
#include <string>

#include "model/showfilereader.h"

namespace flr {

class CFLRDoc;

// The desktop program's file steps around the show file reader and writer. Both report their
// failures through the prompt layer ("File Error") and return false; a failed save leaves the
// previous file untouched. `onMissing` gets the items the catalogue lacked (already added to
// it), as the reader hands them over.
std::unique_ptr<CFLRDoc> OpenShowFile(const std::string& path,
                                      CShowFileReader::MissingItemsHandler onMissing = {});
bool SaveShowFile(const CFLRDoc& doc, const std::string& path);

}  // namespace flr
