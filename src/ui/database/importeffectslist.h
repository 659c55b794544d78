#pragma once

#include <QAbstractTableModel>
#include <QModelIndex>
#include <QPointer>
#include <QTableView>

namespace flr {

class CEffectImport;

// The import rows' texts, made on demand from the rows.
class CImportEffectsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // `rows` (not owned) must outlive the model.
    explicit CImportEffectsModel(CEffectImport& rows, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // After rows were added or sorted.
    void Refresh();
    // After a cell's value changed.
    void Redraw();

private:
    CEffectImport& m_rows;
    int m_count = 0;
};

// The "Import effects" list: a click on the selected row toggles its Import cell or opens the
// column's in-place editor; the edited text goes straight into the row's item.
class CImportEffectsList : public QTableView {
    Q_OBJECT
public:
    // `rows` (not owned) must outlive the list.
    explicit CImportEffectsList(CEffectImport& rows, QWidget* parent = nullptr);

    CImportEffectsModel* Model() const { return m_model; }
    // What a click on a cell of the selected row does. True when the Import flag flipped or an
    // editor opened.
    bool ClickCell(int row, int column);
    QWidget* CellEditor() const { return m_cellEditor; }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void OnEditEnded(int row, int column, const QString& text, bool hasText);

    CEffectImport& m_rows;
    CImportEffectsModel* m_model;
    QPointer<QWidget> m_cellEditor;
    QModelIndex m_pressIndex;
    bool m_clickOnSelected = false;
};

}  // namespace flr
