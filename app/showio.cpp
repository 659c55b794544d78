#include "showio.h"

#include "flrdoc.h"
#include "prompt.h"

namespace flr {

std::unique_ptr<CFLRDoc> OpenShowFile(const std::string&)
{
    ShowMessage("Error. FLR failed to read some of the data.", "File Error");
    return nullptr;
}

bool SaveShowFile(const CFLRDoc&, const std::string&)
{
    ShowMessage("Error. FLR failed to save the data.", "File Error");
    return false;
}

}  // namespace flr
