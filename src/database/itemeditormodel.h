#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "database/recordeditors.h"

namespace flr {

class CDatabase;
class CItemTable;
class CEffectCatalogue;

// What the item editor's fields hold: texts as Windows-1252 bytes, the chosen entries'
// positions (-1 for none) and one flag per colour box.
struct ItemForm {
    std::string article, name, size, weight, prefire, duration, description, price, priceOut, stock;
    int category = -1;
    int manufacturer = -1;
    std::vector<bool> colours;
    friend bool operator==(const ItemForm&, const ItemForm&) = default;
};

// The item editor without its window: the choice lists, the starting values, the rules for
// OK, saving and deleting. Failures are reported through the prompt layer.
// User-interface thread only.
class CItemEditorModel {
public:
    // `database`: the application's connection (not owned), nullptr when there is none.
    // `row`: nullptr for add mode; in edit mode the caller's recordset positioned on the row
    // (not owned; it must outlive the model).
    CItemEditorModel(CDatabase* database, CItemTable* row);

    EditorMode Mode() const { return m_row ? EditorMode::Edit : EditorMode::Add; }
    const std::vector<EditorChoice>& Categories() const { return m_categories; }
    const std::vector<EditorChoice>& Manufacturers() const { return m_manufacturers; }
    // The colours in box order; only the first kColourBoxes have a box.
    const std::vector<EditorChoice>& Colours() const { return m_colours; }
    size_t BoxCount() const;
    // The fields as the dialog opens: empty in add mode ("Other" and the last manufacturer
    // chosen), the row's values in edit mode ("." shown as "," in prefire and duration).
    const ItemForm& Initial() const { return m_initial; }

    // Edit mode: anything differs from the start. Add mode: always.
    bool IsChanged(const ItemForm& form) const;
    // Article number, name and size filled in and, in add mode, the article number not in
    // tbFireworks yet (looked up again only when it changed since the last call).
    bool IsValid(const ItemForm& form);

    // OK: 0, doing nothing, when `form` is not valid. Otherwise writes the row (add mode: a
    // new row, and its item joins `catalogue` once the row is stored) and says how the dialog
    // ends, as SaveEditedRow does: 0 (stay open: the article number was taken meanwhile, or the
    // user goes back after a conflict), kEditorOk (a failed write having been reported) or
    // kEditorDeleted (another user deleted the item and the user let it go; it leaves
    // `catalogue`).
    int Save(const ItemForm& form, CEffectCatalogue& catalogue);
    // "Delete ...": kEditorDeleted when the row is gone (deleted, or not there any more; its
    // item leaves `catalogue`); 0 when the dialog stays open (No, or a failure reported).
    int Delete(const ItemForm& form, CEffectCatalogue& catalogue);

private:
    bool ArticleIsNew(const std::string& article);
    void WriteRow(CItemTable& row, const ItemForm& form) const;
    int32_t Mask(const ItemForm& form) const;

    CDatabase* m_database;
    CItemTable* m_row;
    std::vector<EditorChoice> m_categories;
    std::vector<EditorChoice> m_manufacturers;
    std::vector<EditorChoice> m_colours;
    ItemForm m_initial;
    // Colour bits of the row that no box shows: kept, not dropped, when the row is saved.
    int32_t m_hiddenColourBits = 0;
    std::optional<std::string> m_checkedArticle;
    bool m_checkedArticleIsNew = false;
};

}  // namespace flr
