#pragma once

// Small pieces the three record editors share.

#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <string>

#include "base/textcodec.h"
#include "database/recordeditors.h"

namespace flr::editorwidgets {

inline std::string Bytes(const QLineEdit* edit) { return Utf8ToCp1252(edit->text().toStdString()); }

inline QString Text(const std::string& bytes)
{
    return QString::fromStdString(Cp1252ToUtf8(bytes));
}

inline void DigitsOnly(QLineEdit* edit)
{
    edit->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
}

// OK ("Add" or "Update"), Cancel and "Delete ..." (hidden in add mode).
struct EditorButtons {
    QDialogButtonBox* box;
    QPushButton* ok;
    QPushButton* cancel;
    QPushButton* remove;
};

inline EditorButtons MakeButtons(EditorMode mode, QWidget* parent)
{
    auto* box = new QDialogButtonBox(Qt::Vertical, parent);
    const bool add = mode == EditorMode::Add;
    QPushButton* ok = box->addButton(add ? QStringLiteral("Add") : QStringLiteral("Update"),
                                     QDialogButtonBox::AcceptRole);
    QPushButton* cancel = box->addButton(QDialogButtonBox::Cancel);
    QPushButton* remove =
        box->addButton(QStringLiteral("Delete ..."), QDialogButtonBox::DestructiveRole);
    ok->setDefault(true);
    remove->setVisible(!add);
    ok->setObjectName(QStringLiteral("ok"));
    cancel->setObjectName(QStringLiteral("cancel"));
    remove->setObjectName(QStringLiteral("delete"));
    return {box, ok, cancel, remove};
}

}  // namespace flr::editorwidgets
