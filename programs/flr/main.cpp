// The desktop program.
#include <QApplication>

#include "base/version.h"
#include "ui/frames/flrapp.h"

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("FLR"));
    QApplication::setOrganizationName(QStringLiteral("Flarion"));
    QApplication::setApplicationVersion(QStringLiteral(FLR_VERSION_TEXT));

    int result = 1;
    {
        flr::CFLRApp app;
        if (app.Start(QApplication::arguments())) {
            result = QApplication::exec();
        } else {
            result = app.ExitCode();
        }
        app.Shutdown();
    }
    return result;
}
