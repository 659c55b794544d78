#include "model/showfilereader.h"

#include <QFile>
#include <algorithm>
#include <climits>
#include <cstring>
#include <map>
#include <memory>
#include <vector>

#include "base/prompt.h"
#include "model/effectcatalogue.h"
#include "model/flrdoc.h"
#include "model/showfileformat.h"

namespace flr {

using namespace showfile;

namespace showfile {

// A bounded little-endian cursor over the file, either all in memory or read from a device
// a block at a time (a large show then never sits in memory twice). A read that cannot be
// satisfied in full consumes the rest and reports false, so the caller ends its chunk and the
// next tag read ends the file.
class Input {
public:
    explicit Input(std::string_view bytes) : m_view(bytes) {}
    explicit Input(QIODevice& device) : m_device(&device) {}

    bool Read(void* out, size_t n)
    {
        if (m_view.size() - m_pos >= n) {
            std::memcpy(out, m_view.data() + m_pos, n);
            m_pos += n;
            return true;
        }
        char* to = static_cast<char*>(out);
        while (n > 0) {
            if (m_pos == m_view.size() && !Refill()) return Exhaust();
            const size_t take = std::min(n, m_view.size() - m_pos);
            std::memcpy(to, m_view.data() + m_pos, take);
            m_pos += take;
            to += take;
            n -= take;
        }
        return true;
    }
    bool Skip(size_t n)
    {
        while (n > 0) {
            if (m_pos == m_view.size() && !Refill()) return Exhaust();
            const size_t take = std::min(n, m_view.size() - m_pos);
            m_pos += take;
            n -= take;
        }
        return true;
    }
    bool ReadU16(uint16_t& out)
    {
        unsigned char b[2];
        if (!Read(b, 2)) return false;
        out = static_cast<uint16_t>(b[0] | b[1] << 8);
        return true;
    }
    bool ReadU32(uint32_t& out)
    {
        unsigned char b[4];
        if (!Read(b, 4)) return false;
        out = uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
        return true;
    }
    bool ReadI32(int32_t& out)
    {
        uint32_t v;
        if (!ReadU32(v)) return false;
        out = static_cast<int32_t>(v);
        return true;
    }
    bool ReadF64(double& out)
    {
        unsigned char b[8];
        if (!Read(b, 8)) return false;
        uint64_t v = 0;
        for (int i = 7; i >= 0; --i) v = v << 8 | b[i];
        std::memcpy(&out, &v, sizeof out);
        return true;
    }
    // A text field of `n` bytes of which at most `limit` are kept: longer texts are cut, and
    // the rest of the field is passed over so the next field is read where it starts.
    bool ReadText(size_t n, size_t limit, std::string& out)
    {
        const size_t keep = n < limit ? n : limit;
        out.resize(keep);
        return Read(out.data(), keep) && Skip(n - keep);
    }
    bool ReadFieldHeader(uint16_t& id, uint16_t& length) { return ReadU16(id) && ReadU16(length); }

    bool CameUpShort() const { return m_short; }

    // Set when the device failed (rather than ended); the reading stops there.
    const QString& DeviceError() const { return m_deviceError; }

private:
    static constexpr qint64 kBlockSize = 64 * 1024;

    bool Refill()
    {
        if (!m_device) return false;
        m_block.resize(kBlockSize);
        const qint64 got = m_device->read(m_block.data(), kBlockSize);
        if (got < 0) m_deviceError = m_device->errorString();
        if (got <= 0) return false;
        m_view = std::string_view(m_block.data(), static_cast<size_t>(got));
        m_pos = 0;
        return true;
    }
    bool Exhaust()
    {
        m_pos = m_view.size();
        m_device = nullptr;  // nothing after a short read counts, whatever the device has
        m_short = true;
        return false;
    }

