#pragma once

#include <QString>
#include <vector>

namespace flr {

// The manual page F1 opens over a window, by the window's class ("flr::CTransferDialog"): the
// one table of which window the manual describes where. Empty for a class it does not name.
QString HelpPageForClass(const char* className);

// Every page the table names, for checking that the manual has them.
std::vector<QString> HelpTopicPages();

// A widget's own page, set as this property ("setup.md#the-music"), wins over its class.
constexpr const char* kHelpPageProperty = "helpPage";

}  // namespace flr
