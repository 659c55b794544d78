#pragma once

#include <QDialog>
#include <vector>

#include "model/racktype.h"

class QPushButton;
class QTreeWidget;

namespace flr {

class CDatabase;

// "Select rack type...": the rack types of the product database as a tree, each type's node
// with one child per position. The chosen type is the last type node selected (a position's
// node keeps the choice); none at the start.
class CRackTypeDialog final : public QDialog {
    Q_OBJECT
public:
    // Reads the rack types from `database` (not owned; it must outlive the dialog's
    // construction; nullptr opens a connection of its own with the default connect string).
    // A database that cannot be read shows "Unable to connect to FLR database - [%s]." and
    // leaves the tree empty.
    explicit CRackTypeDialog(CDatabase* database, QWidget* parent = nullptr);

    // The chosen type (owned by the dialog, valid while it lives), or nullptr for none.
    const CRackType* ChosenRackType() const;

    QTreeWidget* Tree() const { return m_tree; }

private:
    void Fill(CDatabase* database);

    QTreeWidget* m_tree = nullptr;
    QPushButton* m_addType = nullptr;
    QPushButton* m_select = nullptr;
    std::vector<CRackType> m_types;
    int m_chosen = -1;  // index into m_types
};

}  // namespace flr
