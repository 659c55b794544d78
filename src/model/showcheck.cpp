#include "model/showcheck.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <unordered_map>

#include "model/flrdoc.h"
#include "model/ignition.h"

namespace flr {

namespace {

struct KindInfo {
    FindingKind kind;
    FindingSeverity severity;
    const char* name;
};

constexpr std::array kKinds{
    KindInfo{FindingKind::DamagedFile, FindingSeverity::Error, "damaged"},
    KindInfo{FindingKind::PrefireDoesNotFit, FindingSeverity::Error, "prefire"},
    KindInfo{FindingKind::InvalidInTime, FindingSeverity::Error, "in-time"},
    KindInfo{FindingKind::AddressConflict, FindingSeverity::Error, "conflict"},
    KindInfo{FindingKind::NoAddress, FindingSeverity::Error, "no-address"},
    KindInfo{FindingKind::BankOutOfRange, FindingSeverity::Error, "bank-letter"},
    KindInfo{FindingKind::AddressNumberOutOfRange, FindingSeverity::Error, "address-number"},
    KindInfo{FindingKind::TooManyPoints, FindingSeverity::Error, "too-many-points"},
    KindInfo{FindingKind::NumberTooLarge, FindingSeverity::Error, "record-number"},
    KindInfo{FindingKind::NoIgnitionPoints, FindingSeverity::Warning, "empty"},
    KindInfo{FindingKind::AfterMusicEnd, FindingSeverity::Warning, "after-music"},
    KindInfo{FindingKind::AfterShowLength, FindingSeverity::Warning, "after-length"},
    KindInfo{FindingKind::NoItem, FindingSeverity::Warning, "no-item"},
    KindInfo{FindingKind::UnknownItem, FindingSeverity::Warning, "unknown-item"},
    KindInfo{FindingKind::ChainOutOfOrder, FindingSeverity::Warning, "chain-order"},
};

constexpr bool KindsInOrder()
{
    for (size_t i = 0; i < kKinds.size(); ++i) {
        if (static_cast<size_t>(kKinds[i].kind) != i) return false;
    }
    return true;
}
static_assert(KindsInOrder());

const KindInfo& Info(FindingKind kind) { return kKinds[static_cast<size_t>(kind)]; }

template <typename... Args>
std::string Format(const char* format, Args... args)
{
    char text[256];
    std::snprintf(text, sizeof text, format, args...);
    return text;
}

// A letter the hardware does not know may be any byte a damaged file held: never print it raw.
std::string AddressLabel(const CIgnition& e)
{
    if (!e.HasAddress()) return {};
    const auto letter = static_cast<unsigned char>(e.GetLetter());
    if (letter >= 0x21 && letter <= 0x7E) {
        return Format("%c%02u", letter, static_cast<unsigned>(e.GetAddressNumber()));
    }
    return Format("<%02X>%02u", letter, static_cast<unsigned>(e.GetAddressNumber()));
}

bool IsTimeCode(CTimeCode t, int fps)
{
    return t.IsValid() && t.Minutes() < 60 && t.Seconds() < 60 && t.Frames() < fps;
}

uint64_t FramesOf(CTimeCode t, int fps)
{
    return ((uint64_t(t.Hours()) * 60 + uint64_t(t.Minutes())) * 60 + uint64_t(t.Seconds())) *
               uint64_t(fps) +
           uint64_t(t.Frames());
}

class Checker {
public:
    Checker(const CFireworkSetup& setup, const ShowCheckOptions& options)
        : m_options(options),
          m_fps(setup.GetFrameRate() == 30 ? 30 : 25),
          m_lengthFrames(setup.GetEstimatedLength())
    {
    }

    ShowCheckResult Run(const CIgnition* any, bool damaged)
    {
        if (damaged) {
            AddShowWide(FindingKind::DamagedFile,
                        "the show file was damaged when it was opened: what followed the damage "
                        "is missing; open an intact copy or save this show under a new name and "
                        "check every cue");
        }
        CIgnition* first = any ? const_cast<CIgnition*>(any)->FirstSchedule() : nullptr;
        FillConflictTable(first ? first->FirstFiring() : nullptr);
        int index = 0;
        for (const CIgnition* e = first; e; e = e->GetNextSchedule(), ++index) {
            CheckEntry(*e, index);
        }
        FinishShowWide();

        ShowCheckResult result;
        result.findings = std::move(m_showWide);
        result.findings.insert(result.findings.end(), m_entries.begin(), m_entries.end());
        for (size_t k = 0; k < kKinds.size(); ++k) {
            const int count = m_counts[k];
            (kKinds[k].severity == FindingSeverity::Error ? result.errors : result.warnings) +=
                count;
            if (count > kListedPerKind) {
                // Counted above already: this line only says what the list leaves out.
                result.findings.push_back(
                    {.kind = kKinds[k].kind,
                     .severity = kKinds[k].severity,
                     .entry = nullptr,
                     .index = -1,
                     .number = -1,
                     .address = {},
                     .time = {},
                     .message =
                         Format("%d more like the above are not listed", count - kListedPerKind)});
            }
        }
        return result;
    }

private:
    static constexpr int kSlots = CIgnition::kBankCount * CIgnition::kAddressesPerBank;

