// flr-cli: the headless companion of the desktop program. It links the logic libraries only.
#include <cstdio>
#include <cstring>

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
        "  transfer SHOW.flr --device PATH [--bank N] [--retries N]\n"
        "                 download the show to the firing hardware on a serial device\n"
        "  print SHOW.flr --pdf OUT.pdf [--report KIND] [--page-size A4|Letter] [--hide-chained]\n"
        "                 print a report (field, complete, shoot, effects, pods, chains;\n"
        "                 the field list by default) into a PDF file; prints the page count\n",
        out);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        PrintUsage(stderr);
        return 2;
    }
    const char* command = argv[1];
    if (std::strcmp(command, "--version") == 0) {
        std::printf("flr-cli %s\n", FLR_VERSION_TEXT);
        return 0;
    }
    if (std::strcmp(command, "items") == 0) return flr::RunItemsCommand(argc - 2, argv + 2);
    if (std::strcmp(command, "--help") == 0 || std::strcmp(command, "-h") == 0) {
        PrintUsage(stdout);
        return 0;
    }
    if (std::strcmp(command, "dump") == 0) return flr::RunDump(argc - 2, argv + 2);
    if (std::strcmp(command, "save") == 0) return flr::RunSave(argc - 2, argv + 2);
    if (std::strcmp(command, "transfer") == 0) return flr::RunTransfer(argc - 2, argv + 2);
    if (std::strcmp(command, "print") == 0) return flr::RunPrint(argc - 2, argv + 2);
    std::fprintf(stderr, "flr-cli: unknown command '%s' (try --help)\n", command);
    return 2;
}
