#pragma once

#include <optional>
#include <set>
#include <string>

namespace flr {

class CFLRDoc;

// Opens `path` into `doc` as the desktop program opens a show, with the program's item
// catalogue: the items the catalogue lacked are listed on stderr (unless `noteNewItems` is
// false: transfer and print have no use for them), damage is reported on stderr
// by the prompt layer and leaves the document marked (CFLRDoc::IsOpenedDamaged). False, after
// one line on stderr, for a file the program refuses to open.
bool OpenShowForCli(const std::string& path, CFLRDoc& doc, bool noteNewItems = true);

// What the program does to a show it has opened before any command runs: every In Time derived
// again from its item's prefire, then the orders, numbers and conflict marks. A download or a
// check from the command line judges the same firing times as the program's.
void DeriveAsProgram(CFLRDoc& doc);

// Puts every item of the data source into the program's catalogue, as the program's item list
// does, so that shows read afterwards use the database's items. `connect` unset: the stored
// connect string or the registered default. Returns the article numbers the data source
// holds; nullopt after a message on stderr when it cannot be read.
std::optional<std::set<std::string>> LoadCatalogue(const std::optional<std::string>& connect);

}  // namespace flr
