// The track's file dialog, answered through the dialog runner.
#include "ui/music/trackfiledialog.h"

#include <gtest/gtest.h>

#include <QFileDialog>
#include <QTemporaryDir>

#include "support/wavebuilder.h"
#include "ui/common/dialogrunner.h"

namespace flr {
namespace {

TEST(TrackFileDialogTest, OffersWaveFilesAndReturnsTheChoiceOrNone)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("track.wav"));
    ASSERT_TRUE(test::WriteFile(path.toStdString(), test::PcmWave(1, 8000, 8, {1, 2})));
    QStringList filters;
    const DialogRunner previous = InstallDialogRunner([&](QDialog& dialog) {
        auto& files = static_cast<QFileDialog&>(dialog);
        filters = files.nameFilters();
        EXPECT_EQ(files.fileMode(), QFileDialog::ExistingFile);
        files.selectFile(path);
        dialog.accept();  // QFileDialog::accept checks the choice
        return files.result();
    });
    EXPECT_EQ(ChooseTrackFile(nullptr), path.toStdString());
    EXPECT_EQ(filters, QStringList{QStringLiteral("Wave Files (*.wav)")});
    // Cancelled: no path.
    InstallDialogRunner([](QDialog&) { return int(QDialog::Rejected); });
    EXPECT_EQ(ChooseTrackFile(nullptr), std::nullopt);
    InstallDialogRunner(previous);
}

}  // namespace
}  // namespace flr
