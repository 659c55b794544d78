#pragma once

#include <QDialog>
#include <array>

#include "transfer/serialportsetup.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QTabWidget;

namespace flr {

class CSettingsStore;
class CUpdateSettings;

// "FLR Preferences": on "General" whether to check for updates at start-up, on "Serial Ports"
// the device each of COM1 to COM4 stands for. OK stores both pages (only changes are
// written); Cancel leaves everything as it was. `folders` says where the serial devices are
// looked for (tests); `store` must outlive the dialog.
class CPreferencesDialog : public QDialog {
    Q_OBJECT
public:
    CPreferencesDialog(CUpdateSettings& settings, CSettingsStore& store, QWidget* parent = nullptr,
                       SerialDeviceFolders folders = {});
    QCheckBox* AutoUpdateBox() const { return m_autoUpdate; }
    QTabWidget* Pages() const { return m_pages; }
    // `port` 1 to 4.
    QComboBox* PortBox(unsigned port) const { return m_portBoxes.at(port); }
    QLabel* PortStatus(unsigned port) const { return m_portStatus.at(port); }
    QPushButton* RefreshButton() const { return m_refresh; }

    void accept() override;

private:
    QWidget* MakePortsPage();
    // Fills the drop-downs from the setup's list, keeping each port's choice.
    void FillPortBoxes();
    void TakeText(unsigned port);

    CUpdateSettings& m_settings;
    CSettingsStore& m_store;
    CSerialPortSetup m_ports;
    QTabWidget* m_pages = nullptr;
    QCheckBox* m_autoUpdate = nullptr;
    std::array<QComboBox*, CSerialPortSetup::kPortCount + 1> m_portBoxes{};
    std::array<QLabel*, CSerialPortSetup::kPortCount + 1> m_portStatus{};
    QPushButton* m_refresh = nullptr;
};

}  // namespace flr