    static int Slot(const CIgnition& e)
    {
        const int bank = static_cast<unsigned char>(e.GetLetter()) - 'A';
        const int number = e.GetAddressNumber();
        if (bank < 0 || bank >= CIgnition::kBankCount || number < 1 ||
            number > CIgnition::kAddressesPerBank) {
            return -1;
        }
        return bank * CIgnition::kAddressesPerBank + number - 1;
    }

    // The earliest In Time each address fires at; a record at another In Time conflicts.
    void FillConflictTable(const CIgnition* firstFiring)
    {
        m_slotTime.fill(kInvalidTimeCode);
        for (const CIgnition* e = firstFiring; e; e = e->GetNextFiring()) {
            if (!HasFiringRecord(*e)) continue;
            const int slot = Slot(*e);
            if (slot >= 0 && e->GetInTime() < m_slotTime[static_cast<size_t>(slot)]) {
                m_slotTime[static_cast<size_t>(slot)] = e->GetInTime();
            }
        }
    }

    void CheckEntry(const CIgnition& e, int index)
    {
        const CEffect* item = e.GetItem();
        if (e.GetChainPrev() && e.GetInTime() < e.GetChainPrev()->GetInTime()) {
            Add(FindingKind::ChainOutOfOrder, e, index, [&] {
                return Format("chained effect fires at %s, before the effect it follows (%s)",
                              FormatTimeCode(e.GetInTime()).c_str(),
                              FormatTimeCode(e.GetChainPrev()->GetInTime()).c_str());
            });
        }
        if (!item) {
            Add(FindingKind::NoItem, e, index, [&] { return std::string("the cue has no item"); });
        } else if (m_options.knowsItem) {
            // Once per item: the article number is looked up and the finding listed only for
            // the first cue that uses it.
            auto [seen, first] = m_unknownSeen.try_emplace(item, kKnown);
            if (first && !m_options.knowsItem(item->GetArticleNumber())) {
                seen->second = kUnlisted;
                if (Add(FindingKind::UnknownItem, e, index, [&] {
                        return Format("item %s \"%s\" is not in the product database",
                                      item->GetArticleNumber().c_str(), item->GetName().c_str());
                    })) {
                    seen->second = m_entries.size() - 1;
                }
            } else if (!first && seen->second != kKnown && seen->second != kUnlisted) {
                ++m_unknownCount[seen->second];
            }
        }
        CheckLength(e, index);
        if (!HasFiringRecord(e)) return;

        ++m_records;
        m_highestNumber = std::max(m_highestNumber, e.GetNumber());
        const uint64_t record = uint64_t(uint32_t(e.GetNumber())) + BankOffset();
        if (record > kLargestRecordNumber && !m_numberReported) {
            m_numberReported = true;
            Add(FindingKind::NumberTooLarge, e, index, [&] {
                return Format(
                    "record number %llu (and every later one) does not fit the hardware's "
                    "16-bit record number",
                    static_cast<unsigned long long>(record));
            });
        }

        if (e.HasPrefireError()) {
            Add(FindingKind::PrefireDoesNotFit, e, index, [&] {
                return Format(
                    "prefire %.2f s does not fit before Time: the cue would fire at "
                    "00:00:00:00",
                    item ? item->GetPrefire() : 0.0);
            });
        } else if (!IsTimeCode(e.GetInTime(), m_fps)) {
            Add(FindingKind::InvalidInTime, e, index, [&] {
                return Format(
                    "In Time %s is not a time at %d frames per second",
                    e.GetInTime().IsValid() ? FormatTimeCode(e.GetInTime()).c_str() : "(none)",
                    m_fps);
            });
        }

        if (!e.HasAddress()) {
            Add(FindingKind::NoAddress, e, index,
                [&] { return std::string("the ignition point has no address"); });
            return;
        }
        const auto letter = static_cast<unsigned char>(e.GetLetter());
        bool addressOk = true;
        if (letter < 'A' || letter > 'Y') {
            addressOk = false;
            Add(FindingKind::BankOutOfRange, e, index, [&] {
                return letter >= 0x21 && letter <= 0x7E
                           ? Format("bank letter %c is not one of A to Y", letter)
                           : Format("bank letter byte 0x%02X is not one of A to Y", letter);
            });
        }
        if (e.GetAddressNumber() < 1 || e.GetAddressNumber() > CIgnition::kAddressesPerBank) {
            addressOk = false;
            Add(FindingKind::AddressNumberOutOfRange, e, index, [&] {
                return Format("address number %u is not one of 1 to 32",
                              static_cast<unsigned>(e.GetAddressNumber()));
            });
        }
        if (!addressOk) return;
        const CTimeCode earliest = m_slotTime[static_cast<size_t>(Slot(e))];
        if (earliest != e.GetInTime()) {
            Add(FindingKind::AddressConflict, e, index, [&] {
                return Format("address %s fires at two In Times: %s here and %s earlier",
                              AddressLabel(e).c_str(), FormatTimeCode(e.GetInTime()).c_str(),
                              FormatTimeCode(earliest).c_str());
            });
        }
    }

