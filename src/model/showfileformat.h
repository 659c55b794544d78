#pragma once

#include <cstddef>
#include <cstdint>

// The tags, field ids and limits of ".flr" show files, shared by the reader and the writer.
namespace flr::showfile {

inline constexpr char kMagic[] = "FLRFIREWORK";  // 11 characters and the terminating zero
inline constexpr size_t kMagicSize = 12;
inline constexpr unsigned char kFormatStamp[4] = {0x00, 0x01, 0x00, 0x06};
inline constexpr size_t kHeaderSize = 28;

enum Tag : uint32_t {
    kTagSettings = 0x100,
    kTagInformation = 0x200,
    kTagPrices = 0x300,
    kTagMusic = 0x400,
    kTagIgnitions = 0x500,
    kTagEffects = 0x600,
    kTagNone = 0x700,
};

enum FieldId : uint16_t {
    kEstimatedLength = 0x1110,
    kFrameRate = 0x1111,
    kPrefireOff = 0x1112,

    kCustomerNameStored = 0x1210,
    kCustomerName = 0x1211,
    kDate = 0x1212,
    kContact1Name = 0x1213,
    kContact1Tel = 0x1214,
    kContact2Name = 0x1215,
    kContact2Tel = 0x1216,

    kPriceLimit = 0x1310,
    kPropDiscount = 0x1311,
    kFixedDiscount = 0x1312,
    kFixedPrice = 0x1313,

    kMusicFile = 0x1410,

    kEntryNumber = 0x1510,
    kEntryArticleNumber = 0x1511,
    kEntrySize = 0x1512,
    kEntryInTime = 0x1513,
    kEntryTime = 0x1514,
    kEntryAddress = 0x1515,
    kEntryPosition = 0x1516,
    kEntryRackNumber = 0x1517,
    kEntryRackEnd = 0x1518,
    kEntryRackPosition = 0x1519,
    kEntryNote = 0x1520,
    kEntryHasNumber = 0x1521,
    kEntryIndex = 0x1522,
    kEntryIgnorePrefire = 0x1523,

    kEffectArticleNumber = 0x1610,
    kEffectName = 0x1611,
    kEffectSize = 0x1612,
    kEffectWeight = 0x1613,
    kEffectPrefire = 0x1614,
    kEffectDuration = 0x1615,
    kEffectColor = 0x1619,
};

// The longest texts a reader keeps; longer ones are cut (and the writer never writes more).
inline constexpr size_t kMaxText = 255;        // chunks 0x200, 0x500 and 0x600
inline constexpr size_t kMaxMusicPath = 2047;  // chunk 0x400
// The date field: "%4d-%02d-%02d" and a terminating zero.
inline constexpr size_t kDateSize = 11;

}  // namespace flr::showfile
