#include "ui/frames/preferencesdialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QVBoxLayout>

#include "app/updatesettings.h"
#include "base/prompt.h"

namespace flr {

CPreferencesDialog::CPreferencesDialog(CUpdateSettings& settings, QWidget* parent)
    : QDialog(parent), m_settings(settings)
{
    setWindowTitle(QStringLiteral("FLR Preferences"));
    auto* layout = new QVBoxLayout(this);
    m_autoUpdate = new QCheckBox(QStringLiteral("Automatically check for updates at startup"));
    m_autoUpdate->setChecked(m_settings.GetAutoUpdate());
    layout->addWidget(m_autoUpdate);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

void CPreferencesDialog::accept()
{
    m_settings.SetAutoUpdate(m_autoUpdate->isChecked());
    if (!m_settings.Save()) {
        ShowMessage("The settings could not be written.", "Registry Error", PromptButtons::Ok,
                    PromptIcon::Error);
    }
    QDialog::accept();
}

}  // namespace flr
