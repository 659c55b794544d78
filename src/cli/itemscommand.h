#pragma once

#include <QStringList>

namespace flr {

// flr-cli items [--connect STRING]: the item catalogue as one JSON array on stdout. `arguments`
// are those after "items". Returns the exit code: 0, 1 when the database
// cannot be opened or is too old (the "Database Error" text on stderr), 2 for bad arguments.
int RunItemsCommand(const QStringList& arguments);

}  // namespace flr
