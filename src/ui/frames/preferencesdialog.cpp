#include "ui/frames/preferencesdialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QVBoxLayout>

#include "app/updatesettings.h"
#include "base/prompt.h"
#include "base/settingsstore.h"

namespace flr {

namespace {

QString FromUtf8(const std::string& text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

}  // namespace

CPreferencesDialog::CPreferencesDialog(CUpdateSettings& settings, CSettingsStore& store,
                                       QWidget* parent, SerialDeviceFolders folders)
    : QDialog(parent), m_settings(settings), m_store(store), m_ports(store, std::move(folders))
{
    setWindowTitle(QStringLiteral("FLR Preferences"));
    auto* general = new QWidget;
    auto* generalLayout = new QVBoxLayout(general);
    m_autoUpdate = new QCheckBox(QStringLiteral("Automatically check for updates at startup"));
    m_autoUpdate->setChecked(m_settings.GetAutoUpdate());
    generalLayout->addWidget(m_autoUpdate);
    generalLayout->addStretch(1);

    m_pages = new QTabWidget;
    m_pages->addTab(general, QStringLiteral("General"));
    m_pages->addTab(MakePortsPage(), QStringLiteral("Serial Ports"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pages);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

QWidget* CPreferencesDialog::MakePortsPage()
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    auto* intro = new QLabel(QStringLiteral(
        "The serial device each port of the download window stands for. \"Automatic\" takes "
        "the n-th serial device found; \"(none)\" leaves the port out."));
    intro->setWordWrap(true);
    layout->addWidget(intro);

    auto* grid = new QGridLayout;
    const int boxWidth = fontMetrics().horizontalAdvance(QLatin1Char('x')) * 60;
    for (unsigned n = 1; n <= CSerialPortSetup::kPortCount; ++n) {
        auto* box = new QComboBox;
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        box->setMinimumWidth(boxWidth);
        box->setObjectName(QStringLiteral("com%1").arg(n));
        auto* label = new QLabel(QStringLiteral("COM%1 :").arg(n));
        label->setBuddy(box);
        auto* status = new QLabel;
        status->setTextFormat(Qt::PlainText);  // device names are outside text
        status->setWordWrap(true);
        m_portBoxes[n] = box;
        m_portStatus[n] = status;
        const int row = static_cast<int>(2 * (n - 1));
        grid->addWidget(label, row, 0);
        grid->addWidget(box, row, 1);
        grid->addWidget(status, row + 1, 1);
        // Typing a path or picking an item both end in the edit text.
        connect(box, &QComboBox::currentTextChanged, this, [this, n] { TakeText(n); });
    }
    grid->setColumnStretch(1, 1);
    layout->addLayout(grid);

    m_refresh = new QPushButton(QStringLiteral("Refresh"));
    connect(m_refresh, &QPushButton::clicked, this, [this] {
        m_ports.Rescan();
        FillPortBoxes();
    });
    auto* refreshRow = new QHBoxLayout;
    refreshRow->addStretch(1);
    refreshRow->addWidget(m_refresh);
    layout->addLayout(refreshRow);
    layout->addStretch(1);
    FillPortBoxes();
    return page;
}

void CPreferencesDialog::FillPortBoxes()
{
    for (unsigned n = 1; n <= CSerialPortSetup::kPortCount; ++n) {
        QComboBox* box = m_portBoxes[n];
        {
            const QSignalBlocker blocker(box);
            box->clear();
            box->addItem(QString::fromLatin1(CSerialPortSetup::kAutomaticText));
            box->addItem(QString::fromLatin1(CSerialPortSetup::kNoneText));
            for (const SerialDeviceEntry& device : m_ports.Devices()) {
                box->addItem(FromUtf8(device.Label()));
            }
            const QString current = FromUtf8(m_ports.TextForChoice(m_ports.GetChoice(n)));
            box->setCurrentIndex(box->findText(current));
        }
        m_portStatus[n]->setText(FromUtf8(m_ports.StatusText(n)));
    }
}

void CPreferencesDialog::TakeText(unsigned port)
{
    m_ports.SetChoice(port, m_ports.ChoiceForText(m_portBoxes[port]->currentText().toStdString()));
    // Another port on the same device says so too.
    for (unsigned n = 1; n <= CSerialPortSetup::kPortCount; ++n) {
        m_portStatus[n]->setText(FromUtf8(m_ports.StatusText(n)));
    }
}

void CPreferencesDialog::accept()
{
    m_settings.SetAutoUpdate(m_autoUpdate->isChecked());
    const bool updateSaved = m_settings.Save();
    const bool portsSaved = m_ports.Save(m_store);
    if (!updateSaved || !portsSaved) {
        ShowMessage("The settings could not be written.", "Registry Error", PromptButtons::Ok,
                    PromptIcon::Error);
    }
    QDialog::accept();
}

}  // namespace flr
