// flr-cli dump SHOW.flr: the show as JSON on stdout.
#include <cstdio>
#include <iostream>

#include "cli/openshow.h"
#include "cli/showjson.h"
#include "cli/verbs.h"
#include "model/flrdoc.h"

namespace flr {

int RunDump(int argc, char** argv)
{
    if (argc != 1) {
        std::fputs("Usage: flr-cli dump SHOW.flr\n", stderr);
        return 2;
    }
    CFLRDoc doc;
    if (!OpenShowForCli(argv[0], doc)) return 1;
    std::cout << ShowToJson(doc).dump(2) << '\n';
    return std::cout.good() ? 0 : 1;
}

}  // namespace flr
