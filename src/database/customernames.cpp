#include "database/customernames.h"

#include "database/customertable.h"
#include "editing/setupform.h"

namespace flr {

bool ReadCustomerNames(CDatabase* database, std::vector<std::string>& names)
{
    names.clear();
    if (!database) return false;
    CCustomerTable customers(database);
    if (!customers.OpenTable()) return false;
    for (customers.MoveFirst(); !customers.IsEOF(); customers.MoveNext()) {
        InsertCustomerSorted(names, customers.m_CustomerName);
    }
    return true;
}

std::optional<std::string> FindCustomerName(CDatabase* database, const std::string& name)
{
    if (!database) return std::nullopt;
    CCustomerTable customers(database);
    if (!customers.OpenTable()) return std::nullopt;
    for (customers.MoveFirst(); !customers.IsEOF(); customers.MoveNext()) {
        if (customers.m_CustomerName == name) return customers.m_CustomerName;
    }
    return std::nullopt;
}

}  // namespace flr
