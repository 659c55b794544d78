// flr-cli wave FILE.wav [--seek OFFSET] [--count N] [--chunk SIZE]: the program's wave reader on
// its own, as track loading opens a file, then reading its data from OFFSET.
#include <QCryptographicHash>
#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "cli/verbargs.h"
#include "cli/verbs.h"
#include "music/wavereader.h"

namespace flr {

namespace {

constexpr int kExitCannotOpen = 1;
constexpr int kExitUsage = 2;
constexpr uint64_t kDefaultChunk = 4096;

constexpr char kUsage[] =
    "Usage: flr-cli wave FILE.wav [--seek OFFSET] [--count N] [--chunk SIZE]\n";

// The option's value (`fallback` when it is not given) if it is a decimal count of at least
// `minimum` (0 or 1); digits only, so that no sign or blank slips through strtoull.
bool CountOption(const QCommandLineParser& parser, const QCommandLineOption& option,
                 uint64_t fallback, uint64_t minimum, uint64_t& out)
{
    out = fallback;
    if (!parser.isSet(option)) return true;
    const std::string text = parser.value(option).toStdString();
    if (!text.empty() && text.find_first_not_of("0123456789") == std::string::npos) {
        errno = 0;
        out = std::strtoull(text.c_str(), nullptr, 10);
        if (errno != ERANGE && out >= minimum) return true;
    }
    std::fprintf(stderr, "flr-cli: --%s wants a count%s, not '%s'\n",
                 qPrintable(option.names().front()), minimum > 0 ? " above 0" : "", text.c_str());
    std::fputs(kUsage, stderr);
    return false;
}

bool Print(const nlohmann::ordered_json& json)
{
    const std::string text = json.dump(2) + '\n';
    return std::fwrite(text.data(), 1, text.size(), stdout) == text.size() &&
           std::fflush(stdout) == 0;
}

}  // namespace

int RunWave(const QStringList& arguments)
{
    QCommandLineParser parser;
    const QCommandLineOption seekOption(QStringLiteral("seek"), QString(),
                                        QStringLiteral("OFFSET"));
    const QCommandLineOption countOption(QStringLiteral("count"), QString(), QStringLiteral("N"));
    const QCommandLineOption chunkOption(QStringLiteral("chunk"), QString(),
                                         QStringLiteral("SIZE"));
    parser.addOptions({seekOption, countOption, chunkOption});
    if (!ParseVerbArguments(parser, arguments, kUsage, 1)) return kExitUsage;
    uint64_t offset = 0;
    uint64_t count = 0;
    uint64_t chunk = 0;
    if (!CountOption(parser, seekOption, 0, 0, offset) ||
        !CountOption(parser, countOption, 0, 0, count) ||
        !CountOption(parser, chunkOption, kDefaultChunk, 1, chunk)) {
        return kExitUsage;
    }
    const bool counted = parser.isSet(countOption);
    const std::string path = parser.positionalArguments()[0].toLocal8Bit().toStdString();

    CWaveReader reader;
    if (!reader.Open(path)) {
        std::fprintf(stderr, "Unable to open file \"%s\".\n", path.c_str());
        Print({{"lastError", uint32_t(reader.LastError())}});
        return kExitCannotOpen;
    }

    const bool seek = reader.SeekData(offset);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    nlohmann::ordered_json returns = nlohmann::ordered_json::array();
    uint64_t bytes = 0;
    std::vector<uint8_t> buffer;
    while (seek && (!counted || bytes < count)) {
        const uint64_t asked = counted ? std::min(chunk, count - bytes) : chunk;
        // Read never copies more than remains, so the buffer need hold no more than that
        // however large the chunk asked.
        const size_t room =
            size_t(std::max<uint64_t>(1, std::min<uint64_t>(asked, reader.Remaining())));
        try {
            if (buffer.size() < room) buffer.resize(room);
        } catch (const std::bad_alloc&) {
            std::fprintf(stderr, "flr-cli: no memory for a read of %zu bytes\n", room);
            return kExitCannotOpen;
        }
        const size_t n = reader.Read(buffer.data(), size_t(std::min<uint64_t>(asked, SIZE_MAX)));
        returns.push_back(n);
        if (n == 0) break;
        hash.addData(QByteArrayView(reinterpret_cast<const char*>(buffer.data()), qsizetype(n)));
        bytes += n;
    }

    const std::span<const uint8_t> extraBytes = reader.ExtraBytes();
    const QByteArray extra(reinterpret_cast<const char*>(extraBytes.data()),
                           qsizetype(extraBytes.size()));
    const nlohmann::ordered_json json{
        {"formatTag", reader.FormatTag()},
        {"channels", reader.Channels()},
        {"sampleRate", reader.SamplesPerSec()},
        {"avgBytesPerSec", reader.AvgBytesPerSec()},
        {"blockAlign", reader.BlockAlign()},
        {"bitsPerSample", reader.BitsPerSample()},
        {"extraSize", reader.ExtraSize()},
        {"extraHex", extra.toHex().toStdString()},
        {"dataSize", reader.DataSize()},
        {"lengthMs", reader.LengthMs()},
        {"read",
         {{"offset", offset},
          {"seek", seek},
          {"position", reader.Position()},
          {"bytes", bytes},
          {"sha256", hash.result().toHex().toStdString()},
          {"returns", returns},
          {"lastError", uint32_t(reader.LastError())}}},
    };
    return Print(json) ? 0 : kExitCannotOpen;
}

}  // namespace flr
