#pragma once

#include <QDialog>

#include "database/effectimport.h"

class QGroupBox;
class QLabel;
class QProgressBar;
class QPushButton;

namespace flr {

class CDatabase;
class CImportEffectsList;

// "Import effects": offers a show's items that the product database lacks and adds the chosen
// ones to tbFireworks. Run it with RunDialog after AddEffect and Initialise; Accepted when
// the user imported. The rows' references keep the items alive while the dialog lives.
class CImportEffectsDialog : public QDialog {
    Q_OBJECT
public:
    // `database` (not owned) is the application's connection; it must outlive the dialog.
    CImportEffectsDialog(CDatabase* database, QWidget* parent = nullptr);

    int AddEffect(const CEffectRef& item) { return m_rows.AddEffect(item); }
    // Sorts the rows by calibre and lists them; once, before the dialog runs.
    void Initialise();

    const CEffectImport& Rows() const { return m_rows; }
    CImportEffectsList* List() const { return m_list; }
    QPushButton* ImportButton() const { return m_import; }
    QPushButton* CancelButton() const { return m_cancel; }
    QProgressBar* Progress() const { return m_progress; }

public slots:
    // The "Import" button: writes the chosen rows, shows the summary, closes with Accepted.
    void OnImport();

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void Layout();

    CDatabase* m_database;
    CEffectImport m_rows;
    bool m_controlsExist = false;
    QGroupBox* m_frame;
    QLabel* m_text;
    CImportEffectsList* m_list;
    QProgressBar* m_progress;
    QPushButton* m_import;
    QPushButton* m_cancel;
};

}  // namespace flr
