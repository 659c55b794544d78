#pragma once

namespace flr {

// flr-cli items [--connect STRING]: the item catalogue as one JSON array on stdout. `argc` and
// `argv` are the arguments after "items". Returns the exit code: 0, 1 when the database
// cannot be opened or is too old (the "Database Error" text on stderr), 2 for bad arguments.
int RunItemsCommand(int argc, char** argv);

}  // namespace flr
