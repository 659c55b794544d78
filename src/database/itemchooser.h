#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/effect.h"

namespace flr {

class CDatabase;
class CItemTable;
class CEffectCatalogue;

// What the "Choose firework item" dialog knows, without widgets: the three linked lists (sizes,
// article numbers, names of one size), their selections and the chosen item. Each fill or
// look-up opens a recordset of tbFireworks on `database` with its values as bound parameters
// and closes it again. User-interface thread only.
class CItemChooser {
public:
    // What a row whose article number the catalogue lacks gives: no item, or an item made
    // from the row and put into the catalogue (as listing the database bar does).
    enum class MissingItems { NoItem, AddFromRow };

    struct NameEntry {
        std::string name;
        int32_t productNo = 0;  // the row's record number
    };

    static constexpr const char* kInitialDescription = "No description available";
    static constexpr const char* kNoDescription = "No description available.";

    // `database` (the application's connection, not owned) may be nullptr: the lists stay
    // empty. `catalogue` must outlive the chooser. A query the data source refuses shows
    // "Unable to connect to FLR database - [%s]." once and leaves the lists it would fill
    // empty.
    CItemChooser(CDatabase* database, CEffectCatalogue& catalogue,
                 MissingItems missing = MissingItems::NoItem);

    // Takes a reference to `item` (releasing the previous one) when it differs from the chosen
    // one; the chosen size becomes its size (-1 for none).
    void SetItem(CEffectRef item);
    const CEffectRef& Item() const { return m_item; }
    int32_t ChosenSize() const { return m_chosenSize; }

    // Fills the lists for the chosen size (the smallest without one) and selects the chosen
    // item in them.
    void Open();
    bool IsInitialised() const { return m_initialised; }

    // The user picked the entry `index` of a list.
    void ChangeSize(int index);
    void ChangeSerial(int index);
    void ChangeName(int index);

    const std::vector<int32_t>& Sizes() const { return m_sizes; }
    const std::vector<std::string>& Serials() const { return m_serials; }
    const std::vector<NameEntry>& Names() const { return m_names; }
    // Selected entries, -1 for none.
    int SizeIndex() const { return m_sizeIndex; }
    int SerialIndex() const { return m_serialIndex; }
    int NameIndex() const { return m_nameIndex; }

    // The description text (bytes, Windows-1252).
    const std::string& Description() const { return m_description; }

private:
    void FillNames(int32_t size);
    void FillSerials(int32_t size);
    void SelectItemInLists();
    int SerialIndexOf(const std::string& serial) const;
    CEffectRef ItemFor(const CItemTable& row);
    void UpdateDescription();

    CDatabase* m_database;
    CEffectCatalogue& m_catalogue;
    MissingItems m_missing;
    CEffectRef m_item;
    int32_t m_chosenSize = -1;
    bool m_initialised = false;
    std::vector<int32_t> m_sizes;
    std::vector<std::string> m_serials;
    std::vector<NameEntry> m_names;
    int m_sizeIndex = -1;
    int m_serialIndex = -1;
    int m_nameIndex = -1;
    std::string m_description = kInitialDescription;
};

}  // namespace flr
