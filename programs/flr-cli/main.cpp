// flr-cli: the headless companion of the desktop program. It links the logic libraries only.
#include <QCommandLineParser>
#include <QStringList>
#include <cstdio>

#include "base/version.h"
#include "cli/itemscommand.h"
#include "cli/verbs.h"

namespace {

void PrintUsage(std::FILE* out)
{
    std::fputs(
        "Usage: flr-cli COMMAND [ARGUMENTS]\n"
        "\n"
        "Commands:\n"
        "  --version      print the program version\n"
        "  --help         print this text\n"
        "  dump SHOW.flr  print the show as JSON\n"
        "  save IN.flr OUT.flr  open a show and save it again\n"
        "  items [--connect STRING]  print the product database's items as JSON\n"
        "  export-items OUT.csv [--connect STRING]\n"
        "                 write the product database's items as CSV (UTF-8, a header row)\n"
        "  import-items IN.csv [--connect STRING] [--existing skip|update|add] [--dry-run]\n"
        "                 add the items of a CSV file in one transaction; prints the summary\n"
        "                 and the refused lines (exit 1 nothing written)\n"
        "  check SHOW.flr [--bank N] [--connect STRING] [--json]\n"
        "                 the show check run before a download (exit 0 no errors,\n"
        "                 4 errors, 1 cannot open or damaged)\n"
        "  transfer SHOW.flr --device PATH [--bank N] [--retries N]\n"
        "                 download the show to the firing hardware on a serial device\n"
        "  print SHOW.flr --pdf OUT.pdf [--report KIND] [--page-size A4|Letter] [--hide-chained]\n"
        "                 print a report (field, complete, shoot, effects, pods, chains;\n"
        "                 the field list by default) into a PDF file; prints the page count\n"
        "  wave FILE.wav [--seek OFFSET] [--count N] [--chunk SIZE]\n"
        "                 open a wave file as the program loads a track and read its data\n"
        "                 from OFFSET, SIZE bytes at a time; prints the format and what\n"
        "                 was read as JSON (exit 1 the reader refused the file)\n",
        out);
}

}  // namespace

int main(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments.append(QString::fromLocal8Bit(argv[i]));
    // The program's own options come before the command; what follows it is the command's.
    QCommandLineParser parser;
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringLiteral("version"));
    parser.addOptions({help, version});
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    if (!parser.parse(arguments)) {
        std::fprintf(stderr, "flr-cli: %s\n", qPrintable(parser.errorText()));
        PrintUsage(stderr);
        return 2;
    }
    if (parser.isSet(version)) {
        std::printf("flr-cli %s\n", FLR_VERSION_TEXT);
        return 0;
    }
    if (parser.isSet(help)) {
        PrintUsage(stdout);
        return 0;
    }
    const QStringList words = parser.positionalArguments();
    if (words.isEmpty()) {
        PrintUsage(stderr);
        return 2;
    }
    const QString command = words.front();
    const QStringList rest = words.mid(1);
    if (command == QLatin1String("dump")) return flr::RunDump(rest);
    if (command == QLatin1String("save")) return flr::RunSave(rest);
    if (command == QLatin1String("items")) return flr::RunItemsCommand(rest);
    if (command == QLatin1String("transfer")) return flr::RunTransfer(rest);
    if (command == QLatin1String("print")) return flr::RunPrint(rest);
    if (command == QLatin1String("check")) return flr::RunCheck(rest);
    if (command == QLatin1String("wave")) return flr::RunWave(rest);
    if (command == QLatin1String("export-items")) return flr::RunExportItems(rest);
    if (command == QLatin1String("import-items")) return flr::RunImportItems(rest);
    std::fprintf(stderr, "flr-cli: unknown command '%s' (try --help)\n", qPrintable(command));
    return 2;
}
