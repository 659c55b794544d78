// The main of the suites that open the main frame: one QApplication for the whole run, and a
// new show's setup question answered with the defaults.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>

#include "ui/common/dialogrunner.h"

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    // A new show asks for its setup; these tests take the defaults.
    flr::InstallDialogRunner([](QDialog&) { return int(QDialog::Rejected); });
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