    QIODevice* m_device = nullptr;
    std::string m_block;
    std::string_view m_view;
    size_t m_pos = 0;
    bool m_short = false;
    QString m_deviceError;
};

}  // namespace showfile

namespace {

constexpr const char* kFileError = "File Error";
constexpr const char* kUnknownEffectData = "Error. Unknown data found in effect list.";
constexpr const char* kUnknownIgnitionData = "Error. Unknown data found in ignition list.";
constexpr const char* kFailedToRead = "Error. FLR failed to read some of the data.";

bool IsScanSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// One "%d" as the C library reads it; out-of-range numbers saturate instead of overflowing.
bool ScanInt(const char*& p, int32_t& out)
{
    while (IsScanSpace(*p)) ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = *p++ == '-';
    if (*p < '0' || *p > '9') return false;
    long long value = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        if (value <= INT_MAX) value = value * 10 + (*p - '0');
    }
    if (negative) value = -value;
    out = static_cast<int32_t>(value > INT_MAX ? INT_MAX : value < INT_MIN ? INT_MIN : value);
    return true;
}

// "%d-%d-%d" into year, month and day; fields not reached keep their values.
void ScanDate(const char* text, int32_t& year, int32_t& month, int32_t& day)
{
    const char* p = text;
    if (!ScanInt(p, year) || *p++ != '-') return;
    if (!ScanInt(p, month) || *p++ != '-') return;
    ScanInt(p, day);
}

struct EntryDeleter {
    void operator()(CIgnition* e) const { delete e; }
};
using EntryPtr = std::unique_ptr<CIgnition, EntryDeleter>;

// One read of one file into one document.
class Loader {
public:
    Loader(Input& in, CFLRDoc& doc, CEffectCatalogue& catalogue,
           const CShowFileReader::MissingItemsHandler& onMissing, bool renumberEachLink)
        : m_in(in),
          m_doc(doc),
          m_catalogue(catalogue),
          m_onMissing(onMissing),
          m_renumberEachLink(renumberEachLink)
    {
    }

    void ReadChunks()
    {
        uint32_t tag;
        while (m_in.ReadU32(tag) && tag != 0) {
            switch (tag) {
            case kTagSettings: ReadSettings(); break;
            case kTagInformation: ReadInformation(); break;
            case kTagPrices: ReadPrices(); break;
            case kTagMusic: ReadMusic(); break;
            case kTagEffects: ReadEffects(); break;
            case kTagIgnitions: ReadIgnitions(); break;
            default: break;  // unknown tags (and 0x700) carry nothing we read
            }
            if (m_in.CameUpShort()) ReportDamage();
        }
    }

    // A truncated file or an impossible value: said once per file.
    bool WasDamaged() const { return m_damaged; }

    // Data the format does not know ends its list: what followed is lost, as with damage.
    void ReportUnknown(const char* message)
    {
        m_damaged = true;
        ShowMessage(message, kFileError);
    }

    void ReportDamage()
    {
        m_damaged = true;
        if (m_damageReported) return;
        m_damageReported = true;
        ShowMessage(kFailedToRead, kFileError);
    }

private:
    CFireworkSetup& Setup() { return *m_doc.GetSetup(); }

    void ReadSettings()
    {
        uint16_t id, length;
        while (m_in.ReadFieldHeader(id, length) && id != 0) {
            // These three take their sizes from their ids, not from the length word.
            if (id == kEstimatedLength) {
                int32_t v;
                if (!m_in.ReadI32(v)) return;
                Setup().SetEstimatedLength(v);
            } else if (id == kFrameRate) {
                uint16_t v;
                if (!m_in.ReadU16(v)) return;
                // Every time computation divides by it: only the two rates the program knows.
                if (v == 25 || v == 30) {
                    Setup().SetFrameRate(v);
                } else {
                    ReportDamage();
                }
            } else if (id == kPrefireOff) {
                uint16_t v;
                if (!m_in.ReadU16(v)) return;
                Setup().SetPrefireOff(v == 1);
            } else if (!m_in.Skip(length)) {
                return;
            }
        }
    }

