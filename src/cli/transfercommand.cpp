// flr-cli transfer SHOW.flr --device PATH [--bank N] [--retries N]: checks the show and
// downloads it to the firing hardware on a serial device, as the transfer window does.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>

#include "base/prompt.h"
#include "base/textcodec.h"
#include "cli/openshow.h"
#include "cli/verbargs.h"
#include "cli/verbs.h"
#include "model/flrdoc.h"
#include "model/showcheck.h"
#include "music/trackloader.h"
#include "transfer/devicecheck.h"
#include "transfer/tickclock.h"
#include "transfer/transferengine.h"
#include "transfer/transferloop.h"

namespace flr {

namespace {

constexpr int kExitUsage = 2;
constexpr int kExitStalled = 3;
constexpr int kExitCheckErrors = 4;

constexpr char kUsage[] =
    "Usage: flr-cli transfer SHOW.flr --device PATH [--bank N] [--retries N]\n";

// Messages go to stderr; "Communications Failure" is answered with Retry while retries last.
// Port reports arrive from monitor threads, hence the mutex.
class CliTransferPrompter final : public CPrompter {
public:
    explicit CliTransferPrompter(int retries) : m_retriesLeft(retries) {}

    PromptAnswer Ask(std::string_view text, std::string_view caption, PromptButtons buttons,
                     PromptIcon) override
    {
        std::lock_guard lock(m_mutex);  // guards m_retriesLeft and stderr's lines
        std::fprintf(stderr, "%.*s: %.*s\n", static_cast<int>(caption.size()), caption.data(),
                     static_cast<int>(text.size()), text.data());
        if (buttons != PromptButtons::RetryCancel) return CautiousAnswer(buttons);
        if (m_retriesLeft > 0) {
            --m_retriesLeft;
            std::fputs("flr-cli: retrying\n", stderr);
            return PromptAnswer::Retry;
        }
        return PromptAnswer::Cancel;
    }
    void Beep(BeepKind) override {}

private:
    std::mutex m_mutex;
    int m_retriesLeft;
};

// Progress in the command line's own words: the record on the line, once per record. The
// window's texts (its button to press, its counting) are not this program's.
class StderrObserver final : public CTransferObserver {
public:
    void Watch(const CTransferEngine& engine) { m_engine = &engine; }
    void OnProgress(int) override
    {
        if (!m_engine) return;
        // The points, then the closing record that ends the bank.
        const uint32_t total = m_engine->GetRecordCount() + 1;
        const uint32_t record =
            std::min(m_engine->GetStepsDone() / CTransferEngine::kStepsPerRecord + 1, total);
        if (record == m_shown) return;
        m_shown = record;
        std::fprintf(stderr, "flr-cli: record %u of %u\n", record, total);
    }

private:
    const CTransferEngine* m_engine = nullptr;
    uint32_t m_shown = 0;
};

bool ParseCount(const std::string& text, int limit, int& out)
{
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end || value < 0 || value > limit) return false;
    out = static_cast<int>(value);
    return true;
}

int FinishDownload(CTransferEngine& engine, int bank)
{
    if (engine.GetResult() != CTransferEngine::Result::Completed) {
        std::fputs("flr-cli: the hardware stopped answering; download abandoned\n", stderr);
        return kExitStalled;
    }
    // The port's thread may still bring news (a stray byte after the last question) and waits
    // until it is handled: keep handling it while the closing byte goes out.
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    bool written = false;
    while (!(written = engine.WaitLastByteWritten(std::chrono::milliseconds(20))) &&
           std::chrono::steady_clock::now() < end) {
        engine.Mailbox().Dispatch(std::chrono::milliseconds(0));
    }
    if (!written) {
        std::fputs("flr-cli: the closing byte could not be written\n", stderr);
        return kExitStalled;
    }
    std::fprintf(stderr, "flr-cli: downloaded %u points to bank %d\n", engine.GetRecordCount(),
                 bank);
    return 0;
}

}  // namespace

