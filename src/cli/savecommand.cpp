// flr-cli save IN.flr OUT.flr: opens a show and saves it as the desktop program's Save does.
#include <cstdio>

#include "cli/openshow.h"
#include "cli/verbargs.h"
#include "cli/verbs.h"
#include "model/flrdoc.h"
#include "model/showfilewriter.h"

namespace flr {

int RunSave(const QStringList& arguments)
{
    QCommandLineParser parser;
    if (!ParseVerbArguments(parser, arguments, "Usage: flr-cli save IN.flr OUT.flr\n", 2)) {
        return 2;
    }
    const QStringList files = parser.positionalArguments();
    CFLRDoc doc;
    if (!OpenShowForCli(files[0].toLocal8Bit().toStdString(), doc)) return 1;
    if (doc.IsOpenedDamaged()) {
        // Saving would make the cut show the only one left wherever OUT is IN.
        std::fputs("flr-cli: a damaged show is not saved; OUT is left as it was\n", stderr);
        return 1;
    }
    // The writer reports its failure on stderr through the prompt layer.
    return CShowFileWriter::Save(doc, files[1].toLocal8Bit().toStdString()) ? 0 : 1;
}

}  // namespace flr