    void ReadInformation()
    {
        CFireworkSetup& setup = Setup();
        uint16_t id, length;
        while (m_in.ReadFieldHeader(id, length) && id != 0) {
            void (CFireworkSetup::*setter)(const OptText&) = nullptr;
            switch (id) {
            case kCustomerNameStored: setter = &CFireworkSetup::SetCustomerNameStored; break;
            case kCustomerName: setter = &CFireworkSetup::SetCustomerName; break;
            case kContact1Name: setter = &CFireworkSetup::SetContact1Name; break;
            case kContact1Tel: setter = &CFireworkSetup::SetContact1Tel; break;
            case kContact2Name: setter = &CFireworkSetup::SetContact2Name; break;
            case kContact2Tel: setter = &CFireworkSetup::SetContact2Tel; break;
            case kDate:
                if (length > 0) {
                    char text[kDateSize + 1] = {};
                    if (!m_in.Read(text, kDateSize)) return;
                    int32_t year, month, day;
                    setup.GetDate(year, month, day);
                    ScanDate(text, year, month, day);
                    setup.SetDate(year, month, day);
                }
                continue;
            default:
                if (!m_in.Skip(length)) return;
                continue;
            }
            if (length > 0) {
                std::string text;
                if (!m_in.ReadText(length, kMaxText, text)) return;
                (setup.*setter)(text);
            }
        }
    }

    void ReadPrices()
    {
        CFireworkSetup& setup = Setup();
        uint16_t id, length;
        while (m_in.ReadFieldHeader(id, length) && id != 0) {
            int32_t (CFireworkSetup::*getter)() const = nullptr;
            void (CFireworkSetup::*setter)(int32_t) = nullptr;
            switch (id) {
            case kPriceLimit:
                getter = &CFireworkSetup::GetPriceLimit;
                setter = &CFireworkSetup::SetPriceLimit;
                break;
            case kFixedPrice:
                getter = &CFireworkSetup::GetFixedPrice;
                setter = &CFireworkSetup::SetFixedPrice;
                break;
            case kPropDiscount:
                getter = &CFireworkSetup::GetPropDiscount;
                setter = &CFireworkSetup::SetPropDiscount;
                break;
            case kFixedDiscount:
                getter = &CFireworkSetup::GetFixedDiscount;
                setter = &CFireworkSetup::SetFixedDiscount;
                break;
            default: break;
            }
            if (!setter) {
                if (!m_in.Skip(length)) return;
                continue;
            }
            // The length word says how many bytes fill the field; more than its four are
            // passed over, fewer replace only its low bytes.
            const size_t n = length < 4 ? length : 4;
            const uint32_t old = static_cast<uint32_t>((setup.*getter)());
            unsigned char b[4] = {
                static_cast<unsigned char>(old), static_cast<unsigned char>(old >> 8),
                static_cast<unsigned char>(old >> 16), static_cast<unsigned char>(old >> 24)};
            if (!m_in.Read(b, n) || !m_in.Skip(length - n)) return;
            const uint32_t v =
                uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
            (setup.*setter)(static_cast<int32_t>(v));
        }
    }

    void ReadMusic()
    {
        uint16_t id, length;
        while (m_in.ReadFieldHeader(id, length) && id != 0) {
            if (id == kMusicFile && length > 0) {
                std::string text;
                if (!m_in.ReadText(length, kMaxMusicPath, text)) return;
                Setup().SetMusicFile(text);
            } else if (id != kMusicFile && !m_in.Skip(length)) {
                return;
            }
        }
    }

    enum class RecordEnd { Yielded, Ended, Short };

