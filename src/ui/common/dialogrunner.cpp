#include "ui/common/dialogrunner.h"

#include <QDialog>

namespace flr {

namespace {

DialogRunner& Installed()
{
    static DialogRunner runner;
    return runner;
}

}  // namespace

DialogRunner InstallDialogRunner(DialogRunner runner)
{
    DialogRunner previous = std::move(Installed());
    Installed() = std::move(runner);
    return previous;
}

int RunDialog(QDialog& dialog)
{
    if (const DialogRunner& runner = Installed()) return runner(dialog);
    return dialog.exec();
}

}  // namespace flr
