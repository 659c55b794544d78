#pragma once

#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "database/recordeditors.h"

namespace flr {

class CDatabase;
class CRecordset;

// A contact editor's lines, Windows-1252 bytes: `texts[i]` is line i of the kind's fields;
// `choice` a position in the choice list, -1 for none.
struct ContactForm {
    std::vector<std::string> texts;
    int choice = -1;
    friend bool operator==(const ContactForm&, const ContactForm&) = default;
};

// The list's columns: No, Name, Contact, Telephone, Mobile, E-Mail, Notes.
inline constexpr int kContactColumns = 7;

// A customer or manufacturer as the database bar lists it: the texts of its columns, the key
// (CustomerNo, or SupplierNO in decimal) first.
struct CContact {
    std::array<std::string, kContactColumns> cells;
    const std::string& Key() const { return cells[0]; }
};
// The lists' rows, shared with the record editors that change them.
using ContactRow = std::shared_ptr<CContact>;

// An editor line: its label (nullptr: none, it continues the line above), the object name
// tests find it by, and what an unlabelled line is for, shown while it is empty.
struct ContactField {
    const char* label;
    const char* name;
    const char* hint = nullptr;
};

// What tells the customers from the manufacturers to the one editor, list and page they
// share. The two kinds are constants; the functions that take a recordset want one of the
// kind's own table (from MakeTable or the page).
class CContactKind {
public:
    // "Customer": the editor's title after "Add " or "Edit ".
    std::string_view title;
    // "customer": the word of the messages.
    std::string_view what;
    // The text beside the page's filter row.
    std::string_view showAll;
    // The editor's lines, the key first; line 1 is the name.
    std::vector<ContactField> fields;
    // The line the choice box ("Country :") stands before; -1 for none.
    int choiceRow = -1;
    // Customer numbers must be new; manufacturer numbers need not be unique.
    bool uniqueKey = false;
    // A key of digits only, stored and sorted as a number.
    bool numericKey = false;
    // A name never listed; empty for none.
    std::string_view hiddenName;
    // Which line each list column shows, -1 for an empty column.
    std::array<int, kContactColumns> listed{};

    virtual ~CContactKind() = default;
    virtual std::unique_ptr<CRecordset> MakeTable(CDatabase* database) const = 0;
    // The table's OpenTable: a failure has been reported.
    virtual bool OpenTable(CRecordset& rows) const = 0;
    virtual ContactForm Read(const CRecordset& row,
                             const std::vector<EditorChoice>& choices) const = 0;
    virtual void Write(CRecordset& row, const ContactForm& form,
                       const std::vector<EditorChoice>& choices) const = 0;

    // The choice list from a recordset of its own; empty without a choice box.
    std::vector<EditorChoice> LoadChoices(CDatabase* database) const;
    // A typed key as it is stored and listed: a manufacturer number is the integer value of
    // its first 30 characters.
    std::string StoredKey(std::string_view typed) const;
    CContact List(const CRecordset& row) const;
};

const CContactKind& CustomerKind();
const CContactKind& ManufacturerKind();

}  // namespace flr