    // One record of the effect list. Ended: the record yields no item (the list's closing
    // zero, or damage that has been reported).
    RecordEnd ReadEffectRecord(CEffectRef& item)
    {
        item.reset();
        bool hadFields = false;
        uint16_t id, length;
        for (;;) {
            if (!m_in.ReadFieldHeader(id, length)) return RecordEnd::Short;
            if (id == 0) break;
            hadFields = true;
            switch (id) {
            case kEffectArticleNumber:
                if (length > 0) {
                    std::string text;
                    if (!m_in.ReadText(length, kMaxText, text)) return RecordEnd::Short;
                    item = CEffect::Create();
                    item->SetArticleNumber(text);
                }
                break;
            case kEffectName:
                if (length > 0) {
                    std::string text;
                    if (!m_in.ReadText(length, kMaxText, text)) return RecordEnd::Short;
                    if (item) item->SetName(text);
                }
                break;
            case kEffectSize:
                if (length == 2) {
                    uint16_t v;
                    if (!m_in.ReadU16(v)) return RecordEnd::Short;
                    if (item) item->SetSize(v);
                }
                break;
            case kEffectWeight:
            case kEffectColor:
                if (length == 4) {
                    int32_t v;
                    if (!m_in.ReadI32(v)) return RecordEnd::Short;
                    if (item && id == kEffectWeight) item->SetWeight(v);
                    if (item && id == kEffectColor) item->SetColor(v);
                }
                break;
            case kEffectPrefire:
            case kEffectDuration:
                if (length == 8) {
                    double v;
                    if (!m_in.ReadF64(v)) return RecordEnd::Short;
                    if (item && id == kEffectPrefire) item->SetPrefire(v);
                    if (item && id == kEffectDuration) item->SetDuration(v);
                }
                break;
            default:
                ReportUnknown(kUnknownEffectData);
                item.reset();
                return RecordEnd::Ended;
            }
        }
        if (item) return RecordEnd::Yielded;
        // A record with fields but no article number ends the list early: whatever follows
        // is lost, so say so.
        if (hadFields) ReportUnknown(kUnknownEffectData);
        return RecordEnd::Ended;
    }

    void ReadEffects()
    {
        std::vector<CEffectRef> missing;
        CEffectRef item;
        while (ReadEffectRecord(item) == RecordEnd::Yielded) {
            // The first item per article number wins; the catalogue's stands.
            if (m_catalogue.Find(item->GetArticleNumber())) continue;
            m_catalogue.Insert(item);
            missing.push_back(item);
        }
        if (!missing.empty() && m_onMissing) m_onMissing(missing);
    }

    // One record of the ignition list; `entry` is set when the record yields one.
    RecordEnd ReadIgnitionRecord(EntryPtr& entry)
    {
        entry.reset();
        bool chained = false;
        bool hadFields = false;
        uint16_t id, length;
        for (;;) {
            if (!m_in.ReadFieldHeader(id, length)) return RecordEnd::Short;
            if (id == 0) break;
            hadFields = true;
            const bool entryField = id == kEntryArticleNumber || id == kEntryNote ||
                                    id == kEntryIgnorePrefire || id == kEntryInTime ||
                                    id == kEntryTime || id == kEntryAddress || id == kEntryPosition;
            // The writer puts 0x1510 before every field of the entry; anything else is damage.
            if (entryField && !entry) {
                ReportUnknown(kUnknownIgnitionData);
                return RecordEnd::Ended;
            }
            switch (id) {
            case kEntryHasNumber: {
                uint16_t v;
                if (!m_in.ReadU16(v)) return RecordEnd::Short;
                chained = v == 0;
                break;
            }
            case kEntryNumber: {
                entry.reset(new CIgnition);
                int32_t v;
                if (!m_in.ReadI32(v)) return RecordEnd::Short;
                entry->SetNumbers(v);  // unlinked: this only stores the value
                if (chained) entry->SetChained(true);
                break;
            }
            case kEntryArticleNumber:
                if (length > 0) {
                    std::string text;
                    if (!m_in.ReadText(length, kMaxText, text)) return RecordEnd::Short;
                    if (CEffect* item = m_catalogue.Find(text)) entry->SetItem(CEffectRef(item));
                }
                break;
            case kEntryNote:
                if (length > 0) {
                    std::string text;
                    if (!m_in.ReadText(length, kMaxText, text)) return RecordEnd::Short;
                    entry->SetNote(text);
                }
                break;
            case kEntryIgnorePrefire: {
                uint16_t v;
                if (!m_in.ReadU16(v)) return RecordEnd::Short;
                entry->SetIgnorePrefire(v == 1);
                break;
            }
            case kEntryInTime: {
                uint32_t v;
                if (!m_in.ReadU32(v)) return RecordEnd::Short;
                entry->SetInTimeRaw(CTimeCode(v));
                break;
            }
            case kEntryTime:
                if (length == 4) {
                    uint32_t v;
                    if (!m_in.ReadU32(v)) return RecordEnd::Short;
                    entry->SetTimeRaw(CTimeCode(v));
                }
                break;
            case kEntryAddress: {
                unsigned char b[2];
                if (!m_in.Read(b, 2)) return RecordEnd::Short;
                if (chained) {
                    entry->SetAddress('A', 0);
                } else {
                    entry->SetAddress(static_cast<char>(b[0]), b[1]);
                }
                break;
            }
            case kEntryPosition: {
                uint16_t v;
                if (!m_in.ReadU16(v)) return RecordEnd::Short;
                entry->SetPosition(static_cast<uint8_t>(v & 0xFF));
                break;
            }
            case kEntryIndex:
                if (!m_in.Skip(4)) return RecordEnd::Short;
                break;
            case kEntrySize:
            case kEntryRackNumber:
            case kEntryRackPosition:
                if (length == 4 && !m_in.Skip(4)) return RecordEnd::Short;
                break;
            case kEntryRackEnd: break;
            default:
                ReportUnknown(kUnknownIgnitionData);
                entry.reset();
                return RecordEnd::Ended;
            }
        }
        if (entry) return RecordEnd::Yielded;
        if (hadFields) ReportUnknown(kUnknownIgnitionData);
        return RecordEnd::Ended;
    }