    // Said once per show, at the first cue concerned, with the count of the others.
    void CheckLength(const CIgnition& e, int index)
    {
        const uint64_t frames = FramesOf(e.GetTime(), m_fps);
        if (m_options.musicLengthMs && frames * 1000 > *m_options.musicLengthMs * m_fps) {
            if (m_afterMusic++ == 0) {
                m_afterMusicAt = m_entries.size();
                Add(FindingKind::AfterMusicEnd, e, index, [&] { return std::string(""); });
            }
        }
        if (m_lengthFrames > 0 && frames > uint64_t(m_lengthFrames)) {
            if (m_afterLength++ == 0) {
                m_afterLengthAt = m_entries.size();
                Add(FindingKind::AfterShowLength, e, index, [&] { return std::string(""); });
            }
        }
    }

    void FinishShowWide()
    {
        if (m_records == 0) {
            AddShowWide(FindingKind::NoIgnitionPoints,
                        "the show has no ignition points: the download would leave an empty bank");
        }
        const uint64_t count = m_highestNumber >= 0 ? uint64_t(m_highestNumber) + 1 : 0;
        if (count + BankOffset() > kHardwarePoints) {
            AddShowWide(FindingKind::TooManyPoints,
                        m_options.bank && *m_options.bank > 0
                            ? Format("%llu ignition points do not fit from bank %d on: the "
                                     "hardware holds %u points from bank 0 to bank 9",
                                     static_cast<unsigned long long>(count), *m_options.bank,
                                     kHardwarePoints)
                            : Format("%llu ignition points do not fit: the hardware holds %u",
                                     static_cast<unsigned long long>(count), kHardwarePoints));
        }
        for (auto& [item, at] : m_unknownSeen) {
            if (at == kKnown || at == kUnlisted || m_unknownCount[at] == 0) continue;
            m_entries[at].message += Format(" (also used by %d more cue%s)", m_unknownCount[at],
                                            m_unknownCount[at] == 1 ? "" : "s");
        }
        if (m_afterMusic > 0) {
            const uint64_t ms = *m_options.musicLengthMs;
            m_entries[m_afterMusicAt].message =
                Format("%d cue(s) from here on lie after the end of the music track (%u:%02u)",
                       m_afterMusic, unsigned(ms / 60000), unsigned(ms / 1000 % 60));
        }
        if (m_afterLength > 0) {
            m_entries[m_afterLengthAt].message = Format(
                "%d cue(s) from here on lie past the show's estimated length", m_afterLength);
        }
    }

    uint64_t BankOffset() const
    {
        return m_options.bank
                   ? uint64_t(std::clamp(*m_options.bank, 0, kHardwareBanks - 1)) * kPointsPerBank
                   : 0;
    }

    // Lists the first kListedPerKind findings of a kind and counts the rest: a show far past
    // the hardware's size would otherwise list (and format) one finding per cue.
    template <typename MakeMessage>
    bool Add(FindingKind kind, const CIgnition& e, int index, MakeMessage&& makeMessage)
    {
        if (m_counts[static_cast<size_t>(kind)]++ >= kListedPerKind) return false;
        std::string message = makeMessage();
        m_entries.push_back({.kind = kind,
                             .severity = SeverityOf(kind),
                             .entry = &e,
                             .index = index,
                             .number = e.GetNumber(),
                             .address = AddressLabel(e),
                             .time = FormatTimeCode(e.GetTime()),
                             .message = std::move(message)});
        return true;
    }

