#pragma once

#include <functional>

class QDialog;

namespace flr {

// How the show's modal dialogs are run: exec() in the program; tests (which cannot answer a
// nested event loop) install a runner that fills in and closes the dialog itself.
// User-interface thread only.
using DialogRunner = std::function<int(QDialog& dialog)>;

// Installs `runner` and returns the one it replaces; an empty runner restores exec().
DialogRunner InstallDialogRunner(DialogRunner runner);

// Runs `dialog` modally through the installed runner; returns its result code.
int RunDialog(QDialog& dialog);

}  // namespace flr
