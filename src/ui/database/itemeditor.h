#pragma once

#include <QDialog>
#include <array>

#include "database/itemeditormodel.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QTimer;

namespace flr {

class CDatabase;
class CItemTable;
class CEffectCatalogue;

// "Add Firework Item" / "Edit Firework Item". Ends with kEditorOk after saving,
// kEditorDeleted after deleting, kEditorCancel otherwise. The fields carry object names
// ("article", "name", "size", ...) for tests.
class CItemEditor final : public QDialog {
    Q_OBJECT
public:
    // `row`: nullptr for add mode, else the caller's recordset on the row (not owned).
    // `database` may be nullptr: OK then stays disabled.
    CItemEditor(CDatabase* database, CItemTable* row, CEffectCatalogue& catalogue,
                QWidget* parent = nullptr);

    // The fields as they stand.
    ItemForm Form() const;
    // The 250 ms tick: enables OK when the item is changed and valid.
    void UpdateOkButton();
    QPushButton* OkButton() const { return m_ok; }

    void reject() override;

private:
    void Fill(const ItemForm& form);
    void CheckDecimal(QLineEdit* edit, QString& lastAccepted);
    void ChooseEntry(QComboBox* combo, int& remembered, int index);
    void Save();
    void Delete();

    CItemEditorModel m_model;
    CEffectCatalogue& m_catalogue;
    QLineEdit* m_article;
    QLineEdit* m_name;
    QLineEdit* m_size;
    QLineEdit* m_weight;
    QLineEdit* m_prefire;
    QLineEdit* m_duration;
    QLineEdit* m_description;
    QLineEdit* m_price;
    QLineEdit* m_priceOut;
    QLineEdit* m_stock;
    QComboBox* m_category;
    QComboBox* m_manufacturer;
    std::array<QCheckBox*, kColourBoxes> m_colours{};
    QPushButton* m_ok;
    QPushButton* m_cancel;
    QTimer* m_timer;
    QString m_lastPrefire;
    QString m_lastDuration;
    int m_chosenCategory = -1;
    int m_chosenManufacturer = -1;
};

}  // namespace flr
