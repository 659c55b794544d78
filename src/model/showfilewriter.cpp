#include "model/showfilewriter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QSaveFile>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <unordered_map>
#include <unordered_set>

#include "base/prompt.h"
#include "model/flrdoc.h"
#include "model/showfileformat.h"

namespace flr {

using namespace showfile;

namespace {

void SyncFolder(const std::filesystem::path& folder)
{
    const std::string name = folder.empty() ? std::string(".") : folder.string();
    const int fd = ::open(name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

constexpr const char* kFileError = "File Error";

class Output {
public:
    explicit Output(std::string& bytes) : m_bytes(bytes) {}

    void U16(uint16_t v)
    {
        m_bytes.push_back(static_cast<char>(v & 0xFF));
        m_bytes.push_back(static_cast<char>(v >> 8));
    }
    void U32(uint32_t v)
    {
        for (int i = 0; i < 4; ++i) m_bytes.push_back(static_cast<char>(v >> (8 * i)));
    }
    void Raw(const void* data, size_t n) { m_bytes.append(static_cast<const char*>(data), n); }

    void Header(uint16_t id, size_t length)
    {
        U16(id);
        U16(static_cast<uint16_t>(length));
    }
    void FieldU16(uint16_t id, uint16_t v)
    {
        Header(id, 2);
        U16(v);
    }
    void FieldI32(uint16_t id, int32_t v)
    {
        Header(id, 4);
        U32(static_cast<uint32_t>(v));
    }
    void FieldF64(uint16_t id, double v)
    {
        uint64_t bits;
        std::memcpy(&bits, &v, sizeof bits);
        Header(id, 8);
        U32(static_cast<uint32_t>(bits));
        U32(static_cast<uint32_t>(bits >> 32));
    }
    // Texts longer than a reader keeps are cut here, so that what is written reads back.
    void FieldText(uint16_t id, std::string_view text, size_t limit)
    {
        text = UpToZero(text);
        if (text.size() > limit) text = text.substr(0, limit);
        Header(id, text.size());
        Raw(text.data(), text.size());
    }
    void FieldOptText(uint16_t id, const OptText& text, size_t limit)
    {
        FieldText(id, text ? std::string_view(*text) : std::string_view(), limit);
    }
    // Ends a chunk or a record, and the file.
    void End() { U32(0); }

private:
    std::string& m_bytes;
};

// "%4d-%02d-%02d" and its zero; a date too wide for the field is written as no date.
void WriteDate(Output& out, int32_t year, int32_t month, int32_t day)
{
    char text[64];
    int n = std::snprintf(text, sizeof text, "%4d-%02d-%02d", year, month, day);
    if (n < 0 || static_cast<size_t>(n) >= kDateSize) {
        n = std::snprintf(text, sizeof text, "%4d-%02d-%02d", 0, 0, 0);
    }
    out.Header(kDate, kDateSize);
    out.Raw(text, kDateSize - 1);
    out.Raw("", 1);
}

void WriteSetup(Output& out, const CFireworkSetup* setup)
{
    out.U32(kTagSettings);
    out.FieldI32(kEstimatedLength, setup ? setup->GetEstimatedLength() : 0);
    out.FieldU16(kFrameRate, static_cast<uint16_t>(setup ? setup->GetFrameRate() : 25));
    out.FieldU16(kPrefireOff, setup ? (setup->GetPrefireOff() ? 1 : 0) : 1);
    out.End();

    // Every saved show has a setup; one without is written as the default setup's.
    const CFireworkSetup defaults;
    const CFireworkSetup& s = setup ? *setup : defaults;
    out.U32(kTagInformation);
    out.FieldOptText(kCustomerNameStored, s.GetCustomerNameStored(), kMaxText);
    out.FieldOptText(kCustomerName, s.GetCustomerName(), kMaxText);
    int32_t year, month, day;
    s.GetDate(year, month, day);
    WriteDate(out, year, month, day);
    out.FieldOptText(kContact1Name, s.GetContact1Name(), kMaxText);
    out.FieldOptText(kContact1Tel, s.GetContact1Tel(), kMaxText);
    out.FieldOptText(kContact2Name, s.GetContact2Name(), kMaxText);
    out.FieldOptText(kContact2Tel, s.GetContact2Tel(), kMaxText);
    out.End();

    out.U32(kTagPrices);
    out.FieldI32(kPriceLimit, setup ? setup->GetPriceLimit() : CFireworkSetup::kNotUsed);
    out.FieldI32(kFixedPrice, setup ? setup->GetFixedPrice() : CFireworkSetup::kNotUsed);
    out.FieldI32(kPropDiscount, setup ? setup->GetPropDiscount() : CFireworkSetup::kNotUsed);
    out.FieldI32(kFixedDiscount, setup ? setup->GetFixedDiscount() : CFireworkSetup::kNotUsed);
    out.End();

    out.U32(kTagMusic);
    out.FieldOptText(kMusicFile, setup ? setup->GetMusicFile() : std::nullopt, kMaxMusicPath);
    out.End();
}

// The distinct items in ignition-point order of first use. A local set remembers which are
// written, so nothing is marked on the items and an interrupted write leaves no trace.
void WriteEffects(Output& out, CIgnition* firstFiring)
{
    out.U32(kTagEffects);
    std::unordered_set<const CEffect*> written;
    for (CIgnition* e = firstFiring; e; e = e->GetNextFiring()) {
        const CEffect* item = e->GetItem();
        if (!item || UpToZero(item->GetArticleNumber()).empty()) continue;
        if (!written.insert(item).second) continue;
        out.FieldText(kEffectArticleNumber, item->GetArticleNumber(), kMaxText);
        out.FieldText(kEffectName, item->GetName(), kMaxText);
        out.FieldU16(kEffectSize, static_cast<uint16_t>(item->GetSize() & 0xFFFF));
        out.FieldI32(kEffectWeight, item->GetWeight());
        out.FieldF64(kEffectPrefire, item->GetPrefire());
        out.FieldF64(kEffectDuration, item->GetDuration());
        out.FieldI32(kEffectColor, item->GetColor());
        out.End();
    }
    out.End();
}

int WriteIgnitions(Output& out, CIgnition* firstSchedule)
{
    int withoutArticleNumber = 0;
    out.U32(kTagIgnitions);
    std::unordered_map<const CIgnition*, int32_t> indices;
    int32_t index = 0;
    for (CIgnition* e = firstSchedule; e; e = e->GetNextSchedule(), ++index) {
        indices.emplace(e, index);
        const bool numbered = e->GetNumber() != CIgnition::kNoNumber;
        int32_t number = e->GetNumber();
        if (!numbered) {
            // The record of the chain's primary entry, when it was written before this one.
            const auto primary = indices.find(e->ChainHead());
            number = primary != indices.end() && primary->second < index ? primary->second : -1;
        }
        const CEffect* item = e->GetItem();
        if (item && UpToZero(item->GetArticleNumber()).empty()) ++withoutArticleNumber;

        out.FieldI32(kEntryIndex, index);
        out.FieldU16(kEntryHasNumber, numbered ? 1 : 0);
        out.FieldI32(kEntryNumber, number);
        out.FieldText(kEntryArticleNumber, item ? item->GetArticleNumber() : std::string(),
                      kMaxText);
        if (item) {
            out.FieldI32(kEntrySize, item->GetSize());
        } else {
            out.Header(kEntrySize, 0);
        }
        out.FieldOptText(kEntryNote, e->GetNote(), kMaxText);
        out.FieldU16(kEntryIgnorePrefire, e->GetIgnorePrefire() ? 1 : 0);
        out.FieldI32(kEntryInTime, static_cast<int32_t>(e->GetInTime().Value()));
        out.FieldI32(kEntryTime, static_cast<int32_t>(e->GetTime().Value()));
        out.Header(kEntryAddress, 2);
        const char address[2] = {e->GetLetter(), static_cast<char>(e->GetAddressNumber())};
        out.Raw(address, 2);
        out.FieldU16(kEntryPosition, e->GetPosition());
        // Racks are never linked to entries, so both rack fields are written as absent.
        out.Header(kEntryRackNumber, 0);
        out.Header(kEntryRackPosition, 0);
        out.Header(kEntryRackEnd, 0);
        out.End();
    }
    out.End();
    return withoutArticleNumber;
}

}  // namespace

std::string CShowFileWriter::ToBytes(const CFLRDoc& doc, int* entriesWithoutArticleNumber)
{
    std::string bytes;
    Output out(bytes);
    out.U32(0);
    out.Raw(kMagic, kMagicSize);
    out.Raw(kFormatStamp, sizeof kFormatStamp);
    out.U32(0);
    out.U32(0);

    WriteSetup(out, doc.GetSetup());
    if (doc.GetIgnitions()) WriteEffects(out, doc.FirstFiring());
    const int left = WriteIgnitions(out, doc.FirstSchedule());
    out.End();
    if (entriesWithoutArticleNumber) *entriesWithoutArticleNumber = left;
    return bytes;
}

bool CShowFileWriter::Save(const CFLRDoc& doc, const std::string& path)
{
    int withoutArticleNumber = 0;
    const std::string bytes = ToBytes(doc, &withoutArticleNumber);

    // Renaming over a read-only file would replace it; the user marked it so on purpose.
    struct stat existing {};
    if (::stat(path.c_str(), &existing) == 0 && (existing.st_mode & 0222) == 0) {
        ShowMessage("Error. FLR failed to save the firework to \"" + path +
                        "\": the file is read-only.\nThe file on disk was not changed.",
                    kFileError);
        return false;
    }

    // QSaveFile writes a symbolic link's target and keeps the link.
    QSaveFile file(QString::fromStdString(path));
    // Writing straight into the old file would lose it on a failure half-way.
    file.setDirectWriteFallback(false);
    bool ok = file.open(QIODevice::WriteOnly);
    std::string reason;
    if (ok) {
        // QSaveFile's commit does not notice a failed flush of its buffer (a full disk would
        // replace the old file by a cut one), so flush and sync here and check each step.
        ok = file.write(bytes.data(), static_cast<qint64>(bytes.size())) ==
                 static_cast<qint64>(bytes.size()) &&
             file.flush();
        if (ok && ::fsync(file.handle()) != 0) {
            ok = false;
            reason = std::strerror(errno);
        }
        if (ok) {
            ok = file.commit();
            // The rename is durable only once the folder is: a power loss must not bring the
            // old show back after "saved".
            std::error_code ignored;
            if (ok) SyncFolder(std::filesystem::weakly_canonical(path, ignored).parent_path());
        } else {
            if (reason.empty()) reason = file.errorString().toStdString();
            file.cancelWriting();  // the new file is removed, the old one stays
        }
    }
    if (!ok) {
        if (reason.empty()) reason = file.errorString().toStdString();
        ShowMessage("Error. FLR failed to save the firework to \"" + path + "\": " + reason +
                        "\nThe file on disk was not changed.",
                    kFileError);
        return false;
    }
    if (withoutArticleNumber > 0) {
        ShowMessage("Warning. " + std::to_string(withoutArticleNumber) +
                        " effect(s) carry an item without an article number. These items "
                        "cannot be stored in the file; the effects were saved without them.",
                    kFileError);
    }
    return true;
}

}  // namespace flr