    void ReadIgnitions()
    {
        EntryPtr read;
        if (ReadIgnitionRecord(read) != RecordEnd::Yielded) return;

        CIgnition* first = read.release();
        // A chained effect has no number of its own, whatever the file says.
        if (first->IsChained()) first->SetNumbers(CIgnition::kNoNumber);
        if (m_renumberEachLink) {
            LinkEachAsRead(first);
        } else {
            LinkAllOnceRead(first);
        }

        // A later ignition list replaces an earlier one.
        m_doc.DeleteAllIgnitions();
        CIgnition* anchor = first->FirstFiring();
        m_doc.SetIgnitions(anchor);
        anchor->SetNumbers(0);
        anchor->CheckAddresses();
    }

    // A chained record names the record index of an earlier entry of its chain; -1 when the
    // entry is no chained effect.
    int64_t TakeChainReference(CIgnition* e)
    {
        if (!e->IsChained()) return -1;
        const int64_t named = e->GetNumber();
        e->SetNumbers(CIgnition::kNoNumber);
        return named;
    }

    // Links each entry as it is read, as the ordering operations do on their own: the
    // straightforward path, kept for the tests that check the fast one against it.
    void LinkEachAsRead(CIgnition* first)
    {
        const int fps = m_doc.GetFrameRate();
        std::vector<CIgnition*> entries{first};
        std::vector<CIgnition*> stale;
        first->UpdateDelay(fps);
        EntryPtr read;
        while (ReadIgnitionRecord(read) == RecordEnd::Yielded) {
            CIgnition* e = read.release();
            const int64_t k = static_cast<int64_t>(entries.size());
            const int64_t named = TakeChainReference(e);
            e->LinkAfter(entries.back(), true);
            entries.push_back(e);
            if (named >= 0 && named < k && entries[static_cast<size_t>(named)]->AddChained(e)) {
                if (CIgnition* next = e->GetChainNext()) stale.push_back(next);
            }
            e->UpdateDelay(fps);
        }
        // An effect sorted into its chain ahead of earlier-read members changes the
        // predecessor of the member behind it, whose delay was computed from the old one.
        for (CIgnition* e : stale) e->UpdateDelay(fps);
    }

