// flr-cli check SHOW.flr [--bank N] [--connect STRING] [--json]: the show check the program runs
// before a download.
#include <cstdio>
#include <nlohmann/json.hpp>
#include <set>

#include "base/textcodec.h"
#include "cli/openshow.h"
#include "cli/verbargs.h"
#include "cli/verbs.h"
#include "model/flrdoc.h"
#include "model/showcheck.h"
#include "music/trackloader.h"

namespace flr {

namespace {

constexpr int kExitCannotOpen = 1;
constexpr int kExitUsage = 2;
constexpr int kExitErrors = 4;

constexpr char kUsage[] = "Usage: flr-cli check SHOW.flr [--bank N] [--connect STRING] [--json]\n";

// --bank's value: a bank of the hardware, 0 to 9.
bool ParseBankOption(const QString& text, std::optional<int>& bank)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < 0 || value >= kHardwareBanks) {
        std::fprintf(stderr, "flr-cli: --bank wants a bank number from 0 to %d, not '%s'\n",
                     kHardwareBanks - 1, qPrintable(text));
        std::fputs(kUsage, stderr);
        return false;
    }
    bank = value;
    return true;
}

nlohmann::ordered_json FindingsToJson(const ShowCheckResult& result)
{
    nlohmann::ordered_json findings = nlohmann::ordered_json::array();
    for (const ShowFinding& f : result.findings) {
        findings.push_back({
            {"kind", FindingKindName(f.kind)},
            {"severity", f.severity == FindingSeverity::Error ? "error" : "warning"},
            {"index", f.index},
            {"number", f.number},
            {"address", Cp1252ToUtf8(f.address)},
            {"time", f.time},
            {"message", Cp1252ToUtf8(f.message)},
        });
    }
    return {{"errors", result.errors}, {"warnings", result.warnings}, {"findings", findings}};
}

}  // namespace

int RunCheck(const QStringList& arguments)
{
    QCommandLineParser parser;
    const QCommandLineOption bankOption(QStringLiteral("bank"), QString(), QStringLiteral("N"));
    const QCommandLineOption connectOption(QStringLiteral("connect"), QString(),
                                           QStringLiteral("STRING"));
    const QCommandLineOption jsonOption(QStringLiteral("json"));
    parser.addOptions({bankOption, connectOption, jsonOption});
    if (!ParseVerbArguments(parser, arguments, kUsage, 1)) return kExitUsage;
    std::optional<int> bank;
    if (parser.isSet(bankOption) && !ParseBankOption(parser.value(bankOption), bank)) {
        return kExitUsage;
    }

    std::optional<std::set<std::string>> known;
    if (parser.isSet(connectOption)) {
        known = LoadCatalogue(parser.value(connectOption).toStdString());
        if (!known) return kExitCannotOpen;
    }
    const std::string showPath = parser.positionalArguments()[0].toLocal8Bit().toStdString();
    CFLRDoc doc;
    if (!OpenShowForCli(showPath, doc)) return kExitCannotOpen;
    DeriveAsProgram(doc);
    ShowCheckOptions options{
        .bank = bank, .musicLengthMs = ShowTrackLengthMs(doc, showPath), .knowsItem = {}};
    if (known) {
        options.knowsItem = [&known](const std::string& articleNumber) {
            return known->contains(articleNumber);
        };
    }
    const ShowCheckResult result = CheckShow(doc, options);

    if (parser.isSet(jsonOption)) {
        const std::string text = FindingsToJson(result).dump(2);
        std::fwrite(text.data(), 1, text.size(), stdout);
        std::fputc('\n', stdout);
    } else {
        for (const ShowFinding& f : result.findings) {
            std::printf("%s\n", Cp1252ToUtf8(FormatFinding(f)).c_str());
        }
        std::printf("%d error(s), %d warning(s)\n", result.errors, result.warnings);
    }
    if (std::fflush(stdout) != 0) return kExitCannotOpen;
    if (doc.IsOpenedDamaged()) return kExitCannotOpen;
    return result.HasErrors() ? kExitErrors : 0;
}

}  // namespace flr
