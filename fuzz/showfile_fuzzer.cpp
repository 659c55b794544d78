// Feeds arbitrary bytes to the show file reader. Besides crashes, leaks and hangs it checks
// that the fast load makes the same show as the straightforward one, and that what the reader
// makes of any input settles: once written and read again, writing and reading give the same
// bytes every time.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/prompt.h"
#include "model/effectcatalogue.h"
#include "model/flrdoc.h"
#include "model/showfilereader.h"
#include "model/showfilewriter.h"

namespace {

class QuietPrompter final : public flr::CPrompter {
public:
    flr::PromptAnswer Ask(std::string_view, std::string_view, flr::PromptButtons buttons,
                          flr::PromptIcon) override
    {
        return flr::CautiousAnswer(buttons);
    }
    void Beep(flr::BeepKind) override {}
};

// Reads `bytes` into a fresh show with a fresh catalogue and writes it again; false when the
// reader refused the bytes.
bool ReadAndWrite(std::string_view bytes, std::string& written, bool straightforward = false)
{
    flr::CEffectCatalogue catalogue;
    flr::CFLRDoc doc;
    flr::CShowFileReader reader(catalogue, [](const std::vector<flr::CEffectRef>&) {});
    reader.SetRenumberEachLink(straightforward);
    const auto status = reader.ReadBytes(bytes, doc);
    if (status != flr::CShowFileReader::Status::Ok &&
        status != flr::CShowFileReader::Status::Damaged) {
        return false;
    }
    written = flr::CShowFileWriter::ToBytes(doc);
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static QuietPrompter quiet;
    static const bool installed = (flr::InstallPrompter(&quiet), true);
    (void)installed;

    std::string first;
    if (!ReadAndWrite(std::string_view(reinterpret_cast<const char*>(data), size), first)) {
        return 0;
    }
    // The fast load must make the same show as the straightforward one.
    std::string slow;
    if (!ReadAndWrite(std::string_view(reinterpret_cast<const char*>(data), size), slow, true) ||
        slow != first) {
        __builtin_trap();
    }
    // The first write may still differ from the input's oddities; the second must be final.
    std::string second;
    std::string third;
    if (!ReadAndWrite(first, second) || !ReadAndWrite(second, third) || second != third) {
        __builtin_trap();
    }
    return 0;
}
