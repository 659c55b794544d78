#include "ui/music/trackfiledialog.h"

#include <QFileDialog>

#include "ui/common/dialogrunner.h"

namespace flr {

std::optional<std::string> ChooseTrackFile(QWidget* parent)
{
    QFileDialog dialog(parent, QStringLiteral("Open"), QString(),
                       QStringLiteral("Wave Files (*.wav)"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (RunDialog(dialog) != QDialog::Accepted) return std::nullopt;
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty()) return std::nullopt;
    return files.first().toStdString();
}

}  // namespace flr
