#pragma once

#include <optional>
#include <string>
#include <vector>

namespace flr {

class CDatabase;

// The customer table as the setup dialog uses it. `database` is the application's connection
// (not owned); nullptr means the program runs without a database: nothing is read, nothing
// shown. A query the data source refuses shows "Unable to connect to FLR database - [%s]."
// through the prompt layer.

// Every CustomerName in the table's order, sorted as the dialog's list holds them. False when
// the table could not be read (`names` is then empty).
bool ReadCustomerNames(CDatabase* database, std::vector<std::string>& names);

// The CustomerName of the first row (in the table's order) equal to `name`, byte for byte;
// nullopt when none is, or the table cannot be read.
std::optional<std::string> FindCustomerName(CDatabase* database, const std::string& name);

}  // namespace flr
