#pragma once
// The Import dialog of the personal database: step 1 chooses a text file, step 2 pairs
// the file's columns (named by its first line) with the thirteen fields; Import then adds
// one record per line of the file to the personal database dialog's data set.

#include "contacts/ContactImport.h"

#include <QDialog>

class QFileDialog;
class QLineEdit;
class QListWidget;
class QPushButton;
class QWidget;

namespace contacts {

class TPDBForm;

class TPDBImportForm : public QDialog {
    Q_OBJECT
public:
    static constexpr int HelpContext = 118;

    explicit TPDBImportForm(TPDBForm *owner);

    // What the choose button does with the chosen file: offers the columns of its first
    // line for matching. False (after telling the user) when the file cannot be used.
    bool LoadFile(const QString &path);
    // The pairings in the order they were made (target x 1000 + column).
    QList<int> PairingCodes() const;
    // What the last import did.
    const ImportResult &LastResult() const { return m_result; }

signals:
    void helpRequested(int context);

private:
    void ChooseBtnClick();
    void AddBtnClick();
    void RemoveBtnClick();
    void ImportBtnClick();
    void UpdateButtons();

    TPDBForm *m_owner;
    ImportResult m_result;
    QLineEdit *m_fileNameEdit;
    QWidget *m_fieldPanel;
    QListWidget *m_fixedFieldList;
    QListWidget *m_fieldList;
    QListWidget *m_resultList;
    QPushButton *m_addBtn;
    QPushButton *m_removeBtn;
    QPushButton *m_importBtn;
    QFileDialog *m_importDialog;
};

} // namespace contacts