int RunTransfer(const QStringList& arguments)
{
    QCommandLineParser parser;
    const QCommandLineOption deviceOption(QStringLiteral("device"), QString(),
                                          QStringLiteral("PATH"));
    const QCommandLineOption bankOption(QStringLiteral("bank"), QString(), QStringLiteral("N"));
    const QCommandLineOption retriesOption(QStringLiteral("retries"), QString(),
                                           QStringLiteral("N"));
    parser.addOptions({deviceOption, bankOption, retriesOption});
    if (!ParseVerbArguments(parser, arguments, kUsage, 1)) return kExitUsage;
    const std::string showPath = parser.positionalArguments()[0].toLocal8Bit().toStdString();
    const std::string device = parser.value(deviceOption).toLocal8Bit().toStdString();
    if (showPath.empty() || device.empty()) {
        std::fputs(kUsage, stderr);
        return kExitUsage;
    }
    int bank = 0;
    if (parser.isSet(bankOption)) {
        const std::string text = parser.value(bankOption).toStdString();
        if (!ParseCount(text, 1000, bank)) {
            std::fprintf(stderr, "flr-cli: --bank wants a bank number, not '%s'\n", text.c_str());
            return kExitUsage;
        }
    }
    int retries = 3;
    if (parser.isSet(retriesOption)) {
        const std::string text = parser.value(retriesOption).toStdString();
        if (!ParseCount(text, 1000000, retries)) {
            std::fprintf(stderr, "flr-cli: --retries wants a count, not '%s'\n", text.c_str());
            return kExitUsage;
        }
    }

    CFLRDoc doc;
    if (!OpenShowForCli(showPath, doc, false)) return 1;
    DeriveAsProgram(doc);

    // The bank list and the show check come before the device is opened, as in the program.
    const uint32_t records = CountRecords(doc.FirstFiring());
    const std::vector<int> banks = BanksFor(records);
    if (std::find(banks.begin(), banks.end(), bank) == banks.end()) {
        std::fprintf(
            stderr,
            "flr-cli: bank %d is not offered for this show of %u ignition points "
            "(banks offered: %s)\n",
            bank, records,
            banks.empty()
                ? "none"
                : (std::to_string(banks.front()) + " to " + std::to_string(banks.back())).c_str());
        return kExitUsage;
    }
    const ShowCheckResult check = CheckShow(
        doc, {.bank = bank, .musicLengthMs = ShowTrackLengthMs(doc, showPath), .knowsItem = {}});
    for (const ShowFinding& f : check.findings) {
        std::fprintf(stderr, "%s\n", Cp1252ToUtf8(FormatFinding(f)).c_str());
    }
    if (check.HasErrors()) {
        std::fprintf(stderr, "flr-cli: %s: the show check refuses the download\n",
                     FindingSummary(check).c_str());
        return kExitCheckErrors;
    }

    CliTransferPrompter prompter(retries);
    CPrompter* previous = InstallPrompter(&prompter);
    StderrObserver observer;
    CSteadyTickClock clock;
    CTransferLoop loop;
    int exitCode = 0;
    {
        CTransferEngine engine(doc.FirstFiring(), CPortMap::Explicit({{1, device}}), observer,
                               clock, loop);
        loop.Attach(engine);
        observer.Watch(engine);
        engine.Start();
        if (engine.GetPortItems().empty()) {
            const DeviceCheck check = CheckDevice(device);
            std::fprintf(stderr, "flr-cli: cannot open %s: %s\n", device.c_str(),
                         check.state == DeviceState::Ready ? "in use, or not a serial line"
                                                           : DescribeDeviceCheck(check).c_str());
            exitCode = 1;
        } else {
            engine.SelectBankItem(std::to_string(bank));
            engine.Download();
            if (engine.GetState() == 0) {
                exitCode = kExitCheckErrors;  // the engine refused a record and said why
            } else {
                loop.Run([&] { return engine.GetResult() != CTransferEngine::Result::Running; },
                         std::chrono::hours(24 * 365));
                exitCode = FinishDownload(engine, bank);
            }
        }
    }
    InstallPrompter(previous);
    return exitCode;
}

}  // namespace flr
