#pragma once

#include <QCommandLineParser>
#include <QStringList>

namespace flr {

// Parses a verb's arguments (those after its name) with `parser`, which holds the verb's
// options; `--opt value` and `--opt=value` read alike. False, after the parser's complaint and
// `usage` on stderr, for an unknown option, a missing value or other than `positionals` file
// names: the verb then exits with 2.
bool ParseVerbArguments(QCommandLineParser& parser, const QStringList& arguments, const char* usage,
                        int positionals);

}  // namespace flr
