#include "database/itemeditormodel.h"

#include <algorithm>

#include "database/itemtable.h"
#include "database/recordset.h"
#include "model/effectcatalogue.h"

namespace flr {

namespace {

std::string CommasForPoints(std::string text)
{
    std::replace(text.begin(), text.end(), '.', ',');
    return text;
}

}  // namespace

CItemEditorModel::CItemEditorModel(CDatabase* database, CItemTable* row)
    : m_database(database), m_row(row)
{
    m_categories = LoadCategoryChoices(database);
    m_manufacturers = LoadManufacturerChoices(database);
    m_colours = LoadColourChoices(database);
    m_initial.colours.assign(BoxCount(), false);

    if (!m_row) {
        for (size_t i = 0; i < m_categories.size(); ++i) {
            if (m_categories[i].name == "Other") {
                m_initial.category = int(i);
                break;
            }
        }
        m_initial.manufacturer = int(m_manufacturers.size()) - 1;
        return;
    }
    const CItemTable& r = *m_row;
    m_initial.article = r.m_SerialID;
    m_initial.name = r.m_ProductName;
    m_initial.size = DecimalText(r.m_Size);
    m_initial.weight = DecimalText(r.m_Weight);
    m_initial.prefire = CommasForPoints(r.m_PreFire);
    m_initial.duration = CommasForPoints(r.m_Hold);
    m_initial.description = r.m_ProductDescription;
    m_initial.price = DecimalText(r.m_Price);
    m_initial.priceOut = DecimalText(r.m_PriceOut);
    m_initial.stock = DecimalText(r.m_Stock);
    m_initial.category = FindChoice(m_categories, r.m_CategoryID);
    m_initial.manufacturer = r.m_SupplierID == 0 && !m_manufacturers.empty()
                                 ? int(m_manufacturers.size()) - 1
                                 : FindChoice(m_manufacturers, r.m_SupplierID);
    std::vector<bool> all(BoxCount(), true);
    const int32_t shown = ColourMask(m_colours, all);
    m_hiddenColourBits = r.m_Color & ~shown;
    for (size_t i = 0; i < BoxCount(); ++i) {
        m_initial.colours[i] = HasColour(r.m_Color, m_colours[i].data);
    }
}

size_t CItemEditorModel::BoxCount() const
{
    return std::min(m_colours.size(), size_t(kColourBoxes));
}

bool CItemEditorModel::IsChanged(const ItemForm& form) const
{
    return Mode() == EditorMode::Add || form != m_initial;
}

bool CItemEditorModel::ArticleIsNew(const std::string& article)
{
    if (m_checkedArticle == article) return m_checkedArticleIsNew;
    // Noted before the look-up: a failed one shows a message box, whose loop runs the editor's
    // timer again, which must not ask (and fail, and show a box) once more.
    m_checkedArticle = article;
    m_checkedArticleIsNew = false;
    CItemTable rows(m_database);
    // A failed look-up has said so; until it succeeds the number cannot be known to be new.
    m_checkedArticleIsNew = rows.OpenTable(FireworksQuery::WithSerialID(article)) && rows.IsEOF();
    return m_checkedArticleIsNew;
}

bool CItemEditorModel::IsValid(const ItemForm& form)
{
    if (!m_database || form.article.empty() || form.name.empty() || form.size.empty()) return false;
    return Mode() == EditorMode::Edit || ArticleIsNew(form.article);
}

int32_t CItemEditorModel::Mask(const ItemForm& form) const
{
    return m_hiddenColourBits | ColourMask(m_colours, form.colours);
}

void CItemEditorModel::WriteRow(CItemTable& row, const ItemForm& form) const
{
    row.m_SerialID = form.article;
    row.m_ProductName = form.name;
    row.m_Size = IntegerValue(form.size);
    row.m_Weight = IntegerValue(form.weight);
    row.m_PreFire = form.prefire;
    row.m_Hold = form.duration;
    row.m_ProductDescription = form.description;
    row.m_CategoryID = ChoiceData(m_categories, form.category);
    row.m_SupplierID = ChoiceData(m_manufacturers, form.manufacturer);
    row.m_Price = IntegerValue(form.price);
    row.m_PriceOut = IntegerValue(form.priceOut);
    row.m_Stock = IntegerValue(form.stock);
    row.m_Color = Mask(form);
}

int CItemEditorModel::Save(const ItemForm& form, CEffectCatalogue& catalogue)
{
    // The number may have been taken since the last check.
    m_checkedArticle.reset();
    if (!IsValid(form)) return 0;

    if (m_row) {
        const std::string article = m_row->m_SerialID;
        m_row->Edit();
        WriteRow(*m_row, form);
        const int result = SaveEditedRow(*m_row, "item");
        if (result == kEditorDeleted) catalogue.Remove(article);
        return result;
    }

    CItemTable rows(m_database);
    if (!rows.OpenTable(FireworksQuery::WithSerialID(form.article)) || !rows.CanAppend()) {
        return kEditorOk;
    }
    rows.AddNew();
    WriteRow(rows, form);
    CEffectRef item = rows.MakeItem();
    DBError error;
    if (!rows.Update(&error)) {
        if (error.state == kValueTakenState) {
            // Another user stored the number between the check and now.
            ReportDatabaseError(
                "Another user has just added an item with this article number. "
                "Choose another number.");
            return 0;
        }
        ReportDatabaseError("Unable to append item to FLR database.");
        return kEditorOk;
    }
    // The data source numbered the row; the item carries that number.
    if (rows.Requery() && !rows.IsEOF()) item->SetRecordNumber(rows.m_ProductNO);
    if (CEffect* known = catalogue.Find(form.article)) {
        // An item a show brought along under this number now reads as stored.
        const int32_t number = item->GetRecordNumber();
        rows.FillItem(*known);
        known->SetRecordNumber(number);
    } else {
        catalogue.Insert(item);
    }
    return kEditorOk;
}

int CItemEditorModel::Delete(const ItemForm& form, CEffectCatalogue& catalogue)
{
    if (!m_database) return 0;
    CItemTable rows(m_database);
    if (!rows.OpenTable(FireworksQuery::WithSerialID(form.article))) return 0;
    if (rows.IsEOF()) return kEditorDeleted;
    if (!ConfirmDelete(rows.m_ProductName, "fireworks")) return 0;
    DBError error;
    // The row went meanwhile, which is what was wanted.
    if (!rows.Delete(&error) && error.state != kRowGoneState) {
        ReportDatabaseError("Unable to delete item from FLR database.");
        return 0;
    }
    catalogue.Remove(form.article);
    return kEditorDeleted;
}

}  // namespace flr
