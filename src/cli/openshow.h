#pragma once

#include <string>

namespace flr {

class CFLRDoc;

// Opens `path` into `doc` as the desktop program opens a show, with the program's (empty)
// item catalogue and no database: the items the catalogue lacked are listed on stderr, damage
// is reported on stderr by the prompt layer. False, after one line on stderr, for a file the
// program refuses to open.
bool OpenShowForCli(const std::string& path, CFLRDoc& doc);

}  // namespace flr
