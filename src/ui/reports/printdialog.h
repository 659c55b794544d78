#pragma once

#include <QPrintDialog>

class QCheckBox;

namespace flr {

// The standard print dialog, titled "Print", with the program's two option boxes on a tab
// of their own; nothing reads them.
class CFLRPrintDialog final : public QPrintDialog {
    Q_OBJECT
public:
    explicit CFLRPrintDialog(QPrinter* printer, QWidget* parent = nullptr);

    QCheckBox* UselessBox() const { return m_useless; }
    QCheckBox* NotToMentionBox() const { return m_notToMention; }

private:
    QCheckBox* m_useless = nullptr;
    QCheckBox* m_notToMention = nullptr;
};

}  // namespace flr
