#pragma once

#include <QDialog>

class QCheckBox;

namespace flr {

class CUpdateSettings;

// "FLR Preferences": whether to check for updates at start-up. OK stores the choice (only a
// change is written); Cancel leaves everything as it was.
class CPreferencesDialog : public QDialog {
    Q_OBJECT
public:
    CPreferencesDialog(CUpdateSettings& settings, QWidget* parent = nullptr);
    QCheckBox* AutoUpdateBox() const { return m_autoUpdate; }

    void accept() override;

private:
    CUpdateSettings& m_settings;
    QCheckBox* m_autoUpdate;
};

}  // namespace flr
