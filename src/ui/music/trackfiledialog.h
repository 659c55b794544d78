#pragma once

#include <optional>
#include <string>

class QWidget;

namespace flr {

// The file-open dialog for a music track ("Wave Files (*.wav)"), run through RunDialog.
// Returns the chosen path (UTF-8), nullopt on Cancel. User-interface thread only.
std::optional<std::string> ChooseTrackFile(QWidget* parent);

}  // namespace flr
