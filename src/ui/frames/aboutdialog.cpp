#include "ui/frames/aboutdialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/updatecheck.h"
#include "base/prompt.h"
#include "base/version.h"
#include "ui/frames/icons.h"

namespace flr {

CAboutDialog::CAboutDialog(const CSettingsStore& settings, QWidget* parent)
    : QDialog(parent), m_settings(settings)
{
    setWindowTitle(QStringLiteral("About FLR"));
    auto* layout = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    auto* icon = new QLabel;
    icon->setPixmap(AppIcon().pixmap(48, 48));
    row->addWidget(icon, 0, Qt::AlignTop);
    auto* text = new QLabel(QStringLiteral("<b>FLR</b> Version %1<br>Fireworks display design "
                                           "and firing system download")
                                .arg(QStringLiteral(FLR_VERSION_TEXT)));
    row->addWidget(text, 1);
    layout->addLayout(row);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
    m_update = buttons->addButton(tr("Check for &Update"), QDialogButtonBox::ActionRole);
    connect(m_update, &QPushButton::clicked, this, &CAboutDialog::CheckNow);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
}

void CAboutDialog::CheckNow()
{
    m_update->setEnabled(false);
    if (const auto info = CheckForUpdate(m_settings, FLR_VERSION_TEXT, FLR_VERSION_TEXT)) {
        if (info->newer) {
            ShowMessage("There is a new version of FLR available at " + info->downloadUrl + ".",
                        "Update Available!", PromptButtons::Ok, PromptIcon::Information);
        } else {
            ShowMessage("The installed FLR software is up to date.", "No Update Available",
                        PromptButtons::Ok, PromptIcon::Information);
        }
    }
    m_update->setEnabled(true);
}

}  // namespace flr
