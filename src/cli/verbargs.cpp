#include "cli/verbargs.h"

#include <cstdio>

namespace flr {

bool ParseVerbArguments(QCommandLineParser& parser, const QStringList& arguments, const char* usage,
                        int positionals)
{
    // The parser takes the program's name first.
    if (!parser.parse(QStringList(QStringLiteral("flr-cli")) + arguments)) {
        std::fprintf(stderr, "flr-cli: %s\n", qPrintable(parser.errorText()));
        std::fputs(usage, stderr);
        return false;
    }
    if (parser.positionalArguments().size() != positionals) {
        std::fputs(usage, stderr);
        return false;
    }
    return true;
}

}  // namespace flr
