#include "ui/reports/printdialog.h"

#include <QCheckBox>
#include <QVBoxLayout>

namespace flr {

CFLRPrintDialog::CFLRPrintDialog(QPrinter* printer, QWidget* parent) : QPrintDialog(printer, parent)
{
    setWindowTitle(QStringLiteral("Print"));
    setOption(QAbstractPrintDialog::PrintToFile, true);
    setOption(QAbstractPrintDialog::PrintPageRange, true);
    setOption(QAbstractPrintDialog::PrintSelection, false);
    setOption(QAbstractPrintDialog::PrintCurrentPage, false);

    auto* options = new QWidget;
    options->setWindowTitle(QStringLiteral("Options"));
    auto* layout = new QVBoxLayout(options);
    m_useless = new QCheckBox(QStringLiteral("This is a totally useless checkbox ..."), options);
    m_notToMention = new QCheckBox(QStringLiteral("Not to mention this one ..."), options);
    layout->addWidget(m_useless);
    layout->addWidget(m_notToMention);
    layout->addStretch();
    setOptionTabs({options});
}

}  // namespace flr
