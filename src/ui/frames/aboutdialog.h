#pragma once

#include <QDialog>

class QPushButton;

namespace flr {

class CSettingsStore;

// The program's icon, name and version, with a button that checks for a newer version.
class CAboutDialog : public QDialog {
    Q_OBJECT
public:
    CAboutDialog(const CSettingsStore& settings, QWidget* parent = nullptr);

    // What the update button runs.
    void CheckNow();

private:
    const CSettingsStore& m_settings;
    QPushButton* m_update;
};

}  // namespace flr
