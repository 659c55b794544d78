#pragma once

#include <QDialog>

#include "database/itemchooser.h"

class QComboBox;
class QLabel;

namespace flr {

// "Choose firework item": one item picked by size, article number or name from tbFireworks,
// taken from the catalogue. `database` (the application's connection, not owned) may be
// nullptr: the lists are then empty and OK returns the item it was given. The dialog holds a
// reference to the chosen item until it is destroyed.
class CChooseItemDialog : public QDialog {
    Q_OBJECT
public:
    CChooseItemDialog(CDatabase* database, CEffectCatalogue& catalogue, QWidget* parent = nullptr,
                      CItemChooser::MissingItems missing = CItemChooser::MissingItems::NoItem);

    // The item to open on (before the dialog is shown), or the chosen one afterwards.
    void SetItem(CEffectRef item);
    // The chosen item after OK (possibly none).
    const CEffectRef& Item() const { return m_chooser.Item(); }

    // The opening step; runs by itself when the dialog is first shown.
    void InitDialog();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void Sync();

    CItemChooser m_chooser;
    QComboBox* m_size = nullptr;
    QComboBox* m_serial = nullptr;
    QComboBox* m_name = nullptr;
    QLabel* m_description = nullptr;
};

}  // namespace flr