    // The same result in N log N whatever the file holds: the schedule order as read, each
    // chain kept sorted by In Time in a multimap (placing an effect where AddChained from the
    // named entry would), then chains, delays and the ignition-point order linked once.
    void LinkAllOnceRead(CIgnition* first)
    {
        using Chain = std::multimap<CTimeCode, CIgnition*>;
        std::vector<CIgnition*> entries{first};
        std::vector<size_t> headOf{0};
        std::vector<Chain::iterator> placeOf(1);  // valid for entries in a chain
        std::map<size_t, Chain> chains;           // by the head's record index
        EntryPtr read;
        while (ReadIgnitionRecord(read) == RecordEnd::Yielded) {
            CIgnition* e = read.release();
            const size_t k = entries.size();
            const int64_t named = TakeChainReference(e);
            e->LinkScheduleAfter(entries.back());
            entries.push_back(e);
            headOf.push_back(k);
            placeOf.emplace_back();
            if (named < 0 || named >= static_cast<int64_t>(k)) continue;

            const size_t n = static_cast<size_t>(named);
            const size_t head = headOf[n];
            Chain& chain = chains[head];
            if (chain.empty())
                placeOf[head] = chain.emplace(entries[head]->GetInTime(), entries[head]);
            const CTimeCode t = e->GetInTime();
            const CTimeCode namedTime = entries[n]->GetInTime();
            Chain::iterator at;
            if (namedTime < t) {
                at = chain.lower_bound(t);  // before the members firing with it
            } else if (namedTime == t) {
                at = std::next(placeOf[n]);  // right behind the named entry
            } else if (chain.begin()->first <= t) {
                at = chain.upper_bound(t);  // behind the members firing with it
            } else {
                continue;  // it would fire before the chain's head: it stays outside
            }
            placeOf[k] = chain.emplace_hint(at, t, e);
            headOf[k] = head;
        }

        std::vector<CIgnition*> members;
        for (const auto& [head, chain] : chains) {
            members.clear();
            for (const auto& [time, e] : chain) members.push_back(e);
            CIgnition::LinkChain(members);
        }
        const int fps = m_doc.GetFrameRate();
        for (CIgnition* e : entries) e->UpdateDelay(fps);
        CIgnition::LinkInReadingOrder(entries);
    }

    Input& m_in;
    CFLRDoc& m_doc;
    CEffectCatalogue& m_catalogue;
    const CShowFileReader::MissingItemsHandler& m_onMissing;
    bool m_renumberEachLink;
    bool m_damageReported = false;
    bool m_damaged = false;
};

}  // namespace

CShowFileReader::CShowFileReader(CEffectCatalogue& catalogue, MissingItemsHandler onMissing)
    : m_catalogue(catalogue), m_onMissing(std::move(onMissing))
{
}

CShowFileReader::Status CShowFileReader::Read(const std::string& path, CFLRDoc& doc)
{
    m_error.clear();
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly)) {
        m_error = file.errorString().toStdString();
        return Status::CannotOpen;
    }
    Input in(file);
    const Status status = ReadFrom(in, doc);
    // A read error before the header was through counts as an unreadable file.
    if (status != Status::Ok && !in.DeviceError().isEmpty()) {
        m_error = in.DeviceError().toStdString();
        return Status::CannotOpen;
    }
    return status;
}

CShowFileReader::Status CShowFileReader::ReadBytes(std::string_view bytes, CFLRDoc& doc)
{
    m_error.clear();
    Input in(bytes);
    return ReadFrom(in, doc);
}

CShowFileReader::Status CShowFileReader::ReadFrom(Input& in, CFLRDoc& doc)
{
    uint32_t first;
    if (!in.ReadU32(first) || first != 0) return Status::NotShowFile;
    char magic[kMagicSize + 1] = {};
    const bool haveMagic = in.Read(magic, kMagicSize);
    if (!haveMagic || std::strcmp(magic, kMagic) != 0) {
        Beep(BeepKind::Exclamation);
        return Status::WrongMagic;
    }

    doc.DeleteAllIgnitions();
    doc.ResetSetup(std::make_unique<CFireworkSetup>());
    Loader loader(in, doc, m_catalogue, m_onMissing, m_renumberEachLink);
    // The format stamp and eight reserved bytes.
    if (!in.Skip(kHeaderSize - 4 - kMagicSize)) {
        loader.ReportDamage();
    } else {
        loader.ReadChunks();
    }
    doc.SetOpenedDamaged(loader.WasDamaged());
    return loader.WasDamaged() ? Status::Damaged : Status::Ok;
}

}  // namespace flr
