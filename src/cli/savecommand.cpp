// flr-cli save IN.flr OUT.flr: opens a show and saves it as the desktop program's Save does.
#include <cstdio>

#include "cli/openshow.h"
#include "cli/verbs.h"
#include "model/flrdoc.h"
#include "model/showfilewriter.h"

namespace flr {

int RunSave(int argc, char** argv)
{
    if (argc != 2) {
        std::fputs("Usage: flr-cli save IN.flr OUT.flr\n", stderr);
        return 2;
    }
    CFLRDoc doc;
    if (!OpenShowForCli(argv[0], doc)) return 1;
    // The writer reports its failure on stderr through the prompt layer.
    return CShowFileWriter::Save(doc, argv[1]) ? 0 : 1;
}

}  // namespace flr