    void AddShowWide(FindingKind kind, std::string message)
    {
        ++m_counts[static_cast<size_t>(kind)];
        m_showWide.push_back({.kind = kind,
                              .severity = SeverityOf(kind),
                              .entry = nullptr,
                              .index = -1,
                              .number = -1,
                              .address = {},
                              .time = {},
                              .message = std::move(message)});
    }

    static constexpr size_t kKnown = static_cast<size_t>(-1);
    static constexpr size_t kUnlisted = static_cast<size_t>(-2);
    static constexpr int kListedPerKind = 500;

    const ShowCheckOptions& m_options;
    const int m_fps;
    const int32_t m_lengthFrames;
    std::array<CTimeCode, kSlots> m_slotTime;
    std::vector<ShowFinding> m_showWide;
    std::vector<ShowFinding> m_entries;
    // Item to the index of its "unknown item" finding, or kKnown, or kUnlisted.
    std::unordered_map<const CEffect*, size_t> m_unknownSeen;
    std::unordered_map<size_t, int> m_unknownCount;
    uint64_t m_records = 0;
    int32_t m_highestNumber = -1;
    bool m_numberReported = false;
    std::array<int, kKinds.size()> m_counts{};
    int m_afterMusic = 0;
    size_t m_afterMusicAt = 0;
    int m_afterLength = 0;
    size_t m_afterLengthAt = 0;
};

}  // namespace

FindingSeverity SeverityOf(FindingKind kind) { return Info(kind).severity; }

const char* FindingKindName(FindingKind kind) { return Info(kind).name; }

bool HasFiringRecord(const CIgnition& entry)
{
    return !entry.IsChained() && entry.GetNumber() != CIgnition::kNoNumber;
}

uint32_t CountRecords(const CIgnition* firstFiring)
{
    int32_t highest = -1;
    for (const CIgnition* e = firstFiring; e; e = e->GetNextFiring()) {
        if (HasFiringRecord(*e)) highest = std::max(highest, e->GetNumber());
    }
    return static_cast<uint32_t>(highest + 1);
}

std::optional<std::string> FirstUnsendableRecord(const CIgnition* firstFiring, uint32_t bankOffset)
{
    const uint64_t count = CountRecords(firstFiring);
    if (bankOffset + count > kHardwarePoints) {
        return Format("%llu ignition points from point %u on do not fit the hardware's %u",
                      static_cast<unsigned long long>(count), bankOffset, kHardwarePoints);
    }
    for (const CIgnition* e = firstFiring; e; e = e->GetNextFiring()) {
        if (!HasFiringRecord(*e)) continue;
        const auto letter = static_cast<unsigned char>(e->GetLetter());
        if (letter < 'A' || letter > 'Y' || e->GetAddressNumber() < 1 ||
            e->GetAddressNumber() > CIgnition::kAddressesPerBank) {
            return Format("ignition point %03d has no address the hardware knows (%s)",
                          e->GetNumber(), AddressLabel(*e).c_str());
        }
        if (e->HasPrefireError() || !e->GetInTime().IsValid()) {
            return Format("ignition point %03d has no In Time (its prefire does not fit)",
                          e->GetNumber());
        }
    }
    return std::nullopt;
}

std::vector<int> BanksFor(uint32_t records)
{
    std::vector<int> banks;
    for (int bank = 0; bank < kHardwareBanks; ++bank) {
        if (uint64_t(bank) * kPointsPerBank + records > kHardwarePoints) break;
        banks.push_back(bank);
    }
    return banks;
}

ShowCheckResult CheckEntries(const CIgnition* any, const CFireworkSetup& setup, bool damaged,
                             const ShowCheckOptions& options)
{
    return Checker(setup, options).Run(any, damaged);
}

ShowCheckResult CheckShow(const CFLRDoc& doc, const ShowCheckOptions& options)
{
    const CFireworkSetup fallback;
    return CheckEntries(doc.GetIgnitions(), doc.GetSetup() ? *doc.GetSetup() : fallback,
                        doc.IsOpenedDamaged(), options);
}

std::string FindingSummary(const ShowCheckResult& result)
{
    return Format("%d error(s), %d warning(s)", result.errors, result.warnings);
}

std::string FormatFinding(const ShowFinding& f)
{
    std::string line = f.severity == FindingSeverity::Error ? "ERROR" : "WARNING";
    if (f.entry) {
        line += f.number >= 0 ? Format(" %03d", f.number) : std::string(" ---");
        line += " " + (f.address.empty() ? std::string("---") : f.address);
        line += " " + f.time;
    }
    line += " ";
    line += FindingKindName(f.kind);
    line += " " + f.message;
    return line;
}

}  // namespace flr
