#include "database/contactkind.h"

#include "database/customertable.h"
#include "database/manufacturertable.h"

namespace flr {

namespace {

// A kind over `Table`: its key column (text or number), the text columns of the lines after
// it, and the choice's column.
template <typename Table>
class CTableKind final : public CContactKind {
public:
    std::string Table::*textKey = nullptr;
    int32_t Table::*numberKey = nullptr;
    std::vector<std::string Table::*> columns;
    int32_t Table::*choiceColumn = nullptr;

    std::unique_ptr<CRecordset> MakeTable(CDatabase* database) const override
    {
        return std::make_unique<Table>(database);
    }
    bool OpenTable(CRecordset& rows) const override { return Of(rows).OpenTable(); }

    ContactForm Read(const CRecordset& row, const std::vector<EditorChoice>& choices) const override
    {
        const Table& r = Of(row);
        ContactForm form;
        form.texts.push_back(numberKey ? DecimalText(r.*numberKey) : r.*textKey);
        for (std::string Table::*column : columns) form.texts.push_back(r.*column);
        if (choiceColumn) form.choice = FindChoice(choices, r.*choiceColumn);
        return form;
    }

    void Write(CRecordset& row, const ContactForm& form,
               const std::vector<EditorChoice>& choices) const override
    {
        Table& r = Of(row);
        if (numberKey) {
            r.*numberKey = IntegerValue(std::string_view(form.texts[0]).substr(0, 30));
        } else {
            r.*textKey = form.texts[0];
        }
        for (size_t i = 0; i < columns.size(); ++i) r.*columns[i] = form.texts[i + 1];
        if (choiceColumn) r.*choiceColumn = ChoiceData(choices, form.choice);
    }

private:
    static Table& Of(CRecordset& rows) { return static_cast<Table&>(rows); }
    static const Table& Of(const CRecordset& rows) { return static_cast<const Table&>(rows); }
};

}  // namespace

std::vector<EditorChoice> CContactKind::LoadChoices(CDatabase* database) const
{
    return choiceRow >= 0 ? LoadCountryChoices(database) : std::vector<EditorChoice>{};
}

std::string CContactKind::StoredKey(std::string_view typed) const
{
    return numericKey ? DecimalText(IntegerValue(typed.substr(0, 30))) : std::string(typed);
}

CContact CContactKind::List(const CRecordset& row) const
{
    const ContactForm form = Read(row, {});
    CContact contact;
    for (size_t c = 0; c < listed.size(); ++c) {
        if (listed[c] >= 0) contact.cells[c] = form.texts[size_t(listed[c])];
    }
    return contact;
}

const CContactKind& CustomerKind()
{
    static const CTableKind<CCustomerTable> kind = [] {
        using T = CCustomerTable;
        CTableKind<T> k;
        k.title = "Customer";
        k.what = "customer";
        k.showAll = "Show all customers.";
        // Region and Ext are not edited.
        k.fields = {{"Customer No :", "customerNo"},
                    {"Name :", "name"},
                    {"Address :", "address"},
                    {"Zip Code :", "zipCode"},
                    {"City :", "city"},
                    {"Name :", "contact"},
                    {"Tel :", "tel"},
                    {nullptr, "tel2", "second telephone"},
                    {"Mob :", "mob"},
                    {nullptr, "mob2", "second mobile"},
                    {"Fax :", "fax"},
                    {"E-Mail :", "email"},
                    {"Note :", "notes"}};
        k.textKey = &T::m_CustomerNo;
        k.columns = {&T::m_CustomerName, &T::m_BillingAddr, &T::m_ZipCode, &T::m_City,
                     &T::m_ContactName,  &T::m_Tel,         &T::m_Tel2,    &T::m_Mob,
                     &T::m_Mob2,         &T::m_Fax,         &T::m_EMail,   &T::m_Notes};
        k.uniqueKey = true;
        k.hiddenName = "No Customer";
        k.listed = {0, 1, 5, 6, 8, 11, 12};
        return k;
    }();
    return kind;
}

const CContactKind& ManufacturerKind()
{
    static const CTableKind<CManufacturerTable> kind = [] {
        using T = CManufacturerTable;
        CTableKind<T> k;
        k.title = "Manufacturer";
        k.what = "manufacturer";
        k.showAll = "Show all manufacturers.";
        // ContactTitle and Region are not edited.
        k.fields = {{"Mfr No :", "number"},    {"Name :", "name"}, {"Address :", "address"},
                    {"Zip Code :", "zipCode"}, {"City :", "city"}, {"Name :", "contact"},
                    {"Tel :", "tel"},          {"Mob :", "mob"},   {"Fax :", "fax"},
                    {"E-Mail :", "email"},     {"Note :", "notes"}};
        k.numberKey = &T::m_SupplierNO;
        k.columns = {&T::m_Name, &T::m_Address, &T::m_ZipCode, &T::m_City,  &T::m_ContactName,
                     &T::m_Tel,  &T::m_Mob,     &T::m_Fax,     &T::m_EMail, &T::m_Notes};
        k.choiceRow = 5;
        k.choiceColumn = &T::m_CountryID;
        k.numericKey = true;
        // No field of the manufacturer fills the Mobile column.
        k.listed = {0, 1, 5, 6, -1, 9, 10};
        return k;
    }();
    return kind;
}

}  // namespace flr
