// flr-cli dump SHOW.flr: the show as JSON on stdout.
#include <cstdio>
#include <iostream>

#include "cli/openshow.h"
#include "cli/showjson.h"
#include "cli/verbargs.h"
#include "cli/verbs.h"
#include "model/flrdoc.h"

namespace flr {

int RunDump(const QStringList& arguments)
{
    QCommandLineParser parser;
    if (!ParseVerbArguments(parser, arguments, "Usage: flr-cli dump SHOW.flr\n", 1)) return 2;
    CFLRDoc doc;
    if (!OpenShowForCli(parser.positionalArguments()[0].toLocal8Bit().toStdString(), doc)) {
        return 1;
    }
    std::cout << ShowToJson(doc).dump(2) << '\n';
    return std::cout.good() ? 0 : 1;
}

}  // namespace flr
