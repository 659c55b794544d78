#pragma once

#include <QAbstractTableModel>
#include <QTabWidget>
#include <QTableView>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "database/databaselists.h"
#include "database/itemdrag.h"
#include "database/itemfilter.h"

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace flr {

class CDatabase;
class CItemTable;
class CRecordset;
class CEffectCatalogue;

// A report-style list's rows, with texts made on demand.
class CRecordListModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    CRecordListModel(QStringList headings, std::function<int()> rows,
                     std::function<std::string(int row, int column)> text, QObject* parent);
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    void Reset();
    // Makes the drag data of a row; empty for none.
    std::function<QMimeData*(int row)> makeDrag;
    // Each column's alignment; left when none is given.
    std::vector<Qt::Alignment> alignments;

private:
    QStringList m_headings;
    std::function<int()> m_rows;
    std::function<std::string(int, int)> m_text;
};

// The Fireworks page: the filter and the item list, whose rows are dragged onto a schedule.
class CItemPage final : public QWidget {
    Q_OBJECT
public:
    CItemPage(CDatabase* database, CEffectCatalogue& catalogue, QWidget* parent = nullptr);
    ~CItemPage() override;

    // Opens the recordset and fills the list, once; later calls do nothing.
    void Initialise();
    void FillItems();
    // Opens the recordset again when a failed requery closed it.
    void ReopenIfClosed();
    const std::vector<CEffect*>& Items() const { return m_items; }
    const ItemFilter& Filter() const { return m_filter; }
    QTableView* List() const { return m_list; }
    QCheckBox* FilterBox() const { return m_enable; }
    QLineEdit* NameEdit() const { return m_name; }
    // The page's recordset, nullptr before Initialise or without a database. For the record
    // editors, which position it on a row.
    CItemTable* Recordset() const { return m_recordset.get(); }
    // After a record editor: redraws the rows, or takes `item`'s row out of the list.
    void RedrawItems();
    void RemoveItem(const CEffect* item);

signals:
    void ContextMenuRequested(const QPoint& globalPos);
    void ItemActivated(CEffect* item);
    // The list was read again and items the catalogue held took other stored values.
    void ItemsChanged();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void EnableFilterControls();

    CDatabase* m_database;
    CEffectCatalogue& m_catalogue;
    std::unique_ptr<CItemTable> m_recordset;
    ItemFilter m_filter;
    ListSort m_sort;
    std::vector<CEffect*> m_items;
    CRecordListModel* m_model = nullptr;
    QTableView* m_list = nullptr;
    QCheckBox* m_enable = nullptr;
    QLineEdit* m_name = nullptr;
    QLineEdit* m_size = nullptr;
    QLineEdit* m_description = nullptr;
    QComboBox* m_comparison = nullptr;
    bool m_initialised = false;
};

// The Customers or Manufacturers page: every contact of its kind but the hidden one; no filter
// yet.
class CContactPage final : public QWidget {
    Q_OBJECT
public:
    CContactPage(const CContactKind& kind, CDatabase* database, QWidget* parent = nullptr);
    ~CContactPage() override;
    const CContactKind& Kind() const { return m_kind; }
    void Initialise();
    void Fill();
    void ReopenIfClosed();
    const std::vector<ContactRow>& Rows() const { return m_rows; }
    QTableView* List() const { return m_list; }
    // As the Fireworks page's.
    CRecordset* Recordset() const { return m_recordset.get(); }
    void Redraw();
    void RemoveRow(const ContactRow& row);

signals:
    // A double-click on a row.
    void RowActivated(const ContactRow& row);

protected:
    void showEvent(QShowEvent* event) override;

private:
    const CContactKind& m_kind;
    CDatabase* m_database;
    std::unique_ptr<CRecordset> m_recordset;
    std::vector<ContactRow> m_rows;
    ListSort m_sort;
    CRecordListModel* m_model = nullptr;
    QTableView* m_list = nullptr;
    bool m_initialised = false;
};

// The database bar's three tabbed pages. Without a database (nullptr) the lists stay empty.
class CDatabaseBar final : public QTabWidget {
    Q_OBJECT
public:
    CDatabaseBar(CDatabase* database, CEffectCatalogue& catalogue, QWidget* parent = nullptr);

    // Rebuilds the three lists after the database changed.
    void RefreshLists();
    CItemPage* ItemsPage() const { return m_items; }
    CContactPage* CustomersPage() const { return m_customers; }
    CContactPage* ManufacturersPage() const { return m_manufacturers; }

private:
    CItemPage* m_items;
    CContactPage* m_customers;
    CContactPage* m_manufacturers;
};

}  // namespace flr
